// Quellor's run-time benchmarks, each measured in the same run beside its floor (floor.cpp):
// start-up, the cost of one sample, idling, and memory over a hundred thousand samples.
//   bench.exe QUELLOR_EXE FLOOR_EXE INSTANT_DLL WORK_FOLDER [starts] [samples] [floor_samples] [idle_seconds]
//             [SYSTEM_DLL SIMULATOR_DLL]
// Prints a table. Under Wine, CPU time and wake-ups come from Linux (/proc through Z:), which
// counts nanoseconds where GetProcessTimes has 10 ms steps; elsewhere GetProcessTimes is used.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/process_gauges.h"
#include "tests/support/sample_driver.h"
#include "tests/support/windows.h"

namespace {

double seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string readWholeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    std::string text;
    char buffer[4096];
    DWORD got;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (entry.cFileName[0] != '.')
            names.push_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

std::string lowered(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Linux processes whose command line or environment holds every one of the texts.
std::vector<std::string> unixProcesses(const char* file, const std::vector<std::string>& texts)
{
    std::vector<std::string> found;
    for (const std::string& pid : folderEntries("Z:\\proc")) {
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string content = lowered(readWholeFile("Z:\\proc\\" + pid + "\\" + file));
        bool all = !content.empty();
        for (const std::string& text : texts)
            all = all && content.find(lowered(text)) != std::string::npos;
        if (all)
            found.push_back(pid);
    }
    return found;
}

// CPU time and wake-ups of a set of processes, summed over their threads.
struct CpuUse {
    double cpuSeconds = 0;
    long long wakeUps = -1; // -1: not known on this platform
};

CpuUse operator-(CpuUse a, const CpuUse& b)
{
    a.cpuSeconds -= b.cpuSeconds;
    if (a.wakeUps >= 0 && b.wakeUps >= 0)
        a.wakeUps -= b.wakeUps;
    return a;
}

long long numberAfter(const std::string& text, const char* label)
{
    size_t at = text.find(label);
    return at == std::string::npos ? 0 : std::atoll(text.c_str() + at + std::strlen(label));
}

CpuUse unixCpuUse(const std::vector<std::string>& pids)
{
    CpuUse use;
    use.wakeUps = 0;
    for (const std::string& pid : pids) {
        std::string tasks = "Z:\\proc\\" + pid + "\\task";
        for (const std::string& task : folderEntries(tasks)) {
            // schedstat: nanoseconds on a CPU first. A wake-up is every switch back in: the
            // thread gave up the CPU (waiting) or had it taken.
            use.cpuSeconds += std::atof(readWholeFile(tasks + "\\" + task + "\\schedstat").c_str()) / 1e9;
            std::string status = readWholeFile(tasks + "\\" + task + "\\status");
            use.wakeUps += numberAfter(status, "\nvoluntary_ctxt_switches:") + numberAfter(status, "nonvoluntary_ctxt_switches:");
        }
    }
    return use;
}

// One program under measurement, found in Linux's process table where there is one.
struct Program {
    PROCESS_INFORMATION process{};
    std::string exe, className;
    std::vector<std::string> unixPids;

    CpuUse cpuUse() const
    {
        if (!unixPids.empty())
            return unixCpuUse(unixPids);
        FILETIME created, ended, kernel, user;
        CpuUse use;
        if (GetProcessTimes(process.hProcess, &created, &ended, &kernel, &user)) {
            auto ticks = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
            use.cpuSeconds = static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
        }
        return use;
    }
};

bool start(Program& program, const std::string& arguments)
{
    std::string folder = program.exe.substr(0, program.exe.find_last_of('\\'));
    std::string commandLine = "\"" + program.exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    program.unixPids.clear();
    return CreateProcessA(program.exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &program.process);
}

HWND mainWindow(const Program& program)
{
    std::vector<HWND> windows = topLevelWindows(program.process.dwProcessId, program.className.c_str());
    return windows.empty() ? nullptr : windows[0];
}

// Finds the program among Linux's processes, once it has started: its command line names it.
void findUnixProcess(Program& program)
{
    program.unixPids = unixProcesses("cmdline", {program.exe});
}

void stop(Program& program)
{
    PostMessageA(mainWindow(program), WM_CLOSE, 0, 0);
    if (WaitForSingleObject(program.process.hProcess, 15000) != WAIT_OBJECT_0)
        TerminateProcess(program.process.hProcess, 1);
    CloseHandle(program.process.hProcess);
    CloseHandle(program.process.hThread);
    program.process = {};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void row(const char* what, double quellor, double floor, const char* unit, const char* goal, int decimals = 2)
{
    char ratio[16] = "";
    if (floor > 0)
        std::snprintf(ratio, sizeof ratio, "%.2f", quellor / floor);
    std::printf("%-46s %12.*f %12.*f %-5s %6s  %s\n", what, decimals, quellor, decimals, floor, unit, ratio, goal);
}

void fail(const char* what)
{
    std::printf("bench: %s\n", what);
    std::fflush(stdout);
    std::exit(1);
}

void copyInto(const std::string& from, const std::string& folder, const char* name)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    if (!CopyFileA(from.c_str(), (folder + "\\" + name).c_str(), FALSE))
        fail(("cannot copy " + from).c_str());
}

// The start benchmark: from CreateProcess to the program's first wait for a message, when the
// window, its first values and the icon are done. Quellor learns it from the instant library,
// the floors from themselves. Starts take turns so that all meet the same conditions.
void benchStart(Program& quellor, Program& floor, int starts)
{
    struct Contender {
        Program* program;
        const char* arguments;
        std::vector<double> times;
    } contenders[] = {{&quellor, "", {}}, {&floor, "", {}}, {&floor, "/controls", {}}};
    for (int i = 0; i <= starts; ++i) {
        for (Contender& c : contenders) {
            double before = seconds();
            if (!start(*c.program, c.arguments))
                fail("cannot start a program");
            SampleDriver driver(c.program->process.dwProcessId);
            if (!driver.waitUntilReady(20000))
                fail("a program did not finish starting");
            double took = seconds() - before;
            if (i > 0) // the first start of each warms the file cache and Wine up
                c.times.push_back(took * 1000);
            stop(*c.program);
            Sleep(200);
        }
    }
    char what[64];
    std::snprintf(what, sizeof what, "2 start to values and icon, median of %d", starts);
    row(what, median(contenders[0].times), median(contenders[1].times), "ms", "ratio <= 1.10");
    row("  floor with Quellor's window content", median(contenders[0].times), median(contenders[2].times), "ms", "");
    auto range = [](const std::vector<double>& t) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f-%.1f", *std::min_element(t.begin(), t.end()),
                      *std::max_element(t.begin(), t.end()));
        return std::string(text);
    };
    std::printf("%-46s %12s %12s ms (with content %s)\n", "  fastest-slowest", range(contenders[0].times).c_str(),
                range(contenders[1].times).c_str(), range(contenders[2].times).c_str());
}

