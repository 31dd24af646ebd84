// WinMain and Quellor's one window, whose procedure drives everything else.
#include <windows.h>

#include "core/maxima_log.h"
#include "core/monitor_state.h"
#include "core/sensor_library.h"
#include "ui/argument_text.h"
#include "ui/main_window_controls.h"
#include "ui/tray_icon.h"

namespace {

constexpr int windowWidth = 260;
constexpr int windowHeight = 120;
constexpr UINT_PTR sampleTimer = 1;
constexpr UINT samplePeriod = 5000; // ms

// Sent to every top-level window when the shell (re)creates the taskbar; 0 until registered.
UINT taskbarCreated;
// Creation is over and the timer samples. Messages sent from elsewhere can arrive while
// creation still waits for the shell, and must not end or sample a half-made monitor.
bool running;

// Run as administrator (Vista and later), the window would not hear "TaskbarCreated" from the
// shell of the ordinary user, and the icon would never come back; let that message through.
// Older systems have no such filter.
void hearTaskbarCreated(HWND window)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    using FilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT); // Windows 7
    using FilterFn = BOOL(WINAPI*)(UINT, DWORD);                              // Vista
    auto filterEx = reinterpret_cast<FilterExFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    auto filter = reinterpret_cast<FilterFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")));
    if (filterEx)
        filterEx(window, taskbarCreated, MSGFLT_ALLOW, nullptr);
    else if (filter)
        filter(taskbarCreated, MSGFLT_ADD);
}

// Returns -1 at the first step that fails, and the window is refused.
LRESULT create(HWND window)
{
    if (!sensorLibrary.load())
        return -1;
    if (sensorLibrary.resolve() != 0)
        return -1;
    MainWindowControls::create(window);
    monitorState.start();
    hearTaskbarCreated(window);
    TrayIcon::add(window);
    monitorState.sample(window);
    SetTimer(window, sampleTimer, samplePeriod, nullptr);
    running = true;
    return 0;
}

void destroy(HWND window)
{
    if (sensorLibrary.isLoaded()) {
        DeleteObject(MainWindowControls::font);
        KillTimer(window, sampleTimer);
        TrayIcon::remove(window);
        sensorLibrary.unload();
        // A start that failed measured nothing: keep the previous run's record.
        if (monitorState.started)
            MaximaLog::write();
    }
    PostQuitMessage(0);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return create(window);
    case WM_DESTROY:
        destroy(window);
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED)
            break;
        // Off the screen and the taskbar; the icon brings it back.
        ShowWindow(window, SW_HIDE);
        return 0;
    case WM_TIMER:
        monitorState.sample(window);
        return 0;
    case trayCallbackMessage:
        if (lParam == WM_LBUTTONUP) {
            ShowWindow(window, SW_RESTORE);
            BringWindowToTop(window);
        }
        return 0;
    case WM_ENDSESSION:
        // The session ends (log-off, shut-down) or Windows asks us to close (an installer):
        // either way the process is expected to go. Ending as the close box does keeps the
        // record and removes the icon, once, before Windows ends the process.
        if (wParam && running)
            DestroyWindow(window);
        return 0;
    }
    // The shell restarted (or started after us) without our icon: without it a hidden window
    // could never come back, so a sample puts it in again with a fresh face and tooltip.
    if (message == taskbarCreated && taskbarCreated != 0 && running) {
        TrayIcon::lost();
        monitorState.sample(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

// argument: the command line without the program's name, as ui/entry_point.cpp takes it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR argument, int showCommand)
{
    taskbarCreated = RegisterWindowMessageA("TaskbarCreated");

    if (!previous) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = "Vesk";
        RegisterClassA(&windowClass);
    }

    RECT desktop;
    GetClientRect(GetDesktopWindow(), &desktop);
    HWND window = CreateWindowExA(0, "Vesk", "Quellor", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  (desktop.right - windowWidth) / 2, (desktop.bottom - windowHeight) / 2,
                                  windowWidth, windowHeight, nullptr, nullptr, instance, nullptr);
    // A refused window has told the user why. Windows then runs WM_DESTROY, which posts the
    // quit message, but Wine does not; end here either way rather than loop with no window.
    if (!window)
        return 0;

    ShowWindow(window, startsHidden(argument) ? SW_HIDE : showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
