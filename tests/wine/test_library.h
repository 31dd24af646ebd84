// What the fast test sensor libraries share: counting samples for the driver, and telling it
// when quellor.exe has finished starting. Included once, by the library's own source.
#pragma once

#include <windows.h>

#include "replace_import.h"
#include "tests/support/sample_counter.h"

namespace {

SampleCounter* counter;
HANDLE reached, ready;

// Called from GetMBTemperature, which every sample calls exactly once. Only this thread counts,
// so the count read back is this sample's (the 386 has no instruction that adds and fetches).
void countSample()
{
    if (!counter)
        return;
    InterlockedIncrement(&counter->samples);
    if (counter->samples == counter->target)
        SetEvent(reached);
}

using GetMessageFn = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);
GetMessageFn realGetMessage;
bool started;

// The first wait for a message comes when the window, its first values and the icon are all
// done: start-up is over.
BOOL WINAPI watchedGetMessage(LPMSG message, HWND window, UINT first, UINT last)
{
    if (!started) {
        started = true;
        SetEvent(ready);
    }
    return realGetMessage(message, window, first, last);
}

// watchedGetMessage stays in the import table for good (the compiler may keep the entry in a
// register for the whole message loop), so the library is pinned: Quellor frees it before its
// last GetMessageA.
void watchForFirstMessageWait(HINSTANCE library)
{
    HMODULE pinned;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCSTR>(library), &pinned);
    realGetMessage = reinterpret_cast<GetMessageFn>(
        replaceImport("user32.dll", "GetMessageA", reinterpret_cast<void*>(watchedGetMessage)));
}

// Everything is made when the library loads, before the first sample, so that a test comparing
// the process's handles after the first sample and later sees none of it come or go.
void attachTestLibrary(HINSTANCE library)
{
    DWORD self = GetCurrentProcessId();
    HANDLE mapping; // kept open for the process's life
    counter = mapCounter(self, mapping);
    reached = reachedEvent(self);
    ready = readyEvent(self);
    watchForFirstMessageWait(library);
}

} // namespace
