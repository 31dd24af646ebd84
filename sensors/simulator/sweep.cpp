#include "sensors/simulator/sweep.h"

#include <math.h>

// 25 at the start, 75 half a period later; the fifth harmonic keeps it from looking mechanical.
static double cpuAt(double t)
{
    const double pi = 3.14159265358979;
    return 50.0 - 25.0 * cos(2 * pi * t / sweepPeriod) + 2.0 * sin(2 * pi * 5 * t / sweepPeriod);
}

int sweepCpu(double seconds)
{
    return static_cast<int>(lround(cpuAt(seconds)));
}

int sweepBoard(double seconds)
{
    // A board warms slowly: a quarter of the CPU's swing, twenty seconds late. Before that it
    // sits at the temperature of a CPU that has not started yet.
    double late = seconds > 20.0 ? seconds - 20.0 : 0.0;
    return static_cast<int>(lround(30.0 + (cpuAt(late) - 25.0) / 4.0));
}

int sweepFan(double seconds)
{
    // Idle at 900 rpm up to 35 degrees, then 60 rpm more per degree.
    double cpu = cpuAt(seconds);
    double rpm = cpu < 35.0 ? 900.0 : 900.0 + 60.0 * (cpu - 35.0);
    return static_cast<int>(lround(rpm / 10.0) * 10);
}