struct SampleFigures {
    double cpuPerSample = 0, wallPerSample = 0, serverPerSample = 0;
    long samples = 0;
};

// Runs count samples by timer messages; CPU time per sample in the program and in Wine's
// server and tray (explorer), which do much of the work of each call.
SampleFigures driveSamples(Program& program, long count, const std::vector<std::string>& server)
{
    SampleDriver driver(program.process.dwProcessId);
    HWND window = mainWindow(program);
    long samplesBefore = driver.samples();
    CpuUse before = program.cpuUse(), serverBefore = unixCpuUse(server);
    double wallBefore = seconds();
    if (!driver.run(window, count))
        fail("samples stopped coming");
    SampleFigures f;
    f.wallPerSample = seconds() - wallBefore;
    f.samples = driver.samples() - samplesBefore;
    f.cpuPerSample = (program.cpuUse() - before).cpuSeconds / f.samples;
    f.serverPerSample = (unixCpuUse(server) - serverBefore).cpuSeconds / f.samples;
    f.wallPerSample /= f.samples;
    return f;
}

// The floor's plain loop: count samples inside one message, no message per sample.
SampleFigures loopSamples(Program& floor, long count, const std::vector<std::string>& server)
{
    HWND window = mainWindow(floor);
    CpuUse before = floor.cpuUse(), serverBefore = unixCpuUse(server);
    double wallBefore = seconds();
    SendMessageA(window, WM_APP, static_cast<WPARAM>(count), 0);
    SampleFigures f;
    f.samples = count;
    f.wallPerSample = (seconds() - wallBefore) / count;
    f.cpuPerSample = (floor.cpuUse() - before).cpuSeconds / count;
    f.serverPerSample = (unixCpuUse(server) - serverBefore).cpuSeconds / count;
    return f;
}

