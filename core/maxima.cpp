#include "core/maxima.h"

#include <cstdio>

void formatMaximaRecord(char (&record)[maximaRecordSize], const MaximaTime& time, int maxCpu, int maxMb)
{
    std::snprintf(record, sizeof record, "%d/%.2d/%d %.2d.%.2d.%.2d\nCPU %d\nMB %d", time.day, time.month,
                  time.year, time.hour, time.minute, time.second, maxCpu, maxMb);
}
