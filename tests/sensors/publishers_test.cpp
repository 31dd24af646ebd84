// The shipped library on a Windows PC with a hardware monitor running: the test plays each
// monitor as it publishes, and the library must give what a person expects, through its
// exports (readings.exe) and through Quellor's window. The hwmon files have nothing here
// (VESK_SYSFS_ROOT is an empty folder) unless a case says otherwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "tests/sensors/played_publishers.h"
#include "tests/support/files.h"
#include "tests/support/library.h"
#include "tests/support/process_gauges.h"
#include "tests/support/windows.h"

namespace {

const std::string systemLibrary = windowsPath(SYSTEM_LIBRARY);

const char* const degrees = "\xb0""C";

// An Intel desktop as HWiNFO shows it: the processor's package beside the board chip's "CPU".
Image intelDesktop(HwinfoLayout layout = {})
{
    layout.polled = unixNow();
    return hwinfoImage(listing(capture("hwinfo/made-intel-desktop.txt")), layout);
}

// An AMD desktop through AIDA64.
const std::string amdXml = capture("aida64/made-amd-desktop-shared-memory.xml");

Image text(const std::string& content)
{
    return Image(content.begin(), content.end()); // with no zero byte: the mapping ends it
}

// A laptop through Core Temp alone.
const Image laptop = coreTempImage(coreTempState("core-temp/made-laptop"));

// HWiNFO's gadget output of an AMD desktop, for a free user after the 12-hour limit.
const auto gadget = registryValues(capture("hwinfo/made-amd-desktop-gadget-registry-query.txt"));

struct Case {
    const char* what;
    std::function<std::vector<Played>()> publishers;
    const char* expected;
    const char* source; // a line of the library's account
};

void runCases(const Case* cases, size_t count, const std::string& root)
{
    ScopedVariable variable("VESK_SYSFS_ROOT", root.c_str());
    for (size_t i = 0; i < count; ++i) {
        const Case& c = cases[i];
        std::vector<Played> played = c.publishers();
        LibraryReadings readings;
        DWORD start = GetTickCount();
        ASSERT_TRUE(readLibrary(systemLibrary, readings)) << c.what;
        EXPECT_EQ(text(readings), c.expected) << c.what << "\n" << readings.sources;
        EXPECT_NE(readings.sources.find(c.source), std::string::npos) << c.what << "\n" << readings.sources;
        EXPECT_LT(GetTickCount() - start, 8000u) << c.what << ": the first round took too long";
    }
}

} // namespace

