#include "sensors/system/sysfs_rules.h"

#include "sensors/system/labels.h"

static const Source none = {SourceKind::None, 0, 0};

static Source tempOf(const Chip& chip, const Channel& channel)
{
    return {SourceKind::HwmonTemp, chip.number, channel.number};
}

static Source fanOf(const Chip& chip, const Channel& channel)
{
    return {SourceKind::HwmonFan, chip.number, channel.number};
}

static const Channel* tempLabelled(const Chip& chip, const char* prefix)
{
    for (int i = 0; i < chip.tempCount; ++i)
        if (labelStartsWith(chip.temps[i].label, prefix))
            return &chip.temps[i];
    return nullptr;
}

static const Channel* tempNumbered(const Chip& chip, int number)
{
    for (int i = 0; i < chip.tempCount; ++i)
        if (chip.temps[i].number == number)
            return &chip.temps[i];
    return nullptr;
}

static const Channel* fanNumbered(const Chip& chip, int number)
{
    for (int i = 0; i < chip.fanCount; ++i)
        if (chip.fans[i].number == number)
            return &chip.fans[i];
    return nullptr;
}

bool isBoardChip(const char* name)
{
    static const char* const families[] = {
        "nct6",                // nct6775 and kin, nct6683/6686/6687
        "it8",                 // it87: it8603 ... it8792
        "w83",                 // w83627ehf, w83627hf and the other Winbond chips
        "f71", "f81",          // Fintek
        "asusec",              // asus-ec-sensors names its hwmon device so
        "asus ec sensors",
        "asus wmi sensors",
    };
    for (const char* family : families)
        if (labelStartsWith(name, family))
            return true;
    return false;
}

static bool isGraphicsChip(const char* name)
{
    return labelEquals(name, "amdgpu") || labelEquals(name, "radeon") || labelEquals(name, "nouveau");
}

// The chip's CPU temperature by the rules of its driver; null when it is not a CPU driver.
static const Channel* cpuChannel(const Chip& chip)
{
    if (labelEquals(chip.name, "coretemp")) {
        if (const Channel* package = tempLabelled(chip, "Package id 0"))
            return package;
        if (const Channel* package = tempLabelled(chip, "Physical id 0")) // kernels before 3.x
            return package;
        return tempLabelled(chip, "Core ");
    }
    if (labelEquals(chip.name, "k10temp") || labelEquals(chip.name, "zenpower")) {
        // Tctl is the fan-control value, on some processors offset from the real one.
        if (const Channel* die = tempLabelled(chip, "Tdie"))
            return die;
        if (const Channel* control = tempLabelled(chip, "Tctl"))
            return control;
        const Channel* first = tempNumbered(chip, 1);
        return first && !first->label[0] ? first : nullptr;
    }
    if (labelEquals(chip.name, "cpu thermal"))
        return tempNumbered(chip, 1);
    return nullptr;
}

static Source zoneOfType(const Inventory& found, const char* type)
{
    for (int i = 0; i < found.zoneCount; ++i)
        if (labelEquals(found.zones[i].type, type))
            return {SourceKind::ZoneTemp, found.zones[i].number, 0};
    return none;
}

static Source chooseCpu(const Inventory& found)
{
    // Driver by driver, in this order, so a coretemp chip wins wherever it is numbered.
    static const char* const drivers[] = {"coretemp", "k10temp", "zenpower", "cpu_thermal"};
    for (const char* driver : drivers)
        for (int i = 0; i < found.chipCount; ++i) {
            const Chip& chip = found.chips[i];
            if (!labelEquals(chip.name, driver))
                continue;
            if (const Channel* channel = cpuChannel(chip))
                return tempOf(chip, *channel);
        }
    return zoneOfType(found, "x86_pkg_temp");
}

static Source chooseBoard(const Inventory& found)
{
    for (int i = 0; i < found.chipCount; ++i) {
        const Chip& chip = found.chips[i];
        if (!isBoardChip(chip.name))
            continue;
        const Channel* channel = tempLabelled(chip, "SYSTIN");
        if (!channel)
            channel = tempLabelled(chip, "Motherboard");
        if (channel)
            return tempOf(chip, *channel);
    }
    for (int i = 0; i < found.chipCount; ++i)
        if (isBoardChip(found.chips[i].name))
            if (const Channel* first = tempNumbered(found.chips[i], 1))
                return tempOf(found.chips[i], *first);
    for (int i = 0; i < found.chipCount; ++i)
        if (labelEquals(found.chips[i].name, "acpitz"))
            if (const Channel* first = tempNumbered(found.chips[i], 1))
                return tempOf(found.chips[i], *first);
    return zoneOfType(found, "acpitz");
}

static Source chooseFan(const Inventory& found)
{
    Source best = none;
    int bestRank = 0;
    for (int i = 0; i < found.chipCount; ++i) {
        const Chip& chip = found.chips[i];
        for (int j = 0; j < chip.fanCount; ++j) {
            int rank = cpuFanRank(chip.fans[j].label);
            if (rank > bestRank) {
                best = fanOf(chip, chip.fans[j]);
                bestRank = rank;
            }
        }
    }
    if (bestRank > 0)
        return best;
    for (int i = 0; i < found.chipCount; ++i)
        if (isBoardChip(found.chips[i].name))
            if (const Channel* first = fanNumbered(found.chips[i], 1))
                return fanOf(found.chips[i], *first);
    for (int i = 0; i < found.chipCount; ++i)
        if (found.chips[i].fanCount > 0 && !isGraphicsChip(found.chips[i].name))
            return fanOf(found.chips[i], found.chips[i].fans[0]);
    return none;
}

Sources chooseSources(const Inventory& found)
{
    return {chooseCpu(found), chooseBoard(found), chooseFan(found)};
}
