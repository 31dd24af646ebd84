// The "vesk.dll" we ship. It reads what the hardware monitor the user already runs publishes
// (HWiNFO, AIDA64, LibreHardwareMonitor, Core Temp and others, publishers.h), then, under
// Wine on Linux, the kernel's hwmon and thermal-zone files through the Z: drive, chosen once
// as it loads (VESK_SYSFS_ROOT points it at another copy of /sys, as the tests do), then the
// ACPI thermal zone. The monitors are asked on a worker thread; every call returns at once.
#include <windows.h>

#include "sensors/system/diagnosis.h"
#include "sensors/system/sysfs_sensors.h"
#include "sensors/system/windows_sensors.h"
#include "sensors/vesk_diagnosis.h"

static HMODULE self;
static bool onSysfs;
static SysfsSensors sysfs;

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

// Only cheap kernel32 work happens here, in the loader lock: a few dozen small files at most.
// The worker starts on the first call, never from here.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    self = instance;
    char root[MAX_PATH];
    onSysfs = findSysfsRoot(root);
    if (onSysfs)
        sysfs.open(root);
    return TRUE;
}

// The hwmon files are read afresh on every call, as they cost a fraction of a millisecond;
// a file that gives 0 or cannot be read counts as none.
static Reading fromHwmon(SysfsSensors::Reading which)
{
    Reading reading;
    reading.value = sysfs.read(which);
    reading.found = reading.value != 0;
    reading.source = "the hwmon files";
    lstrcpynA(reading.sensor, sysfs.source(which), sensorNameLength);
    return reading;
}

// The three sources in order of preference: the monitors, the hwmon files, the thermal zone.
static Found chosen(const Snapshot& gathered, SysfsSensors::Reading which)
{
    Found sources[3] = {gathered.monitors, Found{}, gathered.zone};
    if (onSysfs) {
        if (which == SysfsSensors::Cpu && !gathered.monitors.cpu.found)
            sources[1].cpu = fromHwmon(which);
        if (which == SysfsSensors::Board && !gathered.monitors.mb.found)
            sources[1].mb = fromHwmon(which);
        if (which == SysfsSensors::Fan && !gathered.monitors.fan.found)
            sources[1].fan = fromHwmon(which);
    }
    return firstFound(sources, 3);
}

VESK_EXPORT int GetCPUTemperature(void)
{
    return chosen(windowsReadings(self), SysfsSensors::Cpu).cpu.value;
}

VESK_EXPORT int GetMBTemperature(void)
{
    return chosen(windowsReadings(self), SysfsSensors::Board).mb.value;
}

VESK_EXPORT int GetFanCPURPM(void)
{
    return chosen(windowsReadings(self), SysfsSensors::Fan).fan.value;
}

VESK_EXPORT int DescribeReadings(char* text, int size)
{
    Snapshot gathered = windowsReadings(self);
    Found all;
    all.cpu = chosen(gathered, SysfsSensors::Cpu).cpu;
    all.mb = chosen(gathered, SysfsSensors::Board).mb;
    all.fan = chosen(gathered, SysfsSensors::Fan).fan;
    if (text)
        describeReadings(all, gathered.rounds, text, size);
    return static_cast<int>(gathered.rounds);
}
