// The monitors the library reads on Windows, one function each, all behind one shape: each
// asks its monitor what it publishes now, on the worker thread, and fills what it finds;
// an absent, stale or broken monitor leaves everything not found. Listed in the order they
// are preferred in (windows_sensors.cpp).
#pragma once

#include "sensors/system/sensor_choice.h"

using ReadPublisher = void (*)(Found& found);

// Shared memory (shared_memory_publishers.cpp).
void readHwinfoMemory(Found& found);   // "Shared Memory Support" on
void readAidaMemory(Found& found);     // AIDA64, or EVEREST on older machines
void readCoreTemp(Found& found);       // the CPU only
void readAfterburner(Found& found);    // the CPU only
void readSpeedFan(Found& found);       // the first fan only: its record names nothing
void readMbm5(Found& found);

// The registry (registry_publishers.cpp).
void readHwinfoGadget(Found& found);   // "Gadget" reporting, also after the 12-hour limit
void readAidaRegistry(Found& found);

// LibreHardwareMonitor's web server on 127.0.0.1:8085 (web_monitor.cpp). Winsock is loaded
// by beginWeb, on the worker, and let go by endWeb.
void beginWeb();
void readWebMonitor(Found& found);
void endWeb();
