#include "sensors/system/monitors/monitors.h"
#include "sensors/system/numbers.h"

// CoreTempSharedData, 4-byte aligned: uiLoad[256], uiTjMax[128], uiCoreCnt, uiCPUCnt,
// fTemp[256], four floats, sCPUName[100], ucFahrenheit, ucDeltaToTjMax, then the Ex fields.
bool readCoreTemp(const Published& published, Choice& choice)
{
    const Bytes& bytes = published.bytes;
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
        choice.offerCpu("hottest core", value, rank::core);
    }
    return true;
}
