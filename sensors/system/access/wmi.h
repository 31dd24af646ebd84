// WMI queries, on a thread of their own: COM calls, connecting above all, may stall for as long
// as the WMI service likes, and a stalled thread must hold back nothing but itself.
#pragma once

#include "sensors/system/published.h"

struct IWbemServices;

class WmiSession {
public:
    // Brings COM up on the calling thread, loading it only now so that the library still loads
    // where COM is missing; false when it cannot. The process-wide security is left to the host:
    // each proxy gets its own.
    bool open();
    void close();

    // Runs wql in the namespace; each row's non-empty properties become fields of that row,
    // texts as text and numbers as numbers. False when it could not be asked now. A namespace
    // that is missing, or answers with no rows (its monitor quit and left it behind), is asked
    // again only a minute later: connecting costs WMI far more than a query.
    bool query(const char* space, const char* wql, Published& published);

    // The HRESULT of the last failure, for tests and for whoever debugs this.
    long lastError() const { return failure; }

private:
    bool connect(const char* space);
    void disconnect();
    bool fail(long result);

    IWbemServices* services = nullptr;
    Field* storage = nullptr; // taken once connected: most namespaces are missing
    unsigned long nextTry = 0; // GetTickCount() from which to connect again
    bool tried = false;
    bool comReady = false;
    long failure = 0;
};
