#include "sensors/system/binary_layouts.h"

#include "sensors/system/units.h"

// Far enough from the last poll to say the publisher stopped: some polling periods, and at
// least this many seconds for a clock that moved a little.
static bool recent(long long polled, long long now, long long limit)
{
    long long age = now - polled;
    return age <= limit && age >= -limit;
}

static bool isFahrenheit(const char* unit)
{
    int length = 0;
    while (unit[length])
        ++length;
    return length > 0 && (unit[length - 1] == 'F' || unit[length - 1] == 'f');
}

// HWiNFO_SENSORS_SHARED_MEM2, packed: signature "HWiS", version, revision, poll time (64-bit
// seconds), then offset, element size and count of the sensors and of the readings; version 2
// adds the polling period in ms.
namespace hwinfo {
constexpr unsigned long header = 44, periodAt = 44;
constexpr unsigned long nameLength = 128, unitLength = 16;
// What we read of each element, and so the least size an element may have.
constexpr unsigned long sensorName = 8, sensorNeeds = sensorName + nameLength;
constexpr unsigned long readingType = 0, readingSensor = 4, readingLabel = 12, readingUnit = 268,
                        readingValue = 284, readingNeeds = readingValue + 8;
constexpr unsigned long temperature = 1, fan = 3;
} // namespace hwinfo

bool parseHwinfoMemory(const Bytes& bytes, long long now, SensorChoice& choice)
{
    using namespace hwinfo;
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
    long long limit = 5LL * period / 1000;
    if (!recent(static_cast<long long>(polled), now, limit < 10 ? 10 : limit))
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
            choice.offer(Quantity::Temperature, label, isFahrenheit(unit) ? celsiusFromFahrenheit(value) : value,
                         graphics);
        }
    }
    return true;
}

// CoreTempSharedData, 4-byte aligned: uiLoad[256], uiTjMax[128], uiCoreCnt, uiCPUCnt,
// fTemp[256], four floats, sCPUName[100], ucFahrenheit, ucDeltaToTjMax, then the Ex fields.
bool parseCoreTemp(const Bytes& bytes, SensorChoice& choice)
{
    const unsigned long tjMaxAt = 1024, coresAt = 1536, tempsAt = 1544, fahrenheitAt = 2684, deltaAt = 2685;
    unsigned long tjMax, cores;
    unsigned fahrenheit, delta;
    if (!bytes.u32(tjMaxAt, tjMax) || !bytes.u32(coresAt, cores) || !bytes.u8(fahrenheitAt, fahrenheit)
        || !bytes.u8(deltaAt, delta) || cores == 0 || cores > 256)
        return false;
    for (unsigned long core = 0; core < cores; ++core) {
        double value;
        bytes.f32(tempsAt + core * 4, value);
        if (delta)
            value = static_cast<double>(tjMax) - value;
        if (fahrenheit)
            value = celsiusFromFahrenheit(value);
        choice.offerCpu("hottest core", value, SensorChoice::coreRank);
    }
    return true;
}

// MAHM_SHARED_MEMORY_HEADER: signature 'MAHM' (0xDEAD once let go), version, header size,
// entry count and size, last poll (32-bit seconds). Each entry: five MAX_PATH texts (name,
// units, their translations, a format), the value, two limits, flags, GPU index, source id.
bool parseAfterburner(const Bytes& bytes, long long now, SensorChoice& choice)
{
    const unsigned long signature = 0x4D41484Dul, text = 260, unitsAt = 260, dataAt = 1300, sourceAt = 1320,
                        needs = sourceAt + 4, cpuTemperature = 0x80;
    unsigned long sign, headerSize, count, size;
    long polled;
    if (!bytes.u32(0, sign) || sign != signature || !bytes.u32(8, headerSize) || !bytes.u32(12, count)
        || !bytes.u32(16, size) || !bytes.i32(20, polled) || headerSize < 24 || size < needs
        || !bytes.hasArray(headerSize, count, size) || !recent(polled, now, 30))
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
        choice.offerCpu("CPU temperature", isFahrenheit(units) ? celsiusFromFahrenheit(value) : value, 1);
    }
    return true;
}

// SFSharedMemory, packed: version, flags, MemSize, handle, NumTemps, NumFans, NumVolts, then
// temps[32] (hundredths of a degree), fans[32], volts[32].
bool parseSpeedFan(const Bytes& bytes, SensorChoice& choice)
{
    const unsigned long fansCountAt = 14, fansAt = 146, size = 402;
    unsigned fans;
    long rpm;
    if (!bytes.has(0, size) || !bytes.u16(fansCountAt, fans))
        return false;
    if (fans > 0 && fans <= 32 && bytes.i32(fansAt, rpm))
        choice.offerFan("Fan1", rpm, 1);
    return true;
}

// MBM5's shared data, 8-byte aligned: the version (a double), ten index entries (type, count)
// of 8 bytes, then 100 sensors of 80 bytes: type, name[12], padding, current value (double).
bool parseMbm5(const Bytes& bytes, SensorChoice& choice)
{
    const unsigned long indexAt = 8, sensorsAt = 88, sensorSize = 80, nameAt = 1, nameLength = 12, valueAt = 16;
    const unsigned temperature = 1, fan = 3;
    long total = 0;
    for (unsigned long i = 0; i < 10; ++i) {
        long count;
        if (!bytes.i32(indexAt + i * 8 + 4, count) || count < 0 || count > 100)
            return false;
        total += count;
    }
    if (total > 100 || !bytes.hasArray(sensorsAt, static_cast<unsigned long>(total), sensorSize))
        return false;
    for (long i = 0; i < total; ++i) {
        unsigned long at = sensorsAt + static_cast<unsigned long>(i) * sensorSize;
        unsigned type;
        char name[nameLength + 1];
        double value;
        bytes.u8(at, type);
        bytes.text(at + nameAt, nameLength, name, sizeof name);
        bytes.f64(at + valueAt, value);
        if (type == temperature)
            choice.offer(Quantity::Temperature, name, value);
        else if (type == fan)
            choice.offer(Quantity::Fan, name, value);
    }
    return true;
}
