#include "tests/sensors/monitors/monitor_test.h"

#include <algorithm>
#include <sstream>

void putText(Image& image, size_t at, const std::string& text, size_t field)
{
    std::memcpy(&image[at], text.data(), std::min(text.size(), field));
}

std::string parsed(const Published& published, Parser parse)
{
    Choice choice("test");
    return parse(published, choice) ? text(choice.readings()) : "refused";
}

std::string parsed(const Image& image, Parser parse)
{
    return parsed(publishedBytes(image.data(), image.size()), parse);
}

std::string parsed(const std::string& bytes, Parser parse)
{
    return parsed(Image(bytes.begin(), bytes.end()), parse);
}

std::string parsed(const std::string& fields, Parser parse, const char* address)
{
    return parsed(TextFields(fields, address).published(), parse);
}

void expectRows(const std::vector<Row>& rows)
{
    for (const Row& row : rows)
        EXPECT_EQ(row.read, row.expected) << row.what;
}

std::string capture(const std::string& path)
{
    return readFile(FIXTURES "/captures/" + path);
}

std::vector<Expected> expectedRows(const std::string& table, const std::string& prefix)
{
    std::vector<Expected> rows;
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string path, bar, cpu, mb, fan;
        size_t why = line.find('|', line.find('|') + 1);
        if (line.rfind(prefix, 0) == 0 && line[0] != '#' && fields >> path >> bar >> cpu >> mb >> fan)
            rows.push_back({path, path.substr(prefix.size()), cpu + " " + mb + " " + fan,
                            why == std::string::npos ? "" : line.substr(why + 2)});
    }
    return rows;
}

std::vector<Expected> captures(const std::string& folder)
{
    return expectedRows(capture("expected.txt"), folder + "/");
}

std::vector<Expected> realCaptures(const std::string& folder)
{
    std::vector<Expected> real;
    for (const Expected& each : captures(folder))
        if (each.name.rfind("made-", 0) != 0)
            real.push_back(each);
    return real;
}

void expectCaptures(const std::string& folder, std::string (*read)(const std::string& path))
{
    std::vector<Expected> listed = captures(folder);
    EXPECT_FALSE(listed.empty()) << "no capture of " << folder << " in tests/fixtures/captures/expected.txt";
    for (const Expected& each : listed)
        EXPECT_EQ(read(each.path), each.readings) << each.path;
}

bool registryQuery(const std::string& path)
{
    const std::string end = "-registry-query";
    return path.size() > end.size() && path.compare(path.size() - end.size(), end.size(), end) == 0;
}

Listing listing(const std::string& text)
{
    Listing listing;
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

static std::vector<void (*)(Seeds&)>& makers()
{
    static std::vector<void (*)(Seeds&)> all;
    return all;
}

bool addSeeds(void (*make)(Seeds& seeds))
{
    makers().push_back(make);
    return true;
}

Seeds makeSeeds(const std::string& realMachines)
{
    Seeds seeds;
    seeds.realMachines = realMachines;
    for (auto make : makers())
        make(seeds);
    return seeds;
}
