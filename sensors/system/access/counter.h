// A performance counter's instances through PDH, which any user may read. On a thread of its
// own: PDH can take seconds to answer.
#pragma once

#include <windows.h>
#include <pdh.h>

#include "sensors/system/access/memory.h"
#include "sensors/system/published.h"

class CounterSession {
public:
    // Loads PDH and adds the first of the two counters that this Windows has, each a path such
    // as "\Thermal Zone Information(*)\Temperature"; false where there is no PDH (Windows 9x
    // and NT 4) or neither counter (older Windows, Wine), which no later read would change.
    bool open(const char* path, const char* orElse);
    void close();

    // Every instance of the counter that has data now, as a field of its own row named after
    // the instance; false for any other path than the one added, or when no instance has data.
    bool read(const char* path, Published& published);

private:
    bool add(const char* path);
    void closeQuery();

    HMODULE pdh = nullptr;
    PDH_STATUS(WINAPI* openQuery)(LPCSTR, DWORD_PTR, PDH_HQUERY*) = nullptr;
    PDH_STATUS(WINAPI* addCounter)(PDH_HQUERY, LPCSTR, DWORD_PTR, PDH_HCOUNTER*) = nullptr;
    PDH_STATUS(WINAPI* collect)(PDH_HQUERY) = nullptr;
    PDH_STATUS(WINAPI* formattedArray)(PDH_HCOUNTER, DWORD, LPDWORD, LPDWORD, PPDH_FMT_COUNTERVALUE_ITEM_A) = nullptr;
    PDH_STATUS(WINAPI* closeQueryHandle)(PDH_HQUERY) = nullptr;

    PDH_HQUERY query = nullptr;
    PDH_HCOUNTER counter = nullptr;
    const char* added = nullptr; // the path of the counter in the query
    Block<Field> instances;
};
