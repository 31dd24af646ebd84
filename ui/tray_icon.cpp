#include "ui/tray_icon.h"

#include <shellapi.h>
#include <string.h>

#include "core/sensor_library.h"
#include "ui/mood.h"

#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the shell of Windows 95 takes the 88-byte record");
#endif

// Every operation sends the whole record, with a face for a fresh CPU reading.
static void notify(HWND window, DWORD command, const char* tip)
{
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    NOTIFYICONDATAA data{};
    // The first version of the record: every shell since Windows 95 understands it, and
    // without NIM_SETVERSION the callback's lParam stays the plain mouse message.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = trayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    int face = moodIcon(sensorLibrary.cpuTemperature());
    // Shared icons: the system keeps one copy per module and id, so they are never destroyed.
    data.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(face));
    data.uCallbackMessage = trayCallbackMessage;
    // A version 1 record has a 64-byte tooltip; tooltips are at most 46 characters.
    lstrcpynA(data.szTip, tip, 64);
    Shell_NotifyIconA(command, &data);
}

void TrayIcon::add(HWND window)
{
    notify(window, NIM_ADD, "");
}

void TrayIcon::modify(HWND window, const char* tip)
{
    notify(window, NIM_MODIFY, tip);
}

void TrayIcon::remove(HWND window)
{
    // When GetCPUTemperature could not be bound, start-up stopped before the icon was added.
    if (!sensorLibrary.cpuTemperature)
        return;
    notify(window, NIM_DELETE, "");
}
