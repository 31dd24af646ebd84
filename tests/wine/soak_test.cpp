// Days in the notification area, in a minute: twenty-five thousand samples (a day and a half
// of them), a hundred shell restarts, two copies side by side. Nothing Quellor holds may grow,
// and what it shows and records must still be right at the end.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"
#include "sweep_readings.h"
#include "tests/support/files.h"
#include "tests/support/process_gauges.h"
#include "tests/support/sample_driver.h"

namespace {

void expectNothingGrew(const ProcessGauges& first, const ProcessGauges& last)
{
    if (first.guiCounted) {
        EXPECT_EQ(last.gdiObjects, first.gdiObjects);
        EXPECT_EQ(last.userObjects, first.userObjects);
    } else {
        // Under Wine there is no count of GDI or USER objects. A leaked one still shows: GDI
        // objects and icons live in the process's own memory there, checked below.
        std::printf("GDI and USER objects: not counted on this platform\n");
    }
    EXPECT_EQ(last.handles, first.handles);
    EXPECT_EQ(last.windows, first.windows);
    // The heap may settle by a page or so; anything kept per sample or per restart, a GDI
    // object included, would be 100 KB or more by now.
    EXPECT_LE(last.privateBytes, first.privateBytes + 64 * 1024)
        << "from " << first.privateBytes << " to " << last.privateBytes << " bytes";
}

} // namespace

// The readings sweep every band over and over, so every face is loaded again and again; late
// in the run both maxima rise once more, and only that rise may move the time in the log.
TEST(Soak, ThousandsOfSamplesLeaveNothingBehind)
{
    const long total = 25000;
    QuellorRun run("sweep");
    run.start();
    HWND window = run.window();
    ASSERT_TRUE(window);
    SampleDriver driver(run.process.dwProcessId);
    ASSERT_TRUE(driver.waitUntilReady(15000));
    ProcessGauges first = readGauges(run.process.hProcess);

    ASSERT_TRUE(driver.run(window, sweepRiseAt - driver.samples())) << "stopped after " << driver.samples();
    int riseFrom = secondsOfDay();
    // Both tops are met again within 160 samples.
    ASSERT_TRUE(driver.run(window, 1000)) << "stopped after " << driver.samples();
    int riseUntil = secondsOfDay();
    Sleep(1100); // later equal readings would show as a later time
    ASSERT_TRUE(driver.run(window, total - driver.samples())) << "stopped after " << driver.samples();
    Sleep(100); // the last sample's call to the shell
    expectNothingGrew(first, readGauges(run.process.hProcess));
    // The fields show the last sample's readings (unless Quellor's own timer sampled meanwhile).
    long last = driver.samples();
    std::string fan = run.fieldText(502);
    EXPECT_TRUE(driver.samples() != last || fan == std::to_string(sweepFan(last))) << fan << " after sample " << last;

    EXPECT_EQ(run.close(), 0);
    std::string record = run.readFile("log.txt");
    EXPECT_EQ(afterDate(record), "\r\nCPU " + std::to_string(sweepTopCpu) + "\r\nMB " + std::to_string(sweepTopMb));
    EXPECT_TRUE(recordTimeWithin(record, riseFrom, riseUntil)) << record;
}

// A restarted shell has lost every icon; "TaskbarCreated" must bring Quellor's back, one icon,
// however often it comes. Every 25th time the test takes the icon away first, as the old shell
// went with it (only that often: Wine takes two seconds to remove another program's icon).
TEST(Soak, HundredShellRestartsLeaveOneIcon)
{
    QuellorRun run;
    run.start("/i");
    HWND window = run.window();
    ASSERT_TRUE(window);
    size_t icons = trayIcons().size();
    ProcessGauges first = readGauges(run.process.hProcess);

    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    for (int restart = 1; restart <= 100; ++restart) {
        SCOPED_TRACE(restart);
        if (restart % 25 == 0) {
            takeIconAway(window);
            EXPECT_EQ(trayIcons().size(), icons - 1);
        }
        SendMessageA(window, taskbarCreated, 0, 0);
        EXPECT_EQ(trayIcons().size(), icons);
        if (HasFailure())
            break;
    }
    expectNothingGrew(first, readGauges(run.process.hProcess));

    int adds = 0;
    for (const std::string& n : run.notifications())
        adds += commandOf(n) == "add";
    // One at the start and one for each new taskbar; a timer's sample may also have put back
    // an icon the test took away, before the taskbar message came.
    EXPECT_GE(adds, 101);
    EXPECT_LE(adds, 101 + 100 / 25);
    EXPECT_EQ(run.close(), 0);
    EXPECT_EQ(trayIcons().size(), icons - 1);
}

// Nothing ties two copies together: each has its icon, its values and its own "log.txt", and
// one going leaves the other as it was.
TEST(Soak, TwoCopiesKeepTheirOwnIconAndLog)
{
    size_t icons = trayIcons().size();
    QuellorRun a, b;
    a.setReadings("50", "30", "1000");
    b.setReadings("65", "42", "2000");
    a.start("/i");
    b.start("/i");
    ASSERT_TRUE(a.window());
    ASSERT_TRUE(b.window());
    EXPECT_NE(a.window(), b.window());
    EXPECT_EQ(trayIcons().size(), icons + 2);
    a.sample();
    b.sample();
    EXPECT_EQ(a.fieldText(500), "50");
    EXPECT_EQ(b.fieldText(500), "65");

    EXPECT_EQ(a.close(), 0);
    EXPECT_EQ(trayIcons().size(), icons + 1);
    ASSERT_TRUE(b.running());
    b.sample();
    EXPECT_EQ(b.fieldText(501), "42");
    std::vector<std::string> n = b.notifications();
    ASSERT_FALSE(n.empty());
    EXPECT_EQ(n.back(), iconRecord("modify", 4, "CPU 65\\nMB 42\\nFan 2000"));
    EXPECT_EQ(b.close(), 0);
    EXPECT_EQ(trayIcons().size(), icons);

    EXPECT_EQ(afterDate(a.readFile("log.txt")), "\r\nCPU 50\r\nMB 30");
    EXPECT_EQ(afterDate(b.readFile("log.txt")), "\r\nCPU 65\r\nMB 42");
}
