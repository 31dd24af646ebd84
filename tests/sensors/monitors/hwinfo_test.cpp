// HWiNFO: its shared memory, versions 1 and 2, and its gadget's registry values.
#include <cstring>
#include <sstream>

#include "tests/sensors/monitors/monitor_test.h"

Image hwinfoImage(const Listing& listing, const HwinfoLayout& layout)
{
    const size_t header = layout.version >= 2 ? 48 : 44;
    const size_t sensorsAt = header, readingsAt = sensorsAt + listing.sensors.size() * layout.sensorSize;
    Image image(readingsAt + listing.readings.size() * layout.readingSize);
    std::memcpy(&image[0], "HWiS", 4);
    putU32(image, 4, layout.version);
    putU32(image, 8, 0);
    std::memcpy(&image[12], &layout.polled, 8);
    putU32(image, hwinfoSensorOffset, static_cast<uint32_t>(sensorsAt));
    putU32(image, hwinfoSensorSize, layout.sensorSize);
    putU32(image, hwinfoSensorCount, static_cast<uint32_t>(listing.sensors.size()));
    putU32(image, hwinfoReadingOffset, static_cast<uint32_t>(readingsAt));
    putU32(image, hwinfoReadingSize, layout.readingSize);
    putU32(image, hwinfoReadingCount, static_cast<uint32_t>(listing.readings.size()));
    if (layout.version >= 2)
        putU32(image, 44, 2000);
    for (size_t i = 0; i < listing.sensors.size(); ++i) {
        size_t at = sensorsAt + i * layout.sensorSize;
        putU32(image, at, 0xF0000000u + static_cast<uint32_t>(i));
        putText(image, at + 8, listing.sensors[i], 127);
        putText(image, at + 136, listing.sensors[i], 127); // the name the user sees, here the same
    }
    for (size_t i = 0; i < listing.readings.size(); ++i) {
        const ListedReading& r = listing.readings[i];
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

// Each listing as the shared memory and as the gadget's values.
static const bool seeded = addSeeds([](Seeds& seeds) {
    for (const Expected& each : realCaptures("hwinfo")) {
        const std::string text = capture(each.path + ".txt");
        if (registryQuery(each.path)) {
            seeds.add("hwinfo_gadget", each.name + ".txt", text);
            continue;
        }
        const Listing shown = listing(text);
        seeds.add("hwinfo_memory", each.name, hwinfoImage(shown, {}));
        std::ostringstream gadget;
        for (size_t n = 0; n < shown.readings.size(); ++n) {
            const ListedReading& r = shown.readings[n];
            gadget << "0:Sensor" << n << '=' << shown.sensors[r.sensor] << "\n0:Label" << n << '=' << r.label
                   << "\n0:Value" << n << '=' << r.value << ' ' << r.unit << "\n0:ValueRaw" << n << '=' << r.value << '\n';
        }
        seeds.add("hwinfo_gadget", each.name, gadget.str());
    }
});

TEST(Hwinfo, SharedMemoryAndGadget)
{
    // A listing as the shared memory, `reg query`'s output as the gadget's values.
    expectCaptures("hwinfo", [](const std::string& path) {
        return registryQuery(path) ? parsed(capture(path + ".txt"), readHwinfoGadget, "")
                                   : parsed(hwinfoImage(listing(capture(path + ".txt")), {}), readHwinfoMemory);
    });
    const Listing intel = listing(capture("hwinfo/made-intel-desktop.txt"));
    const Image desktop = hwinfoImage(intel, {});
    auto memory = [](const Image& image) { return parsed(image, readHwinfoMemory); };
    auto laidOut = [&](const HwinfoLayout& layout) { return memory(hwinfoImage(intel, layout)); };
    // Every field a header states, broken one at a time: refused or read within bounds.
    auto lying = [&](size_t field, uint32_t value, const char* expected) {
        Image image = desktop;
        putU32(image, field, value);
        return Row{"the header's field at " + std::to_string(field) + " = " + std::to_string(value), memory(image),
                   expected};
    };
    HwinfoLayout larger; // a later version's longer elements
    larger.sensorSize += 100, larger.readingSize += 64;
    HwinfoLayout first; // version 1: no UTF-8 fields, no polling period
    first.version = 1, first.sensorSize = 264, first.readingSize = 316;
    HwinfoLayout stale;
    stale.polled = fixedNow - 60;
    const Listing fahrenheit = {intel.sensors, {{1, 0, "CPU Package", "\xb0""F", 122}, {3, 1, "CPU", "RPM", 900}}};
    Image dead = desktop, unterminated = desktop;
    std::memcpy(&dead[0], "DEAD", 4);
    for (size_t at = 48; at < unterminated.size(); ++at) // every text field full, no zero anywhere in them
        if (unterminated[at] == 0)
            unterminated[at] = 'x';
    auto gadget = [](const std::string& fields) { return parsed(fields, readHwinfoGadget, ""); };

    expectRows({
        {"larger elements than ours", laidOut(larger), "49 31 1184"},
        {"version 1", laidOut(first), "49 31 1184"},
        {"degrees Fahrenheit", memory(hwinfoImage(fahrenheit, {})), "50 - 900"},
        {"a minute since the last poll", laidOut(stale), "refused"},
        {"marked DEAD", memory(dead), "refused"},
        {"cut before its readings end", memory(Image(desktop.begin(), desktop.end() - 1)), "refused"},
        {"a header alone, cut short", memory(Image(desktop.begin(), desktop.begin() + 30)), "refused"},
        lying(hwinfoReadingCount, 0x7FFFFFFF, "refused"), lying(hwinfoReadingCount, 11, "refused"),
        lying(hwinfoSensorCount, 0xFFFFFFFF, "refused"), lying(hwinfoReadingOffset, 0xFFFFFFF0, "refused"),
        lying(hwinfoSensorOffset, 0xFFFFFF00, "refused"), lying(hwinfoReadingSize, 0, "refused"),
        lying(hwinfoReadingSize, 1, "refused"), lying(hwinfoSensorSize, 1, "refused"),
        lying(hwinfoReadingCount, 0, "- - -"), lying(hwinfoSensorCount, 1, "49 - -"), // readings naming missing sensors
        {"no type or sensor index left whole", memory(unterminated), "- - -"},
        {"gadget values beyond the check, or out of range",
         gadget("0:Label0=CPU Package\n0:ValueRaw0=1e308\n0:Value0=1e308 \xb0""C\n0:Label1=CPU\n0:ValueRaw1=-5\n"
                "0:Value1=-5 RPM\n0:Label9999=CPU\n0:ValueRaw9999=900\n0:Value9999=900 RPM"),
         "- - -"},
        {"no label: not the gadget's", gadget("0:Sensor0=CPU\n0:Value0=45 \xb0""C"), "refused"},
    });
}
