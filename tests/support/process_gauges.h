// What a process holds, read from outside: its GDI and USER objects, handles, windows and
// memory. Wine has no count of GDI or USER objects (GetGuiResources fails there) nor of
// handles (GetProcessHandleCount says 0); handles are then counted in the system's table.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <vector>

struct ProcessGauges {
    DWORD gdiObjects = 0, userObjects = 0; // 0 where the platform cannot count them
    bool guiCounted = false;
    DWORD handles = 0;
    DWORD windows = 0;                     // top-level windows and their descendants
    DWORD threads = 0;
    SIZE_T privateBytes = 0, workingSet = 0;
};

namespace gauges_detail {

struct HandleEntry {
    ULONG processId;
    BYTE objectType, flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

// Counts the process's entries in the system handle table (NtQuerySystemInformation class 16).
inline DWORD handlesInSystemTable(DWORD processId)
{
    using QueryFn = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    const LONG infoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<char> buffer(1 << 16);
    LONG status;
    ULONG needed = 0;
    while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) == infoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return 0;
    auto table = reinterpret_cast<const HandleTable*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < table->count; ++i)
        if (table->entries[i].processId == processId)
            ++count;
    return count;
}

struct WindowCount {
    DWORD processId, count;
};

inline BOOL CALLBACK countChild(HWND, LPARAM context)
{
    ++reinterpret_cast<WindowCount*>(context)->count;
    return TRUE;
}

inline BOOL CALLBACK countTopLevel(HWND window, LPARAM context)
{
    auto windows = reinterpret_cast<WindowCount*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId) {
        ++windows->count;
        EnumChildWindows(window, countChild, context);
    }
    return TRUE;
}

} // namespace gauges_detail

inline DWORD threadsOf(DWORD processId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread;
    thread.dwSize = sizeof thread;
    DWORD count = 0;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        count += thread.th32OwnerProcessID == processId;
    CloseHandle(snapshot);
    return count;
}

// The process handle needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ; CreateProcess's has both.
inline ProcessGauges readGauges(HANDLE process)
{
    ProcessGauges g;
    SetLastError(0);
    g.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    g.guiCounted = GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
    g.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    DWORD processId = GetProcessId(process);
    if (!GetProcessHandleCount(process, &g.handles) || g.handles == 0)
        g.handles = gauges_detail::handlesInSystemTable(processId);
    gauges_detail::WindowCount windows{processId, 0};
    EnumWindows(gauges_detail::countTopLevel, reinterpret_cast<LPARAM>(&windows));
    g.windows = windows.count;
    g.threads = threadsOf(processId);
    // The commit charge is the process's private bytes; Wine fills it in the first version of
    // the record, where PrivateUsage is not.
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
        g.privateBytes = memory.PagefileUsage;
        g.workingSet = memory.WorkingSetSize;
    }
    return g;
}
