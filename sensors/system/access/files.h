// Reading the kernel's small text files through Wine's Z: drive, or under VESK_SYSFS_ROOT,
// which may name a folder anywhere: paths are wide (access/wide.h).
#pragma once

#include <windows.h>

// A path built piece by piece. One that would not fit in MAX_PATH becomes empty, so
// whatever looks it up simply finds nothing.
class PathText {
public:
    explicit PathText(const WCHAR* start) { add(start); }
    explicit PathText(const char* start) { add(start); }
    PathText& add(const WCHAR* piece);
    PathText& add(const char* piece); // ASCII: the kernel's names and ours
    PathText& add(int number);
    const WCHAR* c_str() const { return text; }

private:
    WCHAR text[MAX_PATH] = {};
    bool overflowed = false;
};

// The file's text from offset 0, in one read into the caller's buffer, with the trailing
// line feed removed. sysfs files claim 4096 bytes (procfs ones 0) whatever they hold, so
// their size is never asked. False when the file cannot be opened or read (a sensor gone
// away, a driver answering ENODATA).
bool readAttributeText(const WCHAR* path, char* text, int size);

// The file's number; false when it cannot be read or holds no number.
bool readAttributeNumber(const WCHAR* path, long& value);

bool pathExists(const WCHAR* path);
