// What the worker last gathered from the monitors, for the exports to answer from.
#pragma once

#include "sensors/system/sensor_choice.h"

struct Snapshot {
    Found monitors; // for each reading, the first monitor that has it
    Found zone;     // the ACPI thermal zone's CPU temperature: it ranks after the hwmon files
    long rounds = 0; // rounds completed; 0 until every source has been asked once
};
