// Loads a "vesk.dll" and prints its three readings on one line: "cpu mb fan". Used by
// scripts/choose-sensor to find out whether the system library sees anything on this machine.
//   readings.exe PATH\TO\vesk.dll
// Exit status: 0 with the readings printed, 1 for a wrong argument, 2 when the library does
// not load, 3 when an export is missing.
#include <windows.h>

#include <stdio.h>

using ReadingFn = int (*)();

static ReadingFn bind(HMODULE library, const char* name)
{
    return reinterpret_cast<ReadingFn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: readings PATH\\TO\\vesk.dll\n");
        return 1;
    }
    // LoadLibrary wants backslashes; scripts hand over "Z:/..." paths.
    char path[MAX_PATH];
    lstrcpynA(path, argv[1], MAX_PATH);
    for (char* c = path; *c; ++c)
        if (*c == '/')
            *c = '\\';
    HMODULE library = LoadLibraryA(path);
    if (!library) {
        fprintf(stderr, "readings: cannot load %s (error %lu)\n", path, GetLastError());
        return 2;
    }
    ReadingFn cpu = bind(library, "GetCPUTemperature");
    ReadingFn mb = bind(library, "GetMBTemperature");
    ReadingFn fan = bind(library, "GetFanCPURPM");
    if (!cpu || !mb || !fan) {
        fprintf(stderr, "readings: %s lacks an export\n", path);
        return 3;
    }
    printf("%d %d %d\n", cpu(), mb(), fan());
    FreeLibrary(library);
    return 0;
}
