// The system library's threads, which keep every source off the caller's thread and each source
// off the others', and the sources Wine cannot have failing cleanly: it has neither the
// monitors' WMI namespaces nor thermal-zone counters.
#include <gtest/gtest.h>

#include <string>

#include "sensors/system/monitors/monitors.h"
#include "sensors/system/workers.h"
#include "tests/sensors/played_publishers.h"
#include "tests/support/files.h"
#include "tests/support/library.h"
#include "tests/support/process_gauges.h"

// A call that waits for a source waits for a whole read: seconds where WMI stalls, and the
// stalled source's below. One that does not wait is done in microseconds; a second is far
// beyond any delay a busy machine adds to it.
constexpr DWORD atOnce = 1000; // ms

static volatile LONG stallMs, stalledReads;

// A source whose reads take stallMs each, as a hung driver or WMI service makes them.
static bool stall(const Published&, Choice& choice)
{
    InterlockedExchange(&stalledReads, stalledReads + 1);
    Sleep(stallMs);
    choice.offerBoard("stalled", 33, rank::motherboard);
    return true;
}

// Code of this program, which the threads keep loaded while they run.
static const void* const here = reinterpret_cast<const void*>(&stall);

static const Source coreTemp = {"Core Temp shared memory", Access::UndatedMapping,
                                {"CoreTempMappingObjectEx", nullptr}, {}, readCoreTemp, Sign::None, {}, nullptr};
// The hwmon files of a fixture, read by a monitor that hangs.
static const Source stallingFiles = {"stalling files", Access::Hwmon, {}, {}, stall, Sign::None, {}, nullptr};

static Image laptop(float hottest)
{
    CoreTempState state = coreTempState("core-temp/made-laptop");
    state.temps[1] = hottest;
    return coreTempImage(state);
}

// Asks every 20 ms, as a busy caller would, until check says yes or time is up; every call
// must come back at once.
template <typename Check>
static bool askUntil(Workers& workers, DWORD patience, Check check)
{
    DWORD start = GetTickCount();
    do {
        Readings latest[maxSources];
        DWORD before = GetTickCount();
        long rounds = workers.latest(here, latest);
        EXPECT_LT(GetTickCount() - before, atOnce) << "a call waited for a source";
        if (check(latest, rounds))
            return true;
        Sleep(20);
    } while (GetTickCount() - start < patience);
    return false;
}

// Until this process has no more threads than it had: the workers' have ended.
static void waitUntilStopped(DWORD threadsBefore)
{
    for (int i = 0; i < 3000 && threadsOf(GetCurrentProcessId()) > threadsBefore; ++i)
        Sleep(10);
}

// Two WMI queries share a thread: the first hangs in its monitor, the second waits behind it.
// Neither may hold back the rounds, nor the mapping's values.
TEST(Workers, AStalledSourceHoldsBackOnlyItself)
{
    const char* processors = "SELECT Name FROM Win32_Processor";
    const Source table[] = {
        coreTemp,
        {"a stalling query", Access::Wmi, {"root\\cimv2", processors}, {}, stall, Sign::None, {}, nullptr},
        {"a query behind it", Access::Wmi, {"root\\cimv2", processors}, {}, stall, Sign::None, {}, nullptr},
    };
    DWORD threads = threadsOf(GetCurrentProcessId());
    stallMs = 8000;
    stalledReads = 0;
    PlayedMapping played("CoreTempMappingObjectEx", laptop(58));
    Session sessions[maxSources];
    Workers workers(table, sessions, 3, {100, 100, 2000});
    // The first call waits for the first round, but not for a source that stalls in it.
    Readings first[maxSources];
    DWORD before = GetTickCount();
    workers.latest(here, first);
    EXPECT_LE(GetTickCount() - before, atOnce);
    EXPECT_EQ(first[0].cpu.value, 58) << "the first call has the first round's value";
    // Core Temp goes on changing while the other sources are stuck in, or behind, a read.
    PlayedMapping warmer("CoreTempMappingObjectEx", laptop(61));
    EXPECT_TRUE(askUntil(workers, 5000, [](const Readings* latest, long rounds) {
        return latest[0].cpu.value == 61 && rounds >= 3 && !latest[1].mb.found;
    })) << "the others' values keep coming, and so do the rounds";
    EXPECT_EQ(stalledReads, 1);
    waitUntilStopped(threads);
}

