#include "sensors/system/workers.h"

#include "sensors/system/access/counter.h"
#include "sensors/system/access/http.h"
#include "sensors/system/access/hwmon_files.h"
#include "sensors/system/access/mapping.h"
#include "sensors/system/access/registry.h"
#include "sensors/system/access/wmi.h"

// A read taking longer than this has stalled: the rounds go on without its source.
static const DWORD stalledAfterMs = 1000;
// How long the call that starts the threads waits for their first round.
static const DWORD firstRoundMs = 500;

// Mappings and keys on clock 0, all of WMI on clock 1 (one service: when it stalls, it stalls for
// every namespace, and each thread that brings COM up costs more than the queries), every other
// source on a clock of its own.
int Workers::clockOf(int row) const
{
    Access access = table[row].access;
    if (access == Access::Mapping || access == Access::UndatedMapping || access == Access::Registry)
        return 0;
    return access == Access::Wmi ? 1 : row + 2;
}

// Seconds since 1970, as the monitors that date their data stamp it.
static long long unixTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<long long>((ticks - 116444736000000000ull) / 10000000ull);
}

namespace {

// What a thread keeps from one read to the next, for its kind of access.
struct Sessions {
    WmiSession wmi[maxSources]; // a connection for each namespace
    CounterSession counter;
    HwmonFiles hwmon;
    ChangeWatch watches[maxSources][2]; // an undated mapping's, one per address
};

bool open(const Source& source, int row, Sessions& sessions)
{
    switch (source.access) {
    case Access::Http: return startHttp();
    case Access::Wmi: return sessions.wmi[row].open();
    case Access::Counter: return sessions.counter.open(source.address.name, source.orElse.name);
    case Access::Hwmon: return sessions.hwmon.open();
    default: return true;
    }
}

void close(Access access, int row, Sessions& sessions)
{
    switch (access) {
    case Access::Http: stopHttp(); break;
    case Access::Wmi: sessions.wmi[row].close(); break;
    case Access::Counter: sessions.counter.close(); break;
    default: releaseMappingCopies(); break;
    }
}

bool fetch(Access access, int row, const Address& address, Sessions& sessions, Published& published)
{
    switch (access) {
    case Access::Mapping:
    case Access::UndatedMapping: return copyMapping(address.name, address.detail, published.bytes);
    case Access::Registry: return readRegistryKey(address.name, published);
    case Access::Http: return httpGet(address.name, published.bytes);
    case Access::Wmi: return sessions.wmi[row].query(address.name, address.detail, published);
    case Access::Counter: return sessions.counter.read(address.name, published);
    case Access::Hwmon: return sessions.hwmon.read(published);
    }
    return false;
}

// The source's address, else its second one: the access hands over what it finds, the monitor
// makes offers of it, and the choice checks and keeps them. False when neither address could
// be read at all.
bool readSource(const Source& source, int row, Sessions& sessions, Readings& readings)
{
    Choice choice(source.name);
    const Address* addresses[] = {&source.address, &source.orElse};
    bool fetched = false;
    for (int i = 0; i < 2; ++i) {
        if (i > 0 && !addresses[i]->name)
            break;
        Published published;
        published.address = addresses[i]->name ? addresses[i]->name : "";
        published.now = unixTimeNow();
        if (!fetch(source.access, row, *addresses[i], sessions, published))
            continue;
        fetched = true;
        if (source.access == Access::UndatedMapping && !sessions.watches[row][i].fresh(published.bytes, GetTickCount()))
            continue; // a monitor that quit, and someone else holds its mapping open
        if (source.monitor(published, choice))
            break;
    }
    readings = choice.readings();
    readings.cpu.readAt = readings.mb.readAt = readings.fan.readAt = GetTickCount();
    return fetched;
}

} // namespace

void Workers::lock()
{
    while (InterlockedExchange(&guard, 1) != 0)
        Sleep(0);
}

void Workers::unlock()
{
    InterlockedExchange(&guard, 0);
}

