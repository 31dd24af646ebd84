// The hwmon rules over a machine's files: each pick must name a file the inventory holds, as
// access/hwmon_files.cpp looks it up there and reads it.
#include "tests/fuzz/target.h"

static bool holds(const Inventory& found, const Pick& pick)
{
    auto numbered = [](const auto* items, int count, int number) {
        for (int i = 0; i < count; ++i)
            if (items[i].number == number)
                return &items[i];
        return static_cast<decltype(items)>(nullptr);
    };
    if (pick.kind == PickKind::None)
        return true;
    if (pick.kind == PickKind::ZoneTemp)
        return numbered(found.zones, found.zoneCount, pick.folder);
    const Chip* chip = numbered(found.chips, found.chipCount, pick.folder);
    return chip
        && (pick.kind == PickKind::HwmonTemp ? numbered(chip->temps, chip->tempCount, pick.channel)
                                             : numbered(chip->fans, chip->fanCount, pick.channel));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Inventory found;
    inventoryFromText(std::string(data, data + size), found);
    Picks picks = hwmonRules.pick(found);
    if (!holds(found, picks.cpu) || !holds(found, picks.mb) || !holds(found, picks.fan))
        __builtin_trap();
    return 0;
}
