// Where the process starts. Quellor links no C runtime (msvcrt.dll is not on a bare Windows
// 95), so this does the little the runtime's start-up did for it: WinMain gets the instance,
// the argument text and the show command from Win32, and its result is the exit code.
#include <windows.h>

#include "ui/argument_text.h"

extern "C" void quellorStart()
{
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    // A shortcut's "Run: minimized" arrives here.
    int showCommand = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
    char* argument = const_cast<char*>(argumentText(GetCommandLineA()));
    ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, argument, showCommand));
}
