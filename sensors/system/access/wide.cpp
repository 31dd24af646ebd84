#include "sensors/system/access/wide.h"

#include "sensors/system/access/bind.h"

template <typename Function>
static Function kernel32(const char* name)
{
    Function function;
    bind(GetModuleHandleA("kernel32.dll"), name, function);
    return function;
}

// True when the wide function ran; false when this Windows has none, as Windows 9x says.
static bool ran(bool called)
{
    return called && GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
}

static void toAnsi(const WCHAR* wide, char (&ansi)[MAX_PATH])
{
    if (!WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, MAX_PATH, nullptr, nullptr))
        ansi[0] = '\0';
}

static void toWide(const char* ansi, WCHAR* wide, int size)
{
    if (!MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, size))
        wide[0] = 0;
}

HANDLE openForReading(const WCHAR* path)
{
    auto createFile = kernel32<decltype(&CreateFileW)>("CreateFileW");
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE, normal = FILE_ATTRIBUTE_NORMAL;
    SetLastError(ERROR_SUCCESS);
    HANDLE file = createFile ? createFile(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, normal, nullptr)
                             : INVALID_HANDLE_VALUE;
    if (file != INVALID_HANDLE_VALUE || ran(createFile != nullptr))
        return file;
    char ansi[MAX_PATH];
    toAnsi(path, ansi);
    return CreateFileA(ansi, GENERIC_READ, share, nullptr, OPEN_EXISTING, normal, nullptr);
}

DWORD fileAttributes(const WCHAR* path)
{
    auto attributes = kernel32<decltype(&GetFileAttributesW)>("GetFileAttributesW");
    SetLastError(ERROR_SUCCESS);
    DWORD found = attributes ? attributes(path) : INVALID_FILE_ATTRIBUTES;
    if (found != INVALID_FILE_ATTRIBUTES || ran(attributes != nullptr))
        return found;
    char ansi[MAX_PATH];
    toAnsi(path, ansi);
    return GetFileAttributesA(ansi);
}

void forEachEntry(const WCHAR* pattern, void (*found)(const char* name, void* context), void* context)
{
    auto findFirst = kernel32<decltype(&FindFirstFileW)>("FindFirstFileW");
    auto findNext = kernel32<decltype(&FindNextFileW)>("FindNextFileW");
    WIN32_FIND_DATAW wide;
    SetLastError(ERROR_SUCCESS);
    HANDLE search = findFirst && findNext ? findFirst(pattern, &wide) : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            char name[MAX_PATH];
            toAnsi(wide.cFileName, name);
            found(name, context);
        } while (findNext(search, &wide));
    } else if (!ran(findFirst && findNext)) {
        char ansiPattern[MAX_PATH];
        toAnsi(pattern, ansiPattern);
        WIN32_FIND_DATAA ansi;
        search = FindFirstFileA(ansiPattern, &ansi);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do
            found(ansi.cFileName, context);
        while (FindNextFileA(search, &ansi));
    } else {
        return;
    }
    FindClose(search);
}

// A path or value the wide function gave, else what the ANSI one gives, widened; false when
// there is none or it does not fit.
template <typename Ansi>
static bool widened(DWORD length, bool wideRan, Ansi ansiFunction, WCHAR (&path)[MAX_PATH])
{
    if (length == 0 && !wideRan) {
        char ansi[MAX_PATH];
        length = ansiFunction(ansi);
        if (length > 0 && length < MAX_PATH)
            toWide(ansi, path, MAX_PATH);
    }
    return length > 0 && length < MAX_PATH;
}

bool environmentPath(const char* name, WCHAR (&value)[MAX_PATH])
{
    auto variable = kernel32<decltype(&GetEnvironmentVariableW)>("GetEnvironmentVariableW");
    WCHAR wideName[64];
    toWide(name, wideName, 64);
    SetLastError(ERROR_SUCCESS);
    DWORD length = variable ? variable(wideName, value, MAX_PATH) : 0;
    return widened(length, ran(variable != nullptr),
                   [&](char* ansi) { return GetEnvironmentVariableA(name, ansi, MAX_PATH); }, value);
}

HMODULE loadLibrary(const WCHAR* path)
{
    auto load = kernel32<decltype(&LoadLibraryW)>("LoadLibraryW");
    SetLastError(ERROR_SUCCESS);
    HMODULE module = load ? load(path) : nullptr;
    if (module || ran(load != nullptr))
        return module;
    char ansi[MAX_PATH];
    toAnsi(path, ansi);
    return LoadLibraryA(ansi);
}

bool modulePath(HMODULE module, WCHAR (&path)[MAX_PATH])
{
    auto fileName = kernel32<decltype(&GetModuleFileNameW)>("GetModuleFileNameW");
    SetLastError(ERROR_SUCCESS);
    DWORD length = fileName ? fileName(module, path, MAX_PATH) : 0;
    return widened(length, ran(fileName != nullptr),
                   [&](char* ansi) { return GetModuleFileNameA(module, ansi, MAX_PATH); }, path);
}

const WCHAR* commandLine(WCHAR (&buffer)[1024])
{
    auto line = kernel32<decltype(&GetCommandLineW)>("GetCommandLineW");
    SetLastError(ERROR_SUCCESS);
    const WCHAR* wide = line ? line() : nullptr;
    if (wide && *wide)
        return wide;
    toWide(GetCommandLineA(), buffer, 1024);
    return buffer;
}
