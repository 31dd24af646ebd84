#include <climits>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "core/maxima.h"

TEST(MaximaRule, OnlyAStrictlyGreaterReadingRaises)
{
    struct { int maximum, reading; bool raises; int after; } cases[] = {
        {0, 0, false, 0},   {0, -5, false, 0}, {0, INT_MIN, false, 0}, // at or below 0: never
        {0, 1, true, 1},    {52, 52, false, 52},                        // equal: nothing, not even the time
        {52, 53, true, 53}, {52, 40, false, 52}, {52, INT_MAX, true, INT_MAX},
    };
    for (auto c : cases) {
        int maximum = c.maximum;
        EXPECT_EQ(raiseMaximum(maximum, c.reading), c.raises) << c.maximum << " vs " << c.reading;
        EXPECT_EQ(maximum, c.after);
    }
}

TEST(MaximaRecord, DateTimeThenBothMaxima)
{
    char record[maximaRecordSize];
    formatMaximaRecord(record, {2002, 3, 5, 14, 7, 9}, 52, 38);
    EXPECT_STREQ(record, "5/03/2002 14.07.09\nCPU 52\nMB 38");

    // A run in which nothing ever rose above 0 leaves the time all zero.
    formatMaximaRecord(record, {0, 0, 0, 0, 0, 0}, 0, 0);
    EXPECT_STREQ(record, "0/00/0 00.00.00\nCPU 0\nMB 0");

    formatMaximaRecord(record, {2026, 12, 31, 23, 59, 59}, INT_MAX, INT_MAX);
    EXPECT_STREQ(record, "31/12/2026 23.59.59\nCPU 2147483647\nMB 2147483647");
}
