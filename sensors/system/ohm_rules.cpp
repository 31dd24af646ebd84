#include "sensors/system/ohm_rules.h"

#include "sensors/system/labels.h"
#include "sensors/system/units.h"

// The whole package first, then the first core, then a board's own "CPU" sensor.
static int cpuRankOf(const char* name)
{
    if (labelEquals(name, "CPU Package"))
        return 4;
    if (labelEquals(name, "CPU Core #1") || labelStartsWith(name, "Core (Tctl"))
        return 3;
    if (labelStartsWith(name, "CPU Core"))
        return 2;
    if (labelEquals(name, "CPU"))
        return 1;
    return 0;
}

static int boardRankOf(const char* name)
{
    if (labelStartsWith(name, "Motherboard") || labelStartsWith(name, "Mainboard"))
        return 2;
    if (labelEquals(name, "System") || labelEquals(name, "SYSTIN"))
        return 1;
    return 0;
}

// A fan named after the CPU, then any fan but a graphics card's.
static int fanRankOf(const char* name)
{
    if (int rank = cpuFanRank(name))
        return rank + 1;
    return labelStartsWith(name, "GPU") ? 0 : 1;
}

// Keeps the first row of the highest rank seen so far.
static void offer(int rank, double value, int& bestRank, double& best)
{
    if (rank > bestRank) {
        bestRank = rank;
        best = value;
    }
}

void OhmChoice::add(const char* type, const char* name, double value)
{
    if (!(value > 0)) // a sensor the monitor could not read shows 0 or NaN
        return;
    if (labelEquals(type, "Temperature")) {
        offer(cpuRankOf(name), value, cpuRank, cpu);
        offer(boardRankOf(name), value, mbRank, mb);
    } else if (labelEquals(type, "Fan")) {
        offer(fanRankOf(name), value, fanRank, fan);
    }
}

Readings OhmChoice::readings() const
{
    Readings result;
    result.cpu = roundReading(cpu);
    result.mb = roundReading(mb);
    result.fan = roundReading(fan);
    return result;
}
