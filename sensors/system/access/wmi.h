// WMI queries, on a thread of their own: COM calls, connecting above all, may stall for as long
// as the WMI service likes, and a stalled thread must hold back nothing but itself.
#pragma once

#include <windows.h>

#include "sensors/system/access/memory.h"
#include "sensors/system/published.h"

struct IUnknown;
struct IWbemClassObject;
struct IWbemServices;

class WmiSession {
public:
    // Brings COM up on the calling thread, loading it only now so that the library still loads
    // where COM is missing; false when it cannot. The process-wide security is left to the host:
    // each proxy gets its own.
    bool open();
    void close();

    // Runs wql in the namespace; each row's non-empty properties become fields of that row,
    // texts as text and numbers as numbers. False when it could not be asked now, or answered
    // no rows. A query that fails or times out is asked again next round on the same
    // connection; a connection that fails is tried again after a round, then after twice as
    // long each time, up to a minute, as connecting costs WMI far more than a query.
    bool query(const char* space, const char* wql, Published& published);

private:
    bool connect(const char* space);
    void disconnect();
    HRESULT allowCalls(IUnknown* proxy);
    void addProperties(IWbemClassObject* object, int row, FieldList& rows);

    HRESULT(WINAPI* coInitializeEx)(LPVOID, DWORD) = nullptr;
    void(WINAPI* coUninitialize)() = nullptr;
    HRESULT(WINAPI* coCreateInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*) = nullptr;
    HRESULT(WINAPI* coSetProxyBlanket)(IUnknown*, DWORD, DWORD, OLECHAR*, DWORD, DWORD, RPC_AUTH_IDENTITY_HANDLE,
                                       DWORD) = nullptr;
    BSTR(WINAPI* sysAllocString)(const OLECHAR*) = nullptr;
    void(WINAPI* sysFreeString)(BSTR) = nullptr;
    HRESULT(WINAPI* variantClear)(VARIANTARG*) = nullptr;

    IWbemServices* services = nullptr;
    Block<Field> rows; // taken once connected: most namespaces are missing
    DWORD nextTry = 0; // GetTickCount() from which to connect again
    DWORD retryAfter = 0;
    bool comReady = false;
};
