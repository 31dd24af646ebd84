#include "sensors/system/background.h"

static bool foundAny(const Snapshot& snapshot)
{
    return snapshot.monitors.cpu.found || snapshot.monitors.mb.found || snapshot.monitors.fan.found
        || snapshot.zone.cpu.found;
}

void Background::lock()
{
    while (InterlockedExchange(&guard, 1) != 0)
        Sleep(0);
}

void Background::unlock()
{
    InterlockedExchange(&guard, 0);
}

Snapshot Background::latest(HMODULE module)
{
    InterlockedExchange(&lastAsked, static_cast<LONG>(GetTickCount()));
    // active is only ever 0 or 1, so an exchange does what a compare-and-exchange would, and
    // also on the 386, which has no instruction for the latter.
    if (InterlockedExchange(&active, 1) == 0)
        start(module);
    lock();
    Snapshot last = snapshot;
    unlock();
    return last;
}

void Background::start(HMODULE module)
{
    // Loading our own file again only counts one more reference to the module.
    pinned = nullptr;
    char path[MAX_PATH];
    if (module && GetModuleFileNameA(module, path, MAX_PATH))
        pinned = LoadLibraryA(path);
    DWORD id; // Windows 9x refuses to start a thread without somewhere to put its id
    HANDLE thread = CreateThread(nullptr, 0, run, this, 0, &id);
    if (!thread) {
        if (pinned)
            FreeLibrary(pinned);
        InterlockedExchange(&active, 0);
        return;
    }
    CloseHandle(thread);
}

void Background::store(const Snapshot& found, bool answered)
{
    lock();
    long rounds = snapshot.rounds + 1;
    if (answered)
        snapshot = found;
    snapshot.rounds = rounds;
    unlock();
}

void Background::forget()
{
    lock();
    long rounds = snapshot.rounds;
    snapshot = Snapshot{};
    snapshot.rounds = rounds;
    unlock();
}

DWORD WINAPI Background::run(LPVOID self)
{
    auto& background = *static_cast<Background*>(self);
    background.source.begin();
    while (GetTickCount() - static_cast<DWORD>(background.lastAsked) < background.idle) {
        Snapshot found;
        bool answered = background.source.query(found);
        background.store(found, answered);
        Sleep(answered && foundAny(found) ? background.interval : background.quietInterval);
    }
    background.source.end();
    // What the next worker shows before its first round must not be this one's old values.
    background.forget();
    // Read before letting go: a call after that may start a new worker with its own pin.
    HMODULE pin = background.pinned;
    InterlockedExchange(&background.active, 0);
    if (pin)
        FreeLibraryAndExitThread(pin, 0);
    return 0;
}
