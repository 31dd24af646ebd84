// Reading the kernel's small text files through Wine's Z: drive.
#pragma once

#include <windows.h>

// A path built piece by piece. One that would not fit in MAX_PATH becomes empty, so
// whatever looks it up simply finds nothing.
class PathText {
public:
    explicit PathText(const char* start) { add(start); }
    PathText& add(const char* piece);
    PathText& add(int number);
    const char* c_str() const { return text; }

private:
    char text[MAX_PATH] = "";
    bool overflowed = false;
};

// The file's text from offset 0, in one read into the caller's buffer, with the trailing
// line feed removed. sysfs files claim 4096 bytes (procfs ones 0) whatever they hold, so
// their size is never asked. False when the file cannot be opened or read (a sensor gone
// away, a driver answering ENODATA).
bool readAttributeText(const char* path, char* text, int size);

// The file's number; false when it cannot be read or holds no number.
bool readAttributeNumber(const char* path, long& value);

bool pathExists(const char* path);
