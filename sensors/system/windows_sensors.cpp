#include "sensors/system/windows_sensors.h"

#include "sensors/system/background.h"
#include "sensors/system/ohm_wmi.h"
#include "sensors/system/thermal_zone_counter.h"

// The monitor may be started after us: while it is absent, look for it every 30 s, as a
// failing connection costs WMI more than a query does.
static const int cyclesBetweenConnects = 15;
static int cyclesUntilConnect;
static bool zoneOpen;

static void begin()
{
    ohm::begin();
    zoneOpen = thermalZone::open();
    cyclesUntilConnect = 0;
}

static bool query(Readings& found)
{
    if (!ohm::connected() && cyclesUntilConnect-- <= 0) {
        ohm::connect();
        cyclesUntilConnect = cyclesBetweenConnects;
    }
    bool answered = !zoneOpen; // with no zone to ask, the monitor's zeros are the answer
    if (ohm::connected() && ohm::read(found))
        answered = true;
    int zone;
    if (found.cpu == 0 && zoneOpen && thermalZone::read(zone)) {
        found.cpu = zone;
        answered = true;
    }
    return answered;
}

static void end()
{
    thermalZone::close();
    ohm::end();
}

static Background worker({begin, query, end}, 2000, 30000);

Readings windowsReadings(HMODULE module)
{
    return worker.latest(module);
}
