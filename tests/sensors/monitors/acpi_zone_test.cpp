// The ACPI thermal zones: the performance counter's instances and the WMI rows, the hottest zone
// that passes the check as the CPU.
#include <sstream>

#include "tests/sensors/monitors/monitor_test.h"

// The machines' thermal zones as the counter would count them, in tenths of a kelvin.
static const bool seeded = addSeeds([](Seeds& seeds) {
    static Inventory found;
    for (const Machine& machine : machines(seeds.realMachines)) {
        inventoryFromText(machine.listing, found);
        std::ostringstream zones;
        for (int i = 0; i < found.zoneCount; ++i)
            if (found.zones[i].readable)
                zones << i << ":\\_TZ.TZ0" << i << '#' << (found.zones[i].value + 273150) / 100 << '\n';
        if (found.zoneCount)
            seeds.add("acpi_zone", machine.name, zones.str());
    }
});

TEST(AcpiZone, EachZoneCheckedOnItsOwn)
{
    const char* precise = "\\Thermal Zone Information(*)\\High Precision Temperature";
    const char* whole = "\\Thermal Zone Information(*)\\Temperature";
    expectRows({
        {"a zone at 130 degrees hides nothing",
         parsed("0:\\_TZ.TZ00#3132\n1:\\_TZ.TZ01#4032", readZoneCounter, precise), "40 - -"},
        {"whole kelvins", parsed("0:\\_TZ.TZ00#318\n1:\\_TZ.TZ01#0", readZoneCounter, whole), "45 - -"},
        {"WMI's rows", parsed("0:CurrentTemperature#3186\n1:CurrentTemperature#3251", readZoneWmi, ""), "52 - -"},
        {"no WMI row", parsed("", readZoneWmi, ""), "refused"},
    });
}