// Each monitor as it publishes on a machine of its own.
static std::vector<Case> monitorCases()
{
    HwinfoLayout larger; // a later HWiNFO's longer elements, in the session's namespace
    larger.sensorSize = 512, larger.readingSize = 600;
    HwinfoLayout stale; // a HWiNFO that ended without clearing its memory, long ago
    stale.polled = 1;
    return {
        {"an Intel desktop through HWiNFO", [] { return std::vector<Played>{
             play<PlayedMapping>("Global\\HWiNFO_SENS_SM2", intelDesktop())}; },
         "49 31 1184", "CPU 49 from HWiNFO shared memory, \"CPU Package\""},
        {"HWiNFO without Global, larger elements", [=] { return std::vector<Played>{
             play<PlayedMapping>("HWiNFO_SENS_SM2", intelDesktop(larger))}; },
         "49 31 1184", "Fan 1184 from HWiNFO shared memory, \"CPU\""},
        {"HWiNFO's gadget output after the 12-hour limit", [] { return std::vector<Played>{
             play<PlayedRegistry>("Software\\HWiNFO64\\VSB", gadget)}; },
         "61 36 1830", "MB 36 from HWiNFO gadget registry, \"System1\""},
        {"HWiNFO stopped polling, its gadget output goes on", [] {
             Image image = intelDesktop();
             std::memcpy(&image[0], "DEAD", 4);
             return std::vector<Played>{play<PlayedMapping>("Global\\HWiNFO_SENS_SM2", image),
                                        play<PlayedRegistry>("Software\\HWiNFO32\\VSB", gadget)}; },
         "61 36 1830", "CPU 61 from HWiNFO gadget registry, \"CPU (Tctl/Tdie)\""},
        {"an AMD desktop through AIDA64", [] { return std::vector<Played>{
             play<PlayedMapping>("AIDA64_SensorValues", text(amdXml + std::string(1, '\0')))}; },
         "55 36 1096", "CPU 55 from AIDA64 shared memory, \"CPU\""},
        {"EVEREST on an older machine", [] { return std::vector<Played>{
             play<PlayedMapping>("EVEREST_SensorValues", text(amdXml))}; },
         "55 36 1096", "from EVEREST shared memory"},
        {"AIDA64's registry output", [] { return std::vector<Played>{
             play<PlayedRegistry>("Software\\FinalWire\\AIDA64\\SensorValues",
                                  registryValues(capture("aida64/asus-prime-z690-a-registry-query.txt")))}; },
         "54 40 800", "CPU 54 from AIDA64 registry, \"CPU Package\""},
        {"Argus Monitor's data interface", [] { return std::vector<Played>{
             play<PlayedMapping>("Global\\ARGUSMONITOR_DATA_INTERFACE", argusImage(argusIntelDesktop))}; },
         "56 34 1200", "Fan 1200 from Argus Monitor data interface, \"CPU Fan\""},
        {"LibreHardwareMonitor's web server", [] { return std::vector<Played>{
             play<PlayedProgram>("LibreHardwareMonitor.exe"), play<PlayedWebServer>(httpAnswer(
                 capture("libre-hardware-monitor/msi-b650m-ryzen7-7800x3d-0.9.6.json")))}; },
         "54 40 1008", "CPU 54 from LibreHardwareMonitor web server, \"Core (Tctl/Tdie)\""},
        {"a laptop through Core Temp alone", [] { return std::vector<Played>{
             play<PlayedMapping>("CoreTempMappingObjectEx", laptop)}; },
         "58 0 0", "MB 0: no running monitor publishes it"},
        {"MSI Afterburner's CPU temperature", [] { return std::vector<Played>{
             play<PlayedMapping>("MAHMSharedMemory", afterburnerImage({{"GPU temperature", degrees, 40, 0},
                                                                       {"CPU temperature", degrees, 63, 0x80}},
                                                                      static_cast<int32_t>(unixNow())))}; },
         "63 0 0", "CPU 63 from MSI Afterburner shared memory"},
        {"SpeedFan's fan, Motherboard Monitor 5's temperatures", [] { return std::vector<Played>{
             play<PlayedMapping>("SFSharedMemory_ALM", speedFanImage({4100, 3600}, {1320, 850})),
             play<PlayedMapping>("$M$B$M$5$S$D$", mbm5Image({{1, "CPU", 47.5}, {1, "Mobo", 33}, {3, "CPU Fan", 2410}}))}; },
         "48 33 1320", "Fan 1320 from SpeedFan shared memory"},
        {"two monitors at once: the first in the order wins each reading", [] { return std::vector<Played>{
             play<PlayedMapping>("CoreTempMappingObjectEx", laptop),
             play<PlayedMapping>("AIDA64_SensorValues", text(amdXml)),
             play<PlayedMapping>("Global\\HWiNFO_SENS_SM2", intelDesktop())}; },
         "49 31 1184", "from HWiNFO shared memory"},
        {"one monitor's CPU, another's board and fan", [] { return std::vector<Played>{
             play<PlayedMapping>("CoreTempMappingObject", laptop),
             play<PlayedMapping>("AIDA64_SensorValues",
                                 text("<temp><id>TMOBO</id><label>Motherboard</label><value>36</value></temp>"))}; },
         "58 36 0", "CPU 58 from Core Temp shared memory"},
        {"HWiNFO's memory left behind, long unpolled", [=] { return std::vector<Played>{
             play<PlayedMapping>("Global\\HWiNFO_SENS_SM2", hwinfoImage({{"CPU [#0]: Intel Core i7-8700K: DTS"},
                 {{1, 0, "CPU Package", degrees, 49.3}}}, stale))}; },
         "0 0 0", "Nothing yet: no hardware monitor is running"},
    };
}

