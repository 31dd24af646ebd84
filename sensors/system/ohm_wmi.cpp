#include "sensors/system/ohm_wmi.h"

#include <windows.h>
#include <wbemidl.h>

#include "sensors/system/ohm_rules.h"

namespace ohm {

// COM and OLE automation, bound at run time.
static HMODULE ole32, oleaut32;
static HRESULT(WINAPI* coInitializeEx)(LPVOID, DWORD);
static void(WINAPI* coUninitialize)();
static HRESULT(WINAPI* coCreateInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
static HRESULT(WINAPI* coSetProxyBlanket)(IUnknown*, DWORD, DWORD, OLECHAR*, DWORD, DWORD, RPC_AUTH_IDENTITY_HANDLE,
                                          DWORD);
static BSTR(WINAPI* sysAllocString)(const OLECHAR*);
static void(WINAPI* sysFreeString)(BSTR);
static HRESULT(WINAPI* variantClear)(VARIANTARG*);

static bool comReady;
static IWbemServices* services;
static HRESULT failure;

template <typename Function>
static bool bind(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return function != nullptr;
}

static bool loadCom()
{
    ole32 = LoadLibraryA("ole32.dll");
    oleaut32 = LoadLibraryA("oleaut32.dll");
    return ole32 && oleaut32 && bind(ole32, "CoInitializeEx", coInitializeEx)
        && bind(ole32, "CoUninitialize", coUninitialize) && bind(ole32, "CoCreateInstance", coCreateInstance)
        && bind(ole32, "CoSetProxyBlanket", coSetProxyBlanket) && bind(oleaut32, "SysAllocString", sysAllocString)
        && bind(oleaut32, "SysFreeString", sysFreeString) && bind(oleaut32, "VariantClear", variantClear);
}

static void unloadCom()
{
    if (oleaut32)
        FreeLibrary(oleaut32);
    if (ole32)
        FreeLibrary(ole32);
    ole32 = oleaut32 = nullptr;
}

bool begin()
{
    failure = S_OK;
    comReady = false;
    if (!loadCom()) {
        failure = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
        unloadCom();
        return false;
    }
    // A thread of our own, so its apartment is ours to choose.
    HRESULT result = coInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(result)) {
        failure = result;
        unloadCom();
        return false;
    }
    comReady = true;
    return true;
}

static void disconnect()
{
    if (services)
        services->Release();
    services = nullptr;
}

void end()
{
    if (!comReady)
        return;
    disconnect();
    coUninitialize();
    comReady = false;
    unloadCom();
}

bool connected()
{
    return services != nullptr;
}

long lastError()
{
    return failure;
}

static bool fail(HRESULT result)
{
    failure = result;
    return false;
}

bool connect()
{
    if (services)
        return true;
    if (!comReady)
        return fail(CO_E_NOTINITIALIZED);
    IWbemLocator* locator = nullptr;
    HRESULT result = coCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                      reinterpret_cast<void**>(&locator));
    if (FAILED(result))
        return fail(result);
    BSTR name = sysAllocString(L"root\\OpenHardwareMonitor");
    result = locator->ConnectServer(name, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
    sysFreeString(name);
    locator->Release();
    if (FAILED(result)) {
        services = nullptr;
        return fail(result);
    }
    // Without CoInitializeSecurity, which belongs to the host process, WMI would get only the
    // identify level and refuse; the proxy gets its own settings instead.
    result = coSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                               RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    if (FAILED(result)) {
        disconnect();
        return fail(result);
    }
    return true;
}

static void textOf(IWbemClassObject* row, const wchar_t* property, char (&text)[64])
{
    text[0] = '\0';
    VARIANT value{}; // VT_EMPTY, as VariantInit would leave it
    if (SUCCEEDED(row->Get(property, 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR && value.bstrVal)
        WideCharToMultiByte(CP_ACP, 0, value.bstrVal, -1, text, sizeof text, nullptr, nullptr);
    variantClear(&value);
}

static double numberOf(IWbemClassObject* row, const wchar_t* property)
{
    double number = 0;
    VARIANT value{}; // VT_EMPTY, as VariantInit would leave it
    if (SUCCEEDED(row->Get(property, 0, &value, nullptr, nullptr))) {
        if (value.vt == VT_R4)
            number = value.fltVal;
        else if (value.vt == VT_R8)
            number = value.dblVal;
    }
    variantClear(&value);
    return number;
}

bool read(Readings& found)
{
    if (!services)
        return fail(WBEM_E_NOT_FOUND);
    BSTR language = sysAllocString(L"WQL");
    BSTR query = sysAllocString(L"SELECT SensorType, Name, Value FROM Sensor");
    IEnumWbemClassObject* rows = nullptr;
    HRESULT result = services->ExecQuery(language, query, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                         nullptr, &rows);
    sysFreeString(query);
    sysFreeString(language);
    if (FAILED(result)) {
        disconnect(); // the monitor may have quit; reconnect later
        return fail(result);
    }
    OhmChoice choice;
    for (;;) {
        IWbemClassObject* row = nullptr;
        ULONG returned = 0;
        result = rows->Next(5000, 1, &row, &returned);
        if (result != WBEM_S_NO_ERROR || returned == 0)
            break;
        char type[64], name[64];
        textOf(row, L"SensorType", type);
        textOf(row, L"Name", name);
        choice.add(type, name, numberOf(row, L"Value"));
        row->Release();
    }
    rows->Release();
    if (result != WBEM_S_FALSE) { // anything but the end of the rows: a time-out or an error
        disconnect();
        return fail(result);
    }
    found = choice.readings();
    return true;
}

} // namespace ohm
