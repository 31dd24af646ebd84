#include "ui/tray_icon.h"

#include <shellapi.h>

#include "core/sensor_library.h"
#include "ui/mood.h"

#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the shell of Windows 95 takes the 88-byte record");
#endif

// Whether the icon is in the notification area, as far as the shell's answers tell. A busy
// shell (above all at log-on) can refuse an add, or take so long that the call reports a
// failure although the icon arrived; a restarted shell has lost it.
static bool inNotificationArea;

// Every operation sends the whole record, with a face for a fresh CPU reading.
static void fill(NOTIFYICONDATAA& data, HWND window, const char* tip)
{
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
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
}

void TrayIcon::add(HWND window)
{
    NOTIFYICONDATAA data{};
    fill(data, window, "");
    inNotificationArea = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void TrayIcon::modify(HWND window, const char* tip)
{
    NOTIFYICONDATAA data{};
    fill(data, window, tip);
    // Ask for what should work, then for the other: a modify fails when the shell has lost
    // the icon, so it is added again; an add fails when the icon was there after all.
    DWORD expected = inNotificationArea ? NIM_MODIFY : NIM_ADD;
    DWORD other = inNotificationArea ? NIM_ADD : NIM_MODIFY;
    inNotificationArea = Shell_NotifyIconA(expected, &data) || Shell_NotifyIconA(other, &data);
}

void TrayIcon::remove(HWND window)
{
    // Never added (a failed start, a shell that never answered), or already gone.
    if (!inNotificationArea)
        return;
    NOTIFYICONDATAA data{};
    fill(data, window, "");
    Shell_NotifyIconA(NIM_DELETE, &data);
    inNotificationArea = false;
}

void TrayIcon::lost()
{
    inNotificationArea = false;
}
