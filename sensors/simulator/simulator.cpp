// A "vesk.dll" without hardware, for demonstrations and screenshots. The readings follow the
// sweep in sweep.h, by the time since the library was loaded, so a screenshot taken a given
// number of seconds after start shows the same values. Two environment variables, read once
// at load, change that:
//   VESK_SIM_TIME=seconds  stops the clock there, in whole seconds: every call gives that
//                          moment's readings.
//   VESK_REPLAY=file       replays the file's lines instead (see replay.h), starting over
//                          after the last. Each GetCPUTemperature call moves to the next line;
//                          the board and fan give the line of the latest CPU reading.
#include <windows.h>

#include "sensors/simulator/replay.h"
#include "sensors/simulator/sweep.h"
#include "sensors/vesk.h"

static DWORD loadedAt;
static bool clockStopped;
static double stoppedAt;

static ReplayLine replay[maxReplayLines];
static int replayCount;
static volatile LONG replayCalls; // CPU readings given so far

static void readClock()
{
    char text[32];
    DWORD length = GetEnvironmentVariableA("VESK_SIM_TIME", text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return;
    const char* start = text;
    while (*start == ' ' || *start == '\t')
        ++start;
    int whole;
    clockStopped = parseWholeNumber(start, whole) != start;
    stoppedAt = whole;
}

// Up to 64 KiB of readings, about an hour of them at Quellor's pace.
static void readReplay()
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("VESK_REPLAY", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    static char text[65536];
    DWORD got = 0;
    ReadFile(file, text, sizeof text - 1, &got, nullptr);
    CloseHandle(file);
    text[got] = '\0';
    replayCount = parseReplay(text, replay, maxReplayLines);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        loadedAt = GetTickCount();
        readClock();
        readReplay();
    }
    return TRUE;
}

static double seconds()
{
    return clockStopped ? stoppedAt : (GetTickCount() - loadedAt) / 1000.0;
}

// The line of the latest CPU reading; before the first, the first line.
static const ReplayLine& currentLine()
{
    LONG calls = replayCalls;
    return replay[calls > 0 ? (calls - 1) % replayCount : 0];
}

// The 386 cannot add and fetch in one instruction (Windows 95's InterlockedIncrement returns
// only the sign of the result for that reason), so the count is read afterwards: callers that
// overlap may both get the later line.
VESK_EXPORT int GetCPUTemperature(void)
{
    if (replayCount == 0)
        return sweepCpu(seconds());
    InterlockedIncrement(&replayCalls);
    return currentLine().cpu;
}

VESK_EXPORT int GetMBTemperature(void)
{
    return replayCount ? currentLine().mb : sweepBoard(seconds());
}

VESK_EXPORT int GetFanCPURPM(void)
{
    return replayCount ? currentLine().fan : sweepFan(seconds());
}
