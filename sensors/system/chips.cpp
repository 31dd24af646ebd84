#include "sensors/system/chips.h"

#include "sensors/system/labels.h"

// Where boards wire the CPU fan and the board's sensor, by the inputs' order in the drivers and
// the datasheets' pin names: the second fan input is CPUFANIN on Nuvoton's and Winbond's chips,
// and the first on ITE's, Fintek's and SMSC's; MSI's Nuvoton chips (read by the nct6683 driver)
// number their fans from the CPU header. The first that matches counts.
static const ChipFamily families[] = {
    {"nct6683", 1, 0}, {"nct6686", 1, 0}, {"nct6687", 1, 0},
    {"nct6", 2, 1},
    {"w83", 2, 1},
    {"it8", 1, 1},
    {"f71", 1, 1}, {"f81", 1, 1}, {"f8000", 1, 1},
    // SMSC's, "theseus" being the SCH5636 on Fujitsu's boards
    {"dme1737", 1, 0}, {"sch311", 1, 0}, {"sch56", 1, 0}, {"theseus", 1, 0}, {"smsc47", 1, 0}, {"emc6w201", 1, 0},
    // The board's firmware, reading the same chips: it names what it gives.
    {"asusec", 0, 0}, {"asus ec sensors", 0, 0}, {"asus wmi sensors", 0, 0}, {"atk0110", 0, 0}, // ASUS
    {"gigabyte wmi", 0, 1},
};

const ChipFamily* chipFamily(const char* name)
{
    // A monitor's name for a chip ends with its model: "ITE IT8686E".
    const char* model = name;
    for (const char* at = name; *at; ++at)
        if (*at == ' ' && at[1])
            model = at + 1;
    for (const ChipFamily& family : families)
        if (labelStartsWith(name, family.prefix) || labelStartsWith(model, family.prefix))
            return &family;
    return nullptr;
}
