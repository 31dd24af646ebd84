// Every monitor the library understands, one file each, all of the one shape (Parser in
// published.h): pure code that turns what the monitor published into offers to the choice.
// Nothing here trusts its input: every offset, count and length is checked against what was
// handed over, and every value passes the check in choice.h. sources.h says where each
// reads from and in which order they are preferred.
#pragma once

#include "sensors/system/inventory.h"
#include "sensors/system/published.h"

// HWiNFO (hwinfo.cpp): its shared memory, versions 1 and 2, and the values of its "gadget"
// reporting in the registry (SensorN, LabelN, ValueN, ValueRawN).
bool readHwinfoMemory(const Published& published, Choice& choice);
bool readHwinfoGadget(const Published& published, Choice& choice);

// AIDA64, or EVEREST before it (aida64.cpp): the XML fragments of its shared memory and its
// registry values (Label.ID, Value.ID).
bool readAidaMemory(const Published& published, Choice& choice);
bool readAidaRegistry(const Published& published, Choice& choice);

// Argus Monitor's data interface (argus_monitor.cpp): the processor's own temperatures, the
// board's and fan controllers' temperatures and fans, by the rules every monitor's names go by.
// Dated by its count of updates.
bool readArgusMonitor(const Published& published, Choice& choice);

// LibreHardwareMonitor and Open Hardware Monitor (libre_hardware_monitor.cpp): the sensor tree
// of the web server's data.json, and the Sensor rows of their WMI namespaces.
bool readMonitorJson(const Published& published, Choice& choice);
bool readMonitorWmi(const Published& published, Choice& choice);

// Core Temp's shared memory: the hottest core of the first processor (core_temp.cpp).
bool readCoreTemp(const Published& published, Choice& choice);

// MSI Afterburner's shared memory: its CPU temperature entry, when it has one (afterburner.cpp).
bool readAfterburner(const Published& published, Choice& choice);

// SpeedFan's shared memory: its record names nothing, so only its first fan counts, as the
// first fan of a board chip does (speedfan.cpp).
bool readSpeedFan(const Published& published, Choice& choice);

// Motherboard Monitor 5's shared memory: its named temperatures and fans (mbm5.cpp).
bool readMbm5(const Published& published, Choice& choice);

// The ACPI thermal zones (acpi_zone.cpp): the performance counter's instances and the WMI
// rows, the hottest zone that passes the check as the CPU.
bool readZoneCounter(const Published& published, Choice& choice);
bool readZoneWmi(const Published& published, Choice& choice);

// The Linux hwmon and thermal-zone files under Wine (hwmon.cpp): the rules that keep a scan's
// chips and pick the files, and the picked files' values as access/hwmon_files.cpp read them,
// rows 0, 1 and 2 the CPU's, board's and fan's.
extern const HwmonRules hwmonRules;
bool readHwmon(const Published& published, Choice& choice);
