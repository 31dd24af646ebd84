#include "sensors/system/thermal_zone_counter.h"

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

#include "sensors/system/units.h"

namespace thermalZone {

// PDH, bound at run time: Windows 9x and NT 4 have no pdh.dll, and the library must still load.
static HMODULE pdh;
static PDH_STATUS(WINAPI* openQuery)(LPCSTR, DWORD_PTR, PDH_HQUERY*);
static PDH_STATUS(WINAPI* addCounter)(PDH_HQUERY, LPCSTR, DWORD_PTR, PDH_HCOUNTER*);
static PDH_STATUS(WINAPI* collect)(PDH_HQUERY);
static PDH_STATUS(WINAPI* formattedArray)(PDH_HCOUNTER, DWORD, LPDWORD, LPDWORD, PPDH_FMT_COUNTERVALUE_ITEM_A);
static PDH_STATUS(WINAPI* closeQuery)(PDH_HQUERY);

static PDH_HQUERY query;
static PDH_HCOUNTER counter;
static bool tenthsOfKelvin; // "High Precision Temperature"; the older counter has whole kelvins
static PDH_STATUS failure;

template <typename Function>
static bool bind(const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(pdh, name)));
    return function != nullptr;
}

static bool fail(PDH_STATUS status)
{
    failure = status;
    return false;
}

static bool loadPdh()
{
    pdh = LoadLibraryA("pdh.dll");
    if (!pdh)
        return false;
    // The English names work on every language of Windows since Vista; before, only the
    // localised ones do, and English systems are all this can find there.
    if (!bind("PdhAddEnglishCounterA", addCounter) && !bind("PdhAddCounterA", addCounter))
        return false;
    return bind("PdhOpenQueryA", openQuery) && bind("PdhCollectQueryData", collect)
        && bind("PdhGetFormattedCounterArrayA", formattedArray) && bind("PdhCloseQuery", closeQuery);
}

bool open()
{
    failure = ERROR_SUCCESS;
    if (!loadPdh()) {
        close();
        return fail(PDH_CSTATUS_NO_OBJECT);
    }
    PDH_STATUS status = openQuery(nullptr, 0, &query);
    if (status != ERROR_SUCCESS) {
        query = nullptr;
        close();
        return fail(status);
    }
    tenthsOfKelvin = true;
    status = addCounter(query, "\\Thermal Zone Information(*)\\High Precision Temperature", 0, &counter);
    if (status != ERROR_SUCCESS) {
        tenthsOfKelvin = false;
        status = addCounter(query, "\\Thermal Zone Information(*)\\Temperature", 0, &counter);
    }
    if (status != ERROR_SUCCESS) {
        close();
        return fail(status);
    }
    return true;
}

void close()
{
    if (query)
        closeQuery(query);
    query = nullptr;
    counter = nullptr;
    if (pdh)
        FreeLibrary(pdh);
    pdh = nullptr;
}

bool read(int& degrees)
{
    if (!query)
        return fail(PDH_INVALID_HANDLE);
    PDH_STATUS status = collect(query);
    if (status != ERROR_SUCCESS)
        return fail(status);
    // A handful of zones at most; what does not fit here is not looked at.
    static union {
        PDH_FMT_COUNTERVALUE_ITEM_A items[1];
        char bytes[8192];
    } buffer;
    DWORD size = sizeof buffer, count = 0;
    status = formattedArray(counter, PDH_FMT_LONG | PDH_FMT_NOSCALE, &size, &count, buffer.items);
    if (status != ERROR_SUCCESS)
        return fail(status);
    long hottest = 0;
    for (DWORD i = 0; i < count; ++i) {
        const PDH_FMT_COUNTERVALUE& value = buffer.items[i].FmtValue;
        // A counter's first or only collection reports its value as new data, later ones as
        // valid data: both are readings.
        bool hasData = value.CStatus == PDH_CSTATUS_VALID_DATA || value.CStatus == PDH_CSTATUS_NEW_DATA;
        if (hasData && value.longValue > hottest && value.longValue < 100000) // beyond any kelvin
            hottest = value.longValue;
    }
    degrees = degreesFromKelvinTenths(tenthsOfKelvin ? hottest : hottest * 10);
    return isTemperature(degrees) || fail(PDH_NO_DATA);
}

long lastError()
{
    return failure;
}

} // namespace thermalZone
