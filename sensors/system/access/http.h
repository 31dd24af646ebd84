// A web server on this PC, asked the way a monitor's own page would be: one GET, with a time
// limit and a cap on the answer, so that a server that stalls or talks without end costs about
// a second and a few MiB at most.
#pragma once

#include <windows.h>

#include "sensors/system/access/memory.h"
#include "sensors/system/bytes.h"

// Winsock's own types, declared here so that no file that includes this one has to include
// winsock2.h before windows.h.
struct WSAData;
struct sockaddr;
struct fd_set;
struct timeval;

class HttpSession {
public:
    // Winsock for this session's requests, bound at run time: a bare Windows 95 has none, and
    // the library must load there. False where it cannot start.
    bool open();
    void close();

    // The body of url's answer ("http://127.0.0.1:8085/data.json", the host given as digits)
    // when the server answers 200 and closes within about a second, at most 2 MiB in all;
    // false otherwise. The body stays valid until the next request or close.
    bool get(const char* url, Bytes& body);

private:
    bool ready(UINT_PTR socket, bool write, DWORD deadline);
    const char* fetch(const char* url, int& length);

    HMODULE ws2 = nullptr;
    bool started = false;
    int(WINAPI* wsaStartup)(WORD, WSAData*) = nullptr;
    int(WINAPI* wsaCleanup)() = nullptr;
    UINT_PTR(WINAPI* openSocket)(int, int, int) = nullptr;
    int(WINAPI* connectSocket)(UINT_PTR, const sockaddr*, int) = nullptr;
    int(WINAPI* control)(UINT_PTR, long, unsigned long*) = nullptr;
    int(WINAPI* selectSockets)(int, fd_set*, fd_set*, fd_set*, const timeval*) = nullptr;
    int(WINAPI* sendBytes)(UINT_PTR, const char*, int, int) = nullptr;
    int(WINAPI* receiveBytes)(UINT_PTR, char*, int, int) = nullptr;
    int(WINAPI* closeSocket)(UINT_PTR) = nullptr;
    Block<char> answer; // taken once a server answers
};
