// The system library's rules, without Win32: how it turns raw values into readings and which
// hwmon files and monitor sensors it picks.
#include <gtest/gtest.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <sstream>
#include <string>

#include "sensors/system/choice.h"
#include "sensors/system/labels.h"
#include "sensors/system/chips.h"
#include "sensors/system/diagnosis.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"
#include "sensors/system/published.h"
#include "tests/support/published_text.h"

// The one check every value from every source passes, rounded first.
TEST(Check, WholeReadingsWithinBounds)
{
    struct Case { Quantity quantity; double value; int whole; } cases[] = {
        {Quantity::Temperature, 45.5, 46}, {Quantity::Temperature, 45.49, 45}, {Quantity::Temperature, 0.5, 1},
        {Quantity::Temperature, 0.3, -1}, {Quantity::Temperature, 0, -1}, {Quantity::Temperature, -40, -1},
        {Quantity::Temperature, 125.4, 125}, {Quantity::Temperature, 125.5, -1}, {Quantity::Temperature, NAN, -1},
        {Quantity::Temperature, INFINITY, -1}, {Quantity::Temperature, 1e308, -1},
        {Quantity::Fan, 0, 0}, {Quantity::Fan, 0.3, 0}, {Quantity::Fan, 1257.5, 1258}, {Quantity::Fan, 30000, 30000},
        {Quantity::Fan, 30000.5, -1}, {Quantity::Fan, 65535, -1}, {Quantity::Fan, 337500, -1}, {Quantity::Fan, -5, -1},
        {Quantity::Fan, NAN, -1},
    };
    for (const auto& c : cases) {
        int whole = -1;
        bool passed = c.quantity == Quantity::Fan ? isFanSpeed(c.value, whole) : isTemperature(c.value, whole);
        EXPECT_EQ(passed ? whole : -1, c.whole) << c.value;
    }
}

