// Core Temp's shared memory: the hottest core of the first processor.
#include <cmath>

#include "tests/sensors/monitors/monitor_test.h"

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

CoreTempState coreTempState(const std::string& path)
{
    CoreTempState state;
    for (const ListedReading& core : listing(capture(path + ".txt")).readings) {
        state.temps.push_back(static_cast<float>(core.value));
        state.fahrenheit = core.type == 1 && core.unit.back() == 'F';
    }
    return state;
}

// No capture of its memory was found: the laptop its tests play.
static const bool seeded = addSeeds([](Seeds& seeds) {
    seeds.add("core_temp", "laptop", coreTempImage(coreTempState("core-temp/made-laptop")));
});

TEST(CoreTemp, SharedMemory)
{
    expectCaptures("core-temp", [](const std::string& path) {
        return parsed(coreTempImage(coreTempState(path)), readCoreTemp);
    });
    auto coreTemp = [](const CoreTempState& state) { return parsed(coreTempImage(state), readCoreTemp); };
    CoreTempState delta, fahrenheit, absurd, hostile = coreTempState("core-temp/made-laptop");
    delta.deltaToTjMax = true, delta.temps = {48, 42, 45, 46};
    fahrenheit.fahrenheit = true, fahrenheit.temps = {125.6f, 136.4f};
    absurd.temps = {1e30f, -1e30f, NAN, 57};
    hostile.coreCount = 100000;
    expectRows({
        {"distances to a TjMax of 100", coreTemp(delta), "58 - -"},
        {"degrees Fahrenheit", coreTemp(fahrenheit), "58 - -"},
        {"cores beyond the check", coreTemp(absurd), "57 - -"},
        {"100,000 cores", coreTemp(hostile), "refused"},
    });
}
