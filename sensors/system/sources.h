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

// What says, at no cost, that a source may have something to read (access/presence.h): it is
// looked at every round, and until it says so, nothing the source needs is loaded and no
// thread of its own runs. Reaching a mapping or a key costs no more than such a sign.
enum class Sign {
    None,                  // always read
    Program,               // while one of the programs of the row runs
    ThermalZones,          // on a machine whose firmware declares ACPI thermal zones
    ThermalZonesAsAdmin,   // the same, in a process run as administrator
    KernelFiles,           // where there are hwmon files to read (Wine, or VESK_SYSFS_ROOT)
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
    Parser parse;     // what the source's monitor published, as offers (monitors/)
    Sign sign;
    const char* programs[2]; // the files a monitor runs from, for Sign::Program
    // How DescribeReadings lists the monitor to a user who has none running, with the one
    // setting that makes it publish ("HWiNFO: Settings, ..."), or only its name where it needs
    // none; nullptr for a row of a monitor already listed, or for what is no monitor.
    const char* listed;
};

// The monitors first, in the order of how much of the machine they read and how well they name
// it; then the kernel's own files under Wine; the ACPI thermal zone last, as it is the CPU's on
// some machines only. Where a monitor offers two ways, the richer comes first.
inline constexpr Source sources[] = {
    {"HWiNFO shared memory", Access::Mapping, {"Global\\HWiNFO_SENS_SM2", "Global\\HWiNFO_SM2_MUTEX"},
     {"HWiNFO_SENS_SM2", "HWiNFO_SM2_MUTEX"}, readHwinfoMemory, Sign::None, {},
     "HWiNFO: Settings, \"Shared Memory Support\""},
    {"HWiNFO gadget registry", Access::Registry, {"Software\\HWiNFO64\\VSB", nullptr},
     {"Software\\HWiNFO32\\VSB", nullptr}, readHwinfoGadget, Sign::None, {}, nullptr},
    {"AIDA64 shared memory", Access::UndatedMapping, {"AIDA64_SensorValues", nullptr}, {}, readAidaMemory, Sign::None,
     {}, "AIDA64: External Applications, \"Enable shared memory\""},
    {"EVEREST shared memory", Access::UndatedMapping, {"EVEREST_SensorValues", nullptr}, {}, readAidaMemory,
     Sign::None, {}, nullptr},
    {"AIDA64 registry", Access::Registry, {"Software\\FinalWire\\AIDA64\\SensorValues", nullptr}, {},
     readAidaRegistry, Sign::None, {}, nullptr},
    {"Argus Monitor data interface", Access::Mapping,
     {"Global\\ARGUSMONITOR_DATA_INTERFACE", "Global\\ARGUSMONITOR_DATA_INTERFACE_MUTEX"}, {}, readArgusMonitor,
     Sign::None, {}, "Argus Monitor: Settings, Stability, Argus Data API"},
    // Open Hardware Monitor serves the same page.
    {"LibreHardwareMonitor web server", Access::Http, {"http://127.0.0.1:8085/data.json", nullptr}, {},
     readMonitorJson, Sign::Program, {"LibreHardwareMonitor.exe", "OpenHardwareMonitor.exe"},
     "LibreHardwareMonitor: Options, Remote Web Server, Run"},
    {"LibreHardwareMonitor WMI", Access::Wmi,
     {"root\\LibreHardwareMonitor", "SELECT SensorType, Name, Value, Parent FROM Sensor"}, {}, readMonitorWmi,
     Sign::Program, {"LibreHardwareMonitor.exe", nullptr}, nullptr},
    {"Open Hardware Monitor WMI", Access::Wmi,
     {"root\\OpenHardwareMonitor", "SELECT SensorType, Name, Value, Parent FROM Sensor"}, {}, readMonitorWmi,
     Sign::Program, {"OpenHardwareMonitor.exe", nullptr}, "Open Hardware Monitor"},
    {"Core Temp shared memory", Access::UndatedMapping, {"CoreTempMappingObjectEx", nullptr},
     {"CoreTempMappingObject", nullptr}, readCoreTemp, Sign::None, {}, "Core Temp"},
    {"MSI Afterburner shared memory", Access::Mapping, {"MAHMSharedMemory", nullptr}, {}, readAfterburner, Sign::None,
     {}, "MSI Afterburner: its CPU temperature graph"},
    {"SpeedFan shared memory", Access::UndatedMapping, {"SFSharedMemory_ALM", nullptr}, {}, readSpeedFan, Sign::None,
     {}, "SpeedFan"},
    {"Motherboard Monitor 5 shared memory", Access::UndatedMapping, {"$M$B$M$5$S$D$", nullptr}, {}, readMbm5,
     Sign::None, {}, "Motherboard Monitor 5"},
    {"the hwmon files", Access::Hwmon, {}, {}, readHwmon, Sign::KernelFiles, {}, nullptr},
    {"ACPI thermal zone counter", Access::Counter, {"\\Thermal Zone Information(*)\\High Precision Temperature", nullptr},
     {"\\Thermal Zone Information(*)\\Temperature", nullptr}, readZoneCounter, Sign::ThermalZones, {}, nullptr},
    // Answers only a program run as administrator.
    {"ACPI thermal zone WMI", Access::Wmi, {"root\\WMI", "SELECT CurrentTemperature FROM MSAcpi_ThermalZoneTemperature"},
     {}, readZoneWmi, Sign::ThermalZonesAsAdmin, {}, nullptr},
};

constexpr int sourceCount = sizeof sources / sizeof sources[0];
