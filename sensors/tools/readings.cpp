// Loads a "vesk.dll" and prints its three readings on one line, "cpu mb fan", then, for a
// library that can say, where each comes from:
//   readings.exe PATH\TO\vesk.dll      (no argument: the vesk.dll beside readings.exe)
//   55 34 1257
//   CPU 55 from HWiNFO shared memory, "CPU Package"
//   ...
// or, when nothing gives any reading, which monitors would. The setup program shows the same
// on its last page. Paths are wide, so that a folder under a user's name in any script works.
// The system library asks the monitors on threads of its own: this waits, up to 10 s, for its
// first round to finish before reading. scripts/choose-sensor and the tests run it under Wine.
// Exit status: 0 with the readings printed, 2 when the library does not load, 3 when an export
// is missing.
#include <windows.h>

#include "core/sensor_library.h"
#include "sensors/system/access/bind.h"
#include "sensors/system/access/wide.h"
#include "sensors/vesk_diagnosis.h"
#include "ui/argument_text.h"

using DescribeFn = int (*)(char*, int);

static void write(const char* text)
{
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(lstrlenA(text)), &written, nullptr);
}

static void fail(const char* what, const WCHAR* path)
{
    DWORD error = GetLastError();
    char name[MAX_PATH], line[MAX_PATH + 80];
    if (!WideCharToMultiByte(CP_ACP, 0, path, -1, name, MAX_PATH, nullptr, nullptr))
        name[0] = '\0';
    wsprintfA(line, "readings: %s %s (error %lu)\r\n", what, name, error);
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
}

// The first argument, unquoted, with "/" as "\" (scripts hand over "Z:/..." paths and
// LoadLibrary wants backslashes); else the vesk.dll beside this program.
static void libraryPath(WCHAR (&path)[MAX_PATH])
{
    WCHAR buffer[1024];
    const WCHAR* line = argumentText(commandLine(buffer));
    WCHAR end = *line == '"' ? '"' : ' ';
    line += *line == '"';
    int n = 0;
    for (; *line && *line != end && n < MAX_PATH - 1; ++line)
        path[n++] = *line == '/' ? '\\' : *line;
    path[n] = 0;
    if (n > 0 || !modulePath(nullptr, path))
        return;
    for (n = 0; path[n]; ++n) {
    }
    while (n > 0 && path[n - 1] != '\\')
        --n;
    const char beside[] = "vesk.dll";
    for (int i = 0; i < static_cast<int>(sizeof beside) && n < MAX_PATH; ++i)
        path[n++] = static_cast<unsigned char>(beside[i]);
    path[MAX_PATH - 1] = 0;
}

static int run()
{
    WCHAR path[MAX_PATH];
    libraryPath(path);
    HMODULE library = loadLibrary(path);
    if (!library) {
        fail("cannot load", path);
        return 2;
    }
    SensorReadFn cpu, mb, fan;
    DescribeFn describe;
    bind(library, "DescribeReadings", describe);
    if (!bind(library, "GetCPUTemperature", cpu) || !bind(library, "GetMBTemperature", mb)
        || !bind(library, "GetFanCPURPM", fan)) {
        fail("lacks an export:", path);
        return 3;
    }
    static char sources[1024];
    if (describe) {
        cpu(); // the first call starts the threads
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
