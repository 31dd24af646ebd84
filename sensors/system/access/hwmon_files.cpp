#include "sensors/system/access/hwmon_files.h"

#include "core/decimal_text.h"
#include "sensors/system/access/files.h"
#include "sensors/system/access/wide.h"

// The N in "<prefix>N<suffix>", or -1 when the name is not of that form.
static int numberIn(const char* name, const char* prefix, const char* suffix)
{
    for (; *prefix; ++name, ++prefix)
        if (*name != *prefix)
            return -1;
    if (*name < '0' || *name > '9')
        return -1;
    int number = 0;
    for (; *name >= '0' && *name <= '9'; ++name) {
        number = number * 10 + (*name - '0');
        if (number > 99999)
            return -1;
    }
    return lstrcmpA(name, suffix) == 0 ? number : -1;
}

// Calls found(number) for each "<prefix>N<suffix>" entry of folder. Entries in sysfs are
// symbolic links to the device folders, so they are taken whatever attributes they show.
template <typename Each>
static void forEachNumbered(const WCHAR* folder, const char* prefix, const char* suffix, Each found)
{
    struct Context {
        const char* prefix;
        const char* suffix;
        Each& found;
    } context{prefix, suffix, found};
    auto each = [](const char* name, void* raw) {
        Context& c = *static_cast<Context*>(raw);
        int number = numberIn(name, c.prefix, c.suffix);
        if (number >= 0)
            c.found(number);
    };
    forEachEntry(PathText(folder).add("\\").add(prefix).add("*").c_str(), each, &context);
}

// Inserts in order of number, so the rules can break ties by it. The folder lists names in
// byte order (hwmon10 before hwmon2), so a full list gives up its highest number for a lower
// one and keeps the lowest numbers.
template <typename Item>
static Item* insertSorted(Item* items, int& count, int capacity, int number)
{
    if (count == capacity) {
        if (items[count - 1].number < number)
            return nullptr;
        --count;
    }
    int at = count;
    while (at > 0 && items[at - 1].number > number) {
        items[at] = items[at - 1];
        --at;
    }
    ++count;
    items[at] = Item{};
    items[at].number = number;
    return &items[at];
}

static void readName(const PathText& path, char (&name)[maxNameLength])
{
    if (!readAttributeText(path.c_str(), name, maxNameLength))
        name[0] = '\0';
}

static void scanChannels(const WCHAR* chipFolder, const char* kind, Channel* channels, int& count)
{
    forEachNumbered(chipFolder, kind, "_input", [&](int number) {
        Channel* channel = insertSorted(channels, count, maxChannels, number);
        if (!channel)
            return;
        PathText prefix(chipFolder);
        prefix.add("\\").add(kind).add(number);
        readName(PathText(prefix.c_str()).add("_label"), channel->label);
        channel->readable = readAttributeNumber(PathText(prefix.c_str()).add("_input").c_str(), channel->value);
    });
}

// Every chip the rules keep.
static void scanHwmon(const WCHAR* root, const HwmonRules& rules, Inventory& found)
{
    PathText folder(root);
    folder.add("\\class\\hwmon");
    forEachNumbered(folder.c_str(), "hwmon", "", [&](int number) {
        PathText chipFolder(folder.c_str());
        chipFolder.add("\\hwmon").add(number);
        Chip chip{};
        chip.number = number;
        readName(PathText(chipFolder.c_str()).add("\\name"), chip.name);
        scanChannels(chipFolder.c_str(), "temp", chip.temps, chip.tempCount);
        scanChannels(chipFolder.c_str(), "fan", chip.fans, chip.fanCount);
        Chip* kept = nullptr;
        if (chip.name[0] && rules.keeps(chip))
            kept = insertSorted(found.chips, found.chipCount, maxChips, number);
        if (kept)
            *kept = chip;
    });
}

static void scanThermalZones(const WCHAR* root, Inventory& found)
{
    PathText folder(root);
    folder.add("\\class\\thermal");
    forEachNumbered(folder.c_str(), "thermal_zone", "", [&](int number) {
        PathText zoneFolder(folder.c_str());
        zoneFolder.add("\\thermal_zone").add(number);
        PathText temp(zoneFolder.c_str());
        temp.add("\\temp");
        if (!pathExists(temp.c_str()))
            return;
        if (Zone* zone = insertSorted(found.zones, found.zoneCount, maxZones, number)) {
            readName(PathText(zoneFolder.c_str()).add("\\type"), zone->type);
            zone->readable = readAttributeNumber(temp.c_str(), zone->value);
        }
    });
}