void startAndWait(Program& program, const std::string& arguments)
{
    if (!start(program, arguments))
        fail("cannot start a program");
    SampleDriver driver(program.process.dwProcessId);
    if (!driver.waitUntilReady(20000))
        fail("a program did not finish starting");
    findUnixProcess(program);
}

// Quellor's samples, many for the memory figures; the floor's fewer, as each takes as long
// under Wine (the per-sample figures are averages either way).
// Memory beside two floors: the one with Quellor's window content (its status bar loads
// comctl32.dll) and, for what that content costs, the one without labels and status bar.
void benchSamplesAndMemory(Program& quellor, Program& floor, long count, long floorCount,
                           const std::vector<std::string>& server)
{
    Program content = floor;
    startAndWait(content, "/controls /i");
    ProcessGauges contentStarted = readGauges(content.process.hProcess);
    stop(content);

    startAndWait(quellor, "/i");
    startAndWait(floor, "/fields /i");
    ProcessGauges quellorStarted = readGauges(quellor.process.hProcess);
    ProcessGauges floorStarted = readGauges(floor.process.hProcess);

    SampleFigures q = driveSamples(quellor, count, server);
    ProcessGauges quellorAfter = readGauges(quellor.process.hProcess);
    SampleFigures loop = loopSamples(floor, floorCount, server);
    SampleFigures floorByMessages = driveSamples(floor, floorCount, server);
    ProcessGauges floorAfter = readGauges(floor.process.hProcess);

    char what[80];
    std::snprintf(what, sizeof what, "3 one sample, CPU in the program (%ld/%ld)", q.samples, loop.samples);
    row(what, q.cpuPerSample * 1e6, loop.cpuPerSample * 1e6, "us", "ratio <= 1.10");
    row("  floor driven by timer messages too", q.cpuPerSample * 1e6, floorByMessages.cpuPerSample * 1e6, "us", "");
    row("  CPU in Wine's server and tray", q.serverPerSample * 1e6, loop.serverPerSample * 1e6, "us", "");
    row("  wall time", q.wallPerSample * 1e6, loop.wallPerSample * 1e6, "us", "");

    const double kib = 1024;
    row("5 private bytes after start", quellorStarted.privateBytes / kib, contentStarted.privateBytes / kib, "KiB",
        "ratio <= 1.10");
    row("  floor without labels and status bar", quellorStarted.privateBytes / kib, floorStarted.privateBytes / kib,
        "KiB", "");
    std::snprintf(what, sizeof what, "  after %ld/%ld samples, floor without", q.samples, 2 * floorCount);
    row(what, quellorAfter.privateBytes / kib, floorAfter.privateBytes / kib, "KiB", "");
    row("  grown, floor without", (static_cast<double>(quellorAfter.privateBytes) - quellorStarted.privateBytes) / kib,
        (static_cast<double>(floorAfter.privateBytes) - floorStarted.privateBytes) / kib, "KiB", "quellor: 0");
    row("5 working set after start", quellorStarted.workingSet / kib, contentStarted.workingSet / kib, "KiB",
        "ratio <= 1.10");
    row("  floor without labels and status bar", quellorStarted.workingSet / kib, floorStarted.workingSet / kib, "KiB",
        "");
    std::snprintf(what, sizeof what, "  after %ld/%ld samples, floor without", q.samples, 2 * floorCount);
    row(what, quellorAfter.workingSet / kib, floorAfter.workingSet / kib, "KiB", "");
    row("  grown, floor without", (static_cast<double>(quellorAfter.workingSet) - quellorStarted.workingSet) / kib,
        (static_cast<double>(floorAfter.workingSet) - floorStarted.workingSet) / kib, "KiB", "quellor: 0");
    row("  handles after start, floor with content", quellorStarted.handles, contentStarted.handles, "", "");
    row("  handles after the samples, floor without", quellorAfter.handles, floorAfter.handles, "", "");

    stop(quellor);
    stop(floor);
}

