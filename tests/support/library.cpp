#include "tests/support/library.h"

#include <algorithm>
#include <cstdio>

#include "sensors/system/access/bind.h"
#include "tests/support/files.h"

SensorExports::SensorExports(const std::string& path) : library(LoadLibraryA(path.c_str()))
{
    bind(library, "GetCPUTemperature", cpu);
    bind(library, "GetMBTemperature", mb);
    bind(library, "GetFanCPURPM", fan);
    bind(library, "DescribeReadings", describe);
}

SensorExports::~SensorExports()
{
    if (library)
        FreeLibrary(library);
}

std::string SensorExports::readings() const
{
    int c = cpu(), m = mb(), f = fan();
    return std::to_string(c) + " " + std::to_string(m) + " " + std::to_string(f);
}

std::string text(const LibraryReadings& readings)
{
    return std::to_string(readings.cpu) + " " + std::to_string(readings.mb) + " " + std::to_string(readings.fan);
}

static bool runReadings(std::wstring command, LibraryReadings& readings)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    PROCESS_INFORMATION process;
    bool started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    // Read as it comes, until the run ends or its time is up; a library that crashes must
    // fail the test, not leave it waiting for a debugger that holds the pipe open.
    DWORD start = GetTickCount(), code = 1;
    bool ended = false;
    while (!ended && GetTickCount() - start < 30000) {
        ended = WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0;
        DWORD available = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            char buffer[4096];
            DWORD got = 0;
            if (!ReadFile(readEnd, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr) || got == 0)
                break;
            output.append(buffer, got);
        }
    }
    if (!ended)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(readEnd);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    size_t firstLine = output.find('\n');
    if (!ended || code != 0 || firstLine == std::string::npos)
        return false;
    readings.sources = output.substr(firstLine + 1);
    return std::sscanf(output.c_str(), "%d %d %d", &readings.cpu, &readings.mb, &readings.fan) == 3;
}

bool readLibrary(const std::string& path, LibraryReadings& readings)
{
    std::string command = "\"" + windowsPath(READINGS_TOOL) + "\" \"" + path + "\"";
    return runReadings(std::wstring(command.begin(), command.end()), readings);
}

bool readLibraryIn(const std::wstring& folder, LibraryReadings& readings)
{
    return runReadings(L"\"" + folder + L"\\readings.exe\"", readings);
}