TEST(Numbers, AttributeTextIsANumberOrNothing)
{
    struct Case { const char* text; bool parsed; long value; } cases[] = {
        {"47000\n", true, 47000}, {"-40000\n", true, -40000}, {"  12 \n", true, 12}, {"+5", true, 5},
        {"", false, 0}, {"\n", false, 0}, {"-", false, 0}, {"abc\n", false, 0}, {"12abc", false, 0},
        {"1 2", false, 0}, {"99999999999\n", false, 0},
    };
    for (const auto& c : cases) {
        long value = -1;
        EXPECT_EQ(parseAttributeNumber(c.text, value), c.parsed) << '"' << c.text << '"';
        if (c.parsed) {
            EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(Labels, FansNamedAfterTheProcessor)
{
    struct Case { const char* label; int rank; } cases[] = {
        {"CPU Fan", 2}, {"cpu_fan", 2}, {"CPU", 2}, {"Processor Fan", 2}, {"CPU_Opt", 1}, {"CPU OPT", 1},
        {"Chassis Fan 1", 0}, {"Video Fan", 0}, {"GPU Fan", 0}, {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cpuFanRank(c.label), c.rank) << '"' << c.label << '"';
}

TEST(Labels, BoardChips)
{
    const char* board[] = {"nct6775", "nct6798", "nct6683", "nct6687", "it8686", "it8728", "w83627ehf",
                           "w83667hg", "f71882fg", "asusec", "asus-ec-sensors", "asus_wmi_sensors",
                           "gigabyte_wmi", "atk0110"};
    const char* other[] = {"coretemp", "k10temp", "acpitz", "nvme", "amdgpu", "thinkpad", "dell_smm",
                           "iwlwifi_1", "BAT0", "cpu_thermal", ""};
    for (const char* name : board)
        EXPECT_TRUE(chipFamily(name)) << name;
    for (const char* name : other)
        EXPECT_FALSE(chipFamily(name)) << name;
}

// A machine in one line: chips as "name: temp1=Label@45, fan2@0" (hwmon0, hwmon1, ... in
// order), zones as "zone type@45" (thermal_zone0, ...), separated by " | ". Values are degrees
// or RPM, "@-" for a file that cannot be read; without one a temperature reads 40, a fan 1000.
static void describe(const std::string& text, Inventory& found)
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

static std::string text(const Pick& pick)
{
    switch (pick.kind) {
    case PickKind::HwmonTemp: return "hwmon" + std::to_string(pick.folder) + "/temp" + std::to_string(pick.channel);
    case PickKind::HwmonFan: return "hwmon" + std::to_string(pick.folder) + "/fan" + std::to_string(pick.channel);
    case PickKind::ZoneTemp: return "zone" + std::to_string(pick.folder);
    case PickKind::None: break;
    }
    return "none";
}

static std::string chosen(const char* machine)
{
    static Inventory found;
    describe(machine, found);
    Picks picks = hwmonRules.pick(found);
    return "cpu=" + text(picks.cpu) + " mb=" + text(picks.mb) + " fan=" + text(picks.fan);
}

TEST(HwmonRules, Cpu)
{
    struct Case { const char* machine; const char* expected; } cases[] = {
        {"coretemp: temp1=Package id 0, temp2=Core 0, temp3=Core 1", "cpu=hwmon0/temp1 mb=none fan=none"},
        {"coretemp: temp2=Core 0, temp3=Core 1", "cpu=hwmon0/temp2 mb=none fan=none"},
        {"coretemp: temp1=Physical id 0, temp2=Core 0", "cpu=hwmon0/temp1 mb=none fan=none"},
        {"k10temp: temp1=Tctl, temp2=Tdie, temp3=Tccd1", "cpu=hwmon0/temp2 mb=none fan=none"},
        {"k10temp: temp1=Tctl, temp3=Tccd1", "cpu=hwmon0/temp1 mb=none fan=none"},
        {"k10temp: temp1", "cpu=hwmon0/temp1 mb=none fan=none"},
        {"zenpower: temp1=Tdie, temp2=Tctl", "cpu=hwmon0/temp1 mb=none fan=none"},
        {"cpu_thermal: temp1", "cpu=hwmon0/temp1 mb=none fan=none"},
        {"nvme: temp1=Composite | coretemp: temp1=Package id 0", "cpu=hwmon1/temp1 mb=none fan=none"},
        {"zone acpitz | coretemp: temp1=Package id 0 | zone x86_pkg_temp", "cpu=hwmon0/temp1 mb=zone0 fan=none"},
        {"zone acpitz | zone x86_pkg_temp", "cpu=zone1 mb=zone0 fan=none"},
        {"nvme: temp1=Composite | amdgpu: temp1=edge, fan1 | iwlwifi_1: temp1", "cpu=none mb=none fan=none"},
        {"", "cpu=none mb=none fan=none"},
        // Two sockets: each has a coretemp chip, in no fixed order.
        {"coretemp: temp1=Package id 1, temp2=Core 0 | coretemp: temp1=Package id 0", "cpu=hwmon1/temp1 mb=none fan=none"},
        {"coretemp: temp1=Package id 0@-, temp2=Core 0", "cpu=hwmon0/temp2 mb=none fan=none"},
        {"coretemp: temp1=Package id 0@0, temp2=Core 0", "cpu=hwmon0/temp2 mb=none fan=none"},
        {"k8temp: temp1=Core0 Temp@41, temp2=Core0 Temp@-49, temp3=Core1 Temp@44", "cpu=hwmon0/temp3 mb=none fan=none"},
        {"via_cputemp: temp1=Core 0", "cpu=hwmon0/temp1 mb=none fan=none"},
        // Without a CPU driver.
        {"thinkpad: temp1=CPU, temp2=GPU", "cpu=hwmon0/temp1 mb=none fan=none"},
        {"applesmc: fan1=Exhaust, temp1=TB0T, temp2=TC0D, temp3=TC0P", "cpu=hwmon0/temp2 mb=none fan=hwmon0/fan1"},
        {"atk0110: temp1=CPU Temperature, temp2=MB Temperature", "cpu=hwmon0/temp1 mb=hwmon0/temp2 fan=none"},
        {"nct6776: temp1=SYSTIN@-55, temp2=CPUTIN, temp3=AUXTIN@-128", "cpu=hwmon0/temp2 mb=none fan=none"},
        {"zone x86_pkg_temp@-263", "cpu=none mb=none fan=none"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chosen(c.machine), c.expected) << c.machine;
}

TEST(HwmonRules, Board)
{
    struct Case { const char* machine; const char* expected; } cases[] = {
        {"it8686: temp1, temp2 | asusec: temp1=Chipset, temp3=Motherboard", "cpu=none mb=hwmon1/temp3 fan=none"},
        {"nct6775: temp1=PECI Agent 0, temp2=SYSTIN", "cpu=hwmon0/temp1 mb=hwmon0/temp2 fan=none"},
        {"asus_wmi_sensors: temp1=CPU Temperature, temp2=Motherboard Temperature", "cpu=hwmon0/temp1 mb=hwmon0/temp2 fan=none"},
        {"w83627ehf: temp1, temp2", "cpu=none mb=hwmon0/temp1 fan=none"},
        {"nct6683: temp2=Local, temp3=PECI 0.0", "cpu=none mb=none fan=none"},
        {"thinkpad: temp1 | acpitz: temp1", "cpu=none mb=hwmon1/temp1 fan=none"},
        {"zone acpitz", "cpu=none mb=zone0 fan=none"},
        {"it8712: temp1@-128, temp2 | acpitz: temp1@-263", "cpu=none mb=none fan=none"},
        {"f71882fg: temp1=CPU Temp, temp2 | acpitz: temp1", "cpu=none mb=hwmon1/temp1 fan=none"},
        {"gigabyte_wmi: temp1, temp2 | acpitz: temp1", "cpu=none mb=hwmon0/temp1 fan=none"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chosen(c.machine), c.expected) << c.machine;
}

TEST(HwmonRules, Fan)
{
    struct Case { const char* machine; const char* expected; } cases[] = {
        {"nct6798: fan1, fan2 | asus_wmi_sensors: fan1=Chassis Fan 1, fan2=CPU Fan", "cpu=none mb=none fan=hwmon1/fan2"},
        {"asus_wmi_sensors: fan1=CPU OPT, fan2=CPU Fan", "cpu=none mb=none fan=hwmon0/fan2"},
        {"asusec: fan1=CPU_Opt | nct6798: fan1, fan2", "cpu=none mb=none fan=hwmon1/fan2"},
        {"asusec: fan1=CPU_Opt | nct6798: fan1@0, fan2@0", "cpu=none mb=none fan=hwmon0/fan1"},
        {"amdgpu: fan1 | dell_smm: fan1=Video Fan, fan2=Processor Fan", "cpu=none mb=none fan=hwmon1/fan2"},
        {"amdgpu: fan1 | thinkpad: fan1 | it8728: fan1, fan2", "cpu=none mb=none fan=hwmon2/fan1"},
        {"it8728: fan2, fan3 | thinkpad: fan1", "cpu=none mb=none fan=hwmon0/fan2"},
        {"amdgpu: fan1 | thinkpad: fan1", "cpu=none mb=none fan=hwmon1/fan1"},
        {"amdgpu: fan1 | nouveau: fan1", "cpu=none mb=none fan=none"},
        // Boards wire the CPU fan to CPUFANIN: fan2 on Nuvoton and Winbond, fan1 on MSI's Nuvoton.
        {"nct6779: fan1@700, fan2@1100", "cpu=none mb=none fan=hwmon0/fan2"},
        {"nct6779: fan1@700, fan2@0", "cpu=none mb=none fan=hwmon0/fan1"},
        {"w83627dhg: fan1@0, fan2@0, fan3@0", "cpu=none mb=none fan=hwmon0/fan2"},
        {"nct6687: fan1@1500, fan2@800", "cpu=none mb=none fan=hwmon0/fan1"},
        {"asus_wmi_sensors: fan1=CPU Fan@0, fan2=CPU OPT@900", "cpu=none mb=none fan=hwmon0/fan2"},
        {"dell_smm: fan1=Processor Fan@0, fan2=Video Fan@2000", "cpu=none mb=none fan=hwmon0/fan1"},
        {"corsaircpro: fan1=fan1 4pin | nvme: temp1", "cpu=none mb=none fan=none"},
        // An absent fan reading 65535, a floating input's 337,500 rpm: neither spins.
        {"thinkpad: fan1@0, fan2@65535", "cpu=none mb=none fan=hwmon0/fan1"},
        {"it8718: fan1@0, fan2@0, fan4@337500", "cpu=none mb=none fan=hwmon0/fan1"},
        {"nct6779: fan1@65535, fan2@0", "cpu=none mb=none fan=hwmon0/fan2"},
        // SMSC chips and an Eee PC's controller: the first header, else another that spins.
        {"dme1737: fan1@0, fan2@1500", "cpu=none mb=none fan=hwmon0/fan2"},
        {"theseus: fan1@0, fan3@0, fan4@1013", "cpu=none mb=none fan=hwmon0/fan4"},
        {"eeepc: fan1@1430", "cpu=none mb=none fan=hwmon0/fan1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chosen(c.machine), c.expected) << c.machine;
}

// A monitor's sensors as "T:name=value" (temperature), "F:name=value" (fan), "G" before the
// letter for a graphics card's, separated by " | ", in the monitor's order.
static std::string chosenBy(const std::string& sensors)
{
    Choice choice("test");
    std::istringstream parts(sensors);
    for (std::string part; std::getline(parts, part, '|');) {
        part = part.substr(part.find_first_not_of(' '));
        bool graphics = part[0] == 'G';
        if (graphics)
            part = part.substr(1);
        size_t equals = part.rfind('=');
        std::string name = part.substr(2, equals - 2);
        name = name.substr(0, name.find_last_not_of(' ') + 1);
        choice.offer(part[0] == 'F' ? Quantity::Fan : Quantity::Temperature, name.c_str(),
                     std::stod(part.substr(equals + 1)), graphics);
    }
    return text(choice.readings());
}

TEST(Choice, ThePackageTheBoardAndTheCpuFanInAnyOrder)
{
    struct Case { const char* sensors; const char* expected; } cases[] = {
        {"T:CPU Core #1=45 | T:CPU=41 | F:Fan #1=740 | T:CPU Package=48.4 | T:Motherboard=33.6 | F:CPU Fan=1257.3 "
         "| T:CPU Core #2=49", "48 34 1257"},
        {"GF:GPU Fan=1100 | T:CPU=52.5 | T:System=31 | F:Fan #2=880", "53 31 880"},
        {"T:CPU Core=54 | T:Core (Tctl/Tdie)=55.25", "55 - -"},
        // AMD: Tdie before Tctl where both exist; a die's CCD is no package
        {"T:CPU (Tctl)=70 | T:CPU (Tdie)=60 | T:CPU CCD1 (Tdie)=58", "60 - -"},
        {"T:CPU (Tctl/Tdie)=61.4 | T:CPU CCD1 (Tdie)=66 | T:CPU Die (average)=59", "61 - -"},
        // no package: the hottest core, never a distance to TjMax or an average
        {"T:Core #0=51 | T:Core #1=57 | T:Core #0 Distance to TjMAX=49 | T:Core Average=54", "57 - -"},
        // the board chip's "CPU" only while the processor has nothing of its own
        {"T:CPU=39 | T:Core 0=47", "47 - -"}, {"T:CPU=39 | T:CPUTIN=38", "39 - -"},
        {"T:System 1=30 | T:System1=31 | T:SYSTIN=32", "- 30 -"}, {"T:SYSTIN=32 | T:Motherboard=33", "- 33 -"},
        {"T:System Agent=45 | T:Chipset=50", "- - -"},
        // a CPU OPT header only when no other CPU fan spins; never a pump or a graphics card's
        {"F:CPU_OPT=900 | F:CPU=1200", "- - 1200"}, {"F:CPU=0 | F:CPU OPT=950", "- - 950"},
        {"F:AIO Pump=2800 | GF:Fan1=1500 | F:GPU Fan=1400 | F:Chassis1=700", "- - 700"},
        {"F:Chassis1=0 | F:CPU=0", "- - 0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chosenBy(c.sensors), c.expected) << c.sensors;
}

TEST(Choice, WhatFailsTheCheckGivesNothing)
{
    struct Case { const char* sensors; const char* expected; } cases[] = {
        {"T:CPU Package=nan | T:CPU Core #1=0 | F:CPU Fan=0", "- - 0"},
        {"GT:GPU Core=60 | GF:GPU Fan=1500", "- - -"},
        {"T:CPU Package=1e308 | T:Motherboard=-40 | F:CPU Fan=-5 | F:CPU_OPT=1e30", "- - -"},
        {"T:CPU Package=inf | T:CPU Core #1=124.6 | T:Mainboard=125.6", "125 - -"},
        {"F:CPU Fan=30000 | T:Core #1=126", "- - 30000"},
        // A package at 0.3 degrees rounds to no reading, and the cores count instead.
        {"T:CPU Package=0.3 | T:Core #1=47 | F:CPU Fan=65535 | F:Chassis1=800", "47 - 800"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chosenBy(c.sensors), c.expected) << c.sensors;
}

// Across sources: the first in the table's order, unless its reading is more than 15 s old.
TEST(Choice, TheFirstFreshSourceGivesEachReading)
{
    Readings latest[2];
    latest[0].cpu = {true, 60, "first", "", 1000};
    latest[0].fan = {true, 900, "first", "", 1000};
    latest[1].cpu = {true, 50, "second", "", 10000};
    latest[1].mb = {true, 30, "second", "", 10000};
    struct Case { unsigned now; const char* expected; } cases[] = {
        {16000, "60 30 900"}, {16001, "50 30 -"}, {25000, "50 30 -"}, {25001, "- - -"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text(chooseFresh(latest, 2, c.now)), c.expected) << "at " << c.now;
    }
    latest[0].cpu.readAt = 0xFFFFF000u; // just before GetTickCount() wraps
    EXPECT_EQ(chooseFresh(latest, 2, 0x1000u).cpu.value, 60);
}

// A mapping whose monitor writes no time of its own is stale after a minute without change.
TEST(Choice, AMappingThatStopsChangingGoesStale)
{
    unsigned char first[] = {1, 2, 3}, second[] = {1, 2, 4};
    ChangeWatch watch;
    EXPECT_TRUE(watch.fresh(Bytes(first, 3), 5000, 60000));
    EXPECT_TRUE(watch.fresh(Bytes(first, 3), 64999, 60000));
    EXPECT_FALSE(watch.fresh(Bytes(first, 3), 65000, 60000)) << "60 s without a change";
    EXPECT_TRUE(watch.fresh(Bytes(second, 3), 66000, 60000)) << "a change makes it live again";
}

TEST(Diagnosis, WhereEachReadingComesFrom)
{
    Choice choice("HWiNFO shared memory");
    choice.offer(Quantity::Temperature, "CPU Package", 55.2);
    Readings found = choice.readings();
    char text[1024];
    describeReadings(sources, sourceCount, found, 3, text, sizeof text);
    EXPECT_STREQ(text, "CPU 55 from HWiNFO shared memory, \"CPU Package\"\r\n"
                       "MB 0: no running monitor publishes it\r\nFan 0: no running monitor publishes it\r\n");
    describeReadings(sources, sourceCount, found, 0, text, 12);
    EXPECT_STREQ(text, "CPU 55 from");

    // "Nothing" only once every source was asked; a fan found standing still is something.
    describeReadings(sources, sourceCount, Readings{}, 0, text, sizeof text);
    EXPECT_EQ(std::string(text).find("Nothing"), std::string::npos) << text;
    Choice still("SpeedFan shared memory");
    still.offerFan("Fan1", 0, 1);
    describeReadings(sources, sourceCount, still.readings(), 1, text, sizeof text);
    EXPECT_EQ(std::string(text).find("Nothing"), std::string::npos) << text;
}

// With nothing found, the monitors of the sources' table, each with the one setting it needs,
// as both READMEs give them.
TEST(Diagnosis, TheMonitorsOfTheTableAsTheReadmesGiveThem)
{
    char text[1024];
    describeReadings(sources, sourceCount, Readings{}, 1, text, sizeof text);
    std::string list = text;
    auto content = [](const char* path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string readmes[] = {content(PROJECT_DIR "/README.md"), content(PROJECT_DIR "/res/README.txt")};
    int listed = 0;
    for (const Source& source : sources) {
        if (!source.listed)
            continue;
        ++listed;
        std::string line = source.listed, name = line.substr(0, line.find(": "));
        std::string setting = name.size() < line.size() ? line.substr(name.size() + 2) : "";
        EXPECT_NE(list.find(name), std::string::npos) << list;
        for (const std::string& readme : readmes) {
            EXPECT_NE(readme.find(name), std::string::npos) << name;
            EXPECT_NE(readme.find(setting), std::string::npos) << setting;
        }
    }
    EXPECT_GE(listed, 8);
}
