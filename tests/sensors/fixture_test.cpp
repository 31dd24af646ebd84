// The shipped system library under Wine, on copies of real machines' /sys (tests/fixtures):
// each must give the readings its owner would read off the machine.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <vector>

#include "sensors/system/access/files.h"
#include "tests/support/files.h"
#include "tests/sensors/monitors/monitor_test.h"
#include "tests/support/library.h"
#include "tests/wine/replace_import.h"

static const std::string systemLibrary = windowsPath(SYSTEM_LIBRARY);
static const std::string fixtures = windowsPath(FIXTURES);

static LibraryReadings readOn(const std::string& root)
{
    ScopedVariable variable("VESK_SYSFS_ROOT", root.c_str());
    LibraryReadings readings;
    EXPECT_TRUE(readLibrary(systemLibrary, readings)) << systemLibrary;
    return readings;
}

TEST(Fixtures, EachMachineGivesItsReadings)
{
    struct Case { const char* machine; const char* expected; const char* why; } cases[] = {
        {"intel-desktop", "46 34 1264", "coretemp package; nct6775 SYSTIN; its fan2 (CPUFANIN), not the graphics card's"},
        {"amd-desktop", "46 36 1096", "k10temp Tdie 45.5 rounded up, not Tctl; it8686 temp1 and fan1"},
        {"asus-x570", "61 34 1830", "k10temp Tctl; asusec Motherboard, not its temp1; CPU_Opt"},
        {"thinkpad-laptop", "51 47 2891", "coretemp package; acpitz; the thinkpad fan"},
        {"raspberry-pi", "49 0 0", "cpu_thermal; no board, no fan"},
        {"thermal-zones-only", "52 40 0", "the x86_pkg_temp and acpitz zones"},
        {"virtual-machine", "0 0 0", "no hwmon folder at all"},
        {"failing-sensor", "44 31 1410", "the package file cannot be read, so its first core; the rest can"},
        {"no-such-machine", "0 0 0", "a root that does not exist"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(readOn(fixtures + "\\" + c.machine)), c.expected) << c.machine << ": " << c.why;
}

// What `sensors` printed on real PCs (tests/fixtures/real, one file per machine) becomes the
// hwmon tree each kernel showed (sensors_to_sysfs.cmake); expected.txt says, machine by
// machine, what its owner would read off it and why.
TEST(Fixtures, RealMachinesGiveTheReadingsTheirOwnersExpect)
{
    std::vector<Expected> rows = expectedRows(readFile(windowsPath(FIXTURES "/real/expected.txt")), "");
    ASSERT_FALSE(rows.empty()) << "tests/fixtures/real/expected.txt";

    const std::string trees = windowsPath(REAL_MACHINES);
    std::set<std::string> made, listed;
    std::ifstream index(trees + "\\machines.txt");
    for (std::string machine; index >> machine;)
        made.insert(machine);
    for (const Expected& row : rows)
        listed.insert(row.path);
    EXPECT_EQ(made, listed) << "every machine has one row in expected.txt, and every row a machine";

    const char* names[] = {"CPU", "board", "fan"};
    int right[3] = {};
    for (const Expected& row : rows) {
        std::string root = trees + "\\" + row.path;
        for (char& c : root)
            if (c == '/')
                c = '\\';
        LibraryReadings got = readOn(root);
        int values[3] = {got.cpu, got.mb, got.fan};
        // Whatever the machine, nothing outside the check comes out: no 65535 or 337,500 rpm.
        EXPECT_TRUE(got.cpu >= 0 && got.cpu <= 125 && got.mb >= 0 && got.mb <= 125 && got.fan >= 0 && got.fan <= 30000)
            << row.path << ": " << text(got);
        std::istringstream expected(row.readings);
        for (int i = 0, wanted = 0; i < 3; ++i) {
            expected >> wanted;
            if (values[i] == wanted)
                ++right[i];
            else
                ADD_FAILURE() << row.path << ": " << names[i] << " " << values[i] << ", expected " << wanted << " ("
                              << row.why << ")";
        }
    }
    std::cout << rows.size() << " machines; right: CPU " << right[0] << ", board " << right[1] << ", fan "
              << right[2] << std::endl;
}

TEST(Fixtures, ARootOnAMissingDriveReadsZero)
{
    // Q: is never mapped in a test prefix.
    EXPECT_EQ(text(readOn("Q:\\sys")), "0 0 0");
}

// A machine whose sensors change under the library while it stays loaded: its thread reads
// the files again every few seconds. A file that fails sends the rules to pick again; while
// nothing else turns up, the same file is tried.
TEST(SysfsReads, TheFilesAreReadAgainAndAFailureIsTriedAgain)
{
    TempFolder machine("vesk-changing");
    const std::string chip = "class\\hwmon\\hwmon0\\", moved = "class\\hwmon\\hwmon3\\";
    machine.write(chip + "name", "coretemp\n");
    machine.write(chip + "temp1_label", "Package id 0\n");
    machine.write(chip + "temp1_input", "51000\n");
    auto input = [&](const std::string& text) {
        machine.remove(chip + "temp1_input");
        machine.write(chip + "temp1_input", text);
    };
    struct Step {
        std::function<void()> change;
        int cpu;
        const char* what;
    } steps[] = {
        {[] {}, 51, "as loaded"},
        {[&] { input("52500\n"); }, 53, "a new value"},
        {[&] { input("-128000\n"); }, 0, "a broken sensor's value"},
        {[&] { machine.remove(chip + "temp1_input"); machine.makeFolder(chip + "temp1_input"); }, 0,
         "a folder in place of the file"},
        {[&] { input("49000\n"); }, 49, "the file came back"},
        {[&] { input(""); }, 0, "an empty file, as a read answering ENODATA gives"},
        {[&] {
             machine.write(moved + "name", "coretemp\n");
             machine.write(moved + "temp1_label", "Package id 0\n");
             machine.write(moved + "temp1_input", "47000\n");
             machine.write(chip + "name", "nvme\n");
             input("38000\n");
         },
         47, "the driver reloaded as hwmon3, and hwmon0 is another chip now"},
    };
    ScopedVariable variable("VESK_SYSFS_ROOT", machine.path().c_str());
    SensorExports library(systemLibrary);
    ASSERT_TRUE(library.bound());
    for (const Step& step : steps) {
        step.change();
        int cpu = library.cpu();
        for (DWORD start = GetTickCount(); cpu != step.cpu && GetTickCount() - start < 12000; Sleep(100))
            cpu = library.cpu();
        EXPECT_EQ(cpu, step.cpu) << step.what;
    }
}

// Kernel files claim a size that has nothing to do with their contents: sysfs files 4096
// bytes, procfs ones none. Here a plain file claims those sizes to the reading code (linked
// into this program) whichever way it asks for them, and the number it holds must come out.
static DWORD claimedSize;
static BOOL(WINAPI* realFileInformation)(HANDLE, LPBY_HANDLE_FILE_INFORMATION);

static DWORD WINAPI claimedFileSize(HANDLE, LPDWORD high)
{
    if (high)
        *high = 0;
    return claimedSize;
}

static BOOL WINAPI claimedFileSizeEx(HANDLE, PLARGE_INTEGER size)
{
    size->QuadPart = claimedSize;
    return TRUE;
}

static BOOL WINAPI claimedFileInformation(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information)
{
    BOOL found = realFileInformation(file, information);
    information->nFileSizeHigh = 0;
    information->nFileSizeLow = claimedSize;
    return found;
}

TEST(SysfsReads, KernelFilesWhateverSizeTheyClaim)
{
    struct { const char* name; void* claim; void* real = nullptr; } sizes[] = {
        {"GetFileSize", reinterpret_cast<void*>(claimedFileSize)},
        {"GetFileSizeEx", reinterpret_cast<void*>(claimedFileSizeEx)},
        {"GetFileInformationByHandle", reinterpret_cast<void*>(claimedFileInformation)},
    };
    for (auto& size : sizes)
        size.real = replaceImport("kernel32.dll", size.name, size.claim);
    realFileInformation = reinterpret_cast<decltype(realFileInformation)>(sizes[2].real);

    TempFolder machine("vesk-claims");
    const std::string name = machine.path() + "\\temp1_input";
    const std::wstring path(name.begin(), name.end());
    struct { const char* text; long value; } files[] = {{"51000\n", 51000}, {"-7500\n", -7500}, {"3\n", 3}};
    for (DWORD claim : {4096u, 0u}) {
        claimedSize = claim;
        for (auto f : files) {
            machine.write("temp1_input", f.text);
            long value = -1;
            EXPECT_TRUE(readAttributeNumber(path.c_str(), value)) << claim << " bytes claimed";
            EXPECT_EQ(value, f.value) << claim << " bytes claimed";
        }
    }
    for (auto& size : sizes)
        if (size.real)
            replaceImport("kernel32.dll", size.name, size.real);
}
