#include "sensors/system/access/wmi.h"

#include <windows.h>
#include <wbemidl.h>

#include "sensors/system/access/bind.h"

// COM and OLE automation, bound at run time. Each session loads them for its thread.
static HRESULT(WINAPI* coInitializeEx)(LPVOID, DWORD);
static void(WINAPI* coUninitialize)();
static HRESULT(WINAPI* coCreateInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
static HRESULT(WINAPI* coSetProxyBlanket)(IUnknown*, DWORD, DWORD, OLECHAR*, DWORD, DWORD, RPC_AUTH_IDENTITY_HANDLE,
                                          DWORD);
static BSTR(WINAPI* sysAllocString)(const OLECHAR*);
static void(WINAPI* sysFreeString)(BSTR);
static HRESULT(WINAPI* variantClear)(VARIANTARG*);

static const DWORD retryAfter = 60000;

static bool loadCom()
{
    HMODULE ole32 = LoadLibraryA("ole32.dll"), oleaut32 = LoadLibraryA("oleaut32.dll");
    return bind(ole32, "CoInitializeEx", coInitializeEx) && bind(ole32, "CoUninitialize", coUninitialize)
        && bind(ole32, "CoCreateInstance", coCreateInstance) && bind(ole32, "CoSetProxyBlanket", coSetProxyBlanket)
        && bind(oleaut32, "SysAllocString", sysAllocString) && bind(oleaut32, "SysFreeString", sysFreeString)
        && bind(oleaut32, "VariantClear", variantClear);
}

// Each load above counted one reference; a thread lets go of its own.
static void unloadCom()
{
    if (HMODULE oleaut32 = GetModuleHandleA("oleaut32.dll"))
        FreeLibrary(oleaut32);
    if (HMODULE ole32 = GetModuleHandleA("ole32.dll"))
        FreeLibrary(ole32);
}

bool WmiSession::open()
{
    failure = S_OK;
    if (!loadCom()) {
        unloadCom();
        return fail(HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    }
    // A thread of our own, so its apartment is ours to choose.
    HRESULT result = coInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(result)) {
        unloadCom();
        return fail(result);
    }
    comReady = true;
    return true;
}

void WmiSession::close()
{
    disconnect();
    if (storage)
        VirtualFree(storage, 0, MEM_RELEASE);
    storage = nullptr;
    tried = false;
    if (!comReady)
        return;
    coUninitialize();
    comReady = false;
    unloadCom();
}

bool WmiSession::fail(long result)
{
    failure = result;
    return false;
}

void WmiSession::disconnect()
{
    if (services)
        services->Release();
    services = nullptr;
    nextTry = GetTickCount() + retryAfter;
}

// Without CoInitializeSecurity, which belongs to the host process, WMI would get only the
// identify level and refuse; each proxy, the services and every enumerator, gets its own.
static HRESULT allowCalls(IUnknown* proxy)
{
    return coSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

// The text as the wide string COM wants; texts here are our own and short.
static BSTR wide(const char* text)
{
    OLECHAR buffer[128];
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, 128))
        buffer[0] = 0;
    return sysAllocString(buffer);
}

bool WmiSession::connect(const char* space)
{
    if (services)
        return true;
    if (!comReady)
        return fail(CO_E_NOTINITIALIZED);
    if (tried && static_cast<LONG>(GetTickCount() - nextTry) < 0)
        return false;
    tried = true;
    nextTry = GetTickCount() + retryAfter;
    IWbemLocator* locator = nullptr;
    HRESULT result = coCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                      reinterpret_cast<void**>(&locator));
    if (FAILED(result))
        return fail(result);
    BSTR name = wide(space);
    result = locator->ConnectServer(name, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
    sysFreeString(name);
    locator->Release();
    if (FAILED(result)) {
        services = nullptr;
        return fail(result);
    }
    result = allowCalls(services);
    if (FAILED(result)) {
        disconnect();
        return fail(result);
    }
    return true;
}

// Each property that holds a text or a number.
static void addProperties(IWbemClassObject* object, int row, FieldList& rows)
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

bool WmiSession::query(const char* space, const char* wql, Published& published)
{
    if (!connect(space))
        return false;
    if (!storage)
        storage = static_cast<Field*>(VirtualAlloc(nullptr, maxFields * sizeof(Field), MEM_COMMIT, PAGE_READWRITE));
    if (!storage)
        return fail(E_OUTOFMEMORY);
    FieldList rows(storage, maxFields);
    BSTR language = wide("WQL");
    BSTR text = wide(wql);
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
        addProperties(row, count++, rows);
        row->Release();
    }
    if (enumerator)
        enumerator->Release();
    // Anything but the end of the rows is a time-out or an error: the next round starts afresh.
    if (result != WBEM_S_FALSE) {
        disconnect();
        return fail(result);
    }
    if (count == 0)
        disconnect();
    rows.publish(published);
    return count > 0;
}
