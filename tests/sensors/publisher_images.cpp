#include "tests/sensors/publisher_images.h"

#include <algorithm>
#include <cstring>
#include <sstream>

void putU32(Image& image, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        image[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

static void putU16(Image& image, size_t at, uint32_t value)
{
    image[at] = static_cast<unsigned char>(value);
    image[at + 1] = static_cast<unsigned char>(value >> 8);
}

void putF64(Image& image, size_t at, double value)
{
    std::memcpy(&image[at], &value, 8);
}

static void putF32(Image& image, size_t at, float value)
{
    std::memcpy(&image[at], &value, 4);
}

static void putText(Image& image, size_t at, const std::string& text, size_t field)
{
    std::memcpy(&image[at], text.data(), std::min(text.size(), field));
}

Image hwinfoImage(const std::vector<std::string>& sensors, const std::vector<HwinfoReading>& readings,
                  const HwinfoLayout& layout)
{
    const size_t header = layout.version >= 2 ? 48 : 44;
    const size_t sensorsAt = header, readingsAt = sensorsAt + sensors.size() * layout.sensorSize;
    Image image(readingsAt + readings.size() * layout.readingSize);
    std::memcpy(&image[0], "HWiS", 4);
    putU32(image, 4, layout.version);
    putU32(image, 8, 0);
    for (int i = 0; i < 8; ++i)
        image[12 + i] = static_cast<unsigned char>(static_cast<uint64_t>(layout.polled) >> (8 * i));
    putU32(image, hwinfoSensorOffset, static_cast<uint32_t>(sensorsAt));
    putU32(image, hwinfoSensorSize, layout.sensorSize);
    putU32(image, hwinfoSensorCount, static_cast<uint32_t>(sensors.size()));
    putU32(image, hwinfoReadingOffset, static_cast<uint32_t>(readingsAt));
    putU32(image, hwinfoReadingSize, layout.readingSize);
    putU32(image, hwinfoReadingCount, static_cast<uint32_t>(readings.size()));
    if (layout.version >= 2)
        putU32(image, 44, 2000);
    for (size_t i = 0; i < sensors.size(); ++i) {
        size_t at = sensorsAt + i * layout.sensorSize;
        putU32(image, at, 0xF0000000u + static_cast<uint32_t>(i));
        putText(image, at + 8, sensors[i], 127);
        putText(image, at + 136, sensors[i], 127); // the name the user sees, here the same
    }
    for (size_t i = 0; i < readings.size(); ++i) {
        const HwinfoReading& r = readings[i];
        size_t at = readingsAt + i * layout.readingSize;
        putU32(image, at, r.type);
        putU32(image, at + 4, r.sensor);
        putU32(image, at + 8, 0x1000000u + static_cast<uint32_t>(i));
        putText(image, at + 12, r.label, 127);
        putText(image, at + 140, "My " + r.label, 127); // users rename; the original counts
        putText(image, at + 268, r.unit, 15);
        for (int k = 0; k < 4; ++k)
            putF64(image, at + 284 + 8 * k, r.value); // value, minimum, maximum, average
    }
    return image;
}

HwinfoListing hwinfoListing(const std::string& text)
{
    HwinfoListing listing;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> parts;
        for (size_t at = 0, bar = 0; bar != std::string::npos && parts.size() < 4; at = bar + 3) {
            bar = line.find(" | ", at);
            parts.push_back(line.substr(at, bar == std::string::npos ? bar : bar - at));
        }
        if (parts.size() < 4 || line[0] == '#')
            continue;
        std::vector<std::string>& sensors = listing.sensors;
        size_t sensor = std::find(sensors.begin(), sensors.end(), parts[0]) - sensors.begin();
        if (sensor == sensors.size())
            sensors.push_back(parts[0]);
        const std::string& unit = parts[2];
        uint32_t type = unit == "RPM" ? 3 : !unit.empty() && (unit.back() == 'C' || unit.back() == 'F') ? 1 : 8;
        listing.readings.push_back({type, static_cast<uint32_t>(sensor), parts[1], unit, std::stod(parts[3])});
    }
    return listing;
}

Image coreTempImage(const CoreTempState& state)
{
    Image image(4740);
    putU32(image, 1024, state.tjMax);
    putU32(image, 1536, state.coreCount ? state.coreCount : static_cast<uint32_t>(state.temps.size()));
    putU32(image, 1540, 1);
    for (size_t i = 0; i < state.temps.size() && i < 256; ++i)
        putF32(image, 1544 + 4 * i, state.temps[i]);
    putText(image, 2584, "Intel Core i5-8250U", 99);
    image[2684] = state.fahrenheit;
    image[2685] = state.deltaToTjMax;
    putU32(image, 2688, 2); // uiStructVersion
    return image;
}

Image afterburnerImage(const std::vector<AfterburnerEntry>& entries, int32_t polled)
{
    const size_t header = 32, entrySize = 1324;
    Image image(header + entries.size() * entrySize);
    putU32(image, 0, 0x4D41484Du); // 'MAHM'
    putU32(image, 4, 0x00020000u);
    putU32(image, 8, header);
    putU32(image, 12, static_cast<uint32_t>(entries.size()));
    putU32(image, 16, entrySize);
    putU32(image, 20, static_cast<uint32_t>(polled));
    for (size_t i = 0; i < entries.size(); ++i) {
        size_t at = header + i * entrySize;
        putText(image, at, entries[i].name, 259);
        putText(image, at + 260, entries[i].units, 259);
        putF32(image, at + 1300, entries[i].value);
        putU32(image, at + 1316, 0xFFFFFFFFu);
        putU32(image, at + 1320, entries[i].sourceId);
    }
    return image;
}

Image speedFanImage(const std::vector<int32_t>& hundredths, const std::vector<int32_t>& fans)
{
    Image image(402);
    putU16(image, 0, 1);
    putU32(image, 4, 402);
    putU16(image, 12, static_cast<uint32_t>(hundredths.size()));
    putU16(image, 14, static_cast<uint32_t>(fans.size()));
    for (size_t i = 0; i < hundredths.size(); ++i)
        putU32(image, 18 + 4 * i, static_cast<uint32_t>(hundredths[i]));
    for (size_t i = 0; i < fans.size(); ++i)
        putU32(image, 146 + 4 * i, static_cast<uint32_t>(fans[i]));
    return image;
}

Image mbm5Image(const std::vector<Mbm5Sensor>& sensors)
{
    Image image(88 + 100 * 80 + 64 + 41 + 41 + 256);
    putF64(image, 0, 51090);
    const unsigned char kinds[] = {1, 2, 3};
    for (size_t k = 0; k < 3; ++k) {
        image[8 + 8 * k] = kinds[k];
        uint32_t count = 0;
        for (const Mbm5Sensor& s : sensors)
            count += s.type == kinds[k];
        putU32(image, 8 + 8 * k + 4, count);
    }
    size_t index = 0;
    for (unsigned char kind : kinds) // the sensors grouped by type, as the index counts them
        for (const Mbm5Sensor& s : sensors)
            if (s.type == kind) {
                size_t at = 88 + 80 * index++;
                image[at] = s.type;
                putText(image, at + 1, s.name, 12);
                putF64(image, at + 16, s.value);
            }
    return image;
}
