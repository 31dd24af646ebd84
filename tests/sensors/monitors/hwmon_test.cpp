// The Linux hwmon files under Wine: the rules that keep a scan's chips and pick the files, and
// the picked files' values.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

#include "tests/sensors/monitors/monitor_test.h"

namespace fs = std::filesystem;

// A tree's files as a listing: a path and the first line of what the file holds; a path alone for
// a folder in the place of an input, a file that cannot be read.
static std::string listed(const fs::path& root)
{
    std::ostringstream listing;
    auto options = fs::directory_options::follow_directory_symlink;
    for (auto entry = fs::recursive_directory_iterator(root / "class", options); entry != fs::end(entry); ++entry) {
        std::string path = fs::relative(entry->path(), root).generic_string(), file = entry->path().filename().string();
        if (entry->is_regular_file()) {
            std::string value = readFile(entry->path().string());
            listing << path << ' ' << value.substr(0, value.find('\n')) << '\n';
        } else if (file == "temp" || (file.size() > 6 && file.substr(file.size() - 6) == "_input")) {
            listing << path << '\n';
        }
    }
    return listing.str();
}

std::vector<Machine> machines(const std::string& realMachines)
{
    std::vector<Machine> all;
    for (const auto& entry : fs::directory_iterator(FIXTURES))
        if (fs::exists(entry.path() / "class"))
            all.push_back({entry.path().filename().string(), listed(entry.path())});
    for (const auto& group : fs::directory_iterator(realMachines))
        if (group.is_directory())
            for (const auto& machine : fs::directory_iterator(group.path()))
                all.push_back({group.path().filename().string() + "-" + machine.path().filename().string(),
                               listed(machine.path())});
    return all;
}

// Each machine's listing; every value its files hold, for the numbers; the files the rules pick
// on it, as the hwmon access hands them over.
static const bool seeded = addSeeds([](Seeds& seeds) {
    static Inventory found;
    for (const Machine& machine : machines(seeds.realMachines)) {
        seeds.add("hwmon_rules", machine.name, machine.listing);
        std::istringstream lines(machine.listing);
        std::set<std::string> values;
        for (std::string line; std::getline(lines, line);)
            if (line.find(' ') != std::string::npos)
                values.insert(line.substr(line.find(' ') + 1));
        for (const std::string& value : values)
            seeds.add("numbers", std::to_string(std::hash<std::string>()(value)), value);

        inventoryFromText(machine.listing, found);
        Picks picks = hwmonRules.pick(found);
        std::ostringstream readings;
        const Pick rows[] = {picks.cpu, picks.mb, picks.fan};
        for (int row = 0; row < 3; ++row)
            for (int i = 0; i < found.chipCount; ++i) {
                const Chip& chip = found.chips[i];
                bool temp = rows[row].kind == PickKind::HwmonTemp;
                const Channel* channels = temp ? chip.temps : chip.fans;
                for (int j = 0; j < (temp ? chip.tempCount : chip.fanCount); ++j)
                    if ((temp || rows[row].kind == PickKind::HwmonFan) && chip.number == rows[row].folder
                        && channels[j].number == rows[row].channel && channels[j].readable)
                        readings << row << ':' << chip.name << '#' << channels[j].value << '\n';
            }
        seeds.add("hwmon_readings", machine.name, readings.str());
    }
});

