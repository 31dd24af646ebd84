#!/usr/bin/env bash
# Fails when a shipped 32-bit file would not load on a bare Windows 95: an import from a DLL
# it does not have (msvcrt.dll above all), a function its DLLs do not export, or a header
# asking for a Windows newer than 4.0. Anything newer is looked up at run time instead.
#   check_imports.sh OBJDUMP FILE...
set -euo pipefail

# Every function the shipped files may import, each exported by Windows 95's own DLLs.
allowed='
ADVAPI32 RegCloseKey RegEnumValueA RegOpenKeyExA RegQueryInfoKeyA RegQueryValueExA
COMCTL32 CreateStatusWindowA
GDI32 CreateFontIndirectA DeleteObject
KERNEL32 CloseHandle CreateFileA CreateMutexA CreateThread ExitProcess FindClose FindFirstFileA
KERNEL32 FindNextFileA FreeLibrary FreeLibraryAndExitThread GetCommandLineA GetEnvironmentVariableA
KERNEL32 GetFileAttributesA GetLastError GetLocalTime GetModuleFileNameA GetModuleHandleA GetProcAddress
KERNEL32 GetStartupInfoA GetStdHandle GetSystemTimeAsFileTime GetTickCount GetVersionExA LoadLibraryA MapViewOfFile
KERNEL32 MultiByteToWideChar OpenFileMappingA OpenMutexA ReadFile ReleaseMutex SetLastError Sleep UnmapViewOfFile
KERNEL32 VirtualAlloc VirtualFree VirtualQuery WaitForSingleObject WideCharToMultiByte WriteFile
KERNEL32 lstrcmpA lstrcmpiA lstrcpyA lstrcpynA lstrlenA
SHELL32 Shell_NotifyIconA
USER32 BringWindowToTop CreateWindowExA DefWindowProcA DestroyWindow DispatchMessageA GetClientRect
USER32 GetDesktopWindow GetMessageA GetSysColorBrush GetWindowLongA KillTimer LoadCursorA LoadIconA
USER32 MessageBoxA PostQuitMessage RegisterClassA RegisterWindowMessageA SendDlgItemMessageA
USER32 SetDlgItemTextA SetTimer ShowWindow TranslateMessage UpdateWindow wsprintfA
'
allowedList=$(awk 'NF { for (i = 2; i <= NF; ++i) print $1 "!" $i }' <<<"$allowed")

objdump=$1
shift
failed=0
for file in "$@"; do
    header=$("$objdump" -p "$file")
    # DLL!function, one a line; a function imported by ordinal shows as DLL!<none>.
    imports=$(awk '/^\tDLL Name: / { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
                   dll && /^\t[0-9a-f]+\t/ { print dll "!" $NF }
                   /^$/ { dll = "" }' <<<"$header")
    echo "$file: $(wc -l <<<"$imports") functions from $(cut -d! -f1 <<<"$imports" | sort -u | paste -sd' ')"
    [[ -n $imports ]] || { echo "  no import table found"; failed=1; }
    bad=$(grep -vxFf <(echo "$allowedList") <<<"$imports" || true)
    [[ -z $bad ]] || { echo "  not among the Windows 95 functions allowed here:" $bad; failed=1; }
    for field in MajorOSystemVersion MajorSubsystemVersion; do
        minor=${field/Major/Minor}
        version="$(awk -v f="$field" '$1 == f { print $2 }' <<<"$header").$(awk -v f="$minor" '$1 == f { print $2 }' <<<"$header")"
        [[ $version == 4.0 ]] || { echo "  $field.$minor is $version, not 4.0"; failed=1; }
    done
done
exit $failed
