#include "sensors/system/background.h"

Background::Background(const SlowSource& source, DWORD interval, DWORD idle)
    : source(source), interval(interval), idle(idle)
{
}

Readings Background::latest(HMODULE module)
{
    InterlockedExchange(&lastAsked, static_cast<LONG>(GetTickCount()));
    if (InterlockedCompareExchange(&active, 1, 0) == 0)
        start(module);
    Readings last;
    last.cpu = cpu;
    last.mb = mb;
    last.fan = fan;
    return last;
}

void Background::start(HMODULE module)
{
    // Loading our own file again only counts one more reference to the module.
    pinned = nullptr;
    char path[MAX_PATH];
    if (module && GetModuleFileNameA(module, path, MAX_PATH))
        pinned = LoadLibraryA(path);
    HANDLE thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    if (!thread) {
        if (pinned)
            FreeLibrary(pinned);
        InterlockedExchange(&active, 0);
        return;
    }
    CloseHandle(thread);
}

void Background::store(const Readings& found)
{
    InterlockedExchange(&cpu, found.cpu);
    InterlockedExchange(&mb, found.mb);
    InterlockedExchange(&fan, found.fan);
}

DWORD WINAPI Background::run(LPVOID self)
{
    auto& background = *static_cast<Background*>(self);
    background.source.begin();
    while (GetTickCount() - static_cast<DWORD>(background.lastAsked) < background.idle) {
        Readings found;
        if (background.source.query(found))
            background.store(found);
        Sleep(background.interval);
    }
    background.source.end();
    // Read before letting go: a call after that may start a new worker with its own pin.
    HMODULE pin = background.pinned;
    InterlockedExchange(&background.active, 0);
    if (pin)
        FreeLibraryAndExitThread(pin, 0);
    return 0;
}
