#include "tests/sensors/sensor_test_support.h"

#include <algorithm>
#include <cstdio>

std::string windowsPath(const std::string& linuxPath)
{
    std::string path = "Z:" + linuxPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string text(const LibraryReadings& readings)
{
    return std::to_string(readings.cpu) + " " + std::to_string(readings.mb) + " " + std::to_string(readings.fan);
}

bool readLibrary(const std::string& path, LibraryReadings& readings)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    std::string command = "\"" + windowsPath(READINGS_TOOL) + "\" \"" + path + "\"";
    PROCESS_INFORMATION process;
    bool started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
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

bool readLibrary(const std::string& path, const std::vector<std::function<void()>>& changes,
                 std::vector<LibraryReadings>& readings)
{
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library)
        return false;
    using ReadingFn = int (*)();
    auto bind = [&](const char* name) {
        return reinterpret_cast<ReadingFn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    };
    ReadingFn cpu = bind("GetCPUTemperature"), mb = bind("GetMBTemperature"), fan = bind("GetFanCPURPM");
    bool bound = cpu && mb && fan;
    for (size_t i = 0; bound && i < changes.size(); ++i) {
        changes[i]();
        readings.push_back({cpu(), mb(), fan(), ""});
    }
    FreeLibrary(library);
    return bound;
}

ScopedVariable::ScopedVariable(const char* name, const char* value) : name(name)
{
    SetEnvironmentVariableA(name, value);
}

ScopedVariable::~ScopedVariable()
{
    SetEnvironmentVariableA(name, nullptr);
}

static void removeTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

TempFolder::TempFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId());
    removeTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    removeTree(folder);
}

void TempFolder::makeFolder(const std::string& relative) const
{
    std::string path = folder;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('\\', start);
        if (end == std::string::npos)
            end = relative.size();
        path += "\\" + relative.substr(start, end - start);
        CreateDirectoryA(path.c_str(), nullptr);
        start = end + 1;
    }
}

void TempFolder::write(const std::string& relative, const std::string& content) const
{
    size_t slash = relative.rfind('\\');
    if (slash != std::string::npos)
        makeFolder(relative.substr(0, slash));
    HANDLE file = CreateFileA((folder + "\\" + relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

void TempFolder::remove(const std::string& relative) const
{
    std::string path = folder + "\\" + relative;
    if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
        removeTree(path);
    else
        DeleteFileA(path.c_str());
}
