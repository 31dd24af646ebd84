// The text of DescribeReadings (sensors/vesk_diagnosis.h), from what was chosen.
#pragma once

#include "sensors/system/choice.h"

void describeReadings(const Readings& chosen, long rounds, char* text, int size);
