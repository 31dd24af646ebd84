// Windows' wide functions, for paths that may hold any letter: a per-user folder holds the
// user's name, in whatever script it is written, which the ANSI code page may not spell.
// Looked up at run time: Windows 9x has only stubs of them, and where one answers that it is
// not implemented, the ANSI function takes the path in the code page, which is all a Windows 9x
// file name can hold.
#pragma once

#include <windows.h>

HANDLE openForReading(const WCHAR* path);
DWORD fileAttributes(const WCHAR* path); // INVALID_FILE_ATTRIBUTES when there is no such file

// The entries of a folder that match pattern ("...\hwmon*"), one call each with its name
// (file names here are ASCII: the kernel's own).
void forEachEntry(const WCHAR* pattern, void (*found)(const char* name, void* context), void* context);

// The variable's value; false when it is not set or does not fit.
bool environmentPath(const char* name, WCHAR (&value)[MAX_PATH]);

HMODULE loadLibrary(const WCHAR* path);
// The module's file, or the program's for nullptr; false when it does not fit.
bool modulePath(HMODULE module, WCHAR (&path)[MAX_PATH]);
// The command line, with the program's name first.
const WCHAR* commandLine(WCHAR (&buffer)[1024]);
