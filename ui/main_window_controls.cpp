#include "ui/main_window_controls.h"

#include <commctrl.h>

#include "core/monitor_state.h"

HFONT MainWindowControls::font;

namespace {

constexpr int statusBarId = 600;
// Bordered, right-aligned, and not for the user to edit: only the samples write here.
constexpr DWORD valueFieldStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_MULTILINE | ES_RIGHT;
constexpr DWORD labelStyle = WS_CHILD | WS_VISIBLE;

// One row per reading: its label on the left, its value field on the right, 20 pixels apart.
struct Row {
    int labelId;
    const char* label;
    int fieldId;
};

constexpr Row rows[] = {
    {400, "CPU Temperature", cpuTemperatureField},
    {401, "MB Temperature", mbTemperatureField},
    {402, "CPU Fan", cpuFanField},
};

void addControl(HWND window, HINSTANCE instance, int id, const char* className, const char* text, int left,
                int top, int width, int height, DWORD style)
{
    CreateWindowExA(0, className, text, style, left, top, width, height, window,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendDlgItemMessageA(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(MainWindowControls::font), 1);
}

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
    int top = 10;
    for (const Row& row : rows) {
        addControl(window, instance, row.labelId, "STATIC", row.label, 10, top, 100, 20, labelStyle);
        addControl(window, instance, row.fieldId, "EDIT", "", 120, top, 50, 18, valueFieldStyle);
        top += 20;
    }

    CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", window, statusBarId);
    SendDlgItemMessageA(window, statusBarId, WM_SETFONT, reinterpret_cast<WPARAM>(font), 1);
    int rightEdges[] = {-1};
    SendDlgItemMessageA(window, statusBarId, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(rightEdges));
    SendDlgItemMessageA(window, statusBarId, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Quellor 1.20"));
}