// Both programs at once, hidden, left alone with their own 5-second timers.
void benchIdle(Program& quellor, Program& floor, int idleSeconds)
{
    startAndWait(quellor, "/i");
    startAndWait(floor, "/fields /i");
    Sleep(1000); // let start-up's after-effects pass
    SampleDriver quellorSamples(quellor.process.dwProcessId), floorSamples(floor.process.dwProcessId);
    long quellorFirst = quellorSamples.samples(), floorFirst = floorSamples.samples();
    CpuUse q0 = quellor.cpuUse(), f0 = floor.cpuUse();
    Sleep(idleSeconds * 1000);
    CpuUse q = quellor.cpuUse() - q0, f = floor.cpuUse() - f0;

    char what[80];
    std::snprintf(what, sizeof what, "4 idle %d s: CPU time", idleSeconds);
    row(what, q.cpuSeconds * 1000, f.cpuSeconds * 1000, "ms", "");
    std::snprintf(what, sizeof what, "4 idle %d s: share of one core", idleSeconds);
    row(what, q.cpuSeconds * 100 / idleSeconds, f.cpuSeconds * 100 / idleSeconds, "%", "quellor < 0.05 %", 4);
    if (q.wakeUps >= 0) {
        std::snprintf(what, sizeof what, "4 idle %d s: wake-ups", idleSeconds);
        row(what, static_cast<double>(q.wakeUps), static_cast<double>(f.wakeUps), "", "");
    }
    std::snprintf(what, sizeof what, "4 idle %d s: samples run", idleSeconds);
    row(what, quellorSamples.samples() - quellorFirst, floorSamples.samples() - floorFirst, "", "");
    stop(quellor);
    stop(floor);
}