// A source on a thread of its own that cannot be read (its request refused or timed out) keeps
// the readings it last gave, with the time they were read, for the exports to let them age.
TEST(Workers, AnUnreadableSourceKeepsItsLastReadingsAndTheirTime)
{
    static const Source web[] = {
        {"a web server", Access::Http, {"http://127.0.0.1:8086/data.json", nullptr}, {}, readMonitorJson, Sign::None,
         {}, nullptr},
    };
    DWORD threads = threadsOf(GetCurrentProcessId());
    Session sessions[maxSources];
    Workers workers(web, sessions, 1, {20, 20, 2000});
    auto roundsPast = [&](long rounds) {
        return askUntil(workers, 3000, [=](const Readings*, long done) { return done >= rounds; });
    };
    Readings latest[maxSources];
    {
        PlayedWebServer server(httpAnswer("{\"Text\":\"CPU Package\",\"Type\":\"Temperature\",\"Value\":\"58\"}"),
                               PlayedWebServer::Answer, 8086);
        ASSERT_TRUE(server.listening());
        ASSERT_EQ((workers.latest(here, latest), latest[0].cpu.value), 58);
    }
    ASSERT_TRUE(roundsPast(workers.latest(here, latest) + 2)); // past the server's last answer
    workers.latest(here, latest);
    unsigned readAt = latest[0].cpu.readAt;
    ASSERT_TRUE(roundsPast(workers.latest(here, latest) + 3));
    workers.latest(here, latest);
    EXPECT_EQ(latest[0].cpu.value, 58);
    EXPECT_EQ(latest[0].cpu.readAt, readAt) << "read again, from a server that is gone";
    waitUntilStopped(threads);
}

// Threads that end when nobody asks start again with the next call, and forget nothing: a
// mapping whose bytes, or whose count of updates, stopped changing goes stale however slowly
// the host asks.
TEST(Workers, StopWhenNoLongerAskedAndStartAgain)
{
    stallMs = 0;
    ScopedVariable root("VESK_SYSFS_ROOT", (windowsPath(FIXTURES) + "\\intel-desktop").c_str());
    const Source table[] = {
        coreTemp, stallingFiles,
        {"counted", Access::Mapping, {"ArgusCounted", nullptr}, {}, readArgusMonitor, Sign::None, {}, nullptr},
    };
    DWORD threads = threadsOf(GetCurrentProcessId());
    PlayedMapping frozen("CoreTempMappingObjectEx", laptop(58)), counted("ArgusCounted", argusImage(argusIntelDesktop));
    Session sessions[maxSources];
    Workers workers(table, sessions, 3, {20, 20, 300, 1500, 1500});
    Readings latest[maxSources];
    workers.latest(here, latest);
    EXPECT_EQ(latest[0].cpu.value, 58);
    EXPECT_EQ(latest[2].cpu.value, 56);
    EXPECT_GT(threadsOf(GetCurrentProcessId()), threads);
    LONG reads = stalledReads;
    DWORD start = GetTickCount();
    for (int i = 0; i < 3; ++i) {
        waitUntilStopped(threads);
        EXPECT_EQ(threadsOf(GetCurrentProcessId()), threads);
        EXPECT_GE(workers.latest(here, latest), 1) << "started again, and waited for its first round";
    }
    EXPECT_GT(stalledReads, reads);
    if (GetTickCount() - start < 1500)
        Sleep(1500 - (GetTickCount() - start));
    waitUntilStopped(threads);
    workers.latest(here, latest);
    EXPECT_FALSE(latest[0].cpu.found) << "unchanged for longer than allowed, across restarts";
    EXPECT_FALSE(latest[2].cpu.found) << "a count of updates that stopped, across restarts";
    waitUntilStopped(threads);
}

