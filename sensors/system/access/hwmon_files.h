// The Linux hwmon and thermal-zone files, through Wine's Z: drive, on a thread of their own:
// some drivers take seconds to answer a read. The access scans the files and reads them; the
// rules it is handed (inventory.h) keep the chips and pick the files, once, and again when a
// picked file fails. Each read takes only the picked files.
#pragma once

#include <windows.h>

#include "sensors/system/access/memory.h"
#include "sensors/system/inventory.h"
#include "sensors/system/published.h"

// Whether there are files to read here: the folder VESK_SYSFS_ROOT names, else Wine's Z:\sys.
// Looks at one folder and reads no file, so it costs next to nothing where there is none.
bool hwmonFilesPresent();

class HwmonFiles {
public:
    // Finds the files under VESK_SYSFS_ROOT, else under Wine's Z:\sys, and has the rules pick;
    // false where there is neither (Windows, or a Wine without the drive).
    bool open(const HwmonRules& rules);
    void close() { state.release(); }

    // The picked files' numbers, rows 0, 1 and 2 for the CPU, board and fan, each with its
    // account as text: `coretemp "Package id 0"`, `it8686 temp1`, `thermal zone x86_pkg_temp`.
    // A file that cannot be read, or whose folder now belongs to another chip (a driver
    // reloaded renumbers them), is picked again; while nothing else turns up, the same file is
    // tried next time.
    bool read(Published& published);

private:
    enum { readingCount = 3 };
    struct File {
        WCHAR path[MAX_PATH];     // empty when the rules found none
        WCHAR namePath[MAX_PATH]; // the chip's name, or the zone's type
        char name[maxNameLength]; // what namePath held when the file was picked
        char description[2 * maxNameLength + 16];
    };
    // Taken while the files are read: the scan alone is too large for a thread's stack.
    struct State {
        HwmonRules rules;
        WCHAR root[MAX_PATH];
        File files[readingCount];
        Inventory found;
        Field values[readingCount];
    };

    void choose(State& state, const bool (&wanted)[readingCount]);
    static bool readNumber(const File& file, long& value);

    Block<State> state;
};
