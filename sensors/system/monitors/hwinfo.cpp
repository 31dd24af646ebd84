#include "sensors/system/labels.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"

// HWiNFO_SENSORS_SHARED_MEM2, packed: signature "HWiS", version, revision, poll time (64-bit
// seconds), then offset, element size and count of the sensors and of the readings; version 2
// adds the polling period in ms.
namespace layout {
constexpr unsigned long header = 44, periodAt = 44;
constexpr unsigned long nameLength = 128, unitLength = 16;
// What we read of each element, and so the least size an element may have.
constexpr unsigned long sensorName = 8, sensorNeeds = sensorName + nameLength;
constexpr unsigned long readingType = 0, readingSensor = 4, readingLabel = 12, readingUnit = 268,
                        readingValue = 284, readingNeeds = readingValue + 8;
constexpr unsigned long temperature = 1, fan = 3;
} // namespace layout

bool readHwinfoMemory(const Published& published, Choice& choice)
{
    using namespace layout;
    const Bytes& bytes = published.bytes;
    static const unsigned char live[] = {'H', 'W', 'i', 'S'};
    for (unsigned long i = 0; i < 4; ++i) {
        unsigned byte;
        if (!bytes.u8(i, byte) || byte != live[i])
            return false; // absent, half written, or "DEAD": HWiNFO stopped sharing
    }
    unsigned long version, sensorOffset, sensorSize, sensorCount, readingOffset, readingSize, readingCount;
    unsigned long long polled;
    if (!bytes.has(0, header) || !bytes.u32(4, version) || !bytes.u64(12, polled) || !bytes.u32(20, sensorOffset)
        || !bytes.u32(24, sensorSize) || !bytes.u32(28, sensorCount) || !bytes.u32(32, readingOffset)
        || !bytes.u32(36, readingSize) || !bytes.u32(40, readingCount))
        return false;
    if (sensorSize < sensorNeeds || readingSize < readingNeeds || sensorOffset < header || readingOffset < header
        || !bytes.hasArray(sensorOffset, sensorCount, sensorSize)
        || !bytes.hasArray(readingOffset, readingCount, readingSize))
        return false;
    unsigned long period = 2000;
    if (version >= 2 && sensorOffset >= periodAt + 4 && readingOffset >= periodAt + 4)
        bytes.u32(periodAt, period);
    if (period > 60000)
        period = 60000;
    // Far enough from the last poll to say HWiNFO stopped: some polling periods, and at least
    // this many seconds for a clock that moved a little.
    long long limit = 5LL * period / 1000;
    if (!stampedWithin(static_cast<long long>(polled), published.now, limit < 10 ? 10 : limit))
        return false;

    for (unsigned long i = 0; i < readingCount; ++i) {
        unsigned long at = readingOffset + i * readingSize; // inside, as checked above
        unsigned long type, sensor;
        double value;
        char label[nameLength], unit[unitLength], device[nameLength];
        bytes.u32(at + readingType, type);
        bytes.u32(at + readingSensor, sensor);
        if ((type != temperature && type != fan) || sensor >= sensorCount)
            continue;
        bytes.text(at + readingLabel, nameLength, label, sizeof label);
        bytes.text(at + readingUnit, unitLength, unit, sizeof unit);
        bytes.f64(at + readingValue, value);
        bytes.text(sensorOffset + sensor * sensorSize + sensorName, nameLength, device, sizeof device);
        bool graphics = device[0] == 'G' && device[1] == 'P' && device[2] == 'U';
        if (type == fan) {
            choice.offer(Quantity::Fan, label, value, graphics);
        } else {
            choice.offer(Quantity::Temperature, label, labelEndsWith(unit, "F") ? celsiusFromFahrenheit(value) : value,
                         graphics);
        }
    }
    return true;
}

// HWiNFO numbers the readings the user picked for its gadget 0, 1, 2 ... and numbers them anew
// when the choice changes: SensorN names the device, LabelN the reading, ValueRawN is the
// number and ValueN the text shown, whose unit ("45 °C", "113 °F", "1,257 RPM") says what it is.
bool readHwinfoGadget(const Published& published, Choice& choice)
{
    const int maxReadings = 256;
    enum Part { sensor, label, raw, shown, partCount };
    static const char* const stems[partCount] = {"Sensor", "Label", "ValueRaw", "Value"};
    const char* parts[maxReadings][partCount] = {};
    bool any = false;
    for (int i = 0; i < published.fieldCount; ++i) {
        const Field& field = published.fields[i];
        for (int part = 0; part < partCount; ++part) {
            const char* stem = stems[part];
            const char* digits = field.name;
            while (*stem && *digits == *stem)
                ++stem, ++digits;
            long index;
            // "Value12" is not "ValueRaw12": only digits may follow the stem.
            if (*stem || *digits < '0' || *digits > '9' || !parseAttributeNumber(digits, index) || index >= maxReadings)
                continue;
            parts[index][part] = field.text;
            any = any || part == label;
            break;
        }
    }
    for (const auto& reading : parts) {
        double number;
        if (!reading[label] || !reading[raw] || !reading[shown] || !parseDecimal(reading[raw], 80, number))
            continue;
        bool graphics = reading[sensor] && labelStartsWith(reading[sensor], "GPU");
        if (labelEndsWith(reading[shown], "RPM"))
            choice.offer(Quantity::Fan, reading[label], number, graphics);
        else if (labelEndsWith(reading[shown], "C"))
            choice.offer(Quantity::Temperature, reading[label], number, graphics);
        else if (labelEndsWith(reading[shown], "F"))
            choice.offer(Quantity::Temperature, reading[label], celsiusFromFahrenheit(number), graphics);
    }
    return any;
}
