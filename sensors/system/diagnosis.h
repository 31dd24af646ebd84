// The text of DescribeReadings (sensors/vesk_diagnosis.h), from what was chosen.
#pragma once

#include "sensors/system/choice.h"
#include "sensors/system/sources.h"

// When nothing gives any reading, the monitors that table lists instead.
void describeReadings(const Source* table, int count, const Readings& chosen, long rounds, char* text, int size);
