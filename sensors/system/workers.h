// Each source on its own clock. Copying a mapping or reading a registry key never blocks, so
// those sources take turns on one thread; WMI has a thread of its own, and so has every other
// source (a web server, a counter, the hwmon files), as any of them may stall for seconds or for
// ever, and a stalled source must hold back nothing but itself. The exports only ever copy what the
// threads last read.
#pragma once

#include <windows.h>

#include "sensors/system/sources.h"

constexpr int maxSources = 16;

class Workers {
public:
    // Reads each source every interval ms while it finds something, every quietInterval ms
    // while it finds nothing; after idle ms without a call the threads end, and the next call
    // starts them again.
    constexpr Workers(const Source* table, int count, DWORD interval = 2000, DWORD quietInterval = 5000,
                      DWORD idle = 30000)
        : table(table), count(count < maxSources ? count : maxSources), interval(interval),
          quietInterval(quietInterval), idle(idle)
    {
    }

    // The latest readings of each source, in the table's order, and the rounds complete: the
    // fewest reads done by any source that is not stalled, a source being stalled while one of
    // its reads has taken longer than a second. A call that starts the threads (the first, say)
    // waits until every source has been read once, at most half a second, so that the first
    // answer holds real values; every other call returns at once. While a thread runs it holds
    // a reference on module, so that a host that frees the library does not pull the code from
    // under it.
    long latest(HMODULE module, Readings (&out)[maxSources]);

    bool running() const;

private:
    struct Row {
        Readings readings;
        long reads = 0;
        DWORD busySince = 0;
        bool busy = false;
        bool absent = false; // its kind of access does not exist here (no Winsock, no PDH ...)
    };
    struct Clock {
        Workers* owner = nullptr;
        int id = 0;
        LONG running = 0;
        bool unavailable = false; // its access does not exist here: never started again
        HMODULE pin = nullptr;
    };

    static DWORD WINAPI run(LPVOID clock);
    void loop(int clock);
    bool start(HMODULE module);
    long rounds();
    int clockOf(int row) const;
    void lock();
    void unlock();

    const Source* table;
    int count;
    DWORD interval, quietInterval, idle;
    LONG lastAsked = 0;
    LONG guard = 0; // held for a copy of a few rows, never longer
    Row rows[maxSources];
    Clock clocks[maxSources + 2];
};
