#include "sensors/system/access/presence.h"

#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include "sensors/system/access/bind.h"
#include "sensors/system/access/memory.h"

static bool sameName(const WCHAR* name, unsigned long length, const char* ascii)
{
    auto lower = [](unsigned c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    unsigned long i = 0;
    for (; i < length && ascii[i]; ++i)
        if (lower(name[i]) != lower(static_cast<unsigned char>(ascii[i])))
            return false;
    return i == length && !ascii[i];
}

// The NT family's process list, straight from the kernel in one call: under Wine a third of
// what the same list costs through tool help. False where it cannot be had.
static bool listedByKernel(const char* const* names, int count, bool* running)
{
    LONG(WINAPI * query)(int, void*, ULONG, ULONG*);
    if (!bind(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation", query))
        return false;
    const int processes = 5; // SystemProcessInformation
    const LONG tooSmall = static_cast<LONG>(0xC0000004);
    Block<unsigned char> list;
    ULONG size = 256 << 10, needed = 0;
    LONG status = tooSmall;
    for (int tries = 0; tries < 4 && status == tooSmall; ++tries, size = needed + (64 << 10))
        status = list.reserve(size) ? query(processes, list.get(), size, &needed) : tooSmall;
    if (status != 0)
        return false;
    for (ULONG at = 0; at + sizeof(SYSTEM_PROCESS_INFORMATION) <= size;) {
        auto process = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list.get() + at);
        const UNICODE_STRING& image = process->ImageName;
        for (int i = 0; i < count; ++i)
            running[i] = running[i] || (image.Buffer && sameName(image.Buffer, image.Length / 2, names[i]));
        if (process->NextEntryOffset == 0)
            break;
        at += process->NextEntryOffset;
    }
    list.release();
    return true;
}

// Windows 9x lists its processes through tool help, each by its whole path.
static bool listedByToolHelp(const char* const* names, int count, bool* running)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    HANDLE(WINAPI * snapshot)(DWORD, DWORD);
    BOOL(WINAPI * first)(HANDLE, LPPROCESSENTRY32);
    BOOL(WINAPI * next)(HANDLE, LPPROCESSENTRY32);
    if (!bind(kernel, "CreateToolhelp32Snapshot", snapshot) || !bind(kernel, "Process32First", first)
        || !bind(kernel, "Process32Next", next))
        return false;
    HANDLE processes = snapshot(TH32CS_SNAPPROCESS, 0);
    if (processes == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = first(processes, &entry); more; more = next(processes, &entry)) {
        const char* name = entry.szExeFile;
        for (const char* at = entry.szExeFile; *at; ++at)
            if (*at == '\\')
                name = at + 1;
        for (int i = 0; i < count; ++i)
            running[i] = running[i] || lstrcmpiA(name, names[i]) == 0;
    }
    CloseHandle(processes);
    return true;
}

void findPrograms(const char* const* names, int count, bool* running)
{
    for (int i = 0; i < count; ++i)
        running[i] = false;
    if (listedByKernel(names, count, running) || listedByToolHelp(names, count, running))
        return;
    for (int i = 0; i < count; ++i)
        running[i] = true;
}

bool hasThermalZones()
{
    HKEY zones;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\ACPI\\ThermalZone", 0,
                                KEY_QUERY_VALUE, &zones);
    if (status == ERROR_SUCCESS)
        RegCloseKey(zones);
    return status != ERROR_FILE_NOT_FOUND;
}

// A member of the administrators' group whose token says so: with user account control, a
// process that was not elevated holds that group only to be denied by it.
bool runsAsAdministrator()
{
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    BOOL(WINAPI * allocate)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                            PSID*);
    BOOL(WINAPI * member)(HANDLE, PSID, PBOOL);
    PVOID(WINAPI * release)(PSID);
    if (!bind(advapi, "AllocateAndInitializeSid", allocate) || !bind(advapi, "CheckTokenMembership", member)
        || !bind(advapi, "FreeSid", release))
        return false;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators;
    if (!allocate(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators))
        return false;
    BOOL is = FALSE;
    if (!member(nullptr, administrators, &is))
        is = FALSE;
    release(administrators);
    return is != FALSE;
}
