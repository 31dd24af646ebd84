#include "sensors/system/workers.h"

#include "sensors/system/access/bind.h"
#include "sensors/system/access/presence.h"
#include "sensors/system/access/wide.h"
#include "sensors/system/numbers.h"

// A thread that has spent longer than this in one open or read has stalled: the rounds go on
// without its sources.
static const DWORD stalledAfterMs = 1000;
// How long the call that starts the threads waits for their first round.
static const DWORD firstRoundMs = 500;

// Mappings and keys on thread 0, the lookout; all of WMI on thread 1 (one service: when it
// stalls, it stalls for every namespace, and each thread that brings COM up costs more than
// the queries); every other source on a thread of its own.
int Workers::threadOf(int row) const
{
    Access access = table[row].access;
    if (access == Access::Mapping || access == Access::UndatedMapping || access == Access::Registry)
        return 0;
    return access == Access::Wmi ? 1 : row + 2;
}

namespace {

bool open(const Source& source, Session& session)
{
    switch (source.access) {
    case Access::Http: return session.http.open();
    case Access::Wmi: return session.wmi.open();
    case Access::Counter: return session.counter.open(source.address.name, source.orElse.name);
    case Access::Hwmon: return session.hwmon.open(hwmonRules);
    default: return true;
    }
}

void close(Session& session)
{
    session.mapping.release();
    session.registry.release();
    session.http.close();
    session.wmi.close();
    session.counter.close();
    session.hwmon.close();
    session.open = false;
}

bool fetch(Access access, const Address& address, Session& session, Published& published)
{
    switch (access) {
    case Access::Mapping:
    case Access::UndatedMapping: return session.mapping.read(address.name, address.detail, published.bytes);
    case Access::Registry: return session.registry.read(address.name, published);
    case Access::Http: return session.http.get(address.name, published.bytes);
    case Access::Wmi: return session.wmi.query(address.name, address.detail, published);
    case Access::Counter: return session.counter.read(address.name, published);
    case Access::Hwmon: return session.hwmon.read(published);
    }
    return false;
}

// The source's address, else its second one: the access hands over what it finds, the parser
// makes offers of it, and the choice checks and keeps them. False when neither address could
// be read at all.
bool readSource(const Source& source, Session& session, const Timing& timing, Readings& readings)
{
    Choice choice(source.name);
    const Address* addresses[] = {&source.address, &source.orElse};
    bool fetched = false;
    for (int i = 0; i < 2; ++i) {
        if (i > 0 && !addresses[i]->name)
            break;
        Published published;
        published.address = addresses[i]->name ? addresses[i]->name : "";
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        published.now = unixSeconds((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
        if (!fetch(source.access, *addresses[i], session, published))
            continue;
        fetched = true;
        if (source.access == Access::UndatedMapping
            && !session.watches[i].fresh(published.bytes, GetTickCount(), timing.unchangedFor))
            continue; // a monitor that quit, and someone else holds its mapping open
        if (!source.parse(published, choice))
            continue;
        unsigned long updates;
        if (choice.updateCount(updates)
            && !session.watches[i].fresh(Bytes(reinterpret_cast<const unsigned char*>(&updates), sizeof updates),
                                         GetTickCount(), timing.countedFor))
            choice = Choice(source.name); // its count stopped: what it shows is old
        break;
    }
    readings = choice.readings();
    readings.cpu.readAt = readings.mb.readAt = readings.fan.readAt = GetTickCount();
    return fetched;
}

// For each row, whether its sign says it may have something now. One snapshot of the process
// list serves every program named.
void lookForSigns(const Source* table, int count, bool (&present)[maxSources])
{
    const char* names[2 * maxSources];
    bool running[2 * maxSources];
    int named = 0;
    bool zones = false;
    for (int i = 0; i < count; ++i) {
        for (const char* program : table[i].programs)
            if (table[i].sign == Sign::Program && program)
                names[named++] = program;
        zones = zones || table[i].sign == Sign::ThermalZones || table[i].sign == Sign::ThermalZonesAsAdmin;
    }
    if (named > 0)
        findPrograms(names, named, running);
    zones = zones && hasThermalZones();
    for (int i = 0, name = 0; i < count; ++i) {
        switch (table[i].sign) {
        case Sign::None: present[i] = true; break;
        case Sign::Program:
            present[i] = false;
            for (const char* program : table[i].programs)
                if (program)
                    present[i] = running[name++] || present[i];
            break;
        case Sign::ThermalZones: present[i] = zones; break;
        case Sign::ThermalZonesAsAdmin: present[i] = zones && runsAsAdministrator(); break;
        case Sign::KernelFiles: present[i] = hwmonFilesPresent(); break;
        }
    }
}

// A reference of the thread's own on the module whose code it runs; FreeLibraryAndExitThread
// lets go of it.
HMODULE pin(const void* code)
{
    // Windows XP and later take it from an address, whatever the file is called.
    BOOL(WINAPI * byAddress)(DWORD, LPCWSTR, HMODULE*);
    HMODULE module = nullptr;
    if (bind(GetModuleHandleA("kernel32.dll"), "GetModuleHandleExW", byAddress))
        return code && byAddress(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(code), &module) ? module
                                                                                                            : nullptr;
    // Before, loading the module's own file again counts one more reference: by its wide name
    // on NT 4 and 2000, by its ANSI name on Windows 9x, whose file names are ANSI.
    MEMORY_BASIC_INFORMATION region;
    WCHAR path[MAX_PATH];
    if (!code || VirtualQuery(code, &region, sizeof region) != sizeof region
        || !modulePath(static_cast<HMODULE>(region.AllocationBase), path))
        return nullptr;
    return loadLibrary(path);
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

void Workers::setBusy(int thread, bool busy)
{
    lock();
    threads[thread].busy = busy;
    threads[thread].busySince = GetTickCount();
    unlock();
}

// The lookout's first step each round: the signs, and the thread of every source that may
// have something, when it does not run yet.
void Workers::lookOut()
{
    bool present[maxSources];
    lookForSigns(table, count, present);
    bool wanted[maxSources + 2] = {};
    lock();
    for (int i = 0; i < count; ++i) {
        if (present[i] && !rows[i].present) {
            rows[i].reads = 0;
            rows[i].askedFrom = lookoutRounds;
        }
        rows[i].present = present[i];
        wanted[threadOf(i)] = wanted[threadOf(i)] || (present[i] && !rows[i].unavailable);
    }
    unlock();
    for (int id = 1; id < count + 2; ++id)
        if (wanted[id])
            start(id);
}

void Workers::loop(int id)
{
    do {
        if (id == 0)
            lookOut();
        bool any = false, found = false;
        for (int i = 0; i < count; ++i) {
            if (threadOf(i) != id)
                continue;
            Session& session = sessions[i];
            lock();
            bool present = rows[i].present;
            unlock();
            if (!present || session.unavailable) {
                if (session.open)
                    close(session);
                continue;
            }
            any = true;
            setBusy(id, true);
            if (!session.open) {
                session.open = open(table[i], session);
                session.unavailable = !session.open;
            }
            Readings readings;
            bool fetched = session.open && readSource(table[i], session, timing, readings);
            found = found || readings.cpu.found || readings.mb.found || readings.fan.found;
            // A source on a thread of its own that could not be read (a request timed out, a
            // query failed) keeps its last readings, which age; for a mapping or a key, not
            // being there means its monitor does not run.
            lock();
            if (fetched || id == 0)
                rows[i].readings = readings;
            rows[i].unavailable = session.unavailable;
            ++rows[i].reads;
            threads[id].busy = false;
            unlock();
        }
        if (id == 0) {
            lock();
            ++lookoutRounds;
            unlock();
        } else if (!any) {
            break; // none of its sources may have anything now: the lookout starts it again
        }
        if (!pinless)
            Sleep(found ? timing.interval : timing.quietInterval);
    } while (!pinless && GetTickCount() - static_cast<DWORD>(lastAsked) < timing.idle);
    for (int i = 0; i < count; ++i)
        if (threadOf(i) == id && sessions[i].open)
            close(sessions[i]);
}

DWORD WINAPI Workers::run(LPVOID parameter)
{
    Thread& thread = *static_cast<Thread*>(parameter);
    thread.owner->loop(thread.id);
    // Read before letting go: a start after that may give the thread a new pin.
    HMODULE pin = thread.pin;
    InterlockedExchange(&thread.running, 0);
    if (pin)
        FreeLibraryAndExitThread(pin, 0);
    return 0;
}

bool Workers::start(int id)
{
    // running is only ever 0 or 1, so an exchange does what a compare-and-exchange would, and
    // also on the 386, which has no instruction for the latter. A thread stalled in a read
    // still runs, and is left to it.
    Thread& thread = threads[id];
    if (InterlockedExchange(&thread.running, 1) != 0)
        return false;
    thread.owner = this;
    thread.id = id;
    thread.pin = pinless ? nullptr : pin(code);
    lock();
    thread.busy = false;
    unlock();
    DWORD threadId; // Windows 9x refuses to start a thread without somewhere to put its id
    HANDLE handle = CreateThread(nullptr, 0, run, &thread, 0, &threadId);
    if (handle) {
        CloseHandle(handle);
        return true;
    }
    if (thread.pin)
        FreeLibrary(thread.pin);
    lock();
    for (int i = 0; i < count; ++i)
        if (threadOf(i) == id)
            sessions[i].unavailable = rows[i].unavailable = true;
    unlock();
    InterlockedExchange(&thread.running, 0);
    return false;
}

// With the guard held.
long Workers::rounds()
{
    long done = lookoutRounds;
    DWORD now = GetTickCount();
    for (int i = 0; i < count; ++i) {
        const Thread& thread = threads[threadOf(i)];
        bool stalled = thread.busy && now - thread.busySince > stalledAfterMs;
        if (rows[i].present && !rows[i].unavailable && !stalled && rows[i].reads == 0 && rows[i].askedFrom < done)
            done = rows[i].askedFrom;
    }
    return done;
}

long Workers::latest(const void* inModule, Readings (&out)[maxSources])
{
    InterlockedExchange(&lastAsked, static_cast<LONG>(GetTickCount()));
    if (!threads[0].running) {
        // A fresh start: what the rows held is from before the threads last ended.
        code = inModule;
        HMODULE reference = pin(code);
        pinless = !reference;
        if (reference)
            FreeLibrary(reference);
        lock();
        for (Row& row : rows) {
            row.readings = Readings{};
            row.reads = 0;
            row.present = false; // until the lookout's first round; unavailable stays so
        }
        lookoutRounds = 0;
        unlock();
        if (start(0)) {
            for (DWORD begin = GetTickCount(); GetTickCount() - begin < firstRoundMs || pinless; Sleep(5)) {
                lock();
                long done = rounds();
                unlock();
                bool ended = true;
                for (const Thread& thread : threads)
                    ended = ended && !thread.running;
                if (pinless ? ended : done > 0)
                    break;
            }
        }
    }
    lock();
    for (int i = 0; i < count; ++i)
        out[i] = rows[i].readings;
    long done = rounds();
    unlock();
    return done;
}
