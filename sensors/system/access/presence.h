// Cheap signs that a monitor may be publishing, looked at every round before anything a source
// needs (COM and WMI, Winsock, PDH, a thread of its own) is brought up: most PCs run no monitor
// that publishes that way. Each reads only what Windows already keeps, loads nothing and never
// blocks.
#pragma once

// Sets running[i] for each of the count file names ("LibreHardwareMonitor.exe") that a process
// runs from, from one look at the process list. Where the list cannot be had, every name
// counts as running, so those sources are read as before.
void findPrograms(const char* const* names, int count, bool* running);

// Whether the firmware declares ACPI thermal zones: Windows lists each as a device,
// ACPI\ThermalZone\<zone>. True when the list cannot be read.
bool hasThermalZones();

// Whether this process runs with the rights of an administrator (elevated, where Windows has
// user account control); false where Windows cannot say (Windows 9x).
bool runsAsAdministrator();
