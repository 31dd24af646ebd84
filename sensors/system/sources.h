// The sources, in one ordered table: for each reading, the first source in the table that has
// a fresh value gives it. A source is one way of reaching what one monitor publishes.
#pragma once

#include "sensors/system/monitors/monitors.h"
#include "sensors/system/published.h"

// How a source's data is reached; each kind is one module of access/.
enum class Access {
    Mapping,        // a named file mapping, copied (access/mapping.cpp); its monitor dates it
    UndatedMapping, // the same, from a monitor that writes no time: unchanged bytes go stale
    Registry,       // a key's values under HKEY_CURRENT_USER (access/registry.cpp)
    Http,           // a web server on this PC (access/http.cpp)
    Wmi,            // a WMI query (access/wmi.cpp)
    Counter,        // a performance counter (access/counter.cpp)
    Hwmon,          // the Linux hwmon files under Wine (access/hwmon_files.cpp)
};

struct Address {
    const char* name;   // the mapping, key, URL, WMI namespace or counter path
    const char* detail; // the mutex that guards a mapping, or a WMI query
};

struct Source {
    const char* name; // what DescribeReadings says it came from: "HWiNFO shared memory"
    Access access;
    Address address;
    Address orElse;   // tried when address has nothing: an older version's name, say
    Monitor monitor;
};

// The monitors first, in the order of how much of the machine they read and how well they name
// it; then the kernel's own files under Wine; the ACPI thermal zone last, as it is the CPU's on
// some machines only. Where a monitor offers two ways, the richer comes first.
inline constexpr Source sources[] = {
    {"HWiNFO shared memory", Access::Mapping, {"Global\\HWiNFO_SENS_SM2", "Global\\HWiNFO_SM2_MUTEX"},
     {"HWiNFO_SENS_SM2", "HWiNFO_SM2_MUTEX"}, readHwinfoMemory},
    {"HWiNFO gadget registry", Access::Registry, {"Software\\HWiNFO64\\VSB", nullptr},
     {"Software\\HWiNFO32\\VSB", nullptr}, readHwinfoGadget},
    {"AIDA64 shared memory", Access::UndatedMapping, {"AIDA64_SensorValues", nullptr}, {}, readAidaMemory},
    {"EVEREST shared memory", Access::UndatedMapping, {"EVEREST_SensorValues", nullptr}, {}, readAidaMemory},
    {"AIDA64 registry", Access::Registry, {"Software\\FinalWire\\AIDA64\\SensorValues", nullptr}, {},
     readAidaRegistry},
    {"LibreHardwareMonitor web server", Access::Http, {"http://127.0.0.1:8085/data.json", nullptr}, {},
     readMonitorJson},
    {"LibreHardwareMonitor WMI", Access::Wmi,
     {"root\\LibreHardwareMonitor", "SELECT SensorType, Name, Value, Parent FROM Sensor"}, {}, readMonitorWmi},
    {"Open Hardware Monitor WMI", Access::Wmi,
     {"root\\OpenHardwareMonitor", "SELECT SensorType, Name, Value, Parent FROM Sensor"}, {}, readMonitorWmi},
    {"Core Temp shared memory", Access::UndatedMapping, {"CoreTempMappingObjectEx", nullptr},
     {"CoreTempMappingObject", nullptr}, readCoreTemp},
    {"MSI Afterburner shared memory", Access::Mapping, {"MAHMSharedMemory", nullptr}, {}, readAfterburner},
    {"SpeedFan shared memory", Access::UndatedMapping, {"SFSharedMemory_ALM", nullptr}, {}, readSpeedFan},
    {"Motherboard Monitor 5 shared memory", Access::UndatedMapping, {"$M$B$M$5$S$D$", nullptr}, {}, readMbm5},
    {"the hwmon files", Access::Hwmon, {}, {}, readHwmon},
    {"ACPI thermal zone counter", Access::Counter, {"\\Thermal Zone Information(*)\\High Precision Temperature", nullptr},
     {"\\Thermal Zone Information(*)\\Temperature", nullptr}, readZoneCounter},
    // Answers only a program run as administrator.
    {"ACPI thermal zone WMI", Access::Wmi, {"root\\WMI", "SELECT CurrentTemperature FROM MSAcpi_ThermalZoneTemperature"},
     {}, readZoneWmi},
};

constexpr int sourceCount = sizeof sources / sizeof sources[0];
