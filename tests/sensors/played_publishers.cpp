#include <winsock2.h>

#include "tests/sensors/played_publishers.h"

#include <algorithm>
#include <cstring>

#include "tests/support/published_text.h"

PlayedMapping::PlayedMapping(const char* name, const Image& image, size_t reserveOnly)
{
    DWORD size = static_cast<DWORD>(reserveOnly ? reserveOnly : image.size());
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE | (reserveOnly ? SEC_RESERVE : 0), 0,
                                 size, name);
    view = mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0) : nullptr;
    if (!view)
        return;
    size_t copied = image.size();
    if (reserveOnly) {
        copied = std::min<size_t>(copied, 4096);
        VirtualAlloc(view, 4096, MEM_COMMIT, PAGE_READWRITE);
    }
    std::memcpy(view, image.data(), copied);
}

PlayedMapping::~PlayedMapping()
{
    if (view)
        UnmapViewOfFile(view);
    if (mapping)
        CloseHandle(mapping);
}

PlayedRegistry::PlayedRegistry(const char* key, const std::vector<std::pair<std::string, std::string>>& values,
                               const std::vector<std::string>& binary)
    : key(key)
{
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    for (const auto& value : values) {
        bool text = std::find(binary.begin(), binary.end(), value.first) == binary.end();
        RegSetValueExA(handle, value.first.c_str(), 0, text ? REG_SZ : REG_BINARY,
                       reinterpret_cast<const BYTE*>(value.second.c_str()),
                       static_cast<DWORD>(value.second.size() + (text ? 1 : 0)));
    }
    RegCloseKey(handle);
}

PlayedRegistry::~PlayedRegistry()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

static DWORD WINAPI takeAndLeave(LPVOID name)
{
    CreateMutexA(nullptr, TRUE, static_cast<const char*>(name)); // owned, and never released
    return 0;
}

PlayedMutex::PlayedMutex(const char* name, bool abandoned)
{
    if (abandoned) {
        DWORD id;
        HANDLE thread = CreateThread(nullptr, 0, takeAndLeave, const_cast<char*>(name), 0, &id);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
    }
    mutex = CreateMutexA(nullptr, !abandoned, name);
}

PlayedMutex::~PlayedMutex()
{
    CloseHandle(mutex);
}

static DWORD WINAPI serve(LPVOID self)
{
    auto& server = *static_cast<PlayedWebServer*>(self);
    while (!server.stopping) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(server.listener, &set);
        timeval wait = {0, 50000};
        if (select(0, &set, nullptr, nullptr, &wait) <= 0)
            continue;
        SOCKET client = accept(server.listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        char request[1024];
        recv(client, request, sizeof request, 0);
        if (server.mode == PlayedWebServer::Answer) {
            send(client, server.answer.data(), static_cast<int>(server.answer.size()), 0);
        } else if (server.mode == PlayedWebServer::Endless) {
            std::string chunk = "HTTP/1.0 200 OK\r\n\r\n" + std::string(65536, '[');
            for (int i = 0; i < 2000 && !server.stopping; ++i)
                if (send(client, chunk.data(), static_cast<int>(chunk.size()), 0) <= 0)
                    break;
        } else {
            while (!server.stopping)
                Sleep(20); // accepted, and never a word
        }
        closesocket(client);
    }
    return 0;
}

PlayedWebServer::PlayedWebServer(std::string answer, Mode mode, unsigned short port)
    : answer(std::move(answer)), mode(mode)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 8) != 0) {
        closesocket(listener);
        listener = INVALID_SOCKET;
        return;
    }
    DWORD id;
    thread = CreateThread(nullptr, 0, serve, this, 0, &id);
}

PlayedWebServer::~PlayedWebServer()
{
    InterlockedExchange(&stopping, 1);
    if (thread) {
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
    }
    if (listener != INVALID_SOCKET)
        closesocket(listener);
    WSACleanup();
}

PlayedProgram::PlayedProgram(const char* fileName)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "played-" + fileName + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    program = folder + "\\" + fileName;
    std::string command = "\"" + program + "\" /i";
    CopyFileA(QUELLOR_PROGRAM, program.c_str(), FALSE);
    CopyFileA(SIMULATOR_DLL, (folder + "\\vesk.dll").c_str(), FALSE);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process))
        process = {};
    WaitForInputIdle(process.hProcess, 10000);
}

PlayedProgram::~PlayedProgram()
{
    if (process.hProcess) {
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    DeleteFileA((folder + "\\vesk.dll").c_str());
    DeleteFileA(program.c_str());
    RemoveDirectoryA(folder.c_str());
}

std::vector<std::pair<std::string, std::string>> registryValues(const std::string& query)
{
    TextFields fields(query);
    Published published = fields.published();
    std::vector<std::pair<std::string, std::string>> values;
    for (int i = 0; i < published.fieldCount; ++i)
        values.push_back({published.fields[i].name, published.fields[i].text});
    return values;
}
