#include "sensors/system/windows_sensors.h"

#include "sensors/system/background.h"
#include "sensors/system/publishers.h"
#include "sensors/system/shared_memory.h"
#include "sensors/system/thermal_zone_counter.h"
#include "sensors/system/wmi_monitors.h"

// The monitors in the order they are preferred: for each reading, the first that has it wins.
// The hwmon files come after all of them and before the thermal zone (system.cpp).
static const ReadPublisher publishers[] = {
    readHwinfoMemory, readHwinfoGadget, readAidaMemory, readAidaRegistry, readWebMonitor, wmi::readMonitors,
    readCoreTemp,     readAfterburner,  readSpeedFan,   readMbm5,
};
static const int publisherCount = sizeof publishers / sizeof publishers[0];

static bool zoneOpen;

static void begin()
{
    beginWeb();
    wmi::begin();
    zoneOpen = thermalZone::open();
}

static bool query(Snapshot& found)
{
    Found each[publisherCount];
    for (int i = 0; i < publisherCount; ++i)
        publishers[i](each[i]);
    found.monitors = firstFound(each, publisherCount);
    int zone;
    if (zoneOpen && thermalZone::read(zone)) {
        SensorChoice choice("ACPI thermal zone counter");
        choice.offerCpu("thermal zone", zone, SensorChoice::coreRank);
        found.zone = choice.found();
    }
    if (!found.zone.cpu.found)
        wmi::readThermalZone(found.zone);
    return true;
}

static void end()
{
    thermalZone::close();
    wmi::end();
    endWeb();
    releaseMappingCopies();
}

static Background worker({begin, query, end}, 2000, 30000, 5000);

Snapshot windowsReadings(HMODULE module)
{
    return worker.latest(module);
}
