#include <winsock2.h>
#include <windows.h>

#include "sensors/system/access/http.h"

#include "sensors/system/access/bind.h"
#include "sensors/system/access/http_answer.h"

// The whole exchange, connection to last byte, gets about a second; the answer at most 2 MiB
// (a large machine's tree is a few hundred KiB).
static const DWORD allowedMs = 1000;
static const int maxAnswer = 2 << 20;

bool HttpSession::open()
{
    ws2 = LoadLibraryA("ws2_32.dll");
    WSADATA data;
    started = ws2 && bind(ws2, "WSAStartup", wsaStartup) && bind(ws2, "WSACleanup", wsaCleanup) && bind(ws2, "socket", openSocket)
        && bind(ws2, "connect", connectSocket) && bind(ws2, "ioctlsocket", control) && bind(ws2, "select", selectSockets)
        && bind(ws2, "send", sendBytes) && bind(ws2, "recv", receiveBytes) && bind(ws2, "closesocket", closeSocket)
        && wsaStartup(MAKEWORD(2, 2), &data) == 0;
    if (!started)
        close();
    return started;
}

void HttpSession::close()
{
    if (started)
        wsaCleanup();
    started = false;
    answer.release();
    if (ws2)
        FreeLibrary(ws2);
    ws2 = nullptr;
}

// Waits until the socket can be written (connected) or read, at most until deadline.
bool HttpSession::ready(UINT_PTR socket, bool write, DWORD deadline)
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

// The host must be given as digits: a name would need a lookup, which can take as long as it
// likes. "http://127.0.0.1:8085/data.json" gives the address, the port and the path.
static bool split(const char* url, sockaddr_in& server, const char*& path)
{
    const char* at = url;
    for (const char* scheme = "http://"; *scheme; ++scheme, ++at)
        if (*at != *scheme)
            return false;
    unsigned char address[4];
    for (int part = 0; part < 4; ++part) {
        int value = 0, digits = 0;
        for (; *at >= '0' && *at <= '9' && digits < 3; ++at, ++digits)
            value = value * 10 + (*at - '0');
        if (digits == 0 || value > 255 || *at++ != (part < 3 ? '.' : ':'))
            return false;
        address[part] = static_cast<unsigned char>(value);
    }
    int port = 0;
    for (; *at >= '0' && *at <= '9' && port < 65536; ++at)
        port = port * 10 + (*at - '0');
    if (port == 0 || port > 65535 || *at != '/')
        return false;
    path = at;
    server = sockaddr_in{};
    server.sin_family = AF_INET;
    server.sin_port = static_cast<u_short>(((port >> 8) & 0xFF) | ((port & 0xFF) << 8)); // network order
    server.sin_addr.S_un.S_un_b = {address[0], address[1], address[2], address[3]};
    return true;
}

// The whole answer, or nullptr when cut short, refused or too large; length is its size.
const char* HttpSession::fetch(const char* url, int& length)
{
    sockaddr_in server;
    const char* path;
    char request[256], host[24];
    if (!split(url, server, path) || lstrlenA(path) > 128)
        return nullptr;
    lstrcpynA(host, url + 7, static_cast<int>(path - url - 7) + 1); // "127.0.0.1:8085", which fits
    int requestLength =
        wsprintfA(request, "GET %s HTTP/1.0\r\nHost: %s\r\nConnection: close\r\n\r\n", path, host);
    SOCKET socket = openSocket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET)
        return nullptr;
    DWORD deadline = GetTickCount() + allowedMs;
    u_long nonBlocking = 1;
    control(socket, FIONBIO, &nonBlocking);
    length = 0;
    bool whole = false;
    bool connected = connectSocket(socket, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0
        || ready(socket, true, deadline);
    // Only a server that is there costs the answer's memory.
    char* into = connected ? answer.reserve(maxAnswer) : nullptr;
    if (into) {
        int sent = 0;
        while (sent < requestLength && ready(socket, true, deadline)) {
            int n = sendBytes(socket, request + sent, requestLength - sent, 0);
            if (n <= 0)
                break;
            sent += n;
        }
        while (sent == requestLength && length < maxAnswer && ready(socket, false, deadline)) {
            int n = receiveBytes(socket, into + length, maxAnswer - length, 0);
            if (n <= 0) {
                whole = n == 0; // the server closed: the answer is complete
                break;
            }
            length += n;
        }
    }
    closeSocket(socket);
    return whole ? into : nullptr;
}

bool HttpSession::get(const char* url, Bytes& body)
{
    if (!started)
        return false;
    int length;
    const char* whole = fetch(url, length);
    return whole && bodyOfAnswer(whole, static_cast<unsigned long>(length), body);
}
