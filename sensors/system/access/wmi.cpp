#include "sensors/system/access/wmi.h"

#include <wbemidl.h>

#include "sensors/system/access/bind.h"

// The first retry after a failed connection, and the longest wait between two.
static const DWORD firstRetry = 5000, longestRetry = 60000;

// COM and OLE automation, bound at run time; each session loads them for its thread, and each
// load counts one reference that close() lets go of.
bool WmiSession::open()
{
    HMODULE ole32 = LoadLibraryA("ole32.dll"), oleaut32 = LoadLibraryA("oleaut32.dll");
    bool bound = bind(ole32, "CoInitializeEx", coInitializeEx) && bind(ole32, "CoUninitialize", coUninitialize)
        && bind(ole32, "CoCreateInstance", coCreateInstance) && bind(ole32, "CoSetProxyBlanket", coSetProxyBlanket)
        && bind(oleaut32, "SysAllocString", sysAllocString) && bind(oleaut32, "SysFreeString", sysFreeString)
        && bind(oleaut32, "VariantClear", variantClear);
    // A thread of our own, so its apartment is ours to choose.
    comReady = bound && SUCCEEDED(coInitializeEx(nullptr, COINIT_MULTITHREADED));
    retryAfter = 0;
    if (!comReady) {
        if (oleaut32)
            FreeLibrary(oleaut32);
        if (ole32)
            FreeLibrary(ole32);
    }
    return comReady;
}

void WmiSession::close()
{
    disconnect();
    rows.release();
    if (!comReady)
        return;
    coUninitialize();
    comReady = false;
    if (HMODULE oleaut32 = GetModuleHandleA("oleaut32.dll"))
        FreeLibrary(oleaut32);
    if (HMODULE ole32 = GetModuleHandleA("ole32.dll"))
        FreeLibrary(ole32);
}

void WmiSession::disconnect()
{
    if (services)
        services->Release();
    services = nullptr;
}

// Without CoInitializeSecurity, which belongs to the host process, WMI would get only the
// identify level and refuse; each proxy, the services and every enumerator, gets its own.
HRESULT WmiSession::allowCalls(IUnknown* proxy)
{
    return coSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

// The text as the wide string COM wants; texts here are our own and short.
static void widen(const char* text, OLECHAR (&wide)[128])
{
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 128))
        wide[0] = 0;
}

bool WmiSession::connect(const char* space)
{
    if (services)
        return true;
    if (!comReady || (retryAfter && static_cast<LONG>(GetTickCount() - nextTry) < 0))
        return false;
    IWbemLocator* locator = nullptr;
    HRESULT result = coCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                      reinterpret_cast<void**>(&locator));
    if (SUCCEEDED(result)) {
        OLECHAR wide[128];
        widen(space, wide);
        BSTR name = sysAllocString(wide);
        result = locator->ConnectServer(name, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
        sysFreeString(name);
        locator->Release();
        if (FAILED(result))
            services = nullptr;
        else if (FAILED(result = allowCalls(services)))
            disconnect();
    }
    if (FAILED(result)) {
        retryAfter = retryAfter ? retryAfter * 2 : firstRetry;
        if (retryAfter > longestRetry)
            retryAfter = longestRetry;
        nextTry = GetTickCount() + retryAfter;
        return false;
    }
    retryAfter = 0;
    return true;
}

// Each property that holds a text or a number.
void WmiSession::addProperties(IWbemClassObject* object, int row, FieldList& rows)
{
    if (FAILED(object->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY)))
        return;
    BSTR name = nullptr;
    VARIANT value{}; // VT_EMPTY, as VariantInit would leave it
    while (object->Next(0, &name, &value, nullptr, nullptr) == WBEM_S_NO_ERROR) {
        char property[sizeof Field::name];
        if (!WideCharToMultiByte(CP_ACP, 0, name, -1, property, sizeof property, nullptr, nullptr))
            property[0] = '\0';
        property[sizeof property - 1] = '\0';
        Field field(row, property);
        bool kept = true;
        switch (value.vt) {
        case VT_BSTR:
            if (value.bstrVal
                && !WideCharToMultiByte(CP_ACP, 0, value.bstrVal, -1, field.text, sizeof field.text, nullptr, nullptr))
                field.text[0] = '\0';
            field.text[sizeof field.text - 1] = '\0';
            break;
        case VT_R4: field.number = value.fltVal, field.numeric = true; break;
        case VT_R8: field.number = value.dblVal, field.numeric = true; break;
        case VT_I4: field.number = value.lVal, field.numeric = true; break;
        case VT_UI4: field.number = value.ulVal, field.numeric = true; break;
        default: kept = false; // empty, or nothing a monitor publishes
        }
        if (kept)
            rows.add(field);
        sysFreeString(name);
        variantClear(&value);
    }
    object->EndEnumeration();
}

// A large machine's sensors, four properties each.
static const int maxFields = 2048;

// What says the service or its connection is gone, rather than the query: connect again.
static bool connectionLost(HRESULT result)
{
    return result == RPC_E_DISCONNECTED || result == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)
        || result == static_cast<HRESULT>(WBEM_E_TRANSPORT_FAILURE);
}

bool WmiSession::query(const char* space, const char* wql, Published& published)
{
    if (!connect(space))
        return false;
    Field* storage = rows.reserve(maxFields);
    if (!storage)
        return false;
    FieldList fields(storage, maxFields);
    OLECHAR wideLanguage[128], wideQuery[128];
    widen("WQL", wideLanguage);
    widen(wql, wideQuery);
    BSTR language = sysAllocString(wideLanguage);
    BSTR text = sysAllocString(wideQuery);
    IEnumWbemClassObject* enumerator = nullptr;
    HRESULT result = services->ExecQuery(language, text, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                         nullptr, &enumerator);
    sysFreeString(text);
    sysFreeString(language);
    if (SUCCEEDED(result))
        result = allowCalls(enumerator);
    int count = 0;
    while (SUCCEEDED(result)) {
        IWbemClassObject* row = nullptr;
        ULONG returned = 0;
        result = enumerator->Next(5000, 1, &row, &returned);
        if (result != WBEM_S_NO_ERROR || returned == 0)
            break;
        addProperties(row, count++, fields);
        row->Release();
    }
    if (enumerator)
        enumerator->Release();
    // Anything but the end of the rows is a time-out or an error, asked again next round.
    if (result != WBEM_S_FALSE) {
        if (connectionLost(result))
            disconnect();
        return false;
    }
    fields.publish(published);
    return count > 0;
}
