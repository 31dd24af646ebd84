#include "sensors/system/access/counter.h"

#include <pdhmsg.h>

#include "sensors/system/access/bind.h"

bool CounterSession::open(const char* path, const char* orElse)
{
    // PDH, bound at run time: Windows 9x and NT 4 have no pdh.dll, and the library must still load.
    pdh = LoadLibraryA("pdh.dll");
    // The English names work on every language of Windows since Vista; before, only the
    // localised ones do, and English systems are all this can find there.
    bool bound = (bind(pdh, "PdhAddEnglishCounterA", addCounter) || bind(pdh, "PdhAddCounterA", addCounter))
        && bind(pdh, "PdhOpenQueryA", openQuery) && bind(pdh, "PdhCollectQueryData", collect)
        && bind(pdh, "PdhGetFormattedCounterArrayA", formattedArray) && bind(pdh, "PdhCloseQuery", closeQueryHandle);
    if (bound && (add(path) || (orElse && add(orElse))))
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
    instances.release();
    if (pdh)
        FreeLibrary(pdh);
    pdh = nullptr;
}

// A handful of zones.
static const int maxZones = 64;

bool CounterSession::read(const char* path, Published& published)
{
    Field* storage = instances.reserve(maxZones);
    if (!query || added != path || !storage)
        return false;
    FieldList zones(storage, maxZones);
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
        zones.addNumber(kept++, item.szName ? item.szName : "", item.FmtValue.doubleValue);
    }
    zones.publish(published);
    return kept > 0;
}
