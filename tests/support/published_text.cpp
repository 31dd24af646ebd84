#include "tests/support/published_text.h"

#include <cstdlib>
#include <map>

#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"

static bool fromLine(const std::string& line, Field& field)
{
    size_t colon = line.find(':');
    if (colon == 0 || colon > 6 || colon == std::string::npos)
        return false;
    int row = 0;
    for (size_t i = 0; i < colon; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return false;
        row = row * 10 + (line[i] - '0');
    }
    size_t mark = line.find_first_of("=#", colon + 1);
    if (mark == std::string::npos)
        return false;
    field = Field(row, line.substr(colon + 1, mark - colon - 1).c_str());
    if (line[mark] == '#') {
        field.number = std::strtod(line.c_str() + mark + 1, nullptr);
        field.numeric = true;
    } else {
        field.setText(line.c_str() + mark + 1, static_cast<unsigned long>(line.size() - mark - 1));
    }
    return true;
}

static bool fromRegistry(const std::string& line, Field& field)
{
    size_t start = line.find_first_not_of(' ');
    size_t typeAt = start == 0 || start == std::string::npos ? start : line.find("    REG_", start);
    if (typeAt == 0 || typeAt == std::string::npos)
        return false;
    size_t gap = line.find("    ", typeAt + 4);
    std::string name = line.substr(start, typeAt - start), type = line.substr(typeAt + 4, gap - typeAt - 4);
    std::string data = gap == std::string::npos ? "" : line.substr(gap + 4);
    static const std::map<std::string, unsigned long> types = {
        {"REG_NONE", 0}, {"REG_SZ", 1}, {"REG_EXPAND_SZ", 2}, {"REG_BINARY", 3},
        {"REG_DWORD", 4}, {"REG_MULTI_SZ", 7}, {"REG_QWORD", 11}};
    auto known = types.find(type);
    unsigned long kind = known == types.end() ? 0xFFFF : known->second;
    std::vector<unsigned char> bytes(data.begin(), data.end());
    if (kind == 4 || kind == 11) {
        unsigned long long value = std::strtoull(data.c_str(), nullptr, 16);
        bytes.assign(kind == 4 ? 4 : 8, 0);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    } else if (kind == 3) {
        bytes.clear();
        for (size_t i = 0; i + 1 < data.size(); i += 2)
            bytes.push_back(static_cast<unsigned char>(std::strtoul(data.substr(i, 2).c_str(), nullptr, 16)));
    }
    const size_t nameRoom = sizeof field.name, dataRoom = 512; // access/registry.cpp's buffers
    if (name.size() >= nameRoom || bytes.size() > dataRoom)
        return false;
    field = Field(0, name.c_str());
    return fieldFromRegistry(kind, bytes.data(), static_cast<unsigned long>(bytes.size()), field);
}

TextFields::TextFields(const std::string& text, const char* address) : address(address)
{
    for (size_t at = 0; at < text.size() && fields.size() < maxFields;) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        Field field;
        if (fromRegistry(line, field) || fromLine(line, field))
            fields.push_back(field);
    }
}

Published TextFields::published() const
{
    Published published;
    published.address = address.c_str();
    published.fields = fields.data();
    published.fieldCount = static_cast<int>(fields.size());
    return published;
}

void inventoryFromText(const std::string& text, Inventory& found)
{
    struct File {
        std::string text;
        bool readable;
    };
    using Folder = std::map<std::string, File>; // by file name
    std::map<int, Folder> chips, zones;
    auto numberAfter = [](const std::string& name, const std::string& prefix) {
        size_t length = prefix.size();
        if (name.compare(0, length, prefix) != 0 || name.size() == length || name.size() > length + 5
            || name.find_first_not_of("0123456789", length) != std::string::npos)
            return -1;
        return std::atoi(name.c_str() + length);
    };
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        size_t space = line.find(' ');
        std::string path = line.substr(0, space), folder = path.substr(0, path.rfind('/'));
        folder = folder.substr(folder.rfind('/') + 1);
        int chip = numberAfter(folder, "hwmon"), zone = numberAfter(folder, "thermal_zone");
        bool readable = space != std::string::npos;
        if (path.rfind('/') != std::string::npos && (chip >= 0 || zone >= 0))
            (chip >= 0 ? chips[chip] : zones[zone])[path.substr(path.rfind('/') + 1)] =
                {readable ? line.substr(space + 1, maxNameLength - 1) : "", readable};
    }
    auto number = [](const Folder& folder, const std::string& name, long& value) {
        auto file = folder.find(name);
        return file != folder.end() && file->second.readable && parseAttributeNumber(file->second.text.c_str(), value);
    };
    auto copy = [](const Folder& folder, const std::string& name, char (&to)[maxNameLength]) {
        auto file = folder.find(name);
        to[file == folder.end() ? 0 : file->second.text.copy(to, maxNameLength - 1)] = '\0';
    };
    auto channels = [&](const Folder& folder, const std::string& kind, Channel* list, int& count) {
        count = 0;
        std::map<int, bool> numbers; // those with an input, in order
        for (const auto& file : folder) {
            size_t underscore = file.first.find('_');
            if (underscore != std::string::npos && file.first.substr(underscore) == "_input")
                numbers[numberAfter(file.first.substr(0, underscore), kind)] = true;
        }
        for (auto n = numbers.lower_bound(0); n != numbers.end() && count < maxChannels; ++n) {
            std::string stem = kind + std::to_string(n->first);
            Channel& channel = list[count++] = Channel{};
            channel.number = n->first;
            copy(folder, stem + "_label", channel.label);
            channel.readable = number(folder, stem + "_input", channel.value);
        }
    };
    found.chipCount = found.zoneCount = 0;
    for (auto folder = chips.begin(); folder != chips.end() && found.chipCount < maxChips; ++folder) {
        Chip& chip = found.chips[found.chipCount] = Chip{};
        chip.number = folder->first;
        copy(folder->second, "name", chip.name);
        channels(folder->second, "temp", chip.temps, chip.tempCount);
        channels(folder->second, "fan", chip.fans, chip.fanCount);
        if (chip.name[0] && hwmonRules.keeps(chip))
            ++found.chipCount;
    }
    for (auto folder = zones.begin(); folder != zones.end() && found.zoneCount < maxZones; ++folder) {
        if (!folder->second.count("temp"))
            continue;
        Zone& zone = found.zones[found.zoneCount++] = Zone{};
        zone.number = folder->first;
        copy(folder->second, "type", zone.type);
        zone.readable = number(folder->second, "temp", zone.value);
    }
}

std::string text(const Readings& readings)
{
    auto one = [](const Reading& r) { return r.found ? std::to_string(r.value) : std::string("-"); };
    return one(readings.cpu) + " " + one(readings.mb) + " " + one(readings.fan);
}