namespace {

// A machine in one line: chips as "name: temp1=Label@45, fan2@0" (hwmon0, hwmon1, ... in
// order), zones as "zone type@45" (thermal_zone0, ...), separated by " | ". Values are degrees
// or RPM, "@-" for a file that cannot be read; without one a temperature reads 40, a fan 1000.
void describe(const std::string& text, Inventory& found)
{
    memset(&found, 0, sizeof found);
    auto value = [](std::string& item, long fallback, bool& readable) {
        size_t at = item.find('@');
        readable = true;
        if (at == std::string::npos)
            return fallback;
        std::string number = item.substr(at + 1);
        item = item.substr(0, at);
        readable = number != "-";
        return readable ? atol(number.c_str()) : 0L;
    };
    std::istringstream parts(text);
    for (std::string part; std::getline(parts, part, '|');) {
        part = part.substr(part.find_first_not_of(' '));
        part = part.substr(0, part.find_last_not_of(' ') + 1);
        if (part.compare(0, 5, "zone ") == 0) {
            Zone& zone = found.zones[found.zoneCount];
            zone.number = found.zoneCount++;
            std::string type = part.substr(5);
            zone.value = value(type, 40, zone.readable) * 1000;
            strncpy(zone.type, type.c_str(), maxNameLength - 1);
            continue;
        }
        Chip& chip = found.chips[found.chipCount];
        chip.number = found.chipCount++;
        size_t colon = part.find(':');
        strncpy(chip.name, part.substr(0, colon).c_str(), maxNameLength - 1);
        std::istringstream channels(colon == std::string::npos ? "" : part.substr(colon + 1));
        for (std::string item; std::getline(channels, item, ',');) {
            item = item.substr(item.find_first_not_of(' '));
            bool isFan = item.compare(0, 3, "fan") == 0;
            Channel& channel = isFan ? chip.fans[chip.fanCount++] : chip.temps[chip.tempCount++];
            channel.value = isFan ? value(item, 1000, channel.readable) : value(item, 40, channel.readable) * 1000;
            channel.number = atoi(item.c_str() + (isFan ? 3 : 4));
            size_t equals = item.find('=');
            if (equals != std::string::npos)
                strncpy(channel.label, item.c_str() + equals + 1, maxNameLength - 1);
        }
    }
}

std::string text(const Pick& pick)
{
    switch (pick.kind) {
    case PickKind::HwmonTemp: return "hwmon" + std::to_string(pick.folder) + "/temp" + std::to_string(pick.channel);
    case PickKind::HwmonFan: return "hwmon" + std::to_string(pick.folder) + "/fan" + std::to_string(pick.channel);
    case PickKind::ZoneTemp: return "zone" + std::to_string(pick.folder);
    case PickKind::None: break;
    }
    return "-";
}

std::string chosen(const char* machine)
{
    static Inventory found;
    describe(machine, found);
    Picks picks = hwmonRules.pick(found);
    return text(picks.cpu) + " " + text(picks.mb) + " " + text(picks.fan);
}

} // namespace

TEST(Hwmon, PickedFiles)
{
    auto hwmon = [](const std::string& files) { return parsed(files, readHwmon, ""); };
    expectRows({
        {"the CPU, an absurd board, the fan", hwmon("0:cpu#45500\n1:board#-128000\n2:fan#1264"), "46 - 1264"},
        {"0.3 degrees, an absent fan", hwmon("0:cpu#300\n2:fan#65535"), "- - -"},
    });
}

