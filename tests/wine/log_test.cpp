// "log.txt" at the end of a run, and the ways a run can end.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"

namespace {

// Seconds since midnight of the record's time, or -1 when its first line is not a date and time.
int secondsOfDay(const std::string& record)
{
    int day, month, year, hour, minute, second;
    if (std::sscanf(record.c_str(), "%d/%d/%d %d.%d.%d", &day, &month, &year, &hour, &minute, &second) != 6)
        return -1;
    return hour * 3600 + minute * 60 + second;
}

int now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

std::string recordAfterDate(const std::string& record)
{
    return record.substr(record.find("\r\n"));
}

} // namespace

// The time moves with the last rise of either maximum, and an equal reading leaves it.
TEST(MaximaLog, MaximaAndTheTimeOfTheLastRise)
{
    QuellorRun run;
    run.writeFile("log.txt", "previous run\r\nCPU 99\r\nMB 99");
    run.setReadings("50", "30 30 41", "1000");
    int before = now();
    run.start();
    ASSERT_TRUE(run.window());
    Sleep(1100);
    run.sample();        // equal readings: nothing moves
    int equalAt = now();
    Sleep(1100);
    run.sample();        // the board rises to 41
    int riseAt = now();
    run.sample();
    EXPECT_EQ(run.close(), 0);

    std::string record = run.readFile("log.txt");
    EXPECT_EQ(recordAfterDate(record), "\r\nCPU 50\r\nMB 41");
    int at = secondsOfDay(record);
    ASSERT_GE(at, 0) << record;
    if (now() >= before) { // not across midnight
        EXPECT_GT(at, equalAt);
        EXPECT_GE(at, riseAt - 1);
        EXPECT_LE(at, riseAt);
    }
}

TEST(MaximaLog, RunThatNeverRoseAboveZeroWritesTheZeroRecord)
{
    QuellorRun run;
    run.setReadings("0 -5 -40", "-1 0", "0");
    run.start();
    ASSERT_TRUE(run.window());
    run.sample();
    EXPECT_EQ(run.close(), 0);
    EXPECT_EQ(run.readFile("log.txt"), "0/00/0 00.00.00\r\nCPU 0\r\nMB 0");
}

// When "log.txt" cannot be written, Quellor still ends quietly and cleanly.
TEST(MaximaLog, UnwritableLogIsSkippedQuietly)
{
    QuellorRun folder;
    CreateDirectoryA((folder.folder() + "\\log.txt").c_str(), nullptr);
    folder.start();
    ASSERT_TRUE(folder.window());
    EXPECT_EQ(folder.close(), 0);
    EXPECT_EQ(folder.openMessageBoxes(), 0);
    EXPECT_TRUE(GetFileAttributesA((folder.folder() + "\\log.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    QuellorRun readOnly;
    readOnly.writeFile("log.txt", "kept");
    std::string path = readOnly.folder() + "\\log.txt";
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    // Wine run by root writes read-only files like any other; there is nothing to see then.
    if (FILE* writable = std::fopen(path.c_str(), "a")) {
        std::fclose(writable);
        GTEST_SKIP() << "read-only files are writable here";
    }
    readOnly.start();
    ASSERT_TRUE(readOnly.window());
    EXPECT_EQ(readOnly.close(), 0);
    EXPECT_EQ(readOnly.readFile("log.txt"), "kept");
}

// A new taskbar gets the icon back, with a fresh face and tooltip.
TEST(Resilience, TaskbarCreatedAddsTheIconAgain)
{
    QuellorRun run;
    run.start("/i");
    HWND window = run.window();
    ASSERT_TRUE(window);
    run.setReadings("45 45 45 72 72", "38", "4500");
    SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    std::vector<std::string> n = run.notifications();
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(n[2].substr(0, 6), "N add ");
    EXPECT_EQ(n[3].substr(n[3].find("face=")), "face=5 tip=CPU 72\\nMB 38\\nFan 4500");
    EXPECT_EQ(run.close(), 0);
}

// Windows ends the process after WM_ENDSESSION without destroying the window: the record and
// the icon's removal happen there.
TEST(Resilience, EndOfSessionWritesTheLog)
{
    QuellorRun run;
    run.setReadings("61", "44", "3000");
    run.start();
    HWND window = run.window();
    ASSERT_TRUE(window);
    SendMessageA(window, WM_QUERYENDSESSION, 0, 0);
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    TerminateProcess(run.process.hProcess, 0);
    run.waitForExit();
    EXPECT_EQ(recordAfterDate(run.readFile("log.txt")), "\r\nCPU 61\r\nMB 44");
    std::vector<std::string> n = run.notifications();
    ASSERT_FALSE(n.empty());
    EXPECT_EQ(n.back().substr(0, 9), "N delete ");
}
