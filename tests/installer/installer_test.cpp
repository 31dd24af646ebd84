// The setup program run silently, as an administrator's script would, then judged by what it
// leaves where a user looks: the install folder, the Start menu, the Startup folder, the
// uninstall entry, and a Quellor started the way Windows starts it at log-on. Run by hand, it
// is judged by its last page.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/sensors/played_publishers.h"
#include "tests/support/files.h"

namespace {

const char uninstallKeys[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string quellorKey = std::string(uninstallKeys) + "Quellor";
const std::string otherKey = std::string(uninstallKeys) + "QuellorOther";

struct ShippedFile {
    const char* name;
    const char* source;
};
const ShippedFile shipped[] = {
    {"quellor.exe", QUELLOR_EXE}, {"vesk.dll", SYSTEM_DLL}, {"sim\\vesk.dll", SIMULATOR_DLL},
    {"readings.exe", READINGS_EXE}, {"README.txt", README_TXT},
};

std::string folderPath(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A value of an uninstall entry; false when the entry or the value is missing.
bool readValue(const std::string& key, const char* name, void* value, DWORD size, HKEY root = HKEY_CURRENT_USER)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    LONG result = RegQueryValueExA(handle, name, nullptr, nullptr, static_cast<BYTE*>(value), &size);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

std::string registryText(const std::string& key, const char* name, HKEY root = HKEY_CURRENT_USER)
{
    char text[1024] = "";
    return readValue(key, name, text, sizeof text - 1, root) ? text : "(missing)";
}

bool keyExists(const std::string& key, HKEY root = HKEY_CURRENT_USER)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

struct Shortcut {
    bool read = false;
    std::string target, arguments, folder;
};

Shortcut readShortcut(const std::string& path)
{
    Shortcut shortcut;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return shortcut;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t widePath[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        if (SUCCEEDED(file->Load(widePath, STGM_READ))) {
            char text[MAX_PATH] = "";
            link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
            shortcut.target = text;
            text[0] = 0;
            link->GetArguments(text, MAX_PATH);
            shortcut.arguments = text;
            text[0] = 0;
            link->GetWorkingDirectory(text, MAX_PATH);
            shortcut.folder = text;
            shortcut.read = true;
        }
        file->Release();
    }
    link->Release();
    return shortcut;
}

// Runs a command line to its end and the end of every process it starts: the uninstaller
// hands over to a copy of itself in the temporary folder and returns at once.
DWORD runAndWait(const std::string& commandLine)
{
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &process)) {
        CloseHandle(job);
        return GetLastError() | 0x80000000u;
    }
    AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    WaitForSingleObject(process.hProcess, 120000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    for (int i = 0; i < 1200; ++i) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
        if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr) ||
            info.ActiveProcesses == 0)
            break;
        Sleep(100);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(job);
    return code;
}

// Starts what a shortcut names, as the shell does: its target, its arguments, its folder.
PROCESS_INFORMATION startFrom(const Shortcut& shortcut)
{
    std::string line = "\"" + shortcut.target + "\" " + shortcut.arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, shortcut.folder.c_str(), &startup,
                   &process);
    return process;
}

// Adds a control's text to the texts, one a line.
BOOL CALLBACK addText(HWND control, LPARAM texts)
{
    char text[2048] = "";
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    *reinterpret_cast<std::string*>(texts) += std::string(text) + "\n";
    return TRUE;
}

// The setup as a user runs it, Install on the first page, until its last page, where it is
// ended: starting Quellor from there would cost the test seconds. Gives what the last page
// said ("" if it never came), the texts of its controls.
std::string installByHand()
{
    PROCESS_INFORMATION setup = startFrom({true, SETUP_EXE, "", "C:\\"});
    HWND window = nullptr;
    std::string texts;
    bool clicked = false;
    const char lastControl[] = "&Start Quellor now"; // made last, after the text
    for (int i = 0; i < 600 && texts.find(lastControl) == std::string::npos; ++i) {
        Sleep(100);
        window = window ? window : FindWindowA("#32770", "Quellor Setup"); // the last page's caption is another
        texts.clear();
        if (window)
            EnumChildWindows(window, addText, reinterpret_cast<LPARAM>(&texts));
        if (!clicked && texts.find("&Install") != std::string::npos)
            clicked = PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    TerminateProcess(setup.hProcess, 0);
    WaitForSingleObject(setup.hProcess, 10000);
    CloseHandle(setup.hThread);
    CloseHandle(setup.hProcess);
    return texts.find(lastControl) == std::string::npos ? "" : texts;
}

// Quellor's window once it is made; null if the process ended first. The prefix is the tests'
// own, so any Quellor window is the one just started.
HWND waitForWindow(const PROCESS_INFORMATION& process)
{
    HWND window = nullptr;
    for (int i = 0; i < 150 && !window; ++i) {
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0)
            break;
        window = FindWindowA("Vesk", "Quellor");
    }
    return window;
}

