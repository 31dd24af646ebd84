// Readings from sources that can stall for seconds (WMI, PDH, a web server), gathered on a
// thread of the library's own so that the caller, a window's thread, never waits for them.
#pragma once

#include <windows.h>

#include "sensors/system/readings.h"

struct SlowSource {
    void (*begin)();                 // on the worker, before its first query
    bool (*query)(Snapshot& found);  // false: nothing could be asked now, the last snapshot stands
    void (*end)();                   // on the worker, after its last query
};

class Background {
public:
    // Queries every interval ms while asked, or every quietInterval ms while the last query
    // found nothing (0: the same); after idle ms without a call the worker ends, and the next
    // call starts another.
    constexpr Background(const SlowSource& source, DWORD interval, DWORD idle, DWORD quietInterval = 0)
        : source(source), interval(interval), quietInterval(quietInterval ? quietInterval : interval), idle(idle)
    {
    }

    // Never waits: starts the worker when none runs and returns the last snapshot (nothing
    // found and no rounds until the first query is done). While a worker runs it holds a
    // reference on module, so a host that frees the library does not pull the code from
    // under it.
    Snapshot latest(HMODULE module);
    bool running() const { return active != 0; }

private:
    static DWORD WINAPI run(LPVOID self);
    void start(HMODULE module);
    void store(const Snapshot& found, bool answered);
    void forget();
    void lock();
    void unlock();

    SlowSource source;
    DWORD interval, quietInterval, idle;
    LONG active = 0;
    LONG lastAsked = 0;
    LONG guard = 0; // held for the few hundred bytes' copy of snapshot, never longer
    Snapshot snapshot;
    HMODULE pinned = nullptr;
};
