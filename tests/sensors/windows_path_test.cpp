// The system library's worker, which keeps WMI, PDH and the monitors off the caller's thread,
// and the sources Wine cannot have failing cleanly: it has neither the monitors' WMI
// namespaces nor thermal zones.
#include <gtest/gtest.h>

#include <wbemcli.h>

#include "sensors/system/background.h"
#include "sensors/system/thermal_zone_counter.h"
#include "sensors/system/wmi_monitors.h"
#include "sensors/vesk_diagnosis.h"
#include "tests/sensors/sensor_test_support.h"

// A call that waits for a source waits for a whole query: seconds where WMI stalls, and the
// fake's stall below. One that does not wait is done in microseconds; a second is far beyond
// any delay a busy machine adds to it.
constexpr DWORD atOnce = 1000; // ms

// What a test wants a source to find: the three readings, as a monitor would give them.
struct Readings {
    int cpu = 0, mb = 0, fan = 0;
};

// A source that takes its time, as WMI does, and whose answers a test sets.
static volatile LONG begun, ended, queried;
static volatile LONG queryDelay, answering;
static Readings answer;

static void fakeBegin() { InterlockedIncrement(&begun); }
static void fakeEnd() { InterlockedIncrement(&ended); }
static bool fakeQuery(Snapshot& found)
{
    Sleep(queryDelay);
    InterlockedIncrement(&queried);
    Reading* readings[] = {&found.monitors.cpu, &found.monitors.mb, &found.monitors.fan};
    int values[] = {answer.cpu, answer.mb, answer.fan};
    for (int i = 0; i < 3; ++i) {
        readings[i]->found = values[i] != 0;
        readings[i]->value = values[i];
    }
    return answering != 0;
}

static void resetFake(DWORD delay, Readings readings)
{
    begun = ended = queried = 0;
    queryDelay = delay;
    answer = readings;
    answering = 1;
}

static std::string text(const Snapshot& snapshot)
{
    return std::to_string(snapshot.monitors.cpu.value) + " " + std::to_string(snapshot.monitors.mb.value) + " "
        + std::to_string(snapshot.monitors.fan.value);
}

// Asks every 20 ms, as a busy caller would, until the readings are as expected or time is up;
// every call must come back at once.
static std::string askUntil(Background& background, const std::string& expected, DWORD patience)
{
    DWORD start = GetTickCount();
    std::string seen;
    do {
        DWORD before = GetTickCount();
        seen = text(background.latest(nullptr));
        EXPECT_LT(GetTickCount() - before, atOnce) << "a call waited for the source";
        if (seen == expected)
            break;
        Sleep(20);
    } while (GetTickCount() - start < patience);
    return seen;
}

static void waitUntilStopped(const Background& background)
{
    for (int i = 0; i < 1000 && background.running(); ++i)
        Sleep(10);
}

TEST(Background, CallsReturnAtOnceWhileTheSourceStalls)
{
    Readings slow;
    slow.cpu = 45, slow.mb = 38, slow.fan = 1200;
    resetFake(3 * atOnce, slow);
    Background background({fakeBegin, fakeQuery, fakeEnd}, 100, 400);
    EXPECT_EQ(askUntil(background, "0 0 0", 0), "0 0 0");
    EXPECT_EQ(askUntil(background, "45 38 1200", 15000), "45 38 1200");
    waitUntilStopped(background);
}

TEST(Background, AFailedQueryKeepsTheLastGoodReadings)
{
    Readings good;
    good.cpu = 50, good.mb = 35, good.fan = 1000;
    resetFake(0, good);
    Background background({fakeBegin, fakeQuery, fakeEnd}, 20, 400);
    ASSERT_EQ(askUntil(background, "50 35 1000", 10000), "50 35 1000");
    answer = Readings{}; // what a failed query leaves behind
    answering = 0;
    LONG before = queried;
    for (DWORD start = GetTickCount(); queried <= before + 3 && GetTickCount() - start < 10000;)
        askUntil(background, "never", 100);
    EXPECT_GT(queried, before + 3) << "the worker kept asking";
    EXPECT_EQ(text(background.latest(nullptr)), "50 35 1000");
    waitUntilStopped(background);
}

