#include <winsock2.h>
#include <windows.h>

#include "sensors/system/publishers.h"
#include "sensors/system/text_formats.h"

// Winsock 2, bound at run time: a bare Windows 95 has none, and the library must load there.
static HMODULE ws2;
static bool started;
static int(WINAPI* wsaStartup)(WORD, LPWSADATA);
static int(WINAPI* wsaCleanup)();
static SOCKET(WINAPI* openSocket)(int, int, int);
static int(WINAPI* connectSocket)(SOCKET, const sockaddr*, int);
static int(WINAPI* control)(SOCKET, long, u_long*);
static int(WINAPI* selectSockets)(int, fd_set*, fd_set*, fd_set*, const timeval*);
static int(WINAPI* sendBytes)(SOCKET, const char*, int, int);
static int(WINAPI* receiveBytes)(SOCKET, char*, int, int);
static int(WINAPI* closeSocket)(SOCKET);

// The whole exchange, connection to last byte, gets about a second; the answer at most 2 MiB
// (a large machine's tree is a few hundred KiB).
static const DWORD allowedMs = 1000;
static const int maxAnswer = 2 << 20;
static char* answer;

template <typename Function>
static bool bind(const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(ws2, name)));
    return function != nullptr;
}

void beginWeb()
{
    ws2 = LoadLibraryA("ws2_32.dll");
    WSADATA data;
    started = ws2 && bind("WSAStartup", wsaStartup) && bind("WSACleanup", wsaCleanup) && bind("socket", openSocket)
        && bind("connect", connectSocket) && bind("ioctlsocket", control) && bind("select", selectSockets)
        && bind("send", sendBytes) && bind("recv", receiveBytes) && bind("closesocket", closeSocket)
        && wsaStartup(MAKEWORD(2, 2), &data) == 0;
    if (!started)
        endWeb();
}

void endWeb()
{
    if (started)
        wsaCleanup();
    started = false;
    if (answer)
        VirtualFree(answer, 0, MEM_RELEASE);
    answer = nullptr;
    if (ws2)
        FreeLibrary(ws2);
    ws2 = nullptr;
}

// Waits until the socket can be written (connected) or read, at most until deadline.
static bool ready(SOCKET socket, bool write, DWORD deadline)
{
    LONG left = static_cast<LONG>(deadline - GetTickCount());
    if (left <= 0)
        return false;
    fd_set set, failed;
    set.fd_count = failed.fd_count = 1;
    set.fd_array[0] = failed.fd_array[0] = socket;
    timeval wait = {left / 1000, (left % 1000) * 1000};
    if (selectSockets(0, write ? nullptr : &set, write ? &set : nullptr, &failed, &wait) <= 0)
        return false;
    return set.fd_count == 1; // select leaves in each set only the sockets that are ready
}

// The answer's body, or nullptr; length is its size.
static const char* fetch(int& length)
{
    SOCKET socket = openSocket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET)
        return nullptr;
    DWORD deadline = GetTickCount() + allowedMs;
    u_long nonBlocking = 1;
    control(socket, FIONBIO, &nonBlocking);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = static_cast<u_short>((8085 >> 8) | ((8085 & 0xFF) << 8)); // network order
    server.sin_addr.S_un.S_un_b = {127, 0, 0, 1};
    static const char request[] = "GET /data.json HTTP/1.0\r\nHost: 127.0.0.1:8085\r\nConnection: close\r\n\r\n";
    length = 0;
    bool whole = false;
    bool connected = connectSocket(socket, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0
        || ready(socket, true, deadline);
    // Only a server that is there costs the answer's memory.
    if (connected && !answer)
        answer = static_cast<char*>(VirtualAlloc(nullptr, maxAnswer, MEM_COMMIT, PAGE_READWRITE));
    if (connected && answer) {
        int sent = 0;
        while (sent < static_cast<int>(sizeof request - 1) && ready(socket, true, deadline)) {
            int n = sendBytes(socket, request + sent, static_cast<int>(sizeof request - 1) - sent, 0);
            if (n <= 0)
                break;
            sent += n;
        }
        while (sent == static_cast<int>(sizeof request - 1) && length < maxAnswer && ready(socket, false, deadline)) {
            int n = receiveBytes(socket, answer + length, maxAnswer - length, 0);
            if (n <= 0) {
                whole = n == 0; // the server closed: the answer is complete
                break;
            }
            length += n;
        }
    }
    closeSocket(socket);
    if (!whole || length < 12 || answer[9] != '2' || answer[10] != '0' || answer[11] != '0')
        return nullptr; // cut short, refused, too large, or not "HTTP/1.x 200"
    for (int i = 0; i + 3 < length; ++i) {
        if (answer[i] == '\r' && answer[i + 1] == '\n' && answer[i + 2] == '\r' && answer[i + 3] == '\n') {
            length -= i + 4;
            return answer + i + 4;
        }
    }
    return nullptr;
}

void readWebMonitor(Found& found)
{
    if (!started)
        return;
    int length;
    const char* body = fetch(length);
    if (!body)
        return;
    SensorChoice choice("LibreHardwareMonitor web server");
    parseMonitorJson(body, static_cast<unsigned long>(length), choice);
    found = choice.found();
}
