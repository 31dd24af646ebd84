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
};

std::string text(const LibraryReadings& readings); // "cpu mb fan"

// Loads a "vesk.dll" (whose DllMain reads the environment as it is now), takes one reading
// of each export, and frees it. False when it does not load or lacks an export.
bool readLibrary(const std::string& path, LibraryReadings& readings);

// The same, for a library that stays loaded while things change: before each reading, runs
// the next change.
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
