// What the accesses hand the monitors, written as text: the fuzz targets decode their input with
// it, and the monitors' tests write their cases and read the registry captures with it.
// Whatever the text, what comes out is bounded as the accesses bound what they hand over.
#pragma once

#include <string>
#include <vector>

#include "sensors/system/inventory.h"
#include "sensors/system/published.h"

// Named fields, one a line:
//   row:name=text                 a text, as WMI, a counter or the hwmon files give it
//   row:name#number               a number, anything strtod reads ("47.5", "nan", "1e999")
//   "    name    REG_SZ    data"  a line of `reg query`'s output: a registry value of row 0, through
//                                 fieldFromRegistry as access/registry.cpp takes it, its data
//                                 unterminated (REG_DWORD and REG_QWORD as 0x digits, REG_BINARY
//                                 as hex), passed over when its name or data would not fit there
// Other lines are no field. At most maxFields, each cut to fit a Field.
class TextFields {
public:
    static constexpr int maxFields = 2048; // as many as the WMI access keeps

    explicit TextFields(const std::string& text, const char* address = "");
    Published published() const;

private:
    std::string address;
    std::vector<Field> fields;
};

// The clock the tests and the fuzz targets give the monitors that date what they publish; the
// layouts made for them carry it as their stamp, so that they are fresh.
constexpr long long fixedNow = 1767225600; // 1 January 2026

// Bytes as a mapping's copy hands them over.
inline Published publishedBytes(const unsigned char* data, size_t size)
{
    Published published;
    published.bytes = Bytes(data, static_cast<unsigned long>(size));
    published.now = fixedNow;
    return published;
}

// A source's three readings as "cpu mb fan", "-" for one not found.
std::string text(const Readings& readings);

// The hwmon rules' inventory from a listing of sysfs files, one a line: the path and what the
// file holds ("class/hwmon/hwmon2/temp1_input 45000", "class/thermal/thermal_zone0/type
// acpitz"); a path alone is a file that cannot be read. Kept as access/hwmon_files.cpp's scan
// keeps them: texts cut to its buffers, only the chips the rules read, the lowest numbers where
// more are listed than fit, each list in ascending order.
void inventoryFromText(const std::string& text, Inventory& found);