// Quellor with the shipped system library, no monitor running and no hwmon files to read
// (VESK_SYSFS_ROOT names an empty folder), beside Quellor with the simulator: the difference
// is what looking for the monitors costs while none is there.
void benchIdleLibraries(Program& system, Program& simulator, int idleSeconds)
{
    for (Program* program : {&system, &simulator}) {
        if (!start(*program, "/i"))
            fail("cannot start Quellor");
        for (int i = 0; i < 200 && !mainWindow(*program); ++i)
            Sleep(50);
        findUnixProcess(*program);
    }
    Sleep(3000); // past start-up and the library's first round, which asks every source once
    CpuUse s0 = system.cpuUse(), m0 = simulator.cpuUse();
    Sleep(idleSeconds * 1000);
    CpuUse s = system.cpuUse() - s0, m = simulator.cpuUse() - m0;

    char what[80];
    std::snprintf(what, sizeof what, "4 idle %d s, system lib | simulator: CPU", idleSeconds);
    row(what, s.cpuSeconds * 1000, m.cpuSeconds * 1000, "ms", "");
    row("  share of one core", s.cpuSeconds * 100 / idleSeconds, m.cpuSeconds * 100 / idleSeconds, "%", "", 4);
    row("  the library's own share", (s.cpuSeconds - m.cpuSeconds) * 100 / idleSeconds, 0, "%", "< 0.05 %", 4);
    if (s.wakeUps >= 0) {
        std::snprintf(what, sizeof what, "  wake-ups in %d s", idleSeconds);
        row(what, static_cast<double>(s.wakeUps), static_cast<double>(m.wakeUps), "", "");
    }
    // What looking for the monitors holds while none runs.
    ProcessGauges withSystem = readGauges(system.process.hProcess);
    ProcessGauges withSimulator = readGauges(simulator.process.hProcess);
    const double kib = 1024;
    row("5 private bytes, system lib | simulator", withSystem.privateBytes / kib, withSimulator.privateBytes / kib,
        "KiB", "ratio <= 1.30");
    row("  working set", withSystem.workingSet / kib, withSimulator.workingSet / kib, "KiB", "");
    row("  threads", withSystem.threads, withSimulator.threads, "", "system lib <= 2", 0);
    stop(system);
    stop(simulator);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::printf("usage: bench QUELLOR_EXE FLOOR_EXE INSTANT_DLL WORK_FOLDER [starts] [samples] [floor_samples] "
                    "[idle_seconds]\n");
        return 2;
    }
    std::string work = argv[4];
    int starts = argc > 5 ? std::atoi(argv[5]) : 11;
    long samples = argc > 6 ? std::atol(argv[6]) : 100000;
    long floorSamples = argc > 7 ? std::atol(argv[7]) : 10000;
    int idleSeconds = argc > 8 ? std::atoi(argv[8]) : 60;

    CreateDirectoryA(work.c_str(), nullptr);
    copyInto(argv[1], work + "\\quellor", "quellor.exe");
    copyInto(argv[3], work + "\\quellor", "vesk.dll");
    copyInto(argv[2], work + "\\floor", "floor.exe");
    Program quellor, floor;
    quellor.exe = work + "\\quellor\\quellor.exe";
    quellor.className = "Vesk";
    floor.exe = work + "\\floor\\floor.exe";
    floor.className = "QuellorFloor";

    // Wine's server and tray process for this prefix: their CPU time is the rest of each call's cost.
    char prefix[MAX_PATH] = "";
    GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    std::vector<std::string> server;
    if (prefix[0]) {
        for (const char* name : {"wineserver", "explorer.exe"})
            for (const std::string& pid : unixProcesses("environ", {std::string("WINEPREFIX=") + prefix}))
                if (lowered(readWholeFile("Z:\\proc\\" + pid + "\\comm")).rfind(name, 0) == 0)
                    server.push_back(pid);
    }

    using VersionFn = const char*(CDECL*)();
    auto wineVersion = reinterpret_cast<VersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    SYSTEM_INFO system;
    GetNativeSystemInfo(&system);
    std::printf("run-time benchmarks: %d-bit build, %s%s, %lu processors\n", static_cast<int>(sizeof(void*) * 8),
                wineVersion ? "Wine " : "Windows", wineVersion ? wineVersion() : "",
                static_cast<unsigned long>(system.dwNumberOfProcessors));
    std::printf("%-46s %12s %12s %-5s %6s  %s\n", "benchmark", "quellor", "floor", "unit", "ratio", "goal");
    std::fflush(stdout);
    benchStart(quellor, floor, starts);
    std::fflush(stdout);
    benchSamplesAndMemory(quellor, floor, samples, floorSamples, server);
    std::fflush(stdout);
    benchIdle(quellor, floor, idleSeconds);
    std::fflush(stdout);
    if (argc > 10) {
        copyInto(argv[1], work + "\\system", "quellor.exe");
        copyInto(argv[9], work + "\\system", "vesk.dll");
        copyInto(argv[1], work + "\\simulator", "quellor.exe");
        copyInto(argv[10], work + "\\simulator", "vesk.dll");
        CreateDirectoryA((work + "\\no-sys").c_str(), nullptr);
        SetEnvironmentVariableA("VESK_SYSFS_ROOT", (work + "\\no-sys").c_str());
        Program system, simulator;
        system.exe = work + "\\system\\quellor.exe";
        simulator.exe = work + "\\simulator\\quellor.exe";
        system.className = simulator.className = "Vesk";
        benchIdleLibraries(system, simulator, idleSeconds);
        std::fflush(stdout);
    }
    return 0;
}
