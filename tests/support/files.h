// Files, folders and the environment, as the Wine tests set them up and read them back; the
// native tests read files with readFile too.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

// The Windows name ("Z:\...") of a file the build names by its Linux path.
std::string windowsPath(const std::string& linuxPath);

inline std::string readFile(const std::string& path) // "" when missing
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void writeFile(const std::string& path, const std::string& content);

// Deletes a folder and everything in it, read-only files too.
void removeTree(const std::string& path);

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

// A fresh folder whose name holds letters the ANSI code page cannot spell ("lib-\u03a9\u6f22"), as a
// per-user folder under a Greek or Chinese name does; removed with everything in it.
class UnicodeFolder {
public:
    UnicodeFolder();
    ~UnicodeFolder();
    const std::wstring& path() const { return folder; }
    // Copies the file the build names by its Linux path in as name, and returns the copy's path.
    std::wstring copy(const std::string& linuxPath, const wchar_t* name) const;

private:
    std::wstring folder;
};

// Sets or (with nullptr) removes an environment variable for the object's lifetime.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value);
    ~ScopedVariable();

private:
    const char* name;
};

// What follows the first line of a log record (its date and time): "\r\nCPU 50\r\nMB 41", or
// the whole record when it has one line only, so that a failure shows what was there.
std::string afterDate(const std::string& record);
// Seconds since midnight, local time. Read just before and just after the moment a record
// should name, they bound the time on its first line: recordTimeWithin says whether it lies
// between them (false when the line has no time; across midnight any time will do).
int secondsOfDay();
bool recordTimeWithin(const std::string& record, int from, int until);

// Seconds since 1970, as the monitors stamp their data.
long long unixNow();
