// The readings on Windows: Open Hardware Monitor's where it runs, else the ACPI thermal zone
// for the CPU. Gathered every two seconds on a worker thread; a call returns at once.
#pragma once

#include <windows.h>

#include "sensors/system/readings.h"

// module is this library, kept loaded while the worker runs.
Readings windowsReadings(HMODULE module);
