// A performance counter's instances through PDH, which any user may read. On a thread of its
// own: PDH can take seconds to answer.
#pragma once

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

    void* query = nullptr;
    void* counter = nullptr;
    const char* added = nullptr; // the path of the counter in the query
};