TEST(Publishers, EachMonitorGivesItsReadings)
{
    std::vector<Case> cases = monitorCases();
    TempFolder empty("vesk-no-hwmon");
    runCases(cases.data(), cases.size(), empty.path());

    // The same from a folder under a name in a script the code page cannot spell, where the
    // setup program runs readings.exe with no argument.
    UnicodeFolder folder;
    folder.copy(SYSTEM_LIBRARY, L"vesk.dll");
    folder.copy(READINGS_EXE, L"readings.exe");
    std::vector<Played> played = cases[0].publishers();
    LibraryReadings readings;
    ASSERT_TRUE(readLibraryIn(folder.path(), readings));
    EXPECT_EQ(text(readings), cases[0].expected) << readings.sources;
}

// The hwmon files rank after every monitor: Core Temp's CPU, the fixture's board and fan.
TEST(Publishers, TheHwmonFilesComeAfterTheMonitors)
{
    Case cases[] = {
        {"Core Temp on a machine with hwmon files", [] { return std::vector<Played>{
             play<PlayedMapping>("CoreTempMappingObjectEx", laptop)}; },
         "58 34 1264", "MB 34 from the hwmon files"},
    };
    runCases(cases, 1, windowsPath(FIXTURES) + "\\intel-desktop");
}

namespace {

// Intel desktop's HWiNFO image with one header field set to value.
Image brokenHwinfo(size_t field, uint32_t value)
{
    Image image = intelDesktop();
    putU32(image, field, value);
    return image;
}

std::vector<Played> withLaptop(std::vector<Played> hostile)
{
    hostile.push_back(play<PlayedMapping>("CoreTempMappingObjectEx", laptop));
    return hostile;
}

// A web server is asked only while a program that serves one runs.
std::vector<Played> served(const char* answer, PlayedWebServer::Mode mode)
{
    return withLaptop({play<PlayedProgram>("OpenHardwareMonitor.exe"), play<PlayedWebServer>(answer, mode)});
}

// Every hostile monitor of the table below at once, beside a sound Core Temp.
std::vector<Played> allHostile();

} // namespace

