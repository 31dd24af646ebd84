// Motherboard Monitor 5's shared memory: its named temperatures and fans.
#include "tests/sensors/monitors/monitor_test.h"

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

// No capture of its memory was found: a board's temperatures, fan and voltage.
static const Image board = mbm5Image({{1, "CPU", 47.5}, {1, "Mobo", 33}, {3, "CPU Fan", 2410}, {2, "Vcore", 1.5}});
static const bool seeded = addSeeds([](Seeds& seeds) { seeds.add("mbm5", "board", board); });

TEST(Mbm5, SharedMemory)
{
    Image crowded = mbm5Image({{1, "CPU", 47.5}});
    putU32(crowded, 12, 0x7FFFFFFF);
    expectRows({
        {"a board", parsed(board, readMbm5), "48 33 2410"},
        {"more temperatures than its index holds", parsed(crowded, readMbm5), "refused"},
    });
}
