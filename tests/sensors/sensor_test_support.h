// What the Wine tests of the sensor libraries share.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The Windows name ("Z:\...") of a file the build names by its Linux path.
std::string windowsPath(const std::string& linuxPath);

struct LibraryReadings {
    int cpu = -1, mb = -1, fan = -1;
    std::string sources; // the system library's account of where each comes from
};

std::string text(const LibraryReadings& readings); // "cpu mb fan"

// Runs readings.exe on a "vesk.dll" in a process of its own, so that the library's DllMain
// reads the environment as it is now and its worker starts afresh: it takes one reading of
// each export once the library's first round of asking its sources is complete (readings.exe
// waits for that, at most 10 s). False when the library does not load, lacks an export or
// the run does not end within 30 s.
bool readLibrary(const std::string& path, LibraryReadings& readings);

// For a library that stays loaded while things change, in this process: before each reading,
// runs the next change. Its worker keeps the library loaded for a while after the last call,
// so a test that uses this must be the only one in its process to load the library.
bool readLibrary(const std::string& path, const std::vector<std::function<void()>>& changes,
                 std::vector<LibraryReadings>& readings);

// Sets or (with nullptr) removes an environment variable for the test's lifetime.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value);
    ~ScopedVariable();

private:
    const char* name;
};

// A fresh, empty folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const char* name);
    ~TempFolder();
    const std::string& path() const { return folder; }
    // Writes a file (creating its folders), relative to the folder.
    void write(const std::string& relative, const std::string& content) const;
    void makeFolder(const std::string& relative) const;
    void remove(const std::string& relative) const;

private:
    std::string folder;
};