// A broken or hostile monitor beside a sound one: the library survives, answers, and the
// sound one's values come through. (Each field of a header that lies is also broken on its
// own, without Win32, in monitors/hwinfo_test.cpp.)
TEST(HostilePublishers, NeverCrashOrStall)
{
    CoreTempState absurd;
    absurd.temps = {1e30f, -1e30f, NAN, 1e30f};
    absurd.coreCount = 100000;
    std::string tags;
    while (tags.size() < 200000)
        tags += "<temp><id>TCPU<label><value>5";
    Case cases[] = {
        {"HWiNFO's readings name sensors that do not exist, or are absurd", [] {
             HwinfoLayout layout;
             layout.polled = unixNow();
             return withLaptop({play<PlayedMapping>("Global\\HWiNFO_SENS_SM2", hwinfoImage({{"CPU [#0]: DTS"}, {
                 {1, 7, "CPU Package", degrees, 70}, {1, 0xFFFFFFFF, "Motherboard", degrees, 30},
                 {1, 0, "CPU Package", degrees, 1e308}, {3, 0, "CPU", "RPM", -5}, {1, 0, "Motherboard", degrees, NAN},
                 {3, 0, "CPU Fan", "RPM", HUGE_VAL}}}, layout))}); }, "58 0 0", "Core Temp"},
        {"HWiNFO's header over 64 MiB of which one page exists", [] { return withLaptop({play<PlayedMapping>(
             "Global\\HWiNFO_SENS_SM2", brokenHwinfo(hwinfoReadingCount, 140000), 64u << 20)}); }, "58 0 0", "Core Temp"},
        {"Core Temp's 100,000 cores at 1e30 degrees", [&] { return std::vector<Played>{
             play<PlayedMapping>("CoreTempMappingObjectEx", coreTempImage(absurd)),
             play<PlayedMapping>("AIDA64_SensorValues", text(amdXml))}; }, "55 36 1096", "AIDA64"},
        {"AIDA64's mapping of unterminated tags and no zero byte", [&] { return withLaptop({play<PlayedMapping>(
             "AIDA64_SensorValues", text(tags))}); }, "58 0 0", "Core Temp"},
        {"a server on 8085 that accepts and never answers", [] { return served("", PlayedWebServer::Never); },
         "58 0 0", "Core Temp"},
        {"a server on 8085 that answers without end", [] { return served("", PlayedWebServer::Endless); },
         "58 0 0", "Core Temp"},
        {"HWiNFO's gadget output with absurd values", [] { return withLaptop({play<PlayedRegistry>(
             "Software\\HWiNFO64\\VSB", std::vector<std::pair<std::string, std::string>>{
                 {"Sensor0", std::string(5000, 'S')}, {"Label0", "CPU Package"}, {"Value0", "1e308 \xb0""C"},
                 {"ValueRaw0", "1e308"}, {"Label1", std::string(5000, 'L')}, {"ValueRaw1", "-5"}, {"Value1", "-5 RPM"},
                 {"Label2", "Motherboard"}, {"ValueRaw2", "nan"}, {"Value2", "nan \xb0""C"}})}); }, "58 0 0", "Core Temp"},
        {"HWiNFO's gadget value written as 31 bytes of binary data", [] { return withLaptop({play<PlayedRegistry>(
             "Software\\HWiNFO64\\VSB", std::vector<std::pair<std::string, std::string>>{
                 {"Label0", "CPU Package"}, {"ValueRaw0", std::string(31, '7')}, {"Value0", "77 \xb0""C"}},
             std::vector<std::string>{"ValueRaw0"})}); }, "58 0 0", "Core Temp"},
        {"HWiNFO's mutex held and never let go", [] { return std::vector<Played>{
             play<PlayedMutex>("Global\\HWiNFO_SM2_MUTEX", false),
             play<PlayedMapping>("Global\\HWiNFO_SENS_SM2", intelDesktop())}; }, "49 31 1184", "HWiNFO"},
        {"HWiNFO's mutex abandoned", [] { return std::vector<Played>{
             play<PlayedMutex>("Global\\HWiNFO_SM2_MUTEX", true),
             play<PlayedMapping>("Global\\HWiNFO_SENS_SM2", intelDesktop())}; }, "49 31 1184", "HWiNFO"},
        {"MSI Afterburner's count runs past the mapping", [] {
             Image image = afterburnerImage({{"CPU temperature", degrees, 70, 0x80}}, static_cast<int32_t>(unixNow()));
             putU32(image, 12, 0x7FFFFFFF);
             return withLaptop({play<PlayedMapping>("MAHMSharedMemory", image)}); }, "58 0 0", "Core Temp"},
    };
    TempFolder empty("vesk-no-hwmon");
    runCases(cases, sizeof cases / sizeof cases[0], empty.path());
}

