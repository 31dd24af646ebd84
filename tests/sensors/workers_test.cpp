// The system library's threads, which keep every source off the caller's thread and each source
// off the others', and the sources Wine cannot have failing cleanly: it has neither the
// monitors' WMI namespaces nor thermal-zone counters.
#include <gtest/gtest.h>

#include <wbemcli.h>

#include "sensors/system/access/counter.h"
#include "sensors/system/access/wmi.h"
#include "sensors/system/monitors/monitors.h"
#include "sensors/system/workers.h"
#include "tests/sensors/played_publishers.h"
#include "tests/support/files.h"
#include "tests/support/library.h"

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

// Core Temp, played as a mapping, and a source of its own thread that stalls: the hwmon files
// of a fixture, read by a monitor that hangs.
static const Source table[] = {
    {"Core Temp shared memory", Access::UndatedMapping, {"CoreTempMappingObjectEx", nullptr}, {}, readCoreTemp},
    {"a stalling source", Access::Hwmon, {}, {}, stall},
};

static Image laptop(float hottest)
{
    CoreTempState state;
    state.temps = {52, hottest};
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
        long rounds = workers.latest(nullptr, latest);
        EXPECT_LT(GetTickCount() - before, atOnce) << "a call waited for a source";
        if (check(latest, rounds))
            return true;
        Sleep(20);
    } while (GetTickCount() - start < patience);
    return false;
}

static void waitUntilStopped(const Workers& workers)
{
    for (int i = 0; i < 3000 && workers.running(); ++i)
        Sleep(10);
}

TEST(Workers, AStalledSourceHoldsBackOnlyItself)
{
    ScopedVariable root("VESK_SYSFS_ROOT", (windowsPath(FIXTURES) + "\\intel-desktop").c_str());
    stallMs = 8000;
    stalledReads = 0;
    PlayedMapping coreTemp("CoreTempMappingObjectEx", laptop(58));
    Workers workers(table, 2, 100, 100, 2000);
    // The first call waits for the first round, but not for a source that stalls in it.
    Readings first[maxSources];
    DWORD before = GetTickCount();
    workers.latest(nullptr, first);
    EXPECT_LE(GetTickCount() - before, atOnce);
    EXPECT_EQ(first[0].cpu.value, 58) << "the first call has the first round's value";
    // Core Temp goes on changing while the other source is stuck in its first read.
    PlayedMapping warmer("CoreTempMappingObjectEx", laptop(61));
    EXPECT_TRUE(askUntil(workers, 5000, [](const Readings* latest, long rounds) {
        return latest[0].cpu.value == 61 && rounds >= 3 && !latest[1].mb.found;
    })) << "the others' values keep coming, and so do the rounds";
    EXPECT_EQ(stalledReads, 1);
    waitUntilStopped(workers);
}

// A source on a clock of its own that cannot be read (its request refused or timed out) keeps
// the readings it last gave, with the time they were read, for the exports to let them age.
TEST(Workers, AnUnreadableSourceKeepsItsLastReadingsAndTheirTime)
{
    static const Source web[] = {
        {"a web server", Access::Http, {"http://127.0.0.1:8086/data.json", nullptr}, {}, readMonitorJson},
    };
    Workers workers(web, 1, 20, 20, 2000);
    auto roundsPast = [&](long rounds) {
        return askUntil(workers, 3000, [=](const Readings*, long done) { return done >= rounds; });
    };
    Readings latest[maxSources];
    {
        PlayedWebServer server(httpAnswer("{\"Text\":\"CPU Package\",\"Type\":\"Temperature\",\"Value\":\"58\"}"),
                               PlayedWebServer::Answer, 8086);
        ASSERT_TRUE(server.listening());
        ASSERT_EQ((workers.latest(nullptr, latest), latest[0].cpu.value), 58);
    }
    ASSERT_TRUE(roundsPast(workers.latest(nullptr, latest) + 2)); // past the server's last answer
    workers.latest(nullptr, latest);
    unsigned readAt = latest[0].cpu.readAt;
    ASSERT_TRUE(roundsPast(workers.latest(nullptr, latest) + 3));
    workers.latest(nullptr, latest);
    EXPECT_EQ(latest[0].cpu.value, 58);
    EXPECT_EQ(latest[0].cpu.readAt, readAt) << "read again, from a server that is gone";
    waitUntilStopped(workers);
}

