// The floor the benchmarks set Quellor beside: the least a program doing its job must do, and
// nothing else. It registers a class, creates one window and adds one icon; with /fields it
// also has the three value fields and, like Quellor, a 5-second timer. Its sample is just the
// platform calls one of Quellor's samples must make: three SetDlgItemTextA, one LoadIconA and
// one Shell_NotifyIconA modify.
//   floor.exe [/fields | /controls] [/i]      /i: the window stays hidden
// /controls starts with everything Quellor's window shows: the fields and their labels, the
// status bar (comctl32.dll, loaded then), and the icon with the first values in its tooltip.
// It splits the start-up and memory figures into what the window's content costs and what is
// Quellor's. The floor carries Quellor's resources and, like Quellor, no C runtime.
// WM_TIMER runs one sample, counted like the test sensor libraries count Quellor's
// (sample_counter.h); a WM_APP sent with wParam N runs N samples in a plain loop.
#include <windows.h>
#include <shellapi.h>

#include "tests/support/sample_counter.h"

namespace {

// Built like Quellor, without the C runtime, so that neither carries it: no strstr.
bool hasOption(const char* arguments, const char* option)
{
    for (; *arguments; ++arguments) {
        int i = 0;
        while (option[i] && arguments[i] == option[i])
            ++i;
        if (!option[i])
            return true;
    }
    return false;
}

const UINT trayMessage = WM_USER + 1;
// Quellor's own field style: a multi-line edit control right-aligns its text.
const DWORD fieldStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_MULTILINE | ES_RIGHT;
SampleCounter* counter;
HANDLE reached;
bool withFields, withControls;
HFONT font;

void notify(HWND window, DWORD command)
{
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = trayMessage;
    data.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    lstrcpynA(data.szTip, "CPU 45\nMB 38\nFan 4500", sizeof data.szTip);
    Shell_NotifyIconA(command, &data);
}

void sample(HWND window)
{
    SetDlgItemTextA(window, 500, "45");
    SetDlgItemTextA(window, 501, "38");
    SetDlgItemTextA(window, 502, "4500");
    notify(window, NIM_MODIFY);
}

void addControls(HWND window)
{
    const char* labels[] = {"CPU Temperature", "MB Temperature", "CPU Fan"};
    for (int i = 0; i < 3; ++i) {
        CreateWindowExA(0, "STATIC", labels[i], WS_CHILD | WS_VISIBLE, 10, 10 + 20 * i, 100, 20, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(400 + i)), nullptr, nullptr);
        SendDlgItemMessageA(window, 400 + i, WM_SETFONT, reinterpret_cast<WPARAM>(font), 1);
    }
    using CreateStatusFn = HWND(WINAPI*)(LONG, LPCSTR, HWND, UINT);
    auto createStatus = reinterpret_cast<CreateStatusFn>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("comctl32.dll"), "CreateStatusWindowA")));
    if (createStatus) {
        HWND bar = createStatus(WS_CHILD | WS_VISIBLE, "Quellor 1.20", window, 600);
        SendMessageA(bar, WM_SETFONT, reinterpret_cast<WPARAM>(font), 1);
    }
    sample(window);
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (withFields) {
            // Quellor's font too: under Wine an edit control takes longer to set its text in it
            // than in the system font, and that is the job, not Quellor's overhead.
            LOGFONTA description{};
            description.lfHeight = -10;
            description.lfOutPrecision = OUT_TT_PRECIS;
            description.lfClipPrecision = CLIP_CHARACTER_PRECIS;
            lstrcpyA(description.lfFaceName, "MS Sans Serif");
            font = CreateFontIndirectA(&description);
            for (int id = 500; id <= 502; ++id) {
                CreateWindowExA(0, "EDIT", "", fieldStyle, 120, 10 + 20 * (id - 500), 50, 18, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
                SendDlgItemMessageA(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), 1);
            }
            SetTimer(window, 1, 5000, nullptr);
        }
        notify(window, NIM_ADD);
        if (withControls)
            addControls(window);
        return 0;
    case WM_TIMER:
        sample(window);
        if (counter) {
            InterlockedIncrement(&counter->samples);
            if (counter->samples == counter->target)
                SetEvent(reached);
        }
        return 0;
    case WM_APP:
        for (WPARAM i = 0; i < wParam; ++i)
            sample(window);
        return 0;
    case WM_DESTROY:
        notify(window, NIM_DELETE);
        DeleteObject(font);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int showCommand)
{
    withControls = hasOption(arguments, "/controls");
    withFields = withControls || hasOption(arguments, "/fields");
    DWORD self = GetCurrentProcessId();
    HANDLE mapping; // kept open for the process's life
    counter = mapCounter(self, mapping);
    reached = reachedEvent(self);
    HANDLE ready = readyEvent(self);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = "QuellorFloor";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "QuellorFloor", "Floor", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 260, 120, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, hasOption(arguments, "/i") ? SW_HIDE : showCommand);
    UpdateWindow(window);

    SetEvent(ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
