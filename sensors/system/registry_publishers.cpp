#include <windows.h>

#include "sensors/system/publishers.h"
#include "sensors/system/text_formats.h"

// A monitor that quit leaves its values behind; the key's last write tells whether it still
// polls. Windows 9x keeps no write times (they read as zero): its keys count as live.
static const unsigned long long staleAfter = 15ull * 10000000ull; // 15 s in FILETIME units

static bool live(HKEY key)
{
    FILETIME written{}, now;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &written)
        != ERROR_SUCCESS)
        return false;
    GetSystemTimeAsFileTime(&now);
    unsigned long long then = (static_cast<unsigned long long>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    unsigned long long at = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    if (then == 0)
        return true;
    return at > then ? at - then <= staleAfter : then - at <= staleAfter;
}

// A text value, cut to fit; "" when it is missing or not text.
template <int size>
static bool text(HKEY key, const char* name, char (&value)[size])
{
    DWORD type = 0, length = size - 1;
    value[0] = '\0';
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &length) != ERROR_SUCCESS
        || type != REG_SZ)
        return false;
    value[length < static_cast<DWORD>(size) ? length : size - 1] = '\0';
    return true;
}

static void name(char (&to)[32], const char* stem, int index)
{
    wsprintfA(to, "%s%d", stem, index);
}

// HWiNFO numbers the readings the user picked for its gadget 0, 1, 2 ... and numbers them
// anew when the choice changes: each round looks at all of them by name.
void readHwinfoGadget(Found& found)
{
    static const char* const keys[] = {"Software\\HWiNFO64\\VSB", "Software\\HWiNFO32\\VSB"};
    for (const char* path : keys) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        SensorChoice choice("HWiNFO gadget registry");
        bool any = false;
        if (live(key)) {
            for (int index = 0; index < 1000; ++index) {
                char valueName[32], label[sensorNameLength], sensor[128], raw[32], value[48];
                name(valueName, "Label", index);
                if (!text(key, valueName, label))
                    break;
                name(valueName, "Sensor", index);
                text(key, valueName, sensor);
                name(valueName, "ValueRaw", index);
                text(key, valueName, raw);
                name(valueName, "Value", index);
                text(key, valueName, value);
                offerGadgetEntry(choice, sensor, label, raw, value);
                any = true;
            }
        }
        RegCloseKey(key);
        if (any) {
            found = choice.found();
            return;
        }
    }
}

void readAidaRegistry(Found& found)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\FinalWire\\AIDA64\\SensorValues", 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return;
    SensorChoice choice("AIDA64 registry");
    if (live(key)) {
        static const char* const ids[] = {"TCPUPKG", "TCPU", "TMOBO", "FCPU"};
        for (const char* id : ids) {
            char valueName[32], label[sensorNameLength], value[32];
            wsprintfA(valueName, "Value.%s", id);
            if (!text(key, valueName, value))
                continue;
            wsprintfA(valueName, "Label.%s", id);
            text(key, valueName, label);
            offerAidaEntry(choice, id, label, value);
        }
    }
    RegCloseKey(key);
    found = choice.found();
}