class Installer : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CoInitialize(nullptr);
        // Wine's shell copies each new Start menu shortcut into the host's own menus, which
        // are no business of these tests.
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr);
        RegSetValueExA(key, "winemenubuilder.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
        RegCloseKey(key);
    }

    void SetUp() override { removeLeftovers(); }
    void TearDown() override { removeLeftovers(); }

    // What a run that failed half-way may have left, so that every test starts afresh.
    void removeLeftovers()
    {
        for (int i = 0; i < 100; ++i) {
            HWND window = FindWindowA("Vesk", nullptr);
            if (!window)
                break;
            PostMessageA(window, WM_CLOSE, 0, 0);
            Sleep(100);
        }
        removeTree(installDir);
        DeleteFileA(startMenuLink.c_str());
        DeleteFileA(startupLink.c_str());
        DeleteFileA(otherLink.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, quellorKey.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, otherKey.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, quellorKey.c_str());
        setWineVersion(nullptr);
    }

    // The Windows that the programs started from now on see; null for the prefix's own.
    static void setWineVersion(const char* version)
    {
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, KEY_WRITE, &key);
        if (version)
            RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), lstrlenA(version) + 1);
        else
            RegDeleteValueA(key, "Version");
        RegCloseKey(key);
    }

    std::string installed(const std::string& name) const { return installDir + "\\" + name; }
    DWORD install() const { return runAndWait(std::string("\"") + SETUP_EXE + "\" /S"); }
    DWORD uninstall() const { return runAndWait("\"" + installed("uninstall.exe") + "\" /S"); }

    const std::string installDir = folderPath(CSIDL_LOCAL_APPDATA) + "\\Programs\\Quellor";
    const std::string startMenuLink = folderPath(CSIDL_PROGRAMS) + "\\Quellor.lnk";
    const std::string startupLink = folderPath(CSIDL_STARTUP) + "\\Quellor.lnk";
    const std::string otherLink = folderPath(CSIDL_STARTUP) + "\\Other.lnk";
};

TEST_F(Installer, PutsEverythingInPlaceAndLeavesNoTraceWhenUninstalled)
{
    ASSERT_EQ(install(), 0u);

    size_t bytes = 0;
    for (const ShippedFile& file : shipped) {
        std::string content = readFile(installed(file.name));
        EXPECT_FALSE(content.empty()) << file.name << " is missing";
        EXPECT_TRUE(content == readFile(file.source)) << file.name << " is not " << file.source;
        bytes += content.size();
    }
    EXPECT_TRUE(exists(installed("uninstall.exe")));

    const struct {
        std::string path, arguments;
    } shortcuts[] = {{startMenuLink, ""}, {startupLink, "/i"}};
    for (const auto& expected : shortcuts) {
        Shortcut shortcut = readShortcut(expected.path);
        ASSERT_TRUE(shortcut.read) << expected.path;
        EXPECT_STRCASEEQ(shortcut.target.c_str(), installed("quellor.exe").c_str()) << expected.path;
        EXPECT_EQ(shortcut.arguments, expected.arguments) << expected.path;
        EXPECT_STRCASEEQ(shortcut.folder.c_str(), installDir.c_str()) << expected.path << ": its Start-in folder";
    }

    EXPECT_EQ(registryText(quellorKey, "DisplayName"), "Quellor");
    EXPECT_EQ(registryText(quellorKey, "DisplayVersion"), QUELLOR_VERSION);
    EXPECT_EQ(registryText(quellorKey, "Publisher"), "Quellor Project");
    EXPECT_STRCASEEQ(registryText(quellorKey, "DisplayIcon").c_str(), (installed("quellor.exe") + ",0").c_str());
    EXPECT_STRCASEEQ(registryText(quellorKey, "UninstallString").c_str(),
                     ("\"" + installed("uninstall.exe") + "\"").c_str());
    DWORD kilobytes = 0;
    EXPECT_TRUE(readValue(quellorKey, "EstimatedSize", &kilobytes, sizeof kilobytes));
    EXPECT_GE(kilobytes, bytes / 1024);
    EXPECT_LE(kilobytes, bytes / 1024 + std::size(shipped));
    EXPECT_FALSE(keyExists(quellorKey, HKEY_LOCAL_MACHINE)) << "a per-user install leaves the machine's list alone";

    ASSERT_EQ(uninstall(), 0u);
    EXPECT_FALSE(exists(installDir));
    EXPECT_FALSE(exists(startMenuLink));
    EXPECT_FALSE(exists(startupLink));
    EXPECT_FALSE(keyExists(quellorKey));
}

