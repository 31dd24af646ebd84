#include "sensors/system/sensor_choice.h"

#include "sensors/system/labels.h"
#include "sensors/system/units.h"

// What a person expects, for every monitor that names its sensors (names in the monitor's
// English, case, "_" and "-" not counting):
//
// CPU temperature: the processor's own package reading, best first
//   6  "Tdie", "CPU (Tdie)", "Core (Tdie)": where an AMD processor has both, Tdie is the die
//      and Tctl carries an offset for the fans
//   5  "CPU Package", "Package", "CPU (Tctl/Tdie)", "Core (Tctl/Tdie)", "Tctl/Tdie"
//   4  "Tctl", "CPU (Tctl)", "Core (Tctl)"
//   3  else the hottest core: "Core #1", "CPU Core #2", "Core 3", "P-core 0", "Core Max",
//      "CCD1 (Tdie)"; never an average or a "Distance to TjMax"
//   1  only when the processor has none of those, a board chip's "CPU", "CPU Temperature",
//      "CPUTIN" or "CPU Socket"
// Board temperature: the board chip's
//   2  "Motherboard", "Mainboard" (also "Motherboard Temperature"), "Mobo"
//   1  "System", "System 1", "System1", "SYSTIN"
// CPU fan: the board chip's fan named after the processor
//   4  "CPU", "CPU Fan", "CPU_FAN", "Processor Fan", spinning
//   3  "CPU OPT", "CPU_OPT", spinning, only when no other CPU fan spins
//   2  a CPU fan standing still (0 rpm is a reading)
//   1  else any other spinning fan, as the hwmon rules do ("Fan #1" is all some monitors say)
//   never a graphics card's fan, never a pump.
// Temperatures of 0 are sensors the monitor could not read, and count as none.

static bool isAny(const char* name, const char* const* names, int count)
{
    for (int i = 0; i < count; ++i)
        if (labelEquals(name, names[i]))
            return true;
    return false;
}

// "System" with an optional number, "System 1" or "System1".
static bool isSystem(const char* name)
{
    if (!labelStartsWith(name, "system"))
        return false;
    name += 6;
    if (*name == ' ' || *name == '_' || *name == '-')
        ++name;
    if (!*name)
        return name[-1] == 'm' || name[-1] == 'M';
    for (; *name; ++name)
        if (*name < '0' || *name > '9')
            return false;
    return true;
}

static bool isCore(const char* name)
{
    if (labelContains(name, "distance") || labelContains(name, "tjmax") || labelContains(name, "average"))
        return false;
    if (labelStartsWith(name, "cpu "))
        name += 4;
    return labelStartsWith(name, "core #") || labelStartsWith(name, "core max") || labelStartsWith(name, "p core")
        || labelStartsWith(name, "e core") || labelStartsWith(name, "ccd") || labelEquals(name, "core")
        || (labelStartsWith(name, "core ") && name[5] >= '0' && name[5] <= '9');
}

static int cpuRankOf(const char* name)
{
    static const char* const tdie[] = {"Tdie", "CPU (Tdie)", "Core (Tdie)"};
    static const char* const package[] = {"CPU Package", "Package", "CPU (Tctl/Tdie)", "Core (Tctl/Tdie)",
                                          "Tctl/Tdie"};
    static const char* const tctl[] = {"Tctl", "CPU (Tctl)", "Core (Tctl)"};
    static const char* const board[] = {"CPU", "CPU Temperature", "CPU Temp", "CPUTIN", "CPU Socket"};
    if (isAny(name, tdie, 3))
        return 6;
    if (isAny(name, package, 5))
        return 5;
    if (isAny(name, tctl, 3))
        return 4;
    if (isCore(name))
        return SensorChoice::coreRank;
    return isAny(name, board, 5) ? 1 : 0;
}

static int boardRankOf(const char* name)
{
    if (labelStartsWith(name, "Motherboard") || labelStartsWith(name, "Mainboard") || labelEquals(name, "Mobo"))
        return 2;
    return isSystem(name) || labelEquals(name, "SYSTIN") ? 1 : 0;
}

static int fanRankOf(const char* name, double rpm, bool onGraphicsCard)
{
    if (onGraphicsCard || labelStartsWith(name, "GPU") || labelContains(name, "pump"))
        return 0;
    int named = cpuFanRank(name);
    if (rpm <= 0)
        return named ? 2 : 0;
    if (named)
        return named == 2 ? 4 : 3;
    return 1;
}

void SensorChoice::keep(Best& best, int rank, const char* name, double value, bool hottest)
{
    if (rank <= 0 || rank < best.rank)
        return;
    if (rank == best.rank && !(hottest && value > best.value))
        return;
    best.rank = rank;
    best.value = value;
    int i = 0;
    for (; name[i] && i < sensorNameLength - 1; ++i)
        best.name[i] = name[i];
    best.name[i] = '\0';
}

void SensorChoice::offer(Quantity quantity, const char* name, double value, bool onGraphicsCard)
{
    if (quantity == Quantity::Fan) {
        offerFan(name, value, fanRankOf(name, value, onGraphicsCard));
        return;
    }
    if (onGraphicsCard)
        return;
    offerCpu(name, value, cpuRankOf(name));
    offerBoard(name, value, boardRankOf(name));
}

void SensorChoice::offerCpu(const char* name, double celsius, int rank)
{
    if (isTemperature(celsius))
        keep(cpu, rank, name, celsius, rank == coreRank);
}

void SensorChoice::offerBoard(const char* name, double celsius, int rank)
{
    if (isTemperature(celsius))
        keep(mb, rank, name, celsius, false);
}

void SensorChoice::offerFan(const char* name, double rpm, int rank)
{
    if (isFanSpeed(rpm))
        keep(fan, rank, name, rpm, false);
}

Reading SensorChoice::reading(const Best& best) const
{
    Reading result;
    if (best.rank == 0)
        return result;
    result.found = true;
    result.value = roundReading(best.value); // within the bounds above, so it fits
    result.source = source;
    for (int i = 0; i < sensorNameLength; ++i)
        result.sensor[i] = best.name[i];
    return result;
}

Found SensorChoice::found() const
{
    Found result;
    result.cpu = reading(cpu);
    result.mb = reading(mb);
    result.fan = reading(fan);
    return result;
}

Found firstFound(const Found* sources, int count)
{
    Found result;
    for (int i = count - 1; i >= 0; --i) {
        if (sources[i].cpu.found)
            result.cpu = sources[i].cpu;
        if (sources[i].mb.found)
            result.mb = sources[i].mb;
        if (sources[i].fan.found)
            result.fan = sources[i].fan;
    }
    return result;
}