TEST(Background, StopsWhenNoLongerAskedAndStartsAgain)
{
    resetFake(0, Readings{});
    Background background({fakeBegin, fakeQuery, fakeEnd}, 20, 200);
    background.latest(nullptr);
    waitUntilStopped(background);
    EXPECT_FALSE(background.running());
    EXPECT_EQ(begun, 1);
    EXPECT_EQ(ended, 1);
    background.latest(nullptr);
    EXPECT_TRUE(background.running());
    waitUntilStopped(background);
    EXPECT_EQ(begun, 2);
    EXPECT_EQ(ended, 2);
}

// The worker keeps the library it runs in loaded after its host frees it, and lets go when
// it ends. Any DLL stands in for the library here.
TEST(Background, HoldsTheLibraryWhileItRuns)
{
    const std::string path = windowsPath(SIMULATOR_LIBRARY);
    resetFake(0, Readings{});
    Background background({fakeBegin, fakeQuery, fakeEnd}, 20, 300);
    HMODULE library = LoadLibraryA(path.c_str());
    ASSERT_TRUE(library);
    background.latest(library);
    FreeLibrary(library);
    EXPECT_TRUE(GetModuleHandleA(path.c_str())) << "unloaded under a running worker";
    waitUntilStopped(background);
    // FreeLibraryAndExitThread comes just after the worker says it stopped.
    for (int i = 0; i < 1000 && GetModuleHandleA(path.c_str()); ++i)
        Sleep(10);
    EXPECT_FALSE(GetModuleHandleA(path.c_str())) << "still loaded after the worker ended";
}

TEST(WindowsSources, NoMonitorNamespacesUnderWine)
{
    ASSERT_TRUE(wmi::begin()) << std::hex << wmi::lastError();
    DWORD start = GetTickCount();
    Found found;
    wmi::readMonitors(found);
    EXPECT_EQ(static_cast<unsigned long>(wmi::lastError()), static_cast<unsigned long>(WBEM_E_INVALID_NAMESPACE));
    wmi::readThermalZone(found);
    EXPECT_FALSE(found.cpu.found || found.mb.found || found.fan.found);
    EXPECT_LT(GetTickCount() - start, 30000u) << "a connection that hangs";
    start = GetTickCount();
    wmi::readMonitors(found); // asked again only a minute later: at once
    EXPECT_LT(GetTickCount() - start, atOnce);
    wmi::end();
}

TEST(WindowsSources, NoThermalZoneRowsUnderWine)
{
    int degrees = -1;
    bool opened = thermalZone::open();
    EXPECT_FALSE(opened && thermalZone::read(degrees)) << degrees << " degrees";
    EXPECT_EQ(degrees, -1);
    thermalZone::close();
}

// The shipped library with no hwmon files to read, so that only the Windows sources are left,
// none of which answers under Wine.
TEST(WindowsSources, TheLibraryAnswersAtOnceAndReadsZero)
{
    TempFolder empty("vesk-empty-sys");
    ScopedVariable root("VESK_SYSFS_ROOT", empty.path().c_str());
    const std::string path = windowsPath(SYSTEM_LIBRARY);
    HMODULE library = LoadLibraryA(path.c_str());
    ASSERT_TRUE(library);
    using ReadingFn = int (*)();
    ReadingFn exports[] = {
        reinterpret_cast<ReadingFn>(reinterpret_cast<void*>(GetProcAddress(library, "GetCPUTemperature"))),
        reinterpret_cast<ReadingFn>(reinterpret_cast<void*>(GetProcAddress(library, "GetMBTemperature"))),
        reinterpret_cast<ReadingFn>(reinterpret_cast<void*>(GetProcAddress(library, "GetFanCPURPM"))),
    };
    auto describe = reinterpret_cast<int (*)(char*, int)>(
        reinterpret_cast<void*>(GetProcAddress(library, "DescribeReadings")));
    ASSERT_TRUE(describe);
    // Before, during and after the worker's first rounds.
    for (int round = 0; round < 3; ++round) {
        for (ReadingFn reading : exports) {
            ASSERT_TRUE(reading);
            DWORD before = GetTickCount();
            EXPECT_EQ(reading(), 0);
            EXPECT_LT(GetTickCount() - before, atOnce);
        }
        Sleep(1500);
    }
    char text[512];
    EXPECT_GE(describe(text, sizeof text), 1) << "a first round within 4.5 s";
    EXPECT_STREQ(text, "CPU 0: no running monitor publishes it\r\nMB 0: no running monitor publishes it\r\n"
                       "Fan 0: no running monitor publishes it\r\n");
    FreeLibrary(library);
}
