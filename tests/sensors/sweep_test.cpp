// The simulator's made-up machine and its replay files, without Win32.
#include <gtest/gtest.h>

#include <set>
#include <stdlib.h>

#include "sensors/simulator/replay.h"
#include "sensors/simulator/sweep.h"
#include "ui/mood.h"

TEST(Sweep, ShowsEveryFaceWithinOnePeriod)
{
    std::set<int> faces;
    for (double t = 0; t < sweepPeriod; t += 0.5)
        faces.insert(moodIcon(sweepCpu(t)));
    EXPECT_EQ(faces.size(), 6u);
}

TEST(Sweep, MovesSmoothlyAndRepeats)
{
    for (int t = 0; t < 2 * sweepPeriod; ++t) {
        EXPECT_LE(abs(sweepCpu(t + 1) - sweepCpu(t)), 3) << "at " << t << " s";
        EXPECT_LE(abs(sweepBoard(t + 1) - sweepBoard(t)), 1) << "at " << t << " s";
        EXPECT_EQ(sweepCpu(t), sweepCpu(t + sweepPeriod)) << "at " << t << " s";
    }
}

TEST(Sweep, FanRisesWithTheCpu)
{
    for (int a = 0; a < sweepPeriod; ++a)
        for (int b = 0; b < sweepPeriod; ++b)
            if (sweepCpu(a) + 1 < sweepCpu(b)) {
                EXPECT_LE(sweepFan(a), sweepFan(b)) << a << " s against " << b << " s";
            }
    EXPECT_GT(sweepFan(sweepPeriod / 2), 3000);
}

TEST(Sweep, BoardFollowsLateAndNarrower)
{
    int cpuPeak = 0, boardPeak = 0, boardLow = 100, boardHigh = 0;
    for (int t = 0; t < sweepPeriod; ++t) {
        if (sweepCpu(t) > sweepCpu(cpuPeak))
            cpuPeak = t;
        if (sweepBoard(t) > sweepBoard(boardPeak))
            boardPeak = t;
        boardLow = std::min(boardLow, sweepBoard(t));
        boardHigh = std::max(boardHigh, sweepBoard(t));
    }
    EXPECT_GE(boardPeak - cpuPeak, 10);
    EXPECT_LE(boardHigh - boardLow, 15);
}

TEST(Replay, KeepsOnlyLinesOfThreeNumbers)
{
    struct Case { const char* text; int count; ReplayLine first; } cases[] = {
        {"45 38 1200\n50 40 1500\n", 2, {45, 38, 1200}},
        {"# cpu mb fan\n\n  45\t38 1200", 1, {45, 38, 1200}},
        {"45 38 1200\r\n", 1, {45, 38, 1200}},
        {"-5 0 0", 1, {-5, 0, 0}},
        {"+5 0 99999999999", 1, {5, 0, 2147483647}}, // too large: the largest reading there is
        {"45 38\n45 38 1200 7\na b c\n45 38 12x\n", 0, {}},
        {"", 0, {}},
    };
    for (const auto& c : cases) {
        ReplayLine lines[4] = {};
        ASSERT_EQ(parseReplay(c.text, lines, 4), c.count) << '"' << c.text << '"';
        if (c.count) {
            EXPECT_TRUE(lines[0].cpu == c.first.cpu && lines[0].mb == c.first.mb && lines[0].fan == c.first.fan)
                << '"' << c.text << "\" gave " << lines[0].cpu << " " << lines[0].mb << " " << lines[0].fan;
        }
    }
}

TEST(Replay, StopsAtCapacity)
{
    ReplayLine lines[2];
    EXPECT_EQ(parseReplay("1 2 3\n4 5 6\n7 8 9\n", lines, 2), 2);
    EXPECT_EQ(lines[1].cpu, 4);
}
