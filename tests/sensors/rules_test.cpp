// The system library's rules, without Win32: how it turns raw values into readings and which
// monitor sensors it picks. (The hwmon files' rules are the hwmon monitor's, in
// tests/sensors/monitors/hwmon_test.cpp.)
#include <gtest/gtest.h>

#include <math.h>

#include <sstream>
#include <string>

#include "sensors/system/choice.h"
#include "sensors/system/labels.h"
#include "sensors/system/chips.h"
#include "sensors/system/diagnosis.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"
#include "sensors/system/published.h"
#include "tests/sensors/monitors/monitor_test.h"
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

// A kernel attribute's text (length -1) is a whole number or nothing; a monitor's decimal is
// read within its bytes.
TEST(Numbers, WholeTextOrWithinItsBytes)
{
    struct Case { const char* text; int length; bool parsed; double value; } cases[] = {
        {"47000\n", -1, true, 47000}, {"-40000\n", -1, true, -40000}, {"  12 \n", -1, true, 12}, {"+5", -1, true, 5},
        {"", -1, false, 0}, {"\n", -1, false, 0}, {"-", -1, false, 0}, {"abc\n", -1, false, 0}, {"12abc", -1, false, 0},
        {"1 2", -1, false, 0}, {"99999999999\n", -1, false, 0},
        {"45,5 \xb0""C", 8, true, 45.5}, {"45.25", 5, true, 45.25}, {" -3", 3, true, -3}, {"1257 RPM", 8, true, 1257},
        {"45.5", 2, true, 45}, {"4", 0, false, 0}, {"", 0, false, 0}, {"abc", 3, false, 0},
        {"1234567890", 10, false, 0}, {".5", 2, false, 0}, {"1e308", 5, false, 0}, {"12abc", 5, false, 0},
    };
    for (const auto& c : cases) {
        long whole = -1;
        double value = -1;
        bool parsed = c.length < 0 ? parseAttributeNumber(c.text, whole) : parseDecimal(c.text, c.length, value);
        EXPECT_EQ(parsed, c.parsed) << '"' << c.text << '"';
        if (c.parsed) {
            EXPECT_DOUBLE_EQ(c.length < 0 ? whole : value, c.value) << '"' << c.text << '"';
        }
    }
}

// What the registry hands over: any program can write these values, with any type and no
// terminator.
TEST(Registry, ValuesAsFields)
{
    const unsigned char text[] = "45.5", full[] = "0123456789012345678901234567890", dword[] = {0x39, 0x05, 0, 0};
    struct Case { unsigned long type, size; const unsigned char* data; bool taken; const char* text; } cases[] = {
        {1, 5, text, true, "45.5"}, {2, 4, text, true, "45.5"}, {1, 31, full, true, "0123456789012345678901234567890"},
        {1, 3, text, true, "45."}, {4, 4, dword, true, ""}, {4, 3, dword, false, ""}, {3, 31, full, false, ""},
        {7, 5, text, false, ""}, {11, 8, full, false, ""},
    };
    for (const auto& c : cases) {
        Field field(0, "ValueRaw0");
        EXPECT_EQ(fieldFromRegistry(c.type, c.data, c.size, field), c.taken) << "type " << c.type;
        if (c.taken) {
            EXPECT_STREQ(field.text, c.text) << "type " << c.type;
        }
    }
    Field number(0, "Value");
    fieldFromRegistry(4, dword, 4, number);
    EXPECT_TRUE(number.numeric && number.number == 1337);
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
    const std::string readmes[] = {readFile(PROJECT_DIR "/README.md"), readFile(PROJECT_DIR "/res/README.txt")};
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
