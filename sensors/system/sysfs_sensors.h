// The readings under Wine on Linux: the hwmon and thermal-zone files chosen when the library
// loads, each read afresh on every call.
#pragma once

#include <windows.h>

#include "sensors/system/sysfs_rules.h"

class SysfsSensors {
public:
    enum Reading { Cpu, Board, Fan, readingCount };

    // Chooses the three files under root ("Z:\sys", or a copy of one); without the drive
    // or the folders, every reading is 0.
    void open(const char* root);

    // A temperature outside 0..125 degrees reads 0. A file that cannot be read, or whose
    // folder now belongs to another chip (a driver reloaded renumbers them), sends the
    // library to choose again; when nothing else is found the same file is tried next time.
    int read(Reading reading);

    // What the reading comes from: `coretemp "Package id 0"`, `it8686 temp1`,
    // `thermal zone x86_pkg_temp`, or `none`.
    const char* source(Reading reading) const { return files[reading].description; }

private:
    struct File {
        char path[MAX_PATH] = "";      // "" when there is no source
        char namePath[MAX_PATH] = "";  // the chip's name, or the zone's type
        char name[maxNameLength] = ""; // what namePath held when the file was chosen
        bool temperature = false;
        char description[2 * maxNameLength + 16] = "none";
    };

    // Scans the machine and takes the choice for each reading that wants one.
    void choose(const bool (&wanted)[readingCount]);
    bool readNumber(const File& file, long& value) const;

    char root[MAX_PATH] = "";
    File files[readingCount];
};
