// The three exports every "vesk.dll" provides: undecorated C names, no arguments,
// the reading as a plain 32-bit result.
#pragma once

#define VESK_EXPORT extern "C" __declspec(dllexport)

VESK_EXPORT int GetCPUTemperature(void); // degrees Celsius
VESK_EXPORT int GetMBTemperature(void);  // degrees Celsius
VESK_EXPORT int GetFanCPURPM(void);      // revolutions per minute
