// The "vesk.dll" we ship. Under Wine on Linux it reads the kernel's hwmon and thermal-zone
// files through the Z: drive, choosing them once as it loads; VESK_SYSFS_ROOT points it at
// another copy of /sys, as the tests do. On Windows it asks WMI and the performance counters
// on a worker thread and returns the last readings at once.
#include <windows.h>

#include "sensors/system/sysfs_sensors.h"
#include "sensors/system/windows_sensors.h"
#include "sensors/vesk.h"

static HMODULE self;
static bool onSysfs;
static SysfsSensors sysfs;

// A test build defines VESK_WINDOWS_SOURCES_ONLY to take the Windows path even under Wine,
// and show that it fails cleanly there.
#ifndef VESK_WINDOWS_SOURCES_ONLY
// The copy of /sys to read: VESK_SYSFS_ROOT, else Wine's view of the real one; false on Windows.
static bool findSysfsRoot(char (&root)[MAX_PATH])
{
    DWORD length = GetEnvironmentVariableA("VESK_SYSFS_ROOT", root, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return true;
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version"))
        return false;
    lstrcpyA(root, "Z:\\sys");
    return true;
}
#endif

// Only cheap kernel32 work happens here, in the loader lock: a few dozen small files at most.
// The Windows path starts its worker on the first call, never from here.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    self = instance;
#ifndef VESK_WINDOWS_SOURCES_ONLY
    char root[MAX_PATH];
    onSysfs = findSysfsRoot(root);
    if (onSysfs)
        sysfs.open(root);
#endif
    return TRUE;
}

VESK_EXPORT int GetCPUTemperature(void)
{
    return onSysfs ? sysfs.cpuTemperature() : windowsReadings(self).cpu;
}

VESK_EXPORT int GetMBTemperature(void)
{
    return onSysfs ? sysfs.mbTemperature() : windowsReadings(self).mb;
}

VESK_EXPORT int GetFanCPURPM(void)
{
    return onSysfs ? sysfs.cpuFanSpeed() : windowsReadings(self).fan;
}
