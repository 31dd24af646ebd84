// Picking the three readings from Open Hardware Monitor's sensors (its WMI class "Sensor"),
// one row at a time, in whatever order the monitor lists them.
#pragma once

#include "sensors/system/readings.h"

class OhmChoice {
public:
    // type is the row's SensorType ("Temperature", "Fan", ...), name its Name.
    void add(const char* type, const char* name, double value);
    Readings readings() const;

private:
    int cpuRank = 0, mbRank = 0, fanRank = 0;
    double cpu = 0, mb = 0, fan = 0;
};
