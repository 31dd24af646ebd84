// A performance counter's instances through PDH, which any user may read. On a thread of its
// own: PDH can take seconds to answer.
#pragma once

#include "sensors/system/published.h"

class CounterSession {
public:
    // Loads PDH; false where there is none (Windows 9x and NT 4).
    bool open();
    void close();

    // Every instance of the counter ("\Thermal Zone Information(*)\Temperature") that has data
    // now, as a field of its own row named after the instance; false when the counter is missing
    // (older Windows, Wine) or has no instance with data.
    bool read(const char* path, Published& published);

    // The PDH status of the last failure.
    long lastError() const { return failure; }

private:
    bool fail(long status);
    void closeQuery();

    void* query = nullptr;
    void* counter = nullptr;
    const char* added = nullptr; // the path of the counter in the query
    long failure = 0;
};
