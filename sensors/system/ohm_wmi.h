// Open Hardware Monitor's readings through WMI (namespace root\OpenHardwareMonitor, class
// Sensor). Everything here runs on the background worker: COM calls can stall for seconds.
#pragma once

#include "sensors/system/readings.h"

namespace ohm {

// Brings COM up on the calling thread, loading it only now so that the library still loads
// where COM is missing; false when it cannot. The process-wide security is left to the host:
// the connection sets its own.
bool begin();
void end();

// Connects when not connected. False while the monitor is not running (its namespace is then
// absent), or WMI is not there at all.
bool connect();
// The readings from the monitor's sensors; false when the query failed or timed out, and the
// connection is dropped so the next connect starts afresh.
bool read(Readings& found);
bool connected();
// The HRESULT of the last failure, for tests and for whoever debugs this.
long lastError();

} // namespace ohm