namespace {

std::vector<Played> allHostile()
{
    CoreTempState absurd;
    absurd.temps = {1e30f, NAN};
    absurd.coreCount = 100000;
    return {play<PlayedMapping>("Global\\HWiNFO_SENS_SM2", brokenHwinfo(hwinfoReadingCount, 140000), 64u << 20),
            play<PlayedMapping>("HWiNFO_SENS_SM2", brokenHwinfo(hwinfoReadingSize, 1)),
            play<PlayedMapping>("AIDA64_SensorValues", text(std::string(300000, '<'))),
            play<PlayedMapping>("CoreTempMappingObjectEx", coreTempImage(absurd)),
            play<PlayedMapping>("CoreTempMappingObject", laptop),
            play<PlayedProgram>("LibreHardwareMonitor.exe"), play<PlayedWebServer>("", PlayedWebServer::Never)};
}

} // namespace

// The same in Quellor's place: every call returns at once while the worker meets them all,
// round after round, and the sound monitor's value is there.
TEST(HostilePublishers, EveryCallReturnsAtOnce)
{
    TempFolder empty("vesk-no-hwmon");
    ScopedVariable root("VESK_SYSFS_ROOT", empty.path().c_str());
    std::vector<Played> played = allHostile();
    SensorExports library(systemLibrary);
    auto cpu = library.cpu;
    auto describe = library.describe;
    ASSERT_TRUE(cpu && describe);
    DWORD start = GetTickCount(), slowest = 0;
    while (describe(nullptr, 0) < 3 && GetTickCount() - start < 15000) {
        DWORD before = GetTickCount();
        cpu();
        slowest = std::max(slowest, GetTickCount() - before);
        Sleep(10);
    }
    EXPECT_GE(describe(nullptr, 0), 3) << "three rounds within 15 s";
    EXPECT_EQ(cpu(), 58);
    // The first call may wait for the first round, half a second at most; one that waited for
    // the silent server's time-out would wait a second or more.
    EXPECT_LT(slowest, 900u) << "a call waited for a source";
}

namespace {

// Quellor's window, once it has one.
HWND windowOf(DWORD process)
{
    std::vector<HWND> windows = topLevelWindows(process, "Vesk");
    return windows.empty() ? nullptr : windows[0];
}

std::string fields(HWND window)
{
    std::string shown;
    for (int id : {500, 501, 502}) {
        char value[16] = "";
        SendMessageA(GetDlgItem(window, id), WM_GETTEXT, sizeof value, reinterpret_cast<LPARAM>(value));
        shown += (shown.empty() ? "" : " ") + std::string(value);
    }
    return shown;
}

} // namespace

// Quellor itself with the shipped library beside it, each monitor playing in turn: its fields
// show the monitor's values from the first sample after a round of the library's worker.
TEST(Publishers, QuellorShowsThem)
{
    TempFolder folder("quellor-with-monitors"), empty("vesk-no-hwmon");
    ScopedVariable root("VESK_SYSFS_ROOT", empty.path().c_str());
    ASSERT_TRUE(CopyFileA(windowsPath(QUELLOR_EXE).c_str(), (folder.path() + "\\quellor.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(systemLibrary.c_str(), (folder.path() + "\\vesk.dll").c_str(), FALSE));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    std::string command = "\"" + folder.path() + "\\quellor.exe\" /i";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.path().c_str(),
                               &startup, &process));
    HWND window = nullptr;
    for (DWORD start = GetTickCount(); !window && GetTickCount() - start < 20000; Sleep(100))
        window = windowOf(process.dwProcessId);
    ASSERT_TRUE(window);
    // With no monitor running, the library looks for one on one thread of its own and loads
    // nothing for the monitors it does not find.
    Sleep(1000);
    EXPECT_EQ(threadsOf(process.dwProcessId), 2u);
    for (const Case& c : monitorCases()) {
        std::vector<Played> played = c.publishers();
        // A round every few seconds; a sample (as the timer takes one) shows its result.
        std::string shown;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 20000 && shown != c.expected; Sleep(250)) {
            SendMessageTimeoutA(window, WM_TIMER, 1, 0, SMTO_BLOCK, 5000, nullptr);
            shown = fields(window);
        }
        EXPECT_EQ(shown, c.expected) << c.what;
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}