TEST(Workers, StopWhenNoLongerAskedAndStartAgain)
{
    stallMs = 0;
    ScopedVariable root("VESK_SYSFS_ROOT", (windowsPath(FIXTURES) + "\\intel-desktop").c_str());
    Workers workers(table, 2, 20, 20, 300);
    Readings latest[maxSources];
    workers.latest(nullptr, latest);
    EXPECT_TRUE(workers.running());
    waitUntilStopped(workers);
    EXPECT_FALSE(workers.running());
    LONG reads = stalledReads;
    EXPECT_GE(workers.latest(nullptr, latest), 1) << "started again, and waited for its first round";
    EXPECT_GT(stalledReads, reads);
    waitUntilStopped(workers);
}

// The threads keep the library they run in loaded after its host frees it, and let go when
// they end. Any DLL stands in for the library here.
TEST(Workers, HoldTheLibraryWhileTheyRun)
{
    const std::string path = windowsPath(SIMULATOR_LIBRARY);
    stallMs = 0;
    Workers workers(table, 1, 20, 20, 300);
    HMODULE library = LoadLibraryA(path.c_str());
    ASSERT_TRUE(library);
    Readings latest[maxSources];
    workers.latest(library, latest);
    FreeLibrary(library);
    EXPECT_TRUE(GetModuleHandleA(path.c_str())) << "unloaded under a running thread";
    waitUntilStopped(workers);
    // FreeLibraryAndExitThread comes just after the thread says it stopped.
    for (int i = 0; i < 1000 && GetModuleHandleA(path.c_str()); ++i)
        Sleep(10);
    EXPECT_FALSE(GetModuleHandleA(path.c_str())) << "still loaded after the threads ended";
}

TEST(WindowsSources, NoMonitorNamespacesOrZoneCountersUnderWine)
{
    WmiSession wmi;
    ASSERT_TRUE(wmi.open()) << std::hex << wmi.lastError();
    Published published;
    EXPECT_FALSE(wmi.query("root\\LibreHardwareMonitor", "SELECT Name FROM Sensor", published));
    EXPECT_EQ(static_cast<unsigned long>(wmi.lastError()), static_cast<unsigned long>(WBEM_E_INVALID_NAMESPACE));
    DWORD start = GetTickCount();
    EXPECT_FALSE(wmi.query("root\\LibreHardwareMonitor", "SELECT Name FROM Sensor", published));
    EXPECT_LT(GetTickCount() - start, atOnce) << "asked again only a minute later";
    wmi.close();

    CounterSession counter;
    EXPECT_FALSE(counter.open("\\Thermal Zone Information(*)\\High Precision Temperature",
                              "\\Thermal Zone Information(*)\\Temperature"));
}

// The shipped library with no hwmon files to read, so that only the Windows sources are left,
// none of which answers under Wine.
TEST(WindowsSources, TheLibraryAnswersAtOnceAndReadsZero)
{
    TempFolder empty("vesk-empty-sys");
    ScopedVariable root("VESK_SYSFS_ROOT", empty.path().c_str());
    SensorExports library(windowsPath(SYSTEM_LIBRARY));
    ASSERT_TRUE(library.bound() && library.describe);
    int (*exports[])() = {library.cpu, library.mb, library.fan};
    // Before, during and after the threads' first rounds.
    for (int round = 0; round < 3; ++round) {
        for (auto reading : exports) {
            DWORD before = GetTickCount();
            EXPECT_EQ(reading(), 0);
            EXPECT_LT(GetTickCount() - before, atOnce);
        }
        Sleep(1500);
    }
    char text[1024];
    EXPECT_GE(library.describe(text, sizeof text), 1) << "a first round within 4.5 s";
    EXPECT_EQ(std::string(text).rfind("Nothing yet: no hardware monitor is running", 0), 0u) << text;
}
