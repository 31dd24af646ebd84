#include "core/sensor_library.h"

SensorLibrary sensorLibrary;

static void showError(const char* text)
{
    MessageBoxA(nullptr, text, "Error", MB_ICONERROR);
}

// A bare name is also looked for in the current directory, so a "vesk.dll" planted in
// whatever folder Quellor is started from would run inside it. Naming a DLL directory takes
// that folder out of the search. We name the application's own folder, which is searched
// first anyway: Windows would take "" just as well, but Wine ignores an empty one. The
// system folders and PATH stay. Windows 95/98/Me and NT 4 have no SetDllDirectoryA and keep
// their old search order.
static void leaveCurrentDirectoryOutOfSearch()
{
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
    auto setDllDirectory = reinterpret_cast<SetDllDirectoryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA")));
    if (!setDllDirectory)
        return;
    char folder[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, folder, sizeof folder);
    char* name = nullptr; // the last backslash, before the file's own name
    if (length < sizeof folder) {
        folder[length] = '\0';
        for (char* c = folder; *c; ++c)
            if (*c == '\\')
                name = c;
    }
    if (name)
        name[1] = '\0';
    setDllDirectory(name ? folder : "");
}

HINSTANCE SensorLibrary::load()
{
    leaveCurrentDirectoryOutOfSearch();
    module = LoadLibraryA("vesk.dll");
    if (!module)
        showError("Vesk DLLs Load Error");
    return module;
}

static bool bind(HINSTANCE module, const char* name, SensorReadFn& entry)
{
    entry = reinterpret_cast<SensorReadFn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (entry)
        return true;
    char text[80];
    wsprintfA(text, "Function '%s' Address Error", name);
    showError(text);
    return false;
}

int SensorLibrary::resolve()
{
    if (bind(module, "GetCPUTemperature", cpuTemperature) && bind(module, "GetMBTemperature", mbTemperature)
        && bind(module, "GetFanCPURPM", cpuFanSpeed))
        return 0;
    return -1;
}

void SensorLibrary::unload()
{
    FreeLibrary(module);
}
