#include "sensors/system/labels.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"

// Windows' ACPI thermal zones, in tenths of a kelvin: one field per zone. The CPU's own zone is
// the warmest on the machines that have one; each zone passes the check on its own, so a broken
// one at 130 degrees does not hide a sound one.
static bool offerZones(const Published& published, Choice& choice, double toTenths)
{
    for (int i = 0; i < published.fieldCount; ++i) {
        const Field& zone = published.fields[i];
        if (zone.numeric)
            choice.offerCpu("thermal zone", celsiusFromKelvinTenths(zone.number * toTenths), rank::core);
    }
    return published.fieldCount > 0;
}

// The performance counter's instances: "High Precision Temperature" in tenths of a kelvin
// (Windows 8 on), the older "Temperature" in whole kelvins.
bool readZoneCounter(const Published& published, Choice& choice)
{
    return offerZones(published, choice, labelContains(published.address, "High Precision") ? 1 : 10);
}

// WMI's MSAcpi_ThermalZoneTemperature rows, CurrentTemperature in tenths of a kelvin.
bool readZoneWmi(const Published& published, Choice& choice)
{
    return offerZones(published, choice, 1);
}
