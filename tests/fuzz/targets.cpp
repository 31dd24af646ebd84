// Every fuzz target, a row each: its name (the program fuzz_<name>, its seeds seeds/<name>/) and
// what it hands its input to, as the access would hand it over: bytes as a mapping's copy or the
// web server's answer, text as named fields (tests/support/published_text.h), a listing of sysfs
// files as the hwmon rules' inventory. tests/fuzz/CMakeLists.txt builds one program per row,
// FUZZ_TARGET naming it, and tests/fuzz/seeds.cpp writes each one's seeds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sensors/system/access/http_answer.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"
#include "tests/support/published_text.h"

namespace {

// What every monitor promises whatever it was handed: readings that pass the check, with names
// that end within their field; anything else is a finding.
int offerAndCheck(Parser parse, const Published& published)
{
    Choice choice("fuzz");
    parse(published, choice);
    Readings found = choice.readings();
    int whole;
    const Reading* all[] = {&found.cpu, &found.mb, &found.fan};
    for (const Reading* reading : all) {
        bool named = false;
        for (char c : reading->sensor)
            named = named || c == '\0';
        bool checked = reading == &found.fan ? isFanSpeed(reading->value, whole) : isTemperature(reading->value, whole);
        if (!named || (reading->found && !checked))
            __builtin_trap();
    }
    return 0;
}

template <Parser parse>
int bytes(const uint8_t* data, size_t size)
{
    return offerAndCheck(parse, publishedBytes(data, size));
}

template <Parser parse>
int fields(const uint8_t* data, size_t size)
{
    return offerAndCheck(parse, TextFields(std::string(data, data + size)).published());
}

// The ACPI thermal zones: the counter's instances, in either of its units, and WMI's rows.
int zones(const uint8_t* data, size_t size)
{
    std::string text(data, data + size);
    const char* precise = "\\Thermal Zone Information(*)\\High Precision Temperature";
    offerAndCheck(readZoneCounter, TextFields(text, precise).published());
    offerAndCheck(readZoneCounter, TextFields(text, "\\Thermal Zone Information(*)\\Temperature").published());
    return offerAndCheck(readZoneWmi, TextFields(text).published());
}

// A whole answer from the web server on 8085: its status line and headers, then its body as
// data.json.
int webAnswer(const uint8_t* data, size_t size)
{
    Published published = publishedBytes(data, size);
    if (bodyOfAnswer(published.bytes.chars(), published.bytes.length(), published.bytes))
        offerAndCheck(readMonitorJson, published);
    return 0;
}

// The hwmon rules over a machine's files: each pick must name a file the inventory holds, as
// access/hwmon_files.cpp looks it up there and reads it.
bool holds(const Inventory& found, const Pick& pick)
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

int picks(const uint8_t* data, size_t size)
{
    static Inventory found;
    inventoryFromText(std::string(data, data + size), found);
    Picks picks = hwmonRules.pick(found);
    if (!holds(found, picks.cpu) || !holds(found, picks.mb) || !holds(found, picks.fan))
        __builtin_trap();
    return 0;
}

// The numbers sources write: a kernel attribute as access/files.cpp reads it (at most 31 bytes,
// terminated), and a decimal within its bytes as the monitors parse it.
int numbers(const uint8_t* data, size_t size)
{
    std::string attribute(data, data + std::min<size_t>(size, 31));
    long whole;
    double value;
    parseAttributeNumber(attribute.c_str(), whole);
    parseDecimal(reinterpret_cast<const char*>(data), static_cast<int>(std::min<size_t>(size, 1 << 20)), value);
    return 0;
}

// One registry value as RegEnumValueA hands it over: its type (the first byte), then its data,
// of any size and terminated or not. Its text must end within the field.
int registryValue(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Field field(0, "Value.TCPU");
    bool taken = fieldFromRegistry(data[0], data + 1, static_cast<unsigned long>(size - 1), field);
    bool ended = false;
    for (char c : field.text)
        ended = ended || c == '\0';
    if (taken && (!ended || (field.numeric && field.text[0])))
        __builtin_trap();
    return 0;
}

struct Target { const char* name; int (*run)(const uint8_t* data, size_t size); };

// One a line, as tests/fuzz/CMakeLists.txt reads them.
constexpr Target targets[] = {
    {"hwinfo_memory", bytes<readHwinfoMemory>},
    {"hwinfo_gadget", fields<readHwinfoGadget>},
    {"aida_memory", bytes<readAidaMemory>},
    {"aida_registry", fields<readAidaRegistry>},
    {"argus_monitor", bytes<readArgusMonitor>},
    {"monitor_json", bytes<readMonitorJson>},
    {"web_answer", webAnswer},
    {"monitor_wmi", fields<readMonitorWmi>},
    {"core_temp", bytes<readCoreTemp>},
    {"afterburner", bytes<readAfterburner>},
    {"speedfan", bytes<readSpeedFan>},
    {"mbm5", bytes<readMbm5>},
    {"acpi_zone", zones},
    {"hwmon_readings", fields<readHwmon>},
    {"hwmon_rules", picks},
    {"numbers", numbers},
    {"registry_value", registryValue},
};

constexpr Target chosen(std::string_view name)
{
    for (const Target& target : targets)
        if (name == target.name)
            return target;
    throw "FUZZ_TARGET names no row of the table";
}

} // namespace

// Chosen as the program is compiled, so that it holds its own target's code alone.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr Target target = chosen(FUZZ_TARGET);
    return target.run(data, size);
}
