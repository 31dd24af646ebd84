// Each source on a thread. Copying a mapping or reading a key never blocks, so those sources
// take turns on one, the lookout, which also looks at every other source's sign each round
// (sources.h) and starts that source's thread only while the sign says it may have something.
// WMI has a thread of its own, and so has every other source (a web server, a counter, the
// hwmon files), as any of them may stall for seconds or for ever, and a stalled source must
// hold back nothing but itself. The exports only ever copy what the threads last read.
#pragma once

#include <windows.h>

#include "sensors/system/access/counter.h"
#include "sensors/system/access/http.h"
#include "sensors/system/access/hwmon_files.h"
#include "sensors/system/access/mapping.h"
#include "sensors/system/access/registry.h"
#include "sensors/system/access/wmi.h"
#include "sensors/system/sources.h"

constexpr int maxSources = 16;

// How often the threads read and how long they wait; the tests shorten them.
struct Timing {
    DWORD interval = 2000;      // ms between a source's reads while it finds something
    DWORD quietInterval = 5000; // while it finds nothing
    DWORD idle = 30000;         // without a call, after which the threads end
    DWORD unchangedFor = 60000; // an undated mapping whose bytes stay the same this long is stale
    DWORD countedFor = 15000;   // a count of updates that stays the same this long: as a stamp's age
};

// What a source keeps from one round to the next. It belongs to the source's row and lives as
// long as the library, so that a thread that ends and starts again forgets nothing (when an
// undated mapping last changed, above all); only the thread that reads the source touches it,
// and what its access took (memory, DLLs) is given back when that thread ends.
struct Session {
    MappingCopy mapping;
    ChangeWatch watches[2]; // an undated mapping's, or a count of updates, one for each address
    RegistryKey registry;
    HttpSession http;
    WmiSession wmi;
    CounterSession counter;
    HwmonFiles hwmon;
    bool open = false;        // its access was brought up and not yet closed
    bool unavailable = false; // its access does not exist here (no Winsock, no PDH ...): never again
};

class Workers {
public:
    // sessions: one for each source of the table, kept apart from the rest so that, all zero
    // at first, they take no room in the library's file.
    constexpr Workers(const Source* table, Session* sessions, int count, Timing timing = {})
        : table(table), sessions(sessions), count(count < maxSources ? count : maxSources), timing(timing)
    {
    }

    // The latest readings of each source, in the table's order, and the rounds complete: the
    // lookout's, none of them counting from the moment a source's sign appears until that
    // source has been read once. A source stalls while its thread has spent more than a second
    // in one open or read, and so does every source waiting behind it on that thread; it then
    // counts as read.
    // A call that starts the threads (the first, say) waits until a round is complete, at most
    // half a second, so that the first answer holds real values; every other call returns at
    // once. Each thread holds a reference on the module that holds code (an address in it), so
    // that a host that frees the library does not pull the code from under it; where none can
    // be had, the call waits until the threads have read once and ended.
    long latest(const void* code, Readings (&out)[maxSources]);

private:
    // What the threads and the callers share, under the guard.
    struct Row {
        Readings readings;
        long reads = 0;            // since its sign last appeared
        long askedFrom = 0;        // the lookout's rounds complete when it did
        bool present = false;      // its sign says it may have something
        bool unavailable = false;  // its access does not exist here
    };
    struct Thread {
        Workers* owner = nullptr;
        int id = 0;
        LONG running = 0;
        HMODULE pin = nullptr;
        bool busy = false; // in an open or a read since busySince, under the guard
        DWORD busySince = 0;
    };

    static DWORD WINAPI run(LPVOID thread);
    void loop(int thread);
    void lookOut();
    bool start(int thread);
    void setBusy(int thread, bool busy);
    long rounds();
    int threadOf(int row) const;
    void lock();
    void unlock();

    const Source* table;
    Session* sessions;
    int count;
    Timing timing;
    const void* code = nullptr;
    bool pinless = false; // no reference could be had: every thread reads once and ends
    LONG lastAsked = 0;
    LONG guard = 0; // held for a copy of a few rows, never longer
    long lookoutRounds = 0;
    Row rows[maxSources];
    Thread threads[maxSources + 2];
};
