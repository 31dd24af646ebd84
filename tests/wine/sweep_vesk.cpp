// A "vesk.dll" for long runs: readings that sweep every band (sweep_readings.h), computed in
// memory and never logged, and the sample count a driver needs (sample_counter.h).
//
// It also stands between quellor.exe and Shell_NotifyIconA, and hands the shell only one icon
// change in ten, answering the others itself as the shell would. Wine's tray takes over 2 ms
// for each change of icon (the benchmarks measure it), which would make the soak's
// thousands of samples a matter of minutes. Quellor's side of every sample, its Shell_NotifyIconA call
// included, still runs every time; additions and removals always reach the shell.
#include <windows.h>
#include <shellapi.h>

#include "sweep_readings.h"
#include "test_library.h"

static long sampleNumber() { return counter ? counter->samples : 0; }

extern "C" __declspec(dllexport) int GetCPUTemperature(void) { return sweepCpu(sampleNumber()); }
extern "C" __declspec(dllexport) int GetFanCPURPM(void) { return sweepFan(sampleNumber()); }
extern "C" __declspec(dllexport) int GetMBTemperature(void)
{
    countSample();
    return sweepMb(sampleNumber());
}

using NotifyFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
static NotifyFn realNotify;

static BOOL WINAPI sparingNotify(DWORD command, PNOTIFYICONDATAA data)
{
    static unsigned modifications;
    if (command == NIM_MODIFY && modifications++ % 10 != 0)
        return TRUE;
    return realNotify(command, data);
}

BOOL WINAPI DllMain(HINSTANCE library, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        attachTestLibrary(library);
        realNotify = reinterpret_cast<NotifyFn>(
            replaceImport("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(sparingNotify)));
    }
    return TRUE;
}
