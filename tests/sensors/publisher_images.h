// The bytes the monitors publish, laid out as each documents its shared memory, for the
// native parser tests and for the Wine tests that play the monitors. Plain C++, no Win32.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Image = std::vector<unsigned char>;

void putU32(Image& image, size_t at, uint32_t value);
void putF64(Image& image, size_t at, double value);

// HWiNFO_SENS_SM2: sensors by original name; readings of type 1 (temperature) or 3 (fan).
struct HwinfoReading {
    uint32_t type;
    uint32_t sensor;
    std::string label;
    std::string unit;
    double value;
};
struct HwinfoLayout {
    uint32_t version = 2;
    int64_t polled = 0;          // seconds since 1970
    uint32_t sensorSize = 392;   // version 2 element sizes; larger ones come from later versions
    uint32_t readingSize = 460;
};
Image hwinfoImage(const std::vector<std::string>& sensors, const std::vector<HwinfoReading>& readings,
                  const HwinfoLayout& layout);
// What HWiNFO showed, listed one reading a line, "sensor | label | unit | value"
// (tests/fixtures/captures/hwinfo): sensors in the order first named, a reading in °C or °F a
// temperature, in RPM a fan, in any other unit of type 8 ("other").
struct HwinfoListing {
    std::vector<std::string> sensors;
    std::vector<HwinfoReading> readings;
};
HwinfoListing hwinfoListing(const std::string& text);
// Where the header keeps each field, for tests that break them.
enum HwinfoField : size_t { hwinfoSensorOffset = 20, hwinfoSensorSize = 24, hwinfoSensorCount = 28,
                            hwinfoReadingOffset = 32, hwinfoReadingSize = 36, hwinfoReadingCount = 40 };

// CoreTempSharedDataEx: one processor's cores.
struct CoreTempState {
    std::vector<float> temps;
    uint32_t tjMax = 100;
    bool fahrenheit = false;
    bool deltaToTjMax = false;
    uint32_t coreCount = 0; // 0: the number of temps
};
Image coreTempImage(const CoreTempState& state);

// MAHMSharedMemory v2: entries of name, units, value and source id.
struct AfterburnerEntry {
    std::string name, units;
    float value;
    uint32_t sourceId;
};
Image afterburnerImage(const std::vector<AfterburnerEntry>& entries, int32_t polled);

// SFSharedMemory_ALM: temperatures in hundredths of a degree, fans in rpm.
Image speedFanImage(const std::vector<int32_t>& hundredths, const std::vector<int32_t>& fans);

// MBM5's shared data: sensors of type 1 (temperature) or 3 (fan), named in 12 characters.
struct Mbm5Sensor {
    unsigned char type;
    std::string name;
    double value;
};
Image mbm5Image(const std::vector<Mbm5Sensor>& sensors);
