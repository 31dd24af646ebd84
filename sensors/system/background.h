// Readings from sources that can stall for seconds (WMI, PDH), gathered on a thread of the
// library's own so that the caller, a window's thread, never waits for them.
#pragma once

#include <windows.h>

#include "sensors/system/readings.h"

struct SlowSource {
    void (*begin)();                // on the worker, before its first query
    bool (*query)(Readings& found); // false: nothing could be asked now, the last readings stand
    void (*end)();                  // on the worker, after its last query
};

class Background {
public:
    // Queries every interval ms while asked; after idle ms without a call the worker ends,
    // and the next call starts another.
    Background(const SlowSource& source, DWORD interval, DWORD idle);

    // Never waits: starts the worker when none runs and returns the last good readings (0
    // until the first query is done). While a worker runs it holds a reference on module, so
    // a host that frees the library does not pull the code from under it.
    Readings latest(HMODULE module);
    bool running() const { return active != 0; }

private:
    static DWORD WINAPI run(LPVOID self);
    void start(HMODULE module);
    void store(const Readings& found);

    SlowSource source;
    DWORD interval, idle;
    volatile LONG active = 0;
    volatile LONG lastAsked = 0;
    volatile LONG cpu = 0, mb = 0, fan = 0;
    HMODULE pinned = nullptr;
};
