// The face in the notification area, with the readings in its tooltip.
#pragma once

#include <windows.h>

// Sent to the main window for mouse activity over the icon; lParam is the mouse message.
constexpr UINT trayCallbackMessage = WM_USER + 1;
constexpr UINT trayIconId = 1;

namespace TrayIcon {

void add(HWND window);                      // empty tooltip
void modify(HWND window, const char* tip);  // at most 46 characters
void remove(HWND window);

} // namespace TrayIcon
