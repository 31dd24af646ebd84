// SpeedFan's shared memory: its record names nothing, so only its first fan counts.
#include "tests/sensors/monitors/monitor_test.h"

Image speedFanImage(const std::vector<int32_t>& hundredths, const std::vector<int32_t>& fans)
{
    Image image(402);
    putU16(image, 0, 1);
    putU32(image, 4, 402);
    putU16(image, 12, static_cast<uint16_t>(hundredths.size()));
    putU16(image, 14, static_cast<uint16_t>(fans.size()));
    for (size_t i = 0; i < hundredths.size(); ++i)
        putU32(image, 18 + 4 * i, static_cast<uint32_t>(hundredths[i]));
    for (size_t i = 0; i < fans.size(); ++i)
        putU32(image, 146 + 4 * i, static_cast<uint32_t>(fans[i]));
    return image;
}

// No capture of its memory was found: two temperatures and two fans.
static const Image twoFans = speedFanImage({4250, 3800}, {1320, 800});
static const bool seeded = addSeeds([](Seeds& seeds) { seeds.add("speedfan", "two-fans", twoFans); });

TEST(SpeedFan, SharedMemory)
{
    expectRows({{"its first fan, no temperature it names", parsed(twoFans, readSpeedFan), "- - 1320"}});
}
