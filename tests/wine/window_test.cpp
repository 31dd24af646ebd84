// The main window and its controls as the user meets them.
#include "harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

TEST(Window, ClassTitleSizeStyleAndPlace)
{
    QuellorRun run;
    run.start();
    HWND window = run.window();
    ASSERT_TRUE(window);
    EXPECT_EQ(className(window), "Vesk");
    EXPECT_EQ(windowText(window), "Quellor");
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_TRUE(IsWindowVisible(window));

    RECT desktop, outer;
    GetClientRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 260);
    EXPECT_EQ(outer.bottom - outer.top, 120);
    EXPECT_EQ(outer.left, (desktop.right - 260) / 2);
    EXPECT_EQ(outer.top, (desktop.bottom - 120) / 2);
    EXPECT_EQ(run.close(), 0);
}

TEST(Controls, LabelsFieldsAndStatusBar)
{
    QuellorRun run;
    run.start();
    HWND window = run.window();
    ASSERT_TRUE(window);
    const DWORD field = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_MULTILINE | ES_RIGHT;
    struct { int id; const char* className; const char* text; RECT place; DWORD style; } controls[] = {
        {400, "Static", "CPU Temperature", {10, 10, 110, 30}, WS_CHILD | WS_VISIBLE},
        {500, "Edit", "45", {120, 10, 170, 28}, field},
        {401, "Static", "MB Temperature", {10, 30, 110, 50}, WS_CHILD | WS_VISIBLE},
        {501, "Edit", "38", {120, 30, 170, 48}, field},
        {402, "Static", "CPU Fan", {10, 50, 110, 70}, WS_CHILD | WS_VISIBLE},
        {502, "Edit", "4500", {120, 50, 170, 68}, field},
    };
    for (auto c : controls) {
        SCOPED_TRACE(c.id);
        HWND control = GetDlgItem(window, c.id);
        ASSERT_TRUE(control);
        EXPECT_STRCASEEQ(className(control).c_str(), c.className);
        // The first sample ran while the window was being made: the fields are never empty.
        EXPECT_EQ(windowText(control), c.text);
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, c.place.left);
        EXPECT_EQ(place.top, c.place.top);
        EXPECT_EQ(place.right, c.place.right);
        EXPECT_EQ(place.bottom, c.place.bottom);
        // An edit control takes WS_BORDER out of its style and draws the border itself.
        DWORD style = GetWindowLongA(control, GWL_STYLE);
        EXPECT_EQ(style & ~(WS_GROUP | WS_BORDER), c.style & ~WS_BORDER);
    }

    HWND status = GetDlgItem(window, 600);
    ASSERT_TRUE(status);
    EXPECT_EQ(className(status), STATUSCLASSNAMEA);
    EXPECT_EQ(windowText(status), "Quellor 1.20");
    EXPECT_EQ(SendMessageA(status, SB_GETPARTS, 0, 0), 1);
    RECT client, bar;
    GetClientRect(window, &client);
    GetWindowRect(status, &bar);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.bottom, client.bottom);

    // The user cannot change a value: typing into a field leaves it as the sample wrote it.
    HWND cpu = GetDlgItem(window, 500);
    SendMessageA(cpu, WM_CHAR, '9', 0);
    EXPECT_EQ(windowText(cpu), "45");
    EXPECT_EQ(run.close(), 0);
}

// "/i" alone starts hidden; a left-button release on the icon brings the window back, and
// nothing else from the icon does anything. Minimizing hides the window, off the taskbar too.
TEST(Visibility, HiddenStartMinimizeAndTheIcon)
{
    struct { const char* arguments; bool visible; } starts[] = {
        {"/i", false}, {"/I", true}, {"-i", true}, {"/i x", true}, {"", true},
    };
    for (auto s : starts) {
        SCOPED_TRACE(s.arguments);
        QuellorRun run;
        run.start(s.arguments);
        ASSERT_TRUE(run.window());
        EXPECT_EQ(IsWindowVisible(run.window()) != 0, s.visible);
        EXPECT_EQ(run.close(), 0);
    }

    QuellorRun run;
    run.start("/i");
    HWND window = run.window();
    ASSERT_TRUE(window);
    for (LPARAM other : {WM_RBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK})
        SendMessageA(window, WM_USER + 1, 1, other);
    EXPECT_FALSE(IsWindowVisible(window));
    SendMessageA(window, WM_USER + 1, 1, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));

    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    SendMessageA(window, WM_USER + 1, 1, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    // Already shown: a click raises it and changes nothing else.
    SendMessageA(window, WM_USER + 1, 1, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(run.close(), 0);
}
