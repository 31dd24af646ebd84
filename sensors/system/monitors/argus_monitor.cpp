#include "sensors/system/labels.h"
#include "sensors/system/monitors/monitors.h"

// Argus Monitor's data interface, packed: the signature 0x4D677241 ("ArgM"; 0 while it does not
// share), its version (four bytes and a 32-bit build), the structure's version, a cycle counter
// that moves with every update (0 is none), then for each sensor type the index of its first
// record and the count of its records, the count of records in use, and up to 512 records of
// 212 bytes: type, label (64 UTF-16 units), unit (32), value (a double), the data's index (a
// core's) and the sensor's (which processor). Versions differ in how many sensor types they
// list; a record carries its own type, which must agree with the range that holds it.
namespace layout {
constexpr unsigned long signature = 0x4D677241ul, counterAt = 16, firstAt = 20, maxRecords = 512;
constexpr unsigned long recordSize = 212, labelAt = 4, labelUnits = 64, valueAt = 196;
// The sensor types read: a board's or a fan controller's temperature, a fan or pump on their
// channels, the processor's own temperature. A graphics card's have types of their own.
constexpr unsigned long temperature = 1, fan = 3, cpuTemperature = 6;
} // namespace layout

// Where the records start in a version listing typeCount sensor types, or 0 when the data does
// not add up so: every type's records inside those in use, their counts adding up to them, and
// each record of the type its range says.
static unsigned long recordsAt(const Bytes& bytes, unsigned long typeCount)
{
    using namespace layout;
    const unsigned long countsAt = firstAt + 4 * typeCount, totalAt = countsAt + 4 * typeCount, recordsAt = totalAt + 4;
    unsigned long total, sum = 0;
    if (!bytes.u32(totalAt, total) || total > maxRecords || !bytes.hasArray(recordsAt, total, recordSize))
        return 0;
    for (unsigned long type = 0; type < typeCount; ++type) {
        unsigned long first, count;
        bytes.u32(firstAt + 4 * type, first); // inside: before totalAt
        bytes.u32(countsAt + 4 * type, count);
        if (count > total || first > total - count)
            return 0;
        sum += count;
        for (unsigned long record = first; record < first + count; ++record) {
            unsigned long recordType;
            bytes.u32(recordsAt + record * recordSize, recordType);
            if (recordType != type)
                return 0;
        }
    }
    return sum == total ? recordsAt : 0;
}

bool readArgusMonitor(const Published& published, Choice& choice)
{
    using namespace layout;
    const Bytes& bytes = published.bytes;
    unsigned long sign, counter, records = 0, total;
    if (!bytes.u32(0, sign) || sign != signature || !bytes.u32(counterAt, counter) || counter == 0)
        return false;
    const unsigned long typeCounts[] = {27, 26};
    for (unsigned long typeCount : typeCounts)
        if (!records)
            records = recordsAt(bytes, typeCount);
    if (!records)
        return false;
    bytes.u32(records - 4, total);
    for (unsigned long i = 0; i < total; ++i) {
        unsigned long at = records + i * recordSize, type;
        char label[sensorNameLength];
        double value;
        bytes.u32(at, type);
        bytes.text16(at + labelAt, labelUnits, label, sizeof label);
        bytes.f64(at + valueAt, value);
        // The processor's own: one a core (on Intel's), of which the hottest, or one for it all.
        if (type == cpuTemperature)
            choice.offerCpu(label, value, labelContains(label, "package") ? rank::package : rank::core);
        else if (type == temperature)
            choice.offer(Quantity::Temperature, label, value);
        else if (type == fan)
            choice.offer(Quantity::Fan, label, value);
    }
    choice.countUpdates(counter);
    return true;
}
