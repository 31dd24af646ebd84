// Loads a "vesk.dll" and prints its three readings on one line, "cpu mb fan", then, for a
// library that can say, where each comes from:
//   readings.exe PATH\TO\vesk.dll      (no argument: the vesk.dll beside readings.exe)
//   55 34 1257
//   CPU 55 from HWiNFO shared memory, "CPU Package"
//   ...
// or, when nothing gives any reading, which monitors would. The setup program shows the same
// on its last page.
// The system library asks the monitors on a worker thread: this waits, up to 10 s, for its
// first round to finish before reading. scripts/choose-sensor and the tests run it under Wine.
// Exit status: 0 with the readings printed, 2 when the library does not load, 3 when an export
// is missing.
#include <windows.h>

#include "sensors/vesk_diagnosis.h"

using ReadingFn = int (*)();
using DescribeFn = int (*)(char*, int);

static void write(const char* text)
{
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(lstrlenA(text)), &written, nullptr);
}

static void fail(const char* what, const char* path)
{
    char line[MAX_PATH + 80];
    wsprintfA(line, "readings: %s %s (error %lu)\r\n", what, path, GetLastError());
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
}

// The first argument of the command line, unquoted, with "/" as "\" (scripts hand over
// "Z:/..." paths and LoadLibrary wants backslashes); else the vesk.dll beside this program.
static void libraryPath(char (&path)[MAX_PATH])
{
    const char* line = GetCommandLineA();
    char end = *line == '"' ? '"' : ' ';
    for (line += *line == '"'; *line && *line != end; ++line) {
    }
    if (*line)
        ++line;
    while (*line == ' ')
        ++line;
    end = *line == '"' ? '"' : ' ';
    line += *line == '"';
    int n = 0;
    for (; *line && *line != end && n < MAX_PATH - 1; ++line)
        path[n++] = *line == '/' ? '\\' : *line;
    path[n] = '\0';
    if (n > 0)
        return;
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != '\\')
        --length;
    lstrcpynA(path + length, "vesk.dll", MAX_PATH - static_cast<int>(length));
}

template <typename Function>
static Function bind(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

static int run()
{
    char path[MAX_PATH];
    libraryPath(path);
    HMODULE library = LoadLibraryA(path);
    if (!library) {
        fail("cannot load", path);
        return 2;
    }
    auto cpu = bind<ReadingFn>(library, "GetCPUTemperature");
    auto mb = bind<ReadingFn>(library, "GetMBTemperature");
    auto fan = bind<ReadingFn>(library, "GetFanCPURPM");
    auto describe = bind<DescribeFn>(library, "DescribeReadings");
    if (!cpu || !mb || !fan) {
        fail("lacks an export:", path);
        return 3;
    }
    static char sources[1024];
    if (describe) {
        cpu(); // the first call starts the worker
        for (DWORD start = GetTickCount(); describe(nullptr, 0) == 0 && GetTickCount() - start < 10000;)
            Sleep(20);
    }
    char line[64];
    int c = cpu(), m = mb(), f = fan();
    wsprintfA(line, "%d %d %d\r\n", c, m, f);
    write(line);
    if (describe) {
        describe(sources, sizeof sources);
        write(sources);
    }
    FreeLibrary(library);
    return 0;
}

// No C runtime: readings.exe ships beside quellor.exe and must start on a bare Windows 95.
extern "C" void readingsStart()
{
    ExitProcess(static_cast<UINT>(run()));
}
