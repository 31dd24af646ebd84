// Writes each fuzz target's seeds, seeds/<target>/, from real published data:
//   fuzz_seeds <tests/fixtures> <the real machines' trees> <seeds>
// the captures of tests/fixtures/captures as they are, and laid out as the other ways monitors
// publish the same readings; the hwmon trees of the fixture machines and of the real machines
// (as tests/sensors/sensors_to_sysfs.cmake made them) as listings, with the files the rules pick
// on each; and the findings kept in tests/fixtures/fuzz/<target>/.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "tests/fuzz/target.h"
#include "tests/sensors/publisher_images.h"

namespace fs = std::filesystem;

static fs::path seeds;

static std::string contentOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

static void write(const std::string& target, const std::string& name, const std::string& content)
{
    fs::create_directories(seeds / target);
    std::ofstream(seeds / target / name, std::ios::binary) << content;
}

static void write(const std::string& target, const std::string& name, const Image& image)
{
    write(target, name, std::string(image.begin(), image.end()));
}

static void copyAll(const fs::path& folder, const char* extension, std::initializer_list<const char*> targets)
{
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == extension)
            for (const char* target : targets)
                write(target, entry.path().filename().string(), contentOf(entry.path()));
}

// HWiNFO's readings as its shared memory, its gadget's registry values and, as LibreHardwareMonitor
// would show the same sensors, WMI rows.
static void hwinfoSeeds(const fs::path& file)
{
    std::string name = file.stem().string();
    HwinfoListing listing = hwinfoListing(contentOf(file));
    HwinfoLayout live;
    live.polled = fuzzNow;
    write("hwinfo_memory", name, hwinfoImage(listing.sensors, listing.readings, live));
    std::ostringstream gadget, wmi;
    for (size_t n = 0; n < listing.readings.size(); ++n) {
        const HwinfoReading& r = listing.readings[n];
        gadget << "0:Sensor" << n << '=' << listing.sensors[r.sensor] << "\n0:Label" << n << '=' << r.label
               << "\n0:Value" << n << '=' << r.value << ' ' << r.unit << "\n0:ValueRaw" << n << '=' << r.value << '\n';
        const char* type = r.type == 1 ? "Temperature" : r.type == 3 ? "Fan" : "Other";
        wmi << n << ":SensorType=" << type << '\n' << n << ":Name=" << r.label << '\n' << n << ":Value#" << r.value
            << '\n' << n << ":Parent=/" << listing.sensors[r.sensor] << '\n';
    }
    write("hwinfo_gadget", name, gadget.str());
    write("monitor_wmi", name, wmi.str());
}

// A machine's class/hwmon and class/thermal as a listing; the files the rules pick on it, as
// the hwmon access hands them over; its thermal zones as Windows would count them.
static void hwmonSeeds(const fs::path& root, const std::string& name)
{
    std::ostringstream listing, zones;
    std::set<std::string> values;
    auto options = fs::directory_options::follow_directory_symlink;
    for (auto entry = fs::recursive_directory_iterator(root / "class", options); entry != fs::end(entry); ++entry) {
        std::string path = fs::relative(entry->path(), root).generic_string(), file = entry->path().filename().string();
        if (entry->is_regular_file()) {
            std::string value = contentOf(entry->path());
            value = value.substr(0, value.find('\n'));
            listing << path << ' ' << value << '\n';
            values.insert(value);
        } else if (file == "temp" || (file.size() > 6 && file.substr(file.size() - 6) == "_input")) {
            listing << path << '\n'; // a folder in its place: a file that cannot be read
        }
    }
    write("hwmon_rules", name, listing.str());
    for (const std::string& value : values)
        write("numbers", std::to_string(std::hash<std::string>()(value)), value);

    static Inventory found;
    inventoryFromText(listing.str(), found);
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
    for (int i = 0; i < found.zoneCount; ++i)
        if (found.zones[i].readable)
            zones << i << ":\\_TZ.TZ0" << i << '#' << (found.zones[i].value + 273150) / 100 << '\n';
    write("hwmon_readings", name, readings.str());
    if (found.zoneCount)
        write("acpi_zone", name, zones.str());
}

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: fuzz_seeds <tests/fixtures> <real machines' trees> <seeds>\n";
        return 2;
    }
    fs::path fixtures = argv[1], captures = fixtures / "captures";
    seeds = argv[3];
    fs::remove_all(seeds);
    copyAll(captures / "aida64", ".xml", {"aida_memory"});
    copyAll(captures / "aida64", ".txt", {"aida_registry"});
    for (const char* monitor : {"libre-hardware-monitor", "open-hardware-monitor"}) {
        copyAll(captures / monitor, ".json", {"monitor_json"});
        for (const auto& entry : fs::directory_iterator(captures / monitor)) {
            std::string json = contentOf(entry.path());
            write("web_answer", entry.path().filename().string(),
                  "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(json.size())
                      + "\r\nConnection: close\r\n\r\n" + json);
        }
    }
    for (const auto& entry : fs::directory_iterator(captures / "hwinfo"))
        if (entry.path().extension() == ".txt")
            hwinfoSeeds(entry.path());
    for (const auto& entry : fs::directory_iterator(fixtures))
        if (fs::exists(entry.path() / "class"))
            hwmonSeeds(entry.path(), entry.path().filename().string());
    for (const auto& group : fs::directory_iterator(argv[2]))
        if (group.is_directory())
            for (const auto& machine : fs::directory_iterator(group.path()))
                hwmonSeeds(machine.path(), group.path().filename().string() + "-" + machine.path().filename().string());

    // No public capture of these was found: the layouts their tests play, with a laptop's values.
    CoreTempState laptop;
    laptop.temps = {52, 58, 55, 54};
    write("core_temp", "laptop", coreTempImage(laptop));
    write("afterburner", "cpu-and-gpu", afterburnerImage({{"GPU temperature", "\xb0""C", 45, 0x00},
                                                          {"CPU temperature", "\xb0""C", 61, 0x80}},
                                                         static_cast<int32_t>(fuzzNow)));
    write("speedfan", "two-fans", speedFanImage({4250, 3800}, {1320, 800}));
    write("mbm5", "board", mbm5Image({{1, "CPU", 47.5}, {1, "Mobo", 33}, {3, "CPU Fan", 2410}, {2, "Vcore", 1.5}}));
    for (const auto& entry : fs::directory_iterator(captures / "aida64"))
        if (entry.path().extension() == ".txt") {
            std::istringstream lines(contentOf(entry.path()));
            int n = 0;
            const std::string text = "    REG_SZ    ";
            for (std::string line; std::getline(lines, line);)
                if (line.find(text) != std::string::npos)
                    write("registry_value", std::to_string(n++), "\x01" + line.substr(line.find(text) + text.size()));
        }

    if (fs::exists(fixtures / "fuzz"))
        for (const auto& target : fs::directory_iterator(fixtures / "fuzz"))
            if (target.is_directory())
                for (const auto& finding : fs::directory_iterator(target.path()))
                    write(target.path().filename().string(), "finding-" + finding.path().filename().string(),
                          contentOf(finding.path()));
    return 0;
}
