// Which face the notification-area icon wears for a CPU temperature.
#pragma once

// Icon groups 1 to 6 in the resources. The coldest face came last, so the bands read
// 6 (below 30), then 1 to 5 for 30-39, 40-49, 50-59, 60-69 and 70 or more.
constexpr int moodIcon(int cpuTemperature)
{
    if (cpuTemperature < 30) return 6;
    if (cpuTemperature < 40) return 1;
    if (cpuTemperature < 50) return 2;
    if (cpuTemperature < 60) return 3;
    if (cpuTemperature < 70) return 4;
    return 5;
}
