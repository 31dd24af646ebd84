#include "sensors/system/wmi_monitors.h"

#include <windows.h>
#include <wbemidl.h>

#include "sensors/system/labels.h"
#include "sensors/system/units.h"

namespace wmi {

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
static HRESULT failure;

// One namespace, connected while its publisher answers.
struct Namespace {
    const wchar_t* path;
    const char* source;
    IWbemServices* services;
    DWORD nextTry; // GetTickCount() from which to connect again
    bool tried;
};

static Namespace monitors[] = {
    {L"root\\LibreHardwareMonitor", "LibreHardwareMonitor WMI", nullptr, 0, false},
    {L"root\\OpenHardwareMonitor", "Open Hardware Monitor WMI", nullptr, 0, false},
};
static Namespace acpi = {L"root\\WMI", "ACPI thermal zone WMI", nullptr, 0, false};

static const DWORD retryAfter = 60000;

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

static void disconnect(Namespace& space)
{
    if (space.services)
        space.services->Release();
    space.services = nullptr;
    space.nextTry = GetTickCount() + retryAfter;
}

void end()
{
    for (Namespace& space : monitors) {
        disconnect(space);
        space.tried = false;
    }
    disconnect(acpi);
    acpi.tried = false;
    if (!comReady)
        return;
    coUninitialize();
    comReady = false;
    unloadCom();
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

// Connected, or connects when it is time to try again.
static bool connect(Namespace& space)
{
    if (space.services)
        return true;
    if (!comReady)
        return fail(CO_E_NOTINITIALIZED);
    if (space.tried && static_cast<LONG>(GetTickCount() - space.nextTry) < 0)
        return false;
    space.tried = true;
    space.nextTry = GetTickCount() + retryAfter;
    IWbemLocator* locator = nullptr;
    HRESULT result = coCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                      reinterpret_cast<void**>(&locator));
    if (FAILED(result))
        return fail(result);
    BSTR name = sysAllocString(space.path);
    result = locator->ConnectServer(name, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &space.services);
    sysFreeString(name);
    locator->Release();
    if (FAILED(result)) {
        space.services = nullptr;
        return fail(result);
    }
    // Without CoInitializeSecurity, which belongs to the host process, WMI would get only the
    // identify level and refuse; the proxy gets its own settings instead.
    result = coSetProxyBlanket(space.services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                               RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    if (FAILED(result)) {
        disconnect(space);
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
    text[sizeof text - 1] = '\0';
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
        else if (value.vt == VT_I4 || value.vt == VT_UI4)
            number = value.vt == VT_I4 ? value.lVal : value.ulVal;
    }
    variantClear(&value);
    return number;
}

// Runs the query and hands each row to take; the number of rows, or -1 when the query failed
// or timed out, and the connection is dropped so that a later round starts afresh.
template <typename Take>
static long query(Namespace& space, const wchar_t* wql, Take take)
{
    BSTR language = sysAllocString(L"WQL");
    BSTR text = sysAllocString(wql);
    IEnumWbemClassObject* rows = nullptr;
    HRESULT result = space.services->ExecQuery(language, text, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                               nullptr, &rows);
    sysFreeString(text);
    sysFreeString(language);
    if (FAILED(result)) {
        disconnect(space);
        fail(result);
        return -1;
    }
    long count = 0;
    for (;;) {
        IWbemClassObject* row = nullptr;
        ULONG returned = 0;
        result = rows->Next(5000, 1, &row, &returned);
        if (result != WBEM_S_NO_ERROR || returned == 0)
            break;
        take(row);
        row->Release();
        ++count;
    }
    rows->Release();
    if (result != WBEM_S_FALSE) { // anything but the end of the rows: a time-out or an error
        disconnect(space);
        fail(result);
        return -1;
    }
    return count;
}

void readMonitors(Found& found)
{
    for (Namespace& space : monitors) {
        if (!connect(space))
            continue;
        SensorChoice choice(space.source);
        long rows = query(space, L"SELECT SensorType, Name, Value, Parent FROM Sensor", [&](IWbemClassObject* row) {
            char type[64], name[64], parent[64];
            textOf(row, L"SensorType", type);
            textOf(row, L"Name", name);
            textOf(row, L"Parent", parent); // "/lpc/nct6798d", "/intelcpu/0", "/nvidiagpu/0"
            Quantity quantity = labelEquals(type, "Fan") ? Quantity::Fan : Quantity::Temperature;
            if (labelEquals(type, "Fan") || labelEquals(type, "Temperature"))
                choice.offer(quantity, name, numberOf(row, L"Value"), labelContains(parent, "gpu"));
        });
        if (rows == 0 && space.services)
            disconnect(space); // the namespace outlives its monitor; no rows means it quit
        if (rows > 0) {
            found = choice.found();
            return;
        }
    }
}

void readThermalZone(Found& found)
{
    if (!connect(acpi))
        return;
    SensorChoice choice(acpi.source);
    long rows = query(acpi, L"SELECT CurrentTemperature FROM MSAcpi_ThermalZoneTemperature",
                      [&](IWbemClassObject* row) {
                          double tenths = numberOf(row, L"CurrentTemperature");
                          if (tenths > 0 && tenths < 10000) // whatever converts to an int must fit
                              choice.offerCpu("thermal zone", degreesFromKelvinTenths(static_cast<long>(tenths)),
                                              SensorChoice::coreRank);
                      });
    if (rows <= 0 && acpi.services)
        disconnect(acpi);
    found.cpu = choice.found().cpu;
}

} // namespace wmi
