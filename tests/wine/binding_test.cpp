// Start-up against good and broken sensor libraries, and what each sample asks of them.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

struct FailedStart {
    const char* library;    // probe variant, "" for none, "text" for a file that is no library
    const char* message;
};

const FailedStart failedStarts[] = {
    {"", "Vesk DLLs Load Error"},
    {"text", "Vesk DLLs Load Error"},
    {"no_cpu", "Function 'GetCPUTemperature' Address Error"},
    {"no_mb", "Function 'GetMBTemperature' Address Error"},
    {"no_fan", "Function 'GetFanCPURPM' Address Error"},
    {"none", "Function 'GetCPUTemperature' Address Error"},
};

} // namespace

// Each broken start shows one modal box of its own, leaves no window behind, ends with code 0
// and keeps the previous run's record. Windows follows the refused WM_CREATE with WM_DESTROY,
// Wine does not; a library that loaded plays the Windows order too, and it must change nothing.
TEST(Binding, EachFailedStartShowsOneBoxAndEndsCleanly)
{
    for (const FailedStart& f : failedStarts)
    for (bool windowsOrder : {false, true}) {
        SCOPED_TRACE(f.library);
        SCOPED_TRACE(windowsOrder ? "Windows order" : "Wine order");
        std::string library = f.library;
        if (windowsOrder && (library.empty() || library == "text"))
            continue;
        QuellorRun run(library == "text" ? "" : library);
        if (library == "text")
            run.writeFile("vesk.dll", "not a library\r\n");
        if (windowsOrder)
            run.setReadings("45", "38", "4500", "teardown");
        run.writeFile("log.txt", "previous record");
        run.start();

        MessageBoxSeen box;
        ASSERT_TRUE(run.dismissMessageBox(box));
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text, f.message);
        EXPECT_FALSE(box.hasOwner);
        EXPECT_TRUE(box.hasErrorIcon);
        EXPECT_EQ(run.waitForExit(), 0);
        EXPECT_EQ(run.openMessageBoxes(), 0);
        EXPECT_EQ(run.readFile("log.txt"), "previous record");
        // Nothing but the lookups happened: no reading, no icon.
        std::vector<std::string> none, destroyed = {"W destroy"};
        EXPECT_EQ(run.calls(), windowsOrder ? destroyed : none);
    }
}

// A "vesk.dll" in the folder Quellor is started from must not load; the one beside
// quellor.exe must.
TEST(Binding, LibraryInTheWorkingFolderIsNotLoaded)
{
    QuellorRun planted("full");
    QuellorRun app("");
    app.start("", planted.folder());
    MessageBoxSeen box;
    ASSERT_TRUE(app.dismissMessageBox(box));
    EXPECT_EQ(box.text, "Vesk DLLs Load Error");
    EXPECT_EQ(app.waitForExit(), 0);
    EXPECT_TRUE(planted.calls().empty());

    QuellorRun beside("full");
    QuellorRun elsewhere("");
    beside.start("", elsewhere.folder());
    ASSERT_TRUE(beside.window());
    EXPECT_FALSE(beside.calls().empty());
    EXPECT_EQ(beside.close(), 0);
}

// Start-up: the icon's add reads the CPU once, then the first sample reads all three and the
// CPU again for the face. Every later sample does the same four calls in the same order. The
// message filter is looked up at run time: Windows before Vista has none.
TEST(Sampling, CallsTheSensorsInOrder)
{
    QuellorRun run;
    run.start();
    ASSERT_TRUE(run.window());
    run.sample();
    EXPECT_EQ(run.close(), 0);
    std::string tip = "CPU 45\\nMB 38\\nFan 4500";
    std::vector<std::string> expected = {
        // Run as administrator, the window still hears a new taskbar.
        "W filter TaskbarCreated action=1",
        "C 45", iconRecord("add", 2, ""),
        "C 45", "M 38", "F 4500", "C 45", iconRecord("modify", 2, tip),
        "C 45", "M 38", "F 4500", "C 45", iconRecord("modify", 2, tip),
        "C 45", iconRecord("delete", 2, ""),
    };
    EXPECT_EQ(run.calls(), expected);
}

// The fields show each reading exactly, whatever its sign or size.
TEST(Sampling, FieldsShowReadingsExactly)
{
    QuellorRun run;
    // Every CPU reading but the shown ones goes to the icon's face.
    run.setReadings("7  -5 7  0 7  2147483647 7", "-2147483648 -1 0", "0 99999 -7");
    run.start();
    ASSERT_TRUE(run.window());
    struct { const char *cpu, *mb, *fan; } expected[] = {
        {"-5", "-2147483648", "0"}, {"0", "-1", "99999"}, {"2147483647", "0", "-7"}};
    for (auto e : expected) {
        EXPECT_EQ(run.fieldText(500), e.cpu);
        EXPECT_EQ(run.fieldText(501), e.mb);
        EXPECT_EQ(run.fieldText(502), e.fan);
        run.sample();
    }
    EXPECT_EQ(run.close(), 0);
}

// The face follows the icon's own, fresh reading, not the one the sample showed; each band
// wears its face.
TEST(TrayIcon, FaceFollowsTheFreshReading)
{
    QuellorRun run;
    // The CPU readings in call order: the icon's add, then per sample the shown one and the face's.
    run.setReadings("29  45 29  30 30  39 40  50 59  60 69  70 -10  150 150  150", "38", "4500");
    run.start();
    ASSERT_TRUE(run.window());
    for (int i = 0; i < 6; ++i)
        run.sample();
    EXPECT_EQ(run.close(), 0);

    struct { int face, shownCpu; } samples[] = {{6, 45}, {1, 30}, {2, 39}, {3, 50}, {4, 60}, {6, 70}, {5, 150}};
    std::vector<std::string> expected = {iconRecord("add", 6, "")};
    for (auto s : samples)
        expected.push_back(iconRecord("modify", s.face, "CPU " + std::to_string(s.shownCpu) + "\\nMB 38\\nFan 4500"));
    expected.push_back(iconRecord("delete", 5, ""));
    EXPECT_EQ(run.notifications(), expected);
}

// On the Windows 95/98/Me family the tooltip is one line.
TEST(TrayIcon, OneLineTooltipOnWindows98)
{
    QuellorRun run("full", "quellor98.exe");
    run.start();
    ASSERT_TRUE(run.window());
    EXPECT_EQ(run.close(), 0);
    std::vector<std::string> n = run.notifications();
    ASSERT_EQ(n.size(), 3u);
    EXPECT_EQ(n[1], iconRecord("modify", 2, "CPU 45 MB 38 Fan 4500"));
}
