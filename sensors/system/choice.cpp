#include "sensors/system/choice.h"

#include "sensors/system/labels.h"

// Every value from every source passes one check (isTemperature, isFanSpeed) and these rules.
//
// Within a source that names its sensors (names in the monitor's English; case, "_" and "-" do
// not count), what a person expects:
//
// CPU temperature: the processor's own package reading, best first
//   tdie          "Tdie", "CPU (Tdie)", "Core (Tdie)": where an AMD processor has both, Tdie is
//                 the die and Tctl carries an offset for the fans
//   package       "CPU Package", "Package", "CPU (Tctl/Tdie)", "Core (Tctl/Tdie)", "Tctl/Tdie"
//   tctl          "Tctl", "CPU (Tctl)", "Core (Tctl)"
//   core          else the hottest core: "Core #1", "CPU Core #2", "Core 3", "P-core 0",
//                 "Core Max", "CCD1 (Tdie)"; never an average or a "Distance to TjMax"
//   boardChipCpu  only when the processor has none of those, a board chip's "CPU", "CPU
//                 Temperature", "CPUTIN" or "CPU Socket"
// Board temperature: the board chip's
//   motherboard   "Motherboard", "Mainboard" (also "Motherboard Temperature"), "Mobo"
//   system        "System", "System 1", "System1", "SYSTIN", or a chip's temperature named
//                 only by its number ("Temperature #1") where its family has the board's
// CPU fan: the board chip's fan named after the processor
//   cpuFan        "CPU", "CPU Fan", "CPU_FAN", "Processor Fan", spinning
//   cpuOptional   "CPU OPT", "CPU_OPT", spinning, only when no other CPU fan spins
//   cpuStopped    a CPU fan standing still: 0 rpm is a reading
//   cpuHeader     a chip's fan named only by its number ("Fan #2"), spinning, on the input
//                 where boards wire the CPU fan for the chip's family (chips.cpp)
//   anySpinning   else any other spinning fan, as the hwmon rules do ("Fan #1" is all some
//                 monitors say)
//   never a graphics card's fan, never a pump.
// Sources that say what a value is by an id or a field offer it at the rank of its meaning; the
// hwmon files, chosen by their own rules (monitors/hwmon.cpp), at the top rank.
//
// Among the sources: for each reading, the first in the table (sources.h) that has it, read
// within the last 15 seconds.

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
        return rank::tdie;
    if (isAny(name, package, 5))
        return rank::package;
    if (isAny(name, tctl, 3))
        return rank::tctl;
    if (isCore(name))
        return rank::core;
    return isAny(name, board, 5) ? rank::boardChipCpu : 0;
}

static int boardRankOf(const char* name)
{
    if (labelStartsWith(name, "Motherboard") || labelStartsWith(name, "Mainboard") || labelEquals(name, "Mobo"))
        return rank::motherboard;
    return isSystem(name) || labelEquals(name, "SYSTIN") ? rank::system : 0;
}

static int fanRankOf(const char* name, int rpm, bool onGraphicsCard)
{
    if (onGraphicsCard || labelStartsWith(name, "GPU") || labelContains(name, "pump"))
        return 0;
    int named = cpuFanRank(name);
    if (rpm == 0)
        return named ? rank::cpuStopped : 0;
    if (named)
        return named == 2 ? rank::cpuFan : rank::cpuOptional;
    return rank::anySpinning;
}

// Rounds half away from zero; false for what no int can hold, NaN included.
static bool rounded(double value, int& whole)
{
    if (!(value > -1e9 && value < 1e9))
        return false;
    whole = static_cast<int>(value >= 0 ? value + 0.5 : value - 0.5);
    return true;
}

bool isTemperature(double celsius, int& whole)
{
    int degrees;
    if (!rounded(celsius, degrees) || degrees < 1 || degrees > 125)
        return false;
    whole = degrees;
    return true;
}

bool isFanSpeed(double rpm, int& whole)
{
    int speed;
    if (!rounded(rpm, speed) || speed < 0 || speed > 30000)
        return false;
    whole = speed;
    return true;
}

void Choice::keep(Best& best, int rank, const char* name, int value, bool hottest)
{
    if (rank <= 0 || rank < best.rank)
        return;
    if (rank == best.rank && !(hottest && value > best.value))
        return;
    best.rank = rank;
    best.value = value;
    copyLabel(best.name, sensorNameLength, name);
}

void Choice::offer(Quantity quantity, const char* name, double value, bool onGraphicsCard)
{
    int whole;
    if (quantity == Quantity::Fan) {
        if (isFanSpeed(value, whole))
            keep(fan, fanRankOf(name, whole, onGraphicsCard), name, whole, false);
        return;
    }
    if (onGraphicsCard)
        return;
    offerCpu(name, value, cpuRankOf(name));
    offerBoard(name, value, boardRankOf(name));
}

void Choice::offerCpu(const char* name, double celsius, int rank)
{
    int whole;
    if (isTemperature(celsius, whole))
        keep(cpu, rank, name, whole, rank == rank::core);
}

void Choice::offerBoard(const char* name, double celsius, int rank)
{
    int whole;
    if (isTemperature(celsius, whole))
        keep(mb, rank, name, whole, false);
}

void Choice::offerFan(const char* name, double rpm, int rank)
{
    int whole;
    if (isFanSpeed(rpm, whole))
        keep(fan, rank, name, whole, false);
}

Reading Choice::reading(const Best& best) const
{
    Reading result;
    if (best.rank == 0)
        return result;
    result.found = true;
    result.value = best.value;
    result.source = source;
    copyLabel(result.sensor, sensorNameLength, best.name);
    return result;
}

Readings Choice::readings() const
{
    Readings result;
    result.cpu = reading(cpu);
    result.mb = reading(mb);
    result.fan = reading(fan);
    return result;
}

static bool fresh(const Reading& reading, unsigned now)
{
    return reading.found && now - reading.readAt <= freshForMs;
}

Readings chooseFresh(const Readings* sources, int count, unsigned now)
{
    Readings result;
    for (int i = count - 1; i >= 0; --i) {
        if (fresh(sources[i].cpu, now))
            result.cpu = sources[i].cpu;
        if (fresh(sources[i].mb, now))
            result.mb = sources[i].mb;
        if (fresh(sources[i].fan, now))
            result.fan = sources[i].fan;
    }
    return result;
}
