// The maxima rule and the record "log.txt" keeps of them.
#pragma once

#include <cstddef>

// True when reading is a new maximum, which it then becomes. The maxima start at 0, so readings
// at or below 0 never count, and an equal reading changes nothing (not even the time noted).
inline bool raiseMaximum(int& maximum, int reading)
{
    if (reading <= maximum)
        return false;
    maximum = reading;
    return true;
}

// The local time of the last new maximum, as the platform's clock gives it.
struct MaximaTime {
    int year, month, day, hour, minute, second;
};

// Room for the longest record: a date and time, then two 11-character numbers.
constexpr std::size_t maximaRecordSize = 128;

// "5/03/2002 14.07.09\nCPU 52\nMB 38": day/month/year hour.minute.second, then the two maxima.
// Written in text mode, so the file gets CR LF between the lines and nothing after the last.
void formatMaximaRecord(char (&record)[maximaRecordSize], const MaximaTime& time, int maxCpu, int maxMb);
