#include "sensors/system/labels.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"

// MAHM_SHARED_MEMORY_HEADER: signature 'MAHM' (0xDEAD once let go), version, header size,
// entry count and size, last poll (32-bit seconds; Afterburner stamps each poll, and half a
// minute without one says it quit). Each entry: five MAX_PATH texts (name, units, their
// translations, a format), the value, two limits, flags, GPU index, source id.
bool readAfterburner(const Published& published, Choice& choice)
{
    const Bytes& bytes = published.bytes;
    const unsigned long signature = 0x4D41484Dul, text = 260, unitsAt = 260, dataAt = 1300, sourceAt = 1320,
                        needs = sourceAt + 4, cpuTemperature = 0x80;
    unsigned long sign, headerSize, count, size;
    long polled;
    if (!bytes.u32(0, sign) || sign != signature || !bytes.u32(8, headerSize) || !bytes.u32(12, count)
        || !bytes.u32(16, size) || !bytes.i32(20, polled) || headerSize < 24 || size < needs
        || !bytes.hasArray(headerSize, count, size) || !stampedWithin(polled, published.now, 30))
        return false;
    for (unsigned long i = 0; i < count; ++i) {
        unsigned long at = headerSize + i * size, source;
        bytes.u32(at + sourceAt, source);
        if (source != cpuTemperature)
            continue;
        char units[16];
        double value;
        bytes.text(at + unitsAt, text, units, sizeof units);
        bytes.f32(at + dataAt, value); // FLT_MAX while Afterburner has no value
        choice.offerCpu("CPU temperature", labelEndsWith(units, "F") ? celsiusFromFahrenheit(value) : value,
                        rank::boardChipCpu);
    }
    return true;
}
