#include "sensors/system/access/counter.h"

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

#include "sensors/system/access/bind.h"

// PDH, bound at run time: Windows 9x and NT 4 have no pdh.dll, and the library must still load.
static PDH_STATUS(WINAPI* openQuery)(LPCSTR, DWORD_PTR, PDH_HQUERY*);
static PDH_STATUS(WINAPI* addCounter)(PDH_HQUERY, LPCSTR, DWORD_PTR, PDH_HCOUNTER*);
static PDH_STATUS(WINAPI* collect)(PDH_HQUERY);
static PDH_STATUS(WINAPI* formattedArray)(PDH_HCOUNTER, DWORD, LPDWORD, LPDWORD, PPDH_FMT_COUNTERVALUE_ITEM_A);
static PDH_STATUS(WINAPI* closeQueryHandle)(PDH_HQUERY);

bool CounterSession::open(const char* path, const char* orElse)
{
    HMODULE pdh = LoadLibraryA("pdh.dll");
    // The English names work on every language of Windows since Vista; before, only the
    // localised ones do, and English systems are all this can find there.
    bool bound = (bind(pdh, "PdhAddEnglishCounterA", addCounter) || bind(pdh, "PdhAddCounterA", addCounter))
        && bind(pdh, "PdhOpenQueryA", openQuery) && bind(pdh, "PdhCollectQueryData", collect)
        && bind(pdh, "PdhGetFormattedCounterArrayA", formattedArray) && bind(pdh, "PdhCloseQuery", closeQueryHandle);
    if (!bound) {
        if (pdh)
            FreeLibrary(pdh);
        return false;
    }
    if (add(path) || (orElse && add(orElse)))
        return true;
    close();
    return false;
}

bool CounterSession::add(const char* path)
{
    PDH_STATUS status = openQuery(nullptr, 0, &query);
    if (status == ERROR_SUCCESS)
        status = addCounter(query, path, 0, &counter);
    if (status != ERROR_SUCCESS) {
        closeQuery();
        return false;
    }
    added = path;
    return true;
}

void CounterSession::closeQuery()
{
    if (query)
        closeQueryHandle(query);
    query = counter = nullptr;
    added = nullptr;
}

void CounterSession::close()
{
    closeQuery();
    if (HMODULE pdh = GetModuleHandleA("pdh.dll"))
        FreeLibrary(pdh);
}

// A handful of zones; one thread reads the counter.
static Field storage[64];
static FieldList instances(storage, 64);

bool CounterSession::read(const char* path, Published& published)
{
    instances.clear();
    if (!query || added != path)
        return false;
    if (collect(query) != ERROR_SUCCESS)
        return false;
    // A handful of zones at most; what does not fit here is not looked at.
    union {
        PDH_FMT_COUNTERVALUE_ITEM_A items[1];
        char bytes[4096];
    } buffer;
    DWORD size = sizeof buffer, count = 0;
    if (formattedArray(counter, PDH_FMT_DOUBLE | PDH_FMT_NOSCALE, &size, &count, buffer.items) != ERROR_SUCCESS)
        return false;
    int kept = 0;
    for (DWORD i = 0; i < count; ++i) {
        const PDH_FMT_COUNTERVALUE_ITEM_A& item = buffer.items[i];
        // A counter's first or only collection reports its value as new data, later ones as
        // valid data: both are values.
        if (item.FmtValue.CStatus != PDH_CSTATUS_VALID_DATA && item.FmtValue.CStatus != PDH_CSTATUS_NEW_DATA)
            continue;
        instances.addNumber(kept++, item.szName ? item.szName : "", item.FmtValue.doubleValue);
    }
    instances.publish(published);
    return kept > 0;
}
