#include "sensors/simulator/sweep.h"

// cos(2 pi turns). Only the fraction of a turn matters, and by symmetry only its first
// quarter, where the series is exact to double precision after ten terms. (The library
// carries no C runtime, so no <cmath>.)
static double cosOfTurns(double turns)
{
    int whole = static_cast<int>(turns);
    if (whole > turns)
        --whole;
    double f = turns - whole; // 0 <= f < 1
    if (f > 0.5)
        f = 1 - f;
    double sign = 1;
    if (f > 0.25) {
        f = 0.5 - f;
        sign = -1;
    }
    const double x = 2 * 3.14159265358979323846 * f; // 0 to pi/2
    double sum = 1, term = 1;
    for (int n = 2; n <= 20; n += 2) {
        term *= -x * x / (n * (n - 1));
        sum += term;
    }
    return sign * sum;
}

static double sinOfTurns(double turns)
{
    return cosOfTurns(turns - 0.25);
}

// To the nearest whole number, halves away from zero.
static int rounded(double value)
{
    return value >= 0 ? static_cast<int>(value + 0.5) : -static_cast<int>(0.5 - value);
}

// 25 at the start, 75 half a period later; the fifth harmonic keeps it from looking mechanical.
static double cpuAt(double t)
{
    return 50.0 - 25.0 * cosOfTurns(t / sweepPeriod) + 2.0 * sinOfTurns(5 * t / sweepPeriod);
}

int sweepCpu(double seconds)
{
    return rounded(cpuAt(seconds));
}

int sweepBoard(double seconds)
{
    // A board warms slowly: a quarter of the CPU's swing, twenty seconds late. Before that it
    // sits at the temperature of a CPU that has not started yet.
    double late = seconds > 20.0 ? seconds - 20.0 : 0.0;
    return rounded(30.0 + (cpuAt(late) - 25.0) / 4.0);
}

int sweepFan(double seconds)
{
    // Idle at 900 rpm up to 35 degrees, then 60 rpm more per degree.
    double cpu = cpuAt(seconds);
    double rpm = cpu < 35.0 ? 900.0 : 900.0 + 60.0 * (cpu - 35.0);
    return rounded(rpm / 10.0) * 10;
}
