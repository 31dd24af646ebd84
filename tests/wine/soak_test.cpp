// Days in the notification area, in a minute: twenty-five thousand samples (a day and a half
// of them), a hundred shell restarts, two copies side by side. Nothing Quellor holds may grow,
// and what it shows and records must still be right at the end.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "harness.h"
#include "sweep_readings.h"
#include "tests/support/files.h"
#include "tests/support/process_gauges.h"
#include "tests/support/sample_driver.h"

namespace {

// The fast test libraries sit with the probes, beside the test program.
std::string testLibrary(const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + "probe\\" + name + "\\vesk.dll";
}

// Starts quellor.exe with one of the fast libraries; the driver reports when start-up is over.
std::unique_ptr<SampleDriver> startWith(QuellorRun& run, const char* library)
{
    CopyFileA(testLibrary(library).c_str(), (run.folder() + "\\vesk.dll").c_str(), FALSE);
    run.start();
    if (!run.window())
        return nullptr;
    auto driver = std::make_unique<SampleDriver>(run.process.dwProcessId);
    if (!driver->waitUntilReady(15000))
        return nullptr;
    return driver;
}

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

// Icons in the notification area, or -1 where it cannot be looked into.
int trayIcons()
{
    std::vector<HWND> icons;
    return trayIcons(icons) ? static_cast<int>(icons.size()) : -1;
}

// Checks the icons in the notification area against a count taken earlier, where there is one.
void expectTrayIcons(int earlier, int added)
{
    if (earlier < 0)
        return;
    EXPECT_EQ(trayIcons(), earlier + added);
}

} // namespace

// The readings sweep every band over and over, so every face is loaded again and again; late
// in the run both maxima rise once more, and only that rise may move the time in the log.
TEST(Soak, ThousandsOfSamplesLeaveNothingBehind)
{
    const long total = 25000;
    QuellorRun run("");
    std::unique_ptr<SampleDriver> driver = startWith(run, "sweep");
    ASSERT_TRUE(driver);
    HWND window = run.window();
    ProcessGauges first = readGauges(run.process.hProcess);

    ASSERT_TRUE(driver->run(window, sweepRiseAt - driver->samples())) << "stopped after " << driver->samples();
    int riseFrom = secondsOfDay();
    // Both tops are met again within 160 samples.
    ASSERT_TRUE(driver->run(window, 1000)) << "stopped after " << driver->samples();
    int riseUntil = secondsOfDay();
    Sleep(1100); // later equal readings would show as a later time
    ASSERT_TRUE(driver->run(window, total - driver->samples())) << "stopped after " << driver->samples();
    EXPECT_GE(driver->samples(), total);
    Sleep(100); // the last sample's call to the shell
    expectNothingGrew(first, readGauges(run.process.hProcess));

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
    int icons = trayIcons();
    ProcessGauges first = readGauges(run.process.hProcess);

    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    for (int restart = 1; restart <= 100; ++restart) {
        SCOPED_TRACE(restart);
        if (restart % 25 == 0) {
            takeIconAway(window);
            expectTrayIcons(icons, -1);
        }
        SendMessageA(window, taskbarCreated, 0, 0);
        expectTrayIcons(icons, 0);
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
    expectTrayIcons(icons, -1);
}

// Nothing ties two copies together: each has its icon, its values and its own "log.txt", and
// one going leaves the other as it was.
TEST(Soak, TwoCopiesKeepTheirOwnIconAndLog)
{
    int icons = trayIcons();
    QuellorRun a, b;
    a.setReadings("50", "30", "1000");
    b.setReadings("65", "42", "2000");
    a.start("/i");
    b.start("/i");
    ASSERT_TRUE(a.window());
    ASSERT_TRUE(b.window());
    EXPECT_NE(a.window(), b.window());
    expectTrayIcons(icons, 2);
    a.sample();
    b.sample();
    EXPECT_EQ(a.fieldText(500), "50");
    EXPECT_EQ(b.fieldText(500), "65");

    EXPECT_EQ(a.close(), 0);
    expectTrayIcons(icons, 1);
    ASSERT_TRUE(b.running());
    b.sample();
    EXPECT_EQ(b.fieldText(501), "42");
    std::vector<std::string> n = b.notifications();
    ASSERT_FALSE(n.empty());
    EXPECT_EQ(n.back(), iconRecord("modify", 4, "CPU 65\\nMB 42\\nFan 2000"));
    EXPECT_EQ(b.close(), 0);
    expectTrayIcons(icons, 0);

    EXPECT_EQ(afterDate(a.readFile("log.txt")), "\r\nCPU 50\r\nMB 30");
    EXPECT_EQ(afterDate(b.readFile("log.txt")), "\r\nCPU 65\r\nMB 42");
}
