// The sensor library "vesk.dll": loaded at start-up, its three readings bound by name.
#pragma once

#include <windows.h>

// Every export takes nothing and returns its reading as a plain 32-bit integer.
using SensorReadFn = int (*)();

struct SensorLibrary {
    HINSTANCE module = nullptr;            // never cleared, even after unload
    SensorReadFn cpuTemperature = nullptr; // GetCPUTemperature
    SensorReadFn mbTemperature = nullptr;  // GetMBTemperature
    SensorReadFn cpuFanSpeed = nullptr;    // GetFanCPURPM

    // Returns the module, or null after telling the user it could not be loaded.
    HINSTANCE load();
    // Binds the exports in order; at the first one missing, tells the user and returns -1.
    int resolve();
    bool isLoaded() const { return module != nullptr; }
    void unload();
};

extern SensorLibrary sensorLibrary;
