// MSI Afterburner's shared memory: its CPU temperature entry, when it has one.
#include "tests/sensors/monitors/monitor_test.h"

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

// No capture of its memory was found: a card's temperature and the CPU's, as it lists them with
// its CPU graph on.
static const std::vector<AfterburnerEntry> cpuAndGpu = {{"GPU temperature", "\xb0""C", 45, 0x00},
                                                        {"CPU temperature", "\xb0""C", 61, 0x80}};
static const int32_t polled = static_cast<int32_t>(fixedNow);
static const bool seeded = addSeeds([](Seeds& seeds) {
    seeds.add("afterburner", "cpu-and-gpu", afterburnerImage(cpuAndGpu, polled));
});

TEST(Afterburner, SharedMemory)
{
    std::vector<AfterburnerEntry> entries = cpuAndGpu;
    entries.push_back({"Fan speed", "%", 40, 0x10});
    Image released = afterburnerImage(entries, polled);
    putU32(released, 0, 0xDEAD);
    expectRows({
        {"its CPU temperature", parsed(afterburnerImage(entries, polled), readAfterburner), "61 - -"},
        {"FLT_MAX while it has no value",
         parsed(afterburnerImage({{"CPU temperature", "\xb0""C", 3.4e38f, 0x80}}, polled), readAfterburner), "- - -"},
        {"released", parsed(released, readAfterburner), "refused"},
    });
}
