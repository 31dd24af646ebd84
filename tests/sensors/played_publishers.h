// The monitors, played by the test program as each publishes on Windows: a named file mapping
// with its documented layout, registry values, a web server on 127.0.0.1:8085. Each lasts as
// long as the object.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/sensors/monitors/monitor_test.h"

struct PlayedMapping {
    // reserveOnly: a mapping made with SEC_RESERVE of size bytes whose first page alone is
    // committed, holding image's first bytes, as a hostile publisher could make one.
    PlayedMapping(const char* name, const Image& image, size_t reserveOnly = 0);
    ~PlayedMapping();
    HANDLE mapping = nullptr;
    void* view = nullptr;
};

// A key under HKEY_CURRENT_USER with text values, removed afterwards. The values named in
// binary are written as REG_BINARY, with no terminator, as any program could write them.
struct PlayedRegistry {
    PlayedRegistry(const char* key, const std::vector<std::pair<std::string, std::string>>& values,
                   const std::vector<std::string>& binary = {});
    ~PlayedRegistry();
    std::string key;
};

// HWiNFO's mutex, held by the test for as long as the object lives, or (abandoned) taken by a
// thread that ended without letting go.
struct PlayedMutex {
    PlayedMutex(const char* name, bool abandoned);
    ~PlayedMutex();
    HANDLE mutex = nullptr;
};

// The one server the port may have: answers every request with answer, or, with never,
// accepts and says nothing; with endless, sends without end.
struct PlayedWebServer {
    enum Mode { Answer, Never, Endless };
    explicit PlayedWebServer(std::string answer, Mode mode = Answer, unsigned short port = 8085);
    ~PlayedWebServer();
    bool listening() const { return listener != INVALID_SOCKET; }

    std::string answer;
    Mode mode;
    SOCKET listener = INVALID_SOCKET;
    HANDLE thread = nullptr;
    volatile LONG stopping = 0;
};

// A monitor's program running under its own file name ("LibreHardwareMonitor.exe"), as the
// library looks for it before it brings Winsock or WMI up: a copy of Quellor, hidden, with the
// simulator beside it. Ended with the object.
struct PlayedProgram {
    explicit PlayedProgram(const char* fileName);
    ~PlayedProgram();
    std::string folder, program;
    PROCESS_INFORMATION process{};
};

// The values of `reg query`'s output (tests/fixtures/captures) as text, for a PlayedRegistry.
std::vector<std::pair<std::string, std::string>> registryValues(const std::string& query);

// A played monitor of any kind.
using Played = std::shared_ptr<void>;
template <typename T, typename... Args>
Played play(Args&&... args)
{
    return std::make_shared<T>(std::forward<Args>(args)...);
}
