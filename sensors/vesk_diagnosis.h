// The system library's one export beside the three readings, for a user who sees 0 and wants
// to know why (readings.exe prints it; Quellor binds only the readings):
//   CPU 55 from HWiNFO shared memory, "CPU Package"
//   MB 34 from HWiNFO shared memory, "Motherboard"
//   Fan 0: no running monitor publishes it
// When no source has any reading, it says so instead, with the monitors that would give them.
// Writes those lines into text (size bytes, always terminated, cut when too small) and
// returns how many rounds of asking every source are complete, a source that stalls not
// counting: 0 until the first. The first call of any export starts the rounds and waits for
// the first, at most half a second.
#pragma once

#include "sensors/vesk.h"

VESK_EXPORT int DescribeReadings(char* text, int size);