// The clocks of a mapping and of the hwmon files end and start out of step, over and over:
// neither frees what the other is reading (a 4 MiB AIDA64 mapping takes a while to parse).
TEST(Workers, ThreadsThatEndOutOfStepShareNothing)
{
    std::string xml;
    while (xml.size() < (4u << 20) - 200)
        xml += "<sys><id>SDATE</id><label>Date</label><value>2026-01-01</value></sys>";
    xml += "<temp><id>TCPU</id><label>CPU</label><value>55</value></temp>";
    PlayedMapping aida("AIDA64_SensorValues", Image(xml.begin(), xml.end()));
    ScopedVariable root("VESK_SYSFS_ROOT", (windowsPath(FIXTURES) + "\\intel-desktop").c_str());
    const Source table[] = {
        {"AIDA64 shared memory", Access::UndatedMapping, {"AIDA64_SensorValues", nullptr}, {}, readAidaMemory,
         Sign::None, {}, nullptr},
        stallingFiles,
    };
    DWORD threads = threadsOf(GetCurrentProcessId());
    Session sessions[maxSources];
    Workers workers(table, sessions, 2, {10, 10, 40});
    for (int i = 0; i < 25; ++i) {
        stallMs = 10 * (i % 6);
        Readings latest[maxSources];
        workers.latest(here, latest);
        EXPECT_EQ(latest[0].cpu.value, 55) << "round " << i;
        Sleep(40 + 10 * (i % 5));
    }
    waitUntilStopped(threads);
}

// The threads keep the library they run in loaded after its host frees it, whatever its
// folder is called, and let go when they end. The simulator stands in for the library here.
TEST(Workers, HoldTheLibraryWhileTheyRun)
{
    UnicodeFolder folder;
    std::wstring path = folder.copy(SIMULATOR_LIBRARY, L"vesk.dll");
    stallMs = 0;
    Session sessions[maxSources];
    Workers workers(&coreTemp, sessions, 1, {20, 20, 300});
    HMODULE library = LoadLibraryW(path.c_str());
    ASSERT_TRUE(library);
    Readings latest[maxSources];
    workers.latest(reinterpret_cast<const void*>(GetProcAddress(library, "GetCPUTemperature")), latest);
    FreeLibrary(library);
    EXPECT_TRUE(GetModuleHandleW(path.c_str())) << "unloaded under a running thread";
    // FreeLibraryAndExitThread comes just after the thread says it stopped.
    for (int i = 0; i < 1000 && GetModuleHandleW(path.c_str()); ++i)
        Sleep(10);
    EXPECT_FALSE(GetModuleHandleW(path.c_str())) << "still loaded after the threads ended";
}

TEST(WindowsSources, NoMonitorNamespacesOrZoneCountersUnderWine)
{
    WmiSession wmi;
    ASSERT_TRUE(wmi.open());
    Published published;
    EXPECT_FALSE(wmi.query("root\\LibreHardwareMonitor", "SELECT Name FROM Sensor", published));
    DWORD start = GetTickCount();
    EXPECT_FALSE(wmi.query("root\\LibreHardwareMonitor", "SELECT Name FROM Sensor", published));
    EXPECT_LT(GetTickCount() - start, atOnce) << "a namespace that failed is not asked again at once";
    wmi.close();
    // A query that fails is asked again next time, on the connection it has.
    ASSERT_TRUE(wmi.open());
    EXPECT_FALSE(wmi.query("root\\cimv2", "SELECT FROM WHERE", published));
    EXPECT_TRUE(wmi.query("root\\cimv2", "SELECT Name FROM Win32_Processor", published));
    wmi.close();

    CounterSession counter;
    EXPECT_FALSE(counter.open("\\Thermal Zone Information(*)\\High Precision Temperature",
                              "\\Thermal Zone Information(*)\\Temperature"));
}

// The shipped library where only the Windows sources are left, none of which answers under
// Wine, and the one hwmon file there is hangs in its first read (a fifo nobody writes to).
TEST(WindowsSources, TheLibraryAnswersAtOnceAndReadsZero)
{
    std::string machine = windowsPath(STALLING_MACHINE);
    HANDLE writer = CreateFileA((machine + "\\class\\hwmon\\hwmon0\\temp1_input").c_str(),
                                GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    ScopedVariable root("VESK_SYSFS_ROOT", machine.c_str());
    SensorExports library(windowsPath(SYSTEM_LIBRARY));
    ASSERT_TRUE(library.bound() && library.describe);
    int (*exports[])() = {library.cpu, library.mb, library.fan};
    // Before, during and after the threads' first rounds.
    for (int round = 0; round < 2; ++round) {
        for (auto reading : exports) {
            DWORD before = GetTickCount();
            EXPECT_EQ(reading(), 0);
            EXPECT_LT(GetTickCount() - before, atOnce);
        }
        Sleep(750);
    }
    char text[1024];
    EXPECT_GE(library.describe(text, sizeof text), 1) << "a round within 2 s, the stalled file not counting";
    EXPECT_EQ(std::string(text).rfind("Nothing yet: no hardware monitor is running", 0), 0u) << text;
    CloseHandle(writer);
}
