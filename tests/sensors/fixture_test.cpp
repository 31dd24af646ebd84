// The shipped system library under Wine, on copies of real machines' /sys (tests/fixtures):
// each must give the readings its owner would read off the machine.
#include <gtest/gtest.h>

#include "sensors/system/sysfs_file.h"
#include "tests/sensors/sensor_test_support.h"
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
        {"intel-desktop", "46 34 732", "coretemp package; nct6775 SYSTIN; its fan1, not the graphics card's"},
        {"amd-desktop", "46 36 1096", "k10temp Tdie 45.5 rounded up, not Tctl; it8686 temp1 and fan1"},
        {"asus-x570", "61 34 1830", "k10temp Tctl; asusec Motherboard, not its temp1; CPU_Opt"},
        {"thinkpad-laptop", "51 47 2891", "coretemp package; acpitz; the thinkpad fan"},
        {"raspberry-pi", "49 0 0", "cpu_thermal; no board, no fan"},
        {"thermal-zones-only", "52 40 0", "the x86_pkg_temp and acpitz zones"},
        {"virtual-machine", "0 0 0", "no hwmon folder at all"},
        {"failing-sensor", "0 31 987", "the package file cannot be read; the rest can"},
        {"no-such-machine", "0 0 0", "a root that does not exist"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(readOn(fixtures + "\\" + c.machine)), c.expected) << c.machine << ": " << c.why;
}

TEST(Fixtures, ARootOnAMissingDriveReadsZero)
{
    // Q: is never mapped in a test prefix.
    EXPECT_EQ(text(readOn("Q:\\sys")), "0 0 0");
}

// A machine whose package sensor changes under the library, while it stays loaded.
TEST(SysfsReads, EveryCallReadsAfreshAndAFailureIsTriedAgain)
{
    TempFolder machine("vesk-changing");
    const std::string chip = "class\\hwmon\\hwmon0\\";
    machine.write(chip + "name", "coretemp\n");
    machine.write(chip + "temp1_label", "Package id 0\n");
    machine.makeFolder(chip + "temp1_input"); // cannot be read until it becomes a file

    ScopedVariable variable("VESK_SYSFS_ROOT", machine.path().c_str());
    HMODULE library = LoadLibraryA(systemLibrary.c_str());
    ASSERT_TRUE(library);
    auto cpu = reinterpret_cast<int (*)()>(reinterpret_cast<void*>(GetProcAddress(library, "GetCPUTemperature")));
    ASSERT_TRUE(cpu);

    EXPECT_EQ(cpu(), 0) << "a folder in place of the file";
    machine.remove(chip + "temp1_input");
    machine.write(chip + "temp1_input", "51000\n");
    EXPECT_EQ(cpu(), 51) << "the file came back";
    machine.write(chip + "temp1_input", "52500\n");
    EXPECT_EQ(cpu(), 53) << "a new value";
    machine.write(chip + "temp1_input", "");
    EXPECT_EQ(cpu(), 0) << "an empty file, as a read answering ENODATA gives";
    machine.remove(chip + "temp1_input");
    EXPECT_EQ(cpu(), 0) << "the file gone";
    machine.write(chip + "temp1_input", "49000\n");
    EXPECT_EQ(cpu(), 49) << "back again";
    FreeLibrary(library);
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
    const std::string path = machine.path() + "\\temp1_input";
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