static void scan(const WCHAR* root, const HwmonRules& rules, Inventory& found)
{
    found.chipCount = 0;
    found.zoneCount = 0;
    scanHwmon(root, rules, found);
    scanThermalZones(root, found);
}

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
static bool rootPresent(const WCHAR* root)
{
    if (root[0] && root[1] == ':') {
        const WCHAR drive[] = {root[0], ':', '\\', 0};
        if (!pathExists(drive))
            return false;
    }
    return pathExists(PathText(root).add("\\class").c_str());
}

// The copy of /sys to read: VESK_SYSFS_ROOT, else Wine's view of the real one; false on Windows.
static bool findRoot(WCHAR (&root)[MAX_PATH])
{
    if (environmentPath("VESK_SYSFS_ROOT", root))
        return rootPresent(root);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version"))
        return false;
    const char wine[] = "Z:\\sys";
    for (int i = 0; i < static_cast<int>(sizeof wine); ++i)
        root[i] = static_cast<unsigned char>(wine[i]);
    return rootPresent(root);
}

bool hwmonFilesPresent()
{
    WCHAR root[MAX_PATH];
    return findRoot(root);
}

bool HwmonFiles::open(const HwmonRules& rules)
{
    State* files = state.reserve(1);
    if (!files || !findRoot(files->root)) {
        close();
        return false;
    }
    files->rules = rules;
    const bool all[readingCount] = {true, true, true};
    choose(*files, all);
    return true;
}

static void copyPath(WCHAR (&to)[MAX_PATH], const PathText& from)
{
    CopyMemory(to, from.c_str(), sizeof to);
}

void HwmonFiles::choose(State& state, const bool (&wanted)[readingCount])
{
    Inventory& found = state.found;
    scan(state.root, state.rules, found);
    Picks picked = state.rules.pick(found);
    const Pick picks[readingCount] = {picked.cpu, picked.mb, picked.fan};
    for (int i = 0; i < readingCount; ++i) {
        const Pick& pick = picks[i];
        File& file = state.files[i];
        if (!wanted[i] || pick.kind == PickKind::None)
            continue; // a file that went away stays, in case it comes back
        PathText folder(state.root);
        char* out = file.description;
        char* last = file.description + sizeof file.description - 1;
        if (pick.kind == PickKind::ZoneTemp) {
            const Zone* zone = numbered(found.zones, found.zoneCount, pick.folder);
            folder.add("\\class\\thermal\\thermal_zone").add(pick.folder);
            copyPath(file.path, PathText(folder.c_str()).add("\\temp"));
            copyPath(file.namePath, PathText(folder.c_str()).add("\\type"));
            lstrcpynA(file.name, zone->type, maxNameLength);
            out = appendText(appendText(out, last, "thermal zone "), last, zone->type);
        } else {
            const Chip* chip = numbered(found.chips, found.chipCount, pick.folder);
            bool temperature = pick.kind == PickKind::HwmonTemp;
            const Channel* channel = temperature ? numbered(chip->temps, chip->tempCount, pick.channel)
                                                 : numbered(chip->fans, chip->fanCount, pick.channel);
            const char* kind = temperature ? "temp" : "fan";
            folder.add("\\class\\hwmon\\hwmon").add(pick.folder);
            copyPath(file.path, PathText(folder.c_str()).add("\\").add(kind).add(pick.channel).add("_input"));
            copyPath(file.namePath, PathText(folder.c_str()).add("\\name"));
            lstrcpynA(file.name, chip->name, maxNameLength);
            out = appendText(out, last, chip->name);
            if (channel->label[0])
                out = appendText(appendText(appendText(out, last, " \""), last, channel->label), last, "\"");
            else
                out = appendNumber(appendText(appendText(out, last, " "), last, kind), last, pick.channel);
        }
    }
}

bool HwmonFiles::readNumber(const File& file, long& value)
{
    char name[maxNameLength];
    return readAttributeText(file.namePath, name, maxNameLength) && lstrcmpA(name, file.name) == 0
        && readAttributeNumber(file.path, value);
}

bool HwmonFiles::read(Published& published)
{
    State* files = state.get();
    if (!files)
        return false;
    FieldList values(files->values, readingCount);
    for (int i = 0; i < readingCount; ++i) {
        File& file = files->files[i];
        if (!file.path[0])
            continue;
        long value;
        if (!readNumber(file, value)) {
            bool wanted[readingCount] = {};
            wanted[i] = true;
            choose(*files, wanted);
            if (!readNumber(file, value))
                continue;
        }
        Field field(i, "");
        field.setText(file.description);
        field.number = value;
        field.numeric = true;
        values.add(field);
    }
    values.publish(published);
    return true;
}
