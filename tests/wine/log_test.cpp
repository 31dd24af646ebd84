// "log.txt" at the end of a run, and the ways a run can end.
#include <gtest/gtest.h>

#include <algorithm>

#include "harness.h"
#include "tests/support/files.h"

// The time moves with the last rise of either maximum, and an equal reading leaves it.
TEST(MaximaLog, MaximaAndTheTimeOfTheLastRise)
{
    QuellorRun run;
    run.writeFile("log.txt", "previous run\r\nCPU 99\r\nMB 99");
    run.setReadings("50", "30 30 41", "1000");
    run.start();
    ASSERT_TRUE(run.window());
    Sleep(1100);         // a time left at the start would show
    run.sample();        // equal readings: nothing moves
    int riseFrom = secondsOfDay();
    run.sample();        // the board rises to 41
    int riseUntil = secondsOfDay();
    Sleep(1100);         // a later equal reading that moved the time would show
    run.sample();
    EXPECT_EQ(run.close(), 0);

    std::string record = run.readFile("log.txt");
    EXPECT_EQ(afterDate(record), "\r\nCPU 50\r\nMB 41");
    EXPECT_TRUE(recordTimeWithin(record, riseFrom, riseUntil)) << record;
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

// When "log.txt" cannot be written (a folder of that name, a file another program holds open
// without sharing), Quellor still ends quietly and cleanly, and leaves it as it was.
TEST(MaximaLog, UnwritableLogIsSkippedQuietly)
{
    for (bool folder : {true, false}) {
        SCOPED_TRACE(folder ? "a folder" : "a file held open");
        QuellorRun run;
        std::string path = run.folder() + "\\log.txt";
        HANDLE held = INVALID_HANDLE_VALUE;
        if (folder) {
            CreateDirectoryA(path.c_str(), nullptr);
        } else {
            run.writeFile("log.txt", "kept");
            held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
        }
        run.start();
        ASSERT_TRUE(run.window());
        EXPECT_EQ(run.close(), 0);
        EXPECT_EQ(run.openMessageBoxes(), 0);
        if (folder) {
            EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        } else {
            CloseHandle(held);
            EXPECT_EQ(run.readFile("log.txt"), "kept");
        }
    }
}

// However the shell answers or forgets, the next sample puts the icon back with its whole
// record, so that a hidden Quellor can always be reached by a click on it. It is removed at
// the end only when it is there.
TEST(Resilience, TheIconComesBackAfterAFailedAddOrAShellThatLostIt)
{
    enum Event { nothing, iconLost, newTaskbar };
    struct {
        const char* why;
        const char* shell; // answers of the shell, call after call (see probe_sensor.cpp)
        Event event;       // before the second sample
        const char* commands;
    } cases[] = {
        {"the first add was refused", "lost ok", nothing, "add add modify delete"},
        {"the first add was answered too late", "late ok", nothing, "add add modify modify delete"},
        {"the shell lost the icon", "ok", iconLost, "add modify modify add delete"},
        {"a new taskbar", "ok", newTaskbar, "add modify add modify delete"},
        {"a shell that never answers", "lost", nothing, "add add modify add modify"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<HWND> before = trayIcons();
        QuellorRun run;
        run.setReadings("45", "38", "4500", std::string("shell ") + c.shell);
        run.start("/i");
        HWND window = run.window();
        ASSERT_TRUE(window);
        if (c.event != nothing)
            takeIconAway(window);
        if (c.event == newTaskbar)
            SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        run.sample();

        // A click on our icon, the one that was not there before, brings the window back.
        std::vector<HWND> after = trayIcons(), ours;
        for (HWND icon : after)
            if (std::find(before.begin(), before.end(), icon) == before.end())
                ours.push_back(icon);
        bool iconExpected = std::string(c.commands).find("delete") != std::string::npos;
        ASSERT_EQ(ours.size(), iconExpected ? 1u : 0u);
        if (iconExpected) {
            PostMessageA(ours[0], WM_LBUTTONDOWN, MK_LBUTTON, 0);
            PostMessageA(ours[0], WM_LBUTTONUP, 0, 0);
            for (int i = 0; i < 100 && !IsWindowVisible(window); ++i)
                Sleep(50);
            EXPECT_TRUE(IsWindowVisible(window));
        }
        EXPECT_EQ(run.close(), 0);

        EXPECT_EQ(run.commands(), c.commands);
        // The whole record every time; after the first add, every one but the removal carries the
        // sample's tooltip.
        std::vector<std::string> n = run.notifications();
        for (size_t i = 1; i < n.size(); ++i) {
            std::string command = commandOf(n[i]);
            EXPECT_EQ(n[i], iconRecord(command, 2, command == "delete" ? "" : "CPU 45\\nMB 38\\nFan 4500"));
        }
    }
}

// The end of the session, or Windows asking Quellor to close (an installer, an update), ends
// it as its close box does: the record and the icon's removal once, before the message is
// answered, then exit code 0 by itself. A cancelled shut-down changes nothing.
TEST(Resilience, EndOfSessionEndsQuellorOnceACancelledOneChangesNothing)
{
    struct { const char* why; BOOL ending; DWORD how; const char* commands; } cases[] = {
        {"shut-down", TRUE, 0, "add modify delete"},
        {"log-off", TRUE, ENDSESSION_LOGOFF, "add modify delete"},
        {"asked to close", TRUE, ENDSESSION_CLOSEAPP, "add modify delete"},
        {"cancelled shut-down", FALSE, 0, "add modify modify delete"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.why);
        QuellorRun run;
        run.setReadings("61", "44", "3000");
        run.start("/i");
        HWND window = run.window();
        ASSERT_TRUE(window);
        EXPECT_NE(SendMessageA(window, WM_QUERYENDSESSION, 0, c.how), 0);
        SendMessageA(window, WM_ENDSESSION, c.ending, c.how);
        if (c.ending) {
            // Windows may end the process as soon as the message is answered.
            EXPECT_FALSE(IsWindow(window));
            EXPECT_EQ(afterDate(run.readFile("log.txt")), "\r\nCPU 61\r\nMB 44");
            run.writeFile("log.txt", "written once");
            EXPECT_EQ(run.waitForExit(), 0);
            EXPECT_EQ(run.readFile("log.txt"), "written once");
        } else {
            run.sample();
            EXPECT_EQ(run.fieldText(500), "61");
            EXPECT_EQ(run.close(), 0);
            EXPECT_EQ(afterDate(run.readFile("log.txt")), "\r\nCPU 61\r\nMB 44");
        }
        EXPECT_EQ(run.commands(), c.commands);
    }
}
