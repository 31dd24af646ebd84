// What the monitors' tests share. Each monitor of sensors/system/monitors/ has its test file
// here, <monitor>_test.cpp, whole: how the monitor lays out what it publishes (declared below,
// for the Wine tests that play the monitors and for the fuzz seeds), its cases, and what its
// fuzz targets start from. Plain C++, no Win32.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "sensors/system/monitors/monitors.h"
#include "tests/support/files.h"
#include "tests/support/published_text.h"

using Image = std::vector<unsigned char>;

// Values as they lie in memory: little-endian, as on every PC the monitors run on.
inline void putU16(Image& image, size_t at, uint16_t value) { std::memcpy(&image[at], &value, 2); }
inline void putU32(Image& image, size_t at, uint32_t value) { std::memcpy(&image[at], &value, 4); }
inline void putF32(Image& image, size_t at, float value) { std::memcpy(&image[at], &value, 4); }
inline void putF64(Image& image, size_t at, double value) { std::memcpy(&image[at], &value, 8); }
void putText(Image& image, size_t at, const std::string& text, size_t field); // cut to field, unterminated

// A parser's readings as text() gives them, "refused" when it does not take the data: from an
// exact copy of the bytes (so that a read past them shows in the sanitizers and valgrind), or
// from fields written as text (published_text.h), as the access at address hands them over.
std::string parsed(const Published& published, Parser parse);
std::string parsed(const Image& image, Parser parse);
std::string parsed(const std::string& bytes, Parser parse);
std::string parsed(const std::string& fields, Parser parse, const char* address);

// A case: what was handed over, what the monitor read, what a person expects.
struct Row { std::string what, read, expected; };
void expectRows(const std::vector<Row>& rows);

std::string capture(const std::string& path); // the text of tests/fixtures/captures/<path>
// The rows of an expected.txt, "path | cpu mb fan | why", whose path starts with prefix: the
// path, its name (without the prefix), the readings expected ("cpu mb fan") and why.
struct Expected { std::string path, name, readings, why; };
std::vector<Expected> expectedRows(const std::string& table, const std::string& prefix);
// The captures of one folder of tests/fixtures/captures, by their path without extension
// ("aida64/asus-prime-z690-a-registry-query"); the real ones alone, not those made- for the
// tests, for the seeds, which are real published data.
std::vector<Expected> captures(const std::string& folder);
std::vector<Expected> realCaptures(const std::string& folder);
// Whether a capture is `reg query`'s output, "<name>-registry-query.txt", which TextFields reads
// as the registry values it shows.
bool registryQuery(const std::string& path);
// Each capture of folder read by read, from its path without extension: the rows expected.txt gives.
void expectCaptures(const std::string& folder, std::string (*read)(const std::string& path));

// What a monitor showed, one reading a line, "sensor | label | unit | value"
// (tests/fixtures/captures/hwinfo, core-temp): sensors in the order first named, a reading in
// °C or °F a temperature (type 1, as HWiNFO numbers them), in RPM a fan (3), any other other (8).
struct ListedReading { uint32_t type, sensor; std::string label, unit; double value; };
struct Listing { std::vector<std::string> sensors; std::vector<ListedReading> readings; };
Listing listing(const std::string& text);

// HWiNFO's shared memory, HWiNFO_SENS_SM2 (hwinfo_test.cpp).
struct HwinfoLayout {
    uint32_t version = 2;
    int64_t polled = fixedNow;   // seconds since 1970
    uint32_t sensorSize = 392;   // version 2 element sizes; larger ones come from later versions
    uint32_t readingSize = 460;
};
Image hwinfoImage(const Listing& listing, const HwinfoLayout& layout);
// Where the header keeps each field, for tests that break them.
enum HwinfoField : size_t { hwinfoSensorOffset = 20, hwinfoSensorSize = 24, hwinfoSensorCount = 28,
                            hwinfoReadingOffset = 32, hwinfoReadingSize = 36, hwinfoReadingCount = 40 };

// Argus Monitor's data interface (argus_monitor_test.cpp): records of type (1 a temperature, 3 a
// fan, 6 the processor's, 10 and up a graphics card's), label and value, laid out as a version
// listing typeCount sensor types, with its count of updates.
struct ArgusRecord { uint32_t type; std::string label; double value; };
Image argusImage(const std::vector<ArgusRecord>& records, uint32_t typeCount = 27, uint32_t updates = 1);
extern const std::vector<ArgusRecord> argusIntelDesktop;

// LibreHardwareMonitor's web server (libre_hardware_monitor_test.cpp): its answer around data.json.
std::string httpAnswer(const std::string& json);

// Core Temp's shared memory, CoreTempSharedDataEx (core_temp_test.cpp): one processor's cores.
struct CoreTempState {
    std::vector<float> temps;
    uint32_t tjMax = 100;
    bool fahrenheit = false, deltaToTjMax = false;
    uint32_t coreCount = 0; // 0: the number of temps
};
Image coreTempImage(const CoreTempState& state);
// The cores of a capture's listing ("core-temp/made-laptop"), in order.
CoreTempState coreTempState(const std::string& path);

// MSI Afterburner's shared memory, MAHMSharedMemory v2 (afterburner_test.cpp).
struct AfterburnerEntry { std::string name, units; float value; uint32_t sourceId; };
Image afterburnerImage(const std::vector<AfterburnerEntry>& entries, int32_t polled);

// SpeedFan's shared memory, SFSharedMemory_ALM (speedfan_test.cpp): temperatures in hundredths
// of a degree, fans in rpm.
Image speedFanImage(const std::vector<int32_t>& hundredths, const std::vector<int32_t>& fans);

// MBM5's shared data (mbm5_test.cpp): sensors of type 1 (temperature) or 3 (fan).
struct Mbm5Sensor { unsigned char type; std::string name; double value; };
Image mbm5Image(const std::vector<Mbm5Sensor>& sensors);

// The hwmon files (hwmon_test.cpp): each machine's class/hwmon and class/thermal as a listing
// (tests/support/published_text.h, inventoryFromText), the fixtures' machines and those of the
// real machines' trees (as tests/sensors/sensors_to_sysfs.cmake made them).
struct Machine { std::string name, listing; };
std::vector<Machine> machines(const std::string& realMachines);

// What the fuzz targets start from, seeds/<target>/<name>: each monitor's test file adds its own
// maker, `static const bool seeded = addSeeds([](Seeds& seeds) {...});`, and tests/fuzz/seeds.cpp
// writes what they make.
struct Seed { std::string target, name, content; };
struct Seeds {
    std::string realMachines; // for machines()
    std::vector<Seed> made;
    void add(std::string target, std::string name, std::string content) { made.push_back({target, name, content}); }
    void add(std::string target, std::string name, const Image& image)
    {
        add(target, name, std::string(image.begin(), image.end()));
    }
};
bool addSeeds(void (*make)(Seeds& seeds));
Seeds makeSeeds(const std::string& realMachines); // by every maker added
