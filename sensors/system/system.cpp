// The "vesk.dll" we ship. It reads what the hardware monitor the user already runs publishes
// for other programs, then, under Wine on Linux, the kernel's hwmon files, then the ACPI
// thermal zone: the sources of sources.h, each read on a thread of the library's own
// (workers.h). Every call but the first returns at once; the first waits for the first round,
// at most half a second. README.md in this folder draws the whole way from a source to a call.
#include <windows.h>

#include "sensors/system/diagnosis.h"
#include "sensors/system/workers.h"
#include "sensors/vesk_diagnosis.h"

static Session sessions[sourceCount];
static Workers workers(sources, sessions, sourceCount);

// Nothing here: the loader lock is held, and reading files or starting threads from it can
// stall the host or deadlock.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

static Readings chosen(long* rounds = nullptr)
{
    Readings latest[maxSources];
    // The threads keep the module that holds this code loaded while they run.
    long done = workers.latest(reinterpret_cast<const void*>(&DllMain), latest);
    if (rounds)
        *rounds = done;
    return chooseFresh(latest, sourceCount, GetTickCount());
}

VESK_EXPORT int GetCPUTemperature(void)
{
    return chosen().cpu.value;
}

VESK_EXPORT int GetMBTemperature(void)
{
    return chosen().mb.value;
}

VESK_EXPORT int GetFanCPURPM(void)
{
    return chosen().fan.value;
}

VESK_EXPORT int DescribeReadings(char* text, int size)
{
    long rounds;
    Readings readings = chosen(&rounds);
    if (text)
        describeReadings(sources, sourceCount, readings, rounds, text, size);
    return static_cast<int>(rounds);
}
