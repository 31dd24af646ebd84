// What one call of each export costs on the hwmon path, against the floor: one bare
// open-read-close of a file, which every call makes at least once.
//   sensor_bench.exe PATH\TO\vesk.dll FLOOR_FILE...
// The library reads whatever VESK_SYSFS_ROOT names, or the machine's own /sys. Prints the
// median of 10,000 timed calls of each export, then of each floor file, in microseconds.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

static const int calls = 10000;
static double samples[calls];
static LARGE_INTEGER frequency;

static int byValue(const void* a, const void* b)
{
    double x = *static_cast<const double*>(a), y = *static_cast<const double*>(b);
    return x < y ? -1 : x > y;
}

template <typename Work>
static double medianMicroseconds(Work work)
{
    for (int i = 0; i < calls; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        samples[i] = (end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart;
    }
    qsort(samples, calls, sizeof samples[0], byValue);
    return samples[calls / 2];
}

static void backslashes(char* path)
{
    for (; *path; ++path)
        if (*path == '/')
            *path = '\\';
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: sensor_bench PATH\\TO\\vesk.dll FLOOR_FILE...\n");
        return 1;
    }
    for (int i = 1; i < argc; ++i)
        backslashes(argv[i]);
    QueryPerformanceFrequency(&frequency);
    HMODULE library = LoadLibraryA(argv[1]);
    if (!library) {
        fprintf(stderr, "sensor_bench: cannot load %s\n", argv[1]);
        return 2;
    }
    const char* names[] = {"GetCPUTemperature", "GetMBTemperature", "GetFanCPURPM"};
    for (const char* name : names) {
        auto reading = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(library, name)));
        if (!reading) {
            fprintf(stderr, "sensor_bench: no %s\n", name);
            return 3;
        }
        int value = reading();
        printf("%-18s %8.1f us  (reads %d)\n", name, medianMicroseconds(reading), value);
    }
    for (int i = 2; i < argc; ++i) {
        const char* floorFile = argv[i];
        double floor = medianMicroseconds([floorFile] {
            char text[32];
            DWORD got;
            HANDLE file = CreateFileA(floorFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                ReadFile(file, text, sizeof text - 1, &got, nullptr);
                CloseHandle(file);
            }
        });
        printf("%-18s %8.1f us  (open-read-close of %s)\n", "floor", floor, floorFile);
    }
    FreeLibrary(library);
    return 0;
}