TEST_F(Installer, StartupShortcutStartsQuellorHiddenAndReinstallingClosesIt)
{
    ASSERT_EQ(install(), 0u);
    PROCESS_INFORMATION quellor = startFrom(readShortcut(startupLink));
    HWND window = waitForWindow(quellor);
    ASSERT_TRUE(window) << "no Quellor window from the Startup shortcut";
    EXPECT_FALSE(IsWindowVisible(window)) << "\"/i\" starts it with only the icon";
    writeFile(installed("README.txt"), "an earlier version's file");

    ASSERT_EQ(install(), 0u);
    ASSERT_EQ(WaitForSingleObject(quellor.hProcess, 0), WAIT_OBJECT_0) << "the setup left Quellor running";
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(quellor.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_NE(readFile(installed("log.txt")).find("\r\nCPU "), std::string::npos)
        << "its record belongs in the install folder, its Start-in folder";
    EXPECT_TRUE(readFile(installed("README.txt")) == readFile(README_TXT)) << "the file was not replaced";
    CloseHandle(quellor.hThread);
    CloseHandle(quellor.hProcess);
}

TEST_F(Installer, UninstallClosesQuellorAndRemovesOnlyWhatItMade)
{
    ASSERT_EQ(install(), 0u);
    writeFile(installed("notes.txt"), "the user's");
    writeFile(otherLink, "another program's");
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, otherKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    RegCloseKey(key);
    PROCESS_INFORMATION quellor = startFrom(readShortcut(startMenuLink));
    ASSERT_TRUE(waitForWindow(quellor)) << "no Quellor window from the Start menu shortcut";

    ASSERT_EQ(uninstall(), 0u);
    ASSERT_EQ(WaitForSingleObject(quellor.hProcess, 0), WAIT_OBJECT_0) << "the uninstaller left Quellor running";
    EXPECT_NE(readFile(installed("log.txt")).find("\r\nCPU "), std::string::npos) << "the user's record is gone";
    EXPECT_EQ(readFile(installed("notes.txt")), "the user's");
    for (const ShippedFile& file : shipped)
        EXPECT_FALSE(exists(installed(file.name))) << file.name;
    EXPECT_FALSE(exists(installed("uninstall.exe")));
    EXPECT_FALSE(exists(installed("sim")));
    EXPECT_FALSE(exists(startMenuLink));
    EXPECT_FALSE(exists(startupLink));
    EXPECT_FALSE(keyExists(quellorKey));
    EXPECT_TRUE(exists(otherLink));
    EXPECT_TRUE(keyExists(otherKey));
    CloseHandle(quellor.hThread);
    CloseHandle(quellor.hProcess);
}

// Add/Remove Programs on Windows 95, 98 and ME lists only the machine's entries.
TEST_F(Installer, OnWindows98TheMachineListsItToo)
{
    setWineVersion("win98");
    ASSERT_EQ(install(), 0u);
    EXPECT_EQ(registryText(quellorKey, "DisplayName", HKEY_LOCAL_MACHINE), "Quellor");
    EXPECT_EQ(registryText(quellorKey, "DisplayName"), "Quellor");
    ASSERT_EQ(uninstall(), 0u);
    EXPECT_FALSE(keyExists(quellorKey, HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(keyExists(quellorKey));
    EXPECT_FALSE(exists(installDir));
}

// What Quellor will show, and why, once the installed library has asked every source: the
// played monitor's values and where they come from, or, with none, the monitors that work.
TEST_F(Installer, TheLastPageSaysWhatQuellorWillShow)
{
    TempFolder noHwmon("setup-no-hwmon");
    ScopedVariable root("VESK_SYSFS_ROOT", noHwmon.path().c_str());
    HwinfoLayout now;
    now.polled = unixNow();
    std::string page;
    {
        PlayedMapping hwinfo("Global\\HWiNFO_SENS_SM2",
            hwinfoImage(listing(capture("hwinfo/gigabyte-z270x-gaming-7-i7-7700k-shared-memory.txt")), now));
        page = installByHand();
    }
    EXPECT_NE(page.find("Quellor will show what it finds now:\r\n\r\nCPU 67 from HWiNFO shared memory, \"CPU Package\"\r\n"
                        "MB 38 from HWiNFO shared memory, \"System1\"\r\nFan 1406 from HWiNFO shared memory, \"CPU_OPT\""),
              std::string::npos) << page;
    EXPECT_EQ(page.find("Windows 11"), std::string::npos) << page;

    // Windows 11 as Wine 8 plays it, which has no "win11": the version a program that names
    // Windows 10 in its manifest (the setup does) reads from the registry when none is set.
    const char nt[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    auto pretend = [&](const std::string& version, const std::string& build) {
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, nt, "CurrentVersion", REG_SZ, version.c_str(), version.size() + 1);
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, nt, "CurrentBuildNumber", REG_SZ, build.c_str(), build.size() + 1);
    };
    std::string version = registryText(nt, "CurrentVersion", HKEY_LOCAL_MACHINE);
    std::string build = registryText(nt, "CurrentBuildNumber", HKEY_LOCAL_MACHINE);
    pretend("10.0", "22000");
    page = installByHand();
    pretend(version, build);
    EXPECT_NE(page.find("Nothing yet: no hardware monitor is running"), std::string::npos) << page;
    EXPECT_NE(page.find("  HWiNFO: Settings, \"Shared Memory Support\""), std::string::npos) << page;
    EXPECT_NE(page.find("Settings, Personalization, Taskbar, Other system tray icons, Quellor."), std::string::npos)
        << page;
}

} // namespace
