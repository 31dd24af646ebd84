// A sensor library, loaded into the test's own process or read through readings.exe.
#pragma once

#include <windows.h>

#include <string>

// The exports of a "vesk.dll", bound by name; describe is the system library's extra one.
struct SensorExports {
    explicit SensorExports(const std::string& path);
    ~SensorExports();
    bool bound() const { return cpu && mb && fan; }
    std::string readings() const; // "cpu mb fan", the CPU first, as Quellor calls them

    HMODULE library;
    int (*cpu)();
    int (*mb)();
    int (*fan)();
    int (*describe)(char* text, int size);
};

struct LibraryReadings {
    int cpu = -1, mb = -1, fan = -1;
    std::string sources; // the system library's account of where each comes from
};

std::string text(const LibraryReadings& readings); // "cpu mb fan"

// Runs readings.exe on a "vesk.dll" in a process of its own, so that the library reads the
// environment as it is now and its threads start afresh: it takes one reading of each export
// once the library's first round of asking its sources is complete (readings.exe waits for
// that, at most 10 s). False when the library does not load, lacks an export or the run does
// not end within 30 s.
bool readLibrary(const std::string& path, LibraryReadings& readings);
// The same with the readings.exe of folder, started with no argument: it reads the vesk.dll
// beside it, as the setup program has it do.
bool readLibraryIn(const std::wstring& folder, LibraryReadings& readings);
