#include "sensors/system/monitors/monitors.h"

// MBM5's shared data, 8-byte aligned: the version (a double), ten index entries (type, count)
// of 8 bytes, then 100 sensors of 80 bytes: type, name[12], padding, current value (double).
bool readMbm5(const Published& published, Choice& choice)
{
    const Bytes& bytes = published.bytes;
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
