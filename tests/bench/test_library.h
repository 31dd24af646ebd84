// What the fast test sensor libraries share: counting samples for the driver, and telling it
// when quellor.exe has finished starting. Included once, by the library's own source.
#pragma once

#include <windows.h>

#include "sample_counter.h"

namespace {

SampleCounter* counter;
HANDLE reached, ready;

// Called from GetMBTemperature, which every sample calls exactly once.
void countSample()
{
    if (counter && InterlockedIncrement(&counter->samples) == counter->target)
        SetEvent(reached);
}

// Puts replacement in place of module!name in the executable's import table and returns what
// was there, or null when the executable does not import it.
void* replaceImport(const char* module, const char* name, void* replacement)
{
    auto base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), module) != 0)
            continue;
        auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), name) != 0)
                continue;
            auto original = reinterpret_cast<void*>(slots->u1.Function);
            DWORD protection;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return original;
        }
    }
    return nullptr;
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
