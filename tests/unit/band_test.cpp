#include <climits>

#include <gtest/gtest.h>

#include "ui/mood.h"

// Each band includes its lower bound and excludes the next; every int falls in one.
TEST(MoodIcon, BandsAndTheirBounds)
{
    struct { int reading, icon; } cases[] = {
        {INT_MIN, 6}, {-10, 6}, {0, 6}, {29, 6},
        {30, 1}, {39, 1}, {40, 2}, {49, 2}, {50, 3}, {59, 3}, {60, 4}, {69, 4},
        {70, 5}, {150, 5}, {INT_MAX, 5},
    };
    for (auto c : cases)
        EXPECT_EQ(moodIcon(c.reading), c.icon) << "reading " << c.reading;
}
