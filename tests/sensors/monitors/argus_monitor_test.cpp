// Argus Monitor's data interface: the processor's own temperatures, the board's and its fans.
#include "tests/sensors/monitors/monitor_test.h"

Image argusImage(const std::vector<ArgusRecord>& records, uint32_t typeCount, uint32_t updates)
{
    const size_t countsAt = 20 + 4 * typeCount, totalAt = countsAt + 4 * typeCount, recordsAt = totalAt + 4;
    Image image(recordsAt + 512 * 212);
    putU32(image, 0, 0x4D677241u); // "ArgM"
    putU32(image, 12, 1);
    putU32(image, 16, updates);
    uint32_t total = 0;
    for (uint32_t type = 0; type < typeCount; ++type) {
        const uint32_t first = total;
        putU32(image, 20 + 4 * type, first);
        for (const ArgusRecord& record : records) {
            if (record.type != type)
                continue;
            size_t at = recordsAt + 212 * total++;
            putU32(image, at, type);
            for (size_t i = 0; i < record.label.size() && i < 64; ++i)
                putU16(image, at + 4 + 2 * i, static_cast<unsigned char>(record.label[i])); // UTF-16
            putF64(image, at + 196, record.value);
        }
        putU32(image, countsAt + 4 * type, total - first);
    }
    putU32(image, totalAt, total);
    return image;
}

// No capture of its memory was found: an Intel desktop laid out as the interface describes it,
// a core a record beside the package, and an AMD one with the processor's single reading beside
// its dies'.
const std::vector<ArgusRecord> argusIntelDesktop = {
    {6, "Core #0", 51}, {6, "Core #1", 58}, {6, "CPU Package", 56}, {1, "Motherboard", 34}, {1, "CPU", 45},
    {3, "CPU Fan", 1200}, {3, "AIO Pump", 2600}, {10, "GPU", 60}, {17, "GPU Fan", 1500}};
static const std::vector<ArgusRecord> amdDesktop = {
    {6, "CPU (Tctl/Tdie)", 61.4}, {7, "CCD1 (Tdie)", 66}, {1, "System", 30}, {3, "Fan #2", 900}};
static const bool seeded = addSeeds([](Seeds& seeds) {
    seeds.add("argus_monitor", "intel-desktop", argusImage(argusIntelDesktop));
    seeds.add("argus_monitor", "amd-desktop-26-types", argusImage(amdDesktop, 26));
});

TEST(ArgusMonitor, DataInterface)
{
    auto argus = [](const Image& image) { return parsed(image, readArgusMonitor); };
    auto broken = [](size_t at, uint32_t value) {
        Image image = argusImage(argusIntelDesktop);
        putU32(image, at, value);
        return image;
    };
    const size_t totalAt = 20 + 8 * 27, recordsAt = totalAt + 4;
    const Image intel = argusImage(argusIntelDesktop);
    expectRows({
        {"the package; the board chip's CPU never beside the processor's; a pump, a card never", argus(intel),
         "56 34 1200"},
        {"a version of 26 sensor types", argus(argusImage(argusIntelDesktop, 26)), "56 34 1200"},
        {"no package: the hottest core", argus(argusImage({{6, "Core #0", 51}, {6, "Core #1", 58}})), "58 - -"},
        {"the processor's one reading before its dies'", argus(argusImage(amdDesktop)), "61 30 900"},
        {"not sharing", argus(broken(0, 0)), "refused"},
        {"no update yet", argus(argusImage(argusIntelDesktop, 27, 0)), "refused"},
        {"more records in use than there are", argus(broken(totalAt, 513)), "refused"},
        {"counts that do not add up", argus(broken(totalAt, 7)), "refused"},
        {"a record of another type than its range's", argus(broken(recordsAt, 3)), "refused"},
        {"a type's records past those in use", argus(broken(20 + 4 * 6, 0x7FFFFFFF)), "refused"},
        {"cut before its records end", argus(Image(intel.begin(), intel.begin() + recordsAt + 300)), "refused"},
    });
}