// The files picked for the CPU, the board and the fan, "-" for none.
TEST(HwmonRules, PickTheCpuTheBoardAndTheFan)
{
    auto on = [](const char* machine, const char* expected) { return Row{machine, chosen(machine), expected}; };
    expectRows({
        // The processor.
        on("coretemp: temp1=Package id 0, temp2=Core 0, temp3=Core 1", "hwmon0/temp1 - -"),
        on("coretemp: temp2=Core 0, temp3=Core 1", "hwmon0/temp2 - -"),
        on("coretemp: temp1=Physical id 0, temp2=Core 0", "hwmon0/temp1 - -"),
        on("k10temp: temp1=Tctl, temp2=Tdie, temp3=Tccd1", "hwmon0/temp2 - -"),
        on("k10temp: temp1=Tctl, temp3=Tccd1", "hwmon0/temp1 - -"), on("k10temp: temp1", "hwmon0/temp1 - -"),
        on("zenpower: temp1=Tdie, temp2=Tctl", "hwmon0/temp1 - -"), on("cpu_thermal: temp1", "hwmon0/temp1 - -"),
        on("nvme: temp1=Composite | coretemp: temp1=Package id 0", "hwmon1/temp1 - -"),
        on("zone acpitz | coretemp: temp1=Package id 0 | zone x86_pkg_temp", "hwmon0/temp1 zone0 -"),
        on("zone acpitz | zone x86_pkg_temp", "zone1 zone0 -"),
        on("nvme: temp1=Composite | amdgpu: temp1=edge, fan1 | iwlwifi_1: temp1", "- - -"), on("", "- - -"),
        // Two sockets: each has a coretemp chip, in no fixed order.
        on("coretemp: temp1=Package id 1, temp2=Core 0 | coretemp: temp1=Package id 0", "hwmon1/temp1 - -"),
        on("coretemp: temp1=Package id 0@-, temp2=Core 0", "hwmon0/temp2 - -"),
        on("coretemp: temp1=Package id 0@0, temp2=Core 0", "hwmon0/temp2 - -"),
        on("k8temp: temp1=Core0 Temp@41, temp2=Core0 Temp@-49, temp3=Core1 Temp@44", "hwmon0/temp3 - -"),
        on("via_cputemp: temp1=Core 0", "hwmon0/temp1 - -"),
        // Without a CPU driver.
        on("thinkpad: temp1=CPU, temp2=GPU", "hwmon0/temp1 - -"),
        on("applesmc: fan1=Exhaust, temp1=TB0T, temp2=TC0D, temp3=TC0P", "hwmon0/temp2 - hwmon0/fan1"),
        on("atk0110: temp1=CPU Temperature, temp2=MB Temperature", "hwmon0/temp1 hwmon0/temp2 -"),
        on("nct6776: temp1=SYSTIN@-55, temp2=CPUTIN, temp3=AUXTIN@-128", "hwmon0/temp2 - -"),
        on("zone x86_pkg_temp@-263", "- - -"),
        // The board.
        on("it8686: temp1, temp2 | asusec: temp1=Chipset, temp3=Motherboard", "- hwmon1/temp3 -"),
        on("nct6775: temp1=PECI Agent 0, temp2=SYSTIN", "hwmon0/temp1 hwmon0/temp2 -"),
        on("asus_wmi_sensors: temp1=CPU Temperature, temp2=Motherboard Temperature", "hwmon0/temp1 hwmon0/temp2 -"),
        on("w83627ehf: temp1, temp2", "- hwmon0/temp1 -"), on("nct6683: temp2=Local, temp3=PECI 0.0", "- - -"),
        on("thinkpad: temp1 | acpitz: temp1", "- hwmon1/temp1 -"), on("zone acpitz", "- zone0 -"),
        on("it8712: temp1@-128, temp2 | acpitz: temp1@-263", "- - -"),
        on("f71882fg: temp1=CPU Temp, temp2 | acpitz: temp1", "- hwmon1/temp1 -"),
        on("gigabyte_wmi: temp1, temp2 | acpitz: temp1", "- hwmon0/temp1 -"),
        // The CPU fan.
        on("nct6798: fan1, fan2 | asus_wmi_sensors: fan1=Chassis Fan 1, fan2=CPU Fan", "- - hwmon1/fan2"),
        on("asus_wmi_sensors: fan1=CPU OPT, fan2=CPU Fan", "- - hwmon0/fan2"),
        on("asusec: fan1=CPU_Opt | nct6798: fan1, fan2", "- - hwmon1/fan2"),
        on("asusec: fan1=CPU_Opt | nct6798: fan1@0, fan2@0", "- - hwmon0/fan1"),
        on("amdgpu: fan1 | dell_smm: fan1=Video Fan, fan2=Processor Fan", "- - hwmon1/fan2"),
        on("amdgpu: fan1 | thinkpad: fan1 | it8728: fan1, fan2", "- - hwmon2/fan1"),
        on("it8728: fan2, fan3 | thinkpad: fan1", "- - hwmon0/fan2"),
        on("amdgpu: fan1 | thinkpad: fan1", "- - hwmon1/fan1"), on("amdgpu: fan1 | nouveau: fan1", "- - -"),
        // Boards wire the CPU fan to CPUFANIN: fan2 on Nuvoton and Winbond, fan1 on MSI's Nuvoton.
        on("nct6779: fan1@700, fan2@1100", "- - hwmon0/fan2"), on("nct6779: fan1@700, fan2@0", "- - hwmon0/fan1"),
        on("w83627dhg: fan1@0, fan2@0, fan3@0", "- - hwmon0/fan2"),
        on("nct6687: fan1@1500, fan2@800", "- - hwmon0/fan1"),
        on("asus_wmi_sensors: fan1=CPU Fan@0, fan2=CPU OPT@900", "- - hwmon0/fan2"),
        on("dell_smm: fan1=Processor Fan@0, fan2=Video Fan@2000", "- - hwmon0/fan1"),
        on("corsaircpro: fan1=fan1 4pin | nvme: temp1", "- - -"),
        // An absent fan reading 65535, a floating input's 337,500 rpm: neither spins.
        on("thinkpad: fan1@0, fan2@65535", "- - hwmon0/fan1"),
        on("it8718: fan1@0, fan2@0, fan4@337500", "- - hwmon0/fan1"),
        on("nct6779: fan1@65535, fan2@0", "- - hwmon0/fan2"),
        // SMSC chips and an Eee PC's controller: the first header, else another that spins.
        on("dme1737: fan1@0, fan2@1500", "- - hwmon0/fan2"),
        on("theseus: fan1@0, fan3@0, fan4@1013", "- - hwmon0/fan4"), on("eeepc: fan1@1430", "- - hwmon0/fan1"),
    });
}
