#include "ui/main_window_controls.h"

#include <commctrl.h>

#include "core/monitor_state.h"

HFONT MainWindowControls::font;

namespace {

constexpr int statusBarId = 600;
// Bordered, right-aligned, and not for the user to edit: only the samples write here.
constexpr DWORD valueFieldStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_MULTILINE | ES_RIGHT;
constexpr DWORD labelStyle = WS_CHILD | WS_VISIBLE;

struct Control {
    int id;
    const char* className;
    const char* text;
    int left, top, width, height;
    DWORD style;
};

constexpr Control controls[] = {
    {400, "STATIC", "CPU Temperature", 10, 10, 100, 20, labelStyle},
    {cpuTemperatureField, "EDIT", "", 120, 10, 50, 18, valueFieldStyle},
    {401, "STATIC", "MB Temperature", 10, 30, 100, 20, labelStyle},
    {mbTemperatureField, "EDIT", "", 120, 30, 50, 18, valueFieldStyle},
    {402, "STATIC", "CPU Fan", 10, 50, 100, 20, labelStyle},
    {cpuFanField, "EDIT", "", 120, 50, 50, 18, valueFieldStyle},
};

} // namespace

void MainWindowControls::create(HWND window)
{
    LOGFONTA description{};
    description.lfHeight = -10; // 10 logical units, deliberately not converted from points
    description.lfOutPrecision = OUT_TT_PRECIS;
    description.lfClipPrecision = CLIP_CHARACTER_PRECIS;
    lstrcpyA(description.lfFaceName, "MS Sans Serif");
    font = CreateFontIndirectA(&description);

    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    for (const Control& c : controls) {
        CreateWindowExA(0, c.className, c.text, c.style, c.left, c.top, c.width, c.height, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        SendDlgItemMessageA(window, c.id, WM_SETFONT, reinterpret_cast<WPARAM>(font), 1);
    }

    CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", window, statusBarId);
    SendDlgItemMessageA(window, statusBarId, WM_SETFONT, reinterpret_cast<WPARAM>(font), 1);
    int rightEdges[] = {-1};
    SendDlgItemMessageA(window, statusBarId, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(rightEdges));
    SendDlgItemMessageA(window, statusBarId, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Quellor 1.20"));
}
