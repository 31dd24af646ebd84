// What WMI offers: the sensors LibreHardwareMonitor (up to 0.9.4, root\LibreHardwareMonitor)
// and Open Hardware Monitor (root\OpenHardwareMonitor) publish, and the ACPI thermal zone
// (root\WMI, MSAcpi_ThermalZoneTemperature, which answers only a program run as
// administrator). Everything here runs on the worker: COM calls can stall for seconds.
#pragma once

#include "sensors/system/sensor_choice.h"

namespace wmi {

// Brings COM up on the calling thread, loading it only now so that the library still loads
// where COM is missing; false when it cannot. The process-wide security is left to the host:
// each connection sets its own.
bool begin();
void end();

// The monitors' sensors, the first namespace that has any. A namespace that is missing, or
// answers with no sensor rows (its monitor quit), is asked again only a minute later:
// connecting costs WMI far more than a query.
void readMonitors(Found& found);
// The hottest ACPI thermal zone as the CPU temperature, at the same pace while it has none.
void readThermalZone(Found& found);

// The HRESULT of the last failure, for tests and for whoever debugs this.
long lastError();

} // namespace wmi
