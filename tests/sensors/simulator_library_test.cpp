// The simulator "vesk.dll" under Wine: its stopped clock for screenshots and its replays.
#include <gtest/gtest.h>

#include "sensors/simulator/sweep.h"
#include "tests/support/files.h"
#include "tests/support/library.h"

// Each test loads it afresh, so that it reads the environment as the test set it.
static const std::string simulator = windowsPath(SIMULATOR_LIBRARY);

TEST(SimulatorLibrary, AStoppedClockGivesThatMomentEveryTime)
{
    {
        ScopedVariable clock("VESK_SIM_TIME", "0");
        SensorExports loaded(simulator);
        ASSERT_TRUE(loaded.bound());
        EXPECT_EQ(loaded.readings(), "25 30 900");
    }
    // Half-way up the sweep, where a running clock would move the CPU by a degree a second.
    ScopedVariable clock("VESK_SIM_TIME", "30");
    SensorExports loaded(simulator);
    std::string expected = std::to_string(sweepCpu(30)) + " " + std::to_string(sweepBoard(30)) + " "
        + std::to_string(sweepFan(30));
    EXPECT_EQ(loaded.readings(), expected);
    Sleep(2100);
    EXPECT_EQ(loaded.readings(), expected) << "two seconds later";
}

TEST(SimulatorLibrary, ReplaysAFileLineByLineAndStartsOver)
{
    TempFolder folder("vesk-replay");
    folder.write("readings.txt", "# cpu mb fan\n40 30 1000\n55 35 1500\n\n72 41 2100\n");
    ScopedVariable replay("VESK_REPLAY", (folder.path() + "\\readings.txt").c_str());
    SensorExports loaded(simulator);
    EXPECT_EQ(loaded.mb(), 30) << "before the first CPU reading, the first line";
    const char* expected[] = {"40 30 1000", "55 35 1500", "72 41 2100", "40 30 1000"};
    for (const char* line : expected)
        EXPECT_EQ(loaded.readings(), line);
    EXPECT_EQ(loaded.fan(), 1000) << "the board and fan stay on the line of the latest CPU reading";
}

TEST(SimulatorLibrary, AnUnreadableReplayFallsBackToTheSweep)
{
    ScopedVariable clock("VESK_SIM_TIME", "0");
    ScopedVariable replay("VESK_REPLAY", "Z:\\no\\such\\file.txt");
    SensorExports loaded(simulator);
    EXPECT_EQ(loaded.readings(), "25 30 900");
}
