// The monitors' readings and the ACPI thermal zone's, gathered on a worker thread (every two
// seconds while something is found, every five while nothing is); a call returns at once.
#pragma once

#include <windows.h>

#include "sensors/system/readings.h"

// module is this library, kept loaded while the worker runs.
Snapshot windowsReadings(HMODULE module);
