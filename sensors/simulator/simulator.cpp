// A "vesk.dll" without hardware, for demonstrations and screenshots. The CPU temperature
// wanders smoothly from the mid-20s to the mid-70s and back, through every face, in two
// minutes; the board follows it slowly, and the fan speeds up with the CPU. The readings
// depend only on the time since the library was loaded, so a screenshot taken a given
// number of seconds after start always shows the same values.
#include <windows.h>

#include <math.h>

#include "sensors/vesk.h"

static DWORD loadedAt;

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        loadedAt = GetTickCount();
    return TRUE;
}

static const double period = 120.0; // seconds for one sweep up and down

static double seconds()
{
    return (GetTickCount() - loadedAt) / 1000.0;
}

// 25 at start, 75 half a period later; the second harmonic keeps it from looking mechanical.
static double cpuAt(double t)
{
    const double pi = 3.14159265358979;
    return 50.0 - 25.0 * cos(2 * pi * t / period) + 2.0 * sin(2 * pi * 5 * t / period);
}

VESK_EXPORT int GetCPUTemperature(void)
{
    return static_cast<int>(lround(cpuAt(seconds())));
}

VESK_EXPORT int GetMBTemperature(void)
{
    // A board warms slowly: a quarter of the CPU's swing, twenty seconds late.
    return static_cast<int>(lround(30.0 + (cpuAt(seconds() - 20.0) - 25.0) / 4.0));
}

VESK_EXPORT int GetFanCPURPM(void)
{
    // Idle at 900 rpm below 35 degrees, then 60 rpm per degree.
    double cpu = cpuAt(seconds());
    double rpm = cpu < 35.0 ? 900.0 : 900.0 + 60.0 * (cpu - 35.0);
    return static_cast<int>(lround(rpm / 10.0) * 10);
}
