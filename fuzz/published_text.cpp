#include "fuzz/published_text.h"

#include <cstdlib>
#include <map>

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
