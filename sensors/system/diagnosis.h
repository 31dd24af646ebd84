// The text of DescribeReadings (sensors/vesk_diagnosis.h), from what was chosen.
#pragma once

#include "sensors/system/sensor_choice.h"

void describeReadings(const Found& chosen, long rounds, char* text, int size);