void Workers::loop(int clock)
{
    Sessions sessions;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        if (clockOf(i) != clock)
            continue;
        bool opened = open(table[i], i, sessions);
        any = any || opened;
        lock();
        rows[i].absent = !opened;
        unlock();
    }
    if (!any) {
        clocks[clock].unavailable = true;
        return;
    }
    while (GetTickCount() - static_cast<DWORD>(lastAsked) < idle) {
        bool found = false;
        for (int i = 0; i < count; ++i) {
            if (clockOf(i) != clock || rows[i].absent)
                continue;
            lock();
            rows[i].busy = true;
            rows[i].busySince = GetTickCount();
            unlock();
            Readings readings;
            bool fetched = readSource(table[i], i, sessions, readings);
            found = found || readings.cpu.found || readings.mb.found || readings.fan.found;
            // A source on a clock of its own that could not be read (a request timed out, a
            // query failed) keeps its last readings, which age; for a mapping or a key, not
            // being there means its monitor does not run.
            lock();
            if (fetched || clock == 0)
                rows[i].readings = readings;
            ++rows[i].reads;
            rows[i].busy = false;
            unlock();
        }
        Sleep(found ? interval : quietInterval);
    }
    for (int i = 0; i < count; ++i)
        if (clockOf(i) == clock && !rows[i].absent)
            close(table[i].access, i, sessions);
}

DWORD WINAPI Workers::run(LPVOID parameter)
{
    Clock& clock = *static_cast<Clock*>(parameter);
    clock.owner->loop(clock.id);
    // Read before letting go: a call after that may start a new thread with its own pin.
    HMODULE pin = clock.pin;
    InterlockedExchange(&clock.running, 0);
    if (pin)
        FreeLibraryAndExitThread(pin, 0);
    return 0;
}

bool Workers::start(HMODULE module)
{
    bool started = false;
    for (int id = 0; id < count + 2; ++id) {
        bool used = false;
        for (int i = 0; i < count; ++i)
            used = used || clockOf(i) == id;
        // running is only ever 0 or 1, so an exchange does what a compare-and-exchange would,
        // and also on the 386, which has no instruction for the latter. A thread stalled in a
        // read still runs, and is left to it.
        Clock& clock = clocks[id];
        if (!used || clock.unavailable || InterlockedExchange(&clock.running, 1) != 0)
            continue;
        lock();
        for (int i = 0; i < count; ++i)
            if (clockOf(i) == id)
                rows[i] = Row{};
        unlock();
        clock.owner = this;
        clock.id = id;
        // Loading our own file again only counts one more reference to the module.
        char path[MAX_PATH];
        clock.pin = module && GetModuleFileNameA(module, path, MAX_PATH) ? LoadLibraryA(path) : nullptr;
        DWORD threadId; // Windows 9x refuses to start a thread without somewhere to put its id
        HANDLE thread = CreateThread(nullptr, 0, run, &clock, 0, &threadId);
        if (thread) {
            CloseHandle(thread);
            started = true;
            continue;
        }
        if (clock.pin)
            FreeLibrary(clock.pin);
        lock();
        for (int i = 0; i < count; ++i)
            rows[i].absent = rows[i].absent || clockOf(i) == id;
        unlock();
        InterlockedExchange(&clock.running, 0);
    }
    return started;
}

// With the guard held.
long Workers::rounds()
{
    DWORD now = GetTickCount();
    long fewest = -1;
    for (int i = 0; i < count; ++i) {
        const Row& row = rows[i];
        if (row.absent || (row.busy && now - row.busySince > stalledAfterMs))
            continue;
        if (fewest < 0 || row.reads < fewest)
            fewest = row.reads;
    }
    return fewest < 0 ? 0 : fewest;
}

long Workers::latest(HMODULE module, Readings (&out)[maxSources])
{
    InterlockedExchange(&lastAsked, static_cast<LONG>(GetTickCount()));
    if (start(module)) {
        for (DWORD begin = GetTickCount(); GetTickCount() - begin < firstRoundMs; Sleep(5)) {
            lock();
            long done = rounds();
            unlock();
            if (done > 0)
                break;
        }
    }
    lock();
    for (int i = 0; i < count; ++i)
        out[i] = rows[i].readings;
    long done = rounds();
    unlock();
    return done;
}

bool Workers::running() const
{
    for (const Clock& clock : clocks)
        if (clock.running)
            return true;
    return false;
}
