#include "harness.h"

#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

// Test binaries sit in the build's tests folder; the probes beside them, quellor.exe in bin.
static std::string testsFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

QuellorRun::QuellorRun(const std::string& library, const std::string& exeName)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string runs = testsFolder() + "runs";
    CreateDirectoryA(runs.c_str(), nullptr);
    static int serial; // a test may need several runs at once
    folder_ = runs + "\\" + test->test_suite_name() + "." + test->name() + "." + std::to_string(++serial);
    removeTree(folder_);
    CreateDirectoryA(folder_.c_str(), nullptr);
    exe_ = folder_ + "\\" + exeName;
    CopyFileA(QUELLOR_EXE, exe_.c_str(), FALSE);
    if (!library.empty())
        CopyFileA((testsFolder() + "probe\\" + library + "\\vesk.dll").c_str(), (folder_ + "\\vesk.dll").c_str(), FALSE);
    // The probes record every call; the fast libraries tell only a SampleDriver.
    probe_ = !library.empty() && library != "sweep" && library != "instant";
    setReadings("45", "38", "4500");
}

QuellorRun::~QuellorRun()
{
    if (running()) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    if (process.hProcess) {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
}

void QuellorRun::setReadings(const std::string& cpu, const std::string& mb, const std::string& fan,
                             const std::string& platform)
{
    writeFile("probe.txt", cpu + "\n" + mb + "\n" + fan + "\n" + platform + "\n");
}

void QuellorRun::writeFile(const std::string& name, const std::string& content)
{
    ::writeFile(folder_ + "\\" + name, content);
}

std::string QuellorRun::readFile(const std::string& name) const
{
    return ::readFile(folder_ + "\\" + name);
}

void QuellorRun::start(const std::string& arguments, const std::string& workingDir)
{
    std::string commandLine = "\"" + exe_ + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string dir = workingDir.empty() ? folder_ : workingDir;
    ASSERT_TRUE(CreateProcessA(exe_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                               &startup, &process))
        << exe_;
}

bool QuellorRun::running() const
{
    return process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

std::string windowText(HWND window)
{
    char text[256] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, nullptr);
    return text;
}

HWND QuellorRun::window()
{
    if (window_)
        return window_;
    HWND found = nullptr;
    for (int i = 0; i < 300 && !found; ++i) {
        std::vector<HWND> windows = topLevelWindows(process.dwProcessId, "Vesk");
        if (!windows.empty())
            found = windows.front();
        else if (!running() || openMessageBoxes() > 0)
            return nullptr;
        else
            Sleep(50);
    }
    // The window exists from the start of its creation; wait until creation has finished,
    // that is until the first sample has handed its tooltip to the icon.
    for (int i = 0; i < 300 && probe_ && notifications().size() < 2; ++i)
        Sleep(50);
    // Then until WinMain has shown (or hidden) it and waits in its message loop. A message
    // sent now could be answered while the sample waits for the shell, so wait for idleness.
    WaitForInputIdle(process.hProcess, 5000);
    window_ = found;
    return window_;
}

int QuellorRun::openMessageBoxes() const
{
    return static_cast<int>(topLevelWindows(process.dwProcessId, "#32770").size());
}

static BOOL CALLBACK noteErrorIcon(HWND child, LPARAM context)
{
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && className(child) == "Static")
        *reinterpret_cast<bool*>(context) = true;
    return TRUE;
}

bool QuellorRun::dismissMessageBox(MessageBoxSeen& seen)
{
    for (int i = 0; i < 300; ++i) {
        std::vector<HWND> boxes = topLevelWindows(process.dwProcessId, "#32770");
        if (boxes.empty()) {
            if (!running())
                return false;
            Sleep(50);
            continue;
        }
        HWND box = boxes.front();
        Sleep(100); // let it finish drawing itself
        seen.caption = windowText(box);
        char text[256] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // a message box's text control
        seen.text = text;
        seen.hasOwner = GetWindow(box, GW_OWNER) != nullptr;
        seen.hasErrorIcon = false;
        EnumChildWindows(box, noteErrorIcon, reinterpret_cast<LPARAM>(&seen.hasErrorIcon));
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        return true;
    }
    return false;
}

int QuellorRun::waitForExit(DWORD ms)
{
    if (WaitForSingleObject(process.hProcess, ms) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}

int QuellorRun::close()
{
    PostMessageA(window(), WM_CLOSE, 0, 0);
    return waitForExit();
}

void QuellorRun::sample()
{
    SendMessageA(window(), WM_TIMER, 1, 0);
}

std::string QuellorRun::fieldText(int id)
{
    return windowText(GetDlgItem(window(), id));
}

std::vector<std::string> QuellorRun::calls() const
{
    std::vector<std::string> lines;
    std::istringstream text(readFile("calls.txt"));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> QuellorRun::notifications() const
{
    std::vector<std::string> lines;
    for (const std::string& line : calls())
        if (line.rfind("N ", 0) == 0)
            lines.push_back(line);
    return lines;
}

std::string QuellorRun::commands() const
{
    std::string seen;
    for (const std::string& n : notifications())
        seen += (seen.empty() ? "" : " ") + commandOf(n);
    return seen;
}

std::string iconRecord(const std::string& command, int face, const std::string& tip)
{
    return "N " + command + " cb=" + std::to_string(NOTIFYICONDATAA_V1_SIZE) + " id=1 flags=7 msg=1025 face="
        + std::to_string(face) + " tip=" + tip;
}

std::string commandOf(const std::string& record)
{
    return record.substr(2, record.find(' ', 2) - 2);
}

void takeIconAway(HWND window)
{
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    icon.uID = 1;
    Shell_NotifyIconA(NIM_DELETE, &icon);
}

static BOOL CALLBACK collectTrayIcons(HWND window, LPARAM context)
{
    if (className(window) == "__winex11_tray_icon")
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

std::vector<HWND> trayIcons()
{
    std::vector<HWND> icons;
    // Without a tray of the desktop's own, Wine shows the icons in a window of their own.
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    if (tray)
        EnumChildWindows(tray, collectTrayIcons, reinterpret_cast<LPARAM>(&icons));
    else if (!FindWindowA("Shell_TrayWnd", nullptr))
        ADD_FAILURE() << "the notification area cannot be looked into";
    return icons;
}
