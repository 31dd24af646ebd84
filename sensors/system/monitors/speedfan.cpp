#include "sensors/system/monitors/monitors.h"

// SFSharedMemory, packed: version, flags, MemSize, handle, NumTemps, NumFans, NumVolts, then
// temps[32] (hundredths of a degree), fans[32], volts[32].
bool readSpeedFan(const Published& published, Choice& choice)
{
    const Bytes& bytes = published.bytes;
    const unsigned long fansCountAt = 14, fansAt = 146, size = 402;
    unsigned fans;
    long rpm;
    if (!bytes.has(0, size) || !bytes.u16(fansCountAt, fans))
        return false;
    if (fans > 0 && fans <= 32 && bytes.i32(fansAt, rpm))
        choice.offerFan("Fan1", rpm, rank::anySpinning);
    return true;
}
