#include "sensors/system/access/registry.h"

#include <windows.h>

static const unsigned long long staleAfter = 15ull * 10000000ull; // 15 s in FILETIME units

static unsigned long long ticksOf(const FILETIME& time)
{
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

static bool written(HKEY key)
{
    FILETIME write{}, now;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &write)
        != ERROR_SUCCESS)
        return false;
    GetSystemTimeAsFileTime(&now);
    unsigned long long then = ticksOf(write), at = ticksOf(now);
    if (then == 0)
        return true;
    return at > then ? at - then <= staleAfter : then - at <= staleAfter;
}

// Enough for a gadget of a hundred readings.
static const int maxValues = 512;

bool RegistryKey::read(const char* path, Published& published)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    Field* storage = values.reserve(maxValues);
    FieldList fields(storage, storage ? maxValues : 0);
    bool live = written(key);
    // A value whose name or data does not fit is passed over: on ERROR_MORE_DATA the buffers'
    // contents are undefined.
    for (DWORD index = 0; live && index < 4096; ++index) {
        char name[sizeof Field::name];
        unsigned char data[512];
        DWORD nameLength = sizeof name, type = 0, size = sizeof data;
        LONG status = RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &size);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        Field field(0, name);
        if (status == ERROR_SUCCESS && fieldFromRegistry(type, data, size, field))
            fields.add(field);
    }
    RegCloseKey(key);
    fields.publish(published);
    return live;
}
