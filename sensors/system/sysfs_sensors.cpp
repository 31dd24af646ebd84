#include "sensors/system/sysfs_sensors.h"

#include "sensors/system/sysfs_file.h"
#include "sensors/system/sysfs_scan.h"
#include "sensors/system/units.h"

// The scan is too large for a loader thread's stack, so it lives here.
static Inventory found;

template <typename Item>
static const Item* numbered(const Item* items, int count, int number)
{
    for (int i = 0; i < count; ++i)
        if (items[i].number == number)
            return &items[i];
    return nullptr;
}

// A root on a drive letter needs that drive mapped; Wine's Z: usually is, but a user can
// remove it.
static bool rootPresent(const char* root)
{
    if (root[0] && root[1] == ':') {
        char drive[] = {root[0], ':', '\\', '\0'};
        if (!pathExists(drive))
            return false;
    }
    return pathExists(PathText(root).add("\\class").c_str());
}

static void copy(char* to, const char* from, int size)
{
    lstrcpynA(to, from, size);
}

void SysfsSensors::open(const char* sysfsRoot)
{
    for (File& file : files)
        file = File{};
    copy(root, sysfsRoot, MAX_PATH);
    if (!rootPresent(root))
        return;
    const bool all[readingCount] = {true, true, true};
    choose(all);
}

void SysfsSensors::choose(const bool (&wanted)[readingCount])
{
    scanSysfs(root, found);
    Sources chosen = chooseSources(found);
    const Source sources[readingCount] = {chosen.cpu, chosen.mb, chosen.fan};
    for (int i = 0; i < readingCount; ++i) {
        const Source& source = sources[i];
        File& file = files[i];
        if (!wanted[i] || source.kind == SourceKind::None)
            continue; // a file that went away stays, in case it comes back
        PathText folder(root);
        PathText description("");
        if (source.kind == SourceKind::ZoneTemp) {
            const Zone* zone = numbered(found.zones, found.zoneCount, source.folder);
            folder.add("\\class\\thermal\\thermal_zone").add(source.folder);
            copy(file.path, PathText(folder.c_str()).add("\\temp").c_str(), MAX_PATH);
            copy(file.namePath, PathText(folder.c_str()).add("\\type").c_str(), MAX_PATH);
            copy(file.name, zone->type, maxNameLength);
            description.add("thermal zone ").add(zone->type);
        } else {
            const Chip* chip = numbered(found.chips, found.chipCount, source.folder);
            bool temperature = source.kind == SourceKind::HwmonTemp;
            const Channel* channel = temperature ? numbered(chip->temps, chip->tempCount, source.channel)
                                                 : numbered(chip->fans, chip->fanCount, source.channel);
            const char* kind = temperature ? "temp" : "fan";
            folder.add("\\class\\hwmon\\hwmon").add(source.folder);
            copy(file.path, PathText(folder.c_str()).add("\\").add(kind).add(source.channel).add("_input").c_str(),
                 MAX_PATH);
            copy(file.namePath, PathText(folder.c_str()).add("\\name").c_str(), MAX_PATH);
            copy(file.name, chip->name, maxNameLength);
            description.add(chip->name);
            if (channel->label[0])
                description.add(" \"").add(channel->label).add("\"");
            else
                description.add(" ").add(kind).add(source.channel);
        }
        file.temperature = source.kind != SourceKind::HwmonFan;
        copy(file.description, description.c_str(), sizeof file.description);
    }
}

bool SysfsSensors::readNumber(const File& file, long& value) const
{
    char name[maxNameLength];
    return readAttributeText(file.namePath, name, maxNameLength) && lstrcmpA(name, file.name) == 0 &&
           readAttributeNumber(file.path, value);
}

int SysfsSensors::read(Reading reading)
{
    File& file = files[reading];
    if (!file.path[0])
        return 0;
    long value;
    if (!readNumber(file, value)) {
        bool wanted[readingCount] = {};
        wanted[reading] = true;
        choose(wanted);
        if (!readNumber(file, value))
            return 0;
    }
    if (!file.temperature)
        return value > 0 ? static_cast<int>(value) : 0;
    return isPlausibleTemperature(value) ? degreesFromMillidegrees(value) : 0;
}
