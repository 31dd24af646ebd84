// The main window's content: labels, read-only value fields and the status bar.
#pragma once

#include <windows.h>

namespace MainWindowControls {

// One font for every control; null until create has run. Deleted when the window goes.
extern HFONT font;

void create(HWND window);

} // namespace MainWindowControls
