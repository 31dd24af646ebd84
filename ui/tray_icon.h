// The face in the notification area, with the readings in its tooltip.
#pragma once

#include <windows.h>

// Sent to the main window for mouse activity over the icon; lParam is the mouse message.
constexpr UINT trayCallbackMessage = WM_USER + 1;
constexpr UINT trayIconId = 1;

namespace TrayIcon {

void add(HWND window);                      // empty tooltip
// Refreshes the face and the tooltip (at most 46 characters); puts the icon back when the
// shell does not have it.
void modify(HWND window, const char* tip);
void remove(HWND window);                   // only when the icon is there
// The shell started afresh without our icon: the next modify adds it.
void lost();

} // namespace TrayIcon
