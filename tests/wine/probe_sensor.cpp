// A "vesk.dll" that lets a test choose the readings and see every call Quellor makes.
//
// Readings come from "probe.txt" beside the library, read again on every call so a test can
// change them while Quellor runs: three lines of integers, for GetCPUTemperature,
// GetMBTemperature and GetFanCPURPM. The n-th call of an export returns the n-th number of
// its line; the last number repeats.
//
// Every call is appended to "calls.txt" beside the library: "C 45", "M 38", "F 4500". The
// library also puts itself between quellor.exe and Shell_NotifyIconA (in the executable's
// import table, so the real function still runs) and appends each record that reaches it:
//   N <command> cb=<cbSize> id=<uID> flags=<uFlags> msg=<uCallbackMessage> face=<group> tip=<text>
// with line feeds in the tooltip written as "\n". It sees the window's message filter too:
//   W filter <TaskbarCreated or other> action=<action>
//
// Further lines of probe.txt play the platform:
//   shell <answer> ...  the answers to the successive Shell_NotifyIconA calls, the last one
//                       repeating: "ok" (the shell's own), "lost" (never reaches the shell:
//                       FALSE), "late" (reaches it, but the answer comes too late: FALSE)
//   teardown            a refused WM_CREATE is followed by WM_DESTROY, as on Windows (Wine
//                       sends none); "W destroy" is recorded when the library sends it
//
// Built with PROBE_WITHOUT_CPU, PROBE_WITHOUT_MB or PROBE_WITHOUT_FAN, it lacks that export.
#include <windows.h>
#include <shellapi.h>

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "replace_import.h"

#define PROBE_EXPORT extern "C" __declspec(dllexport)

static char folder[MAX_PATH];

static void pathOf(char (&path)[MAX_PATH], const char* name)
{
    snprintf(path, sizeof path, "%s%s", folder, name);
}

static void record(const char* line)
{
    char path[MAX_PATH];
    pathOf(path, "calls.txt");
    if (FILE* file = fopen(path, "ab")) {
        fprintf(file, "%s\n", line);
        fclose(file);
    }
}

// The line of probe.txt after the three readings that starts with the word: what follows
// the word, or null when there is none.
static const char* option(const char* word, char (&text)[4096])
{
    char path[MAX_PATH];
    pathOf(path, "probe.txt");
    FILE* file = fopen(path, "r");
    if (!file)
        return nullptr;
    size_t length = strlen(word);
    bool found = false;
    for (int line = 0; !found && fgets(text, sizeof text, file); ++line)
        found = line >= 3 && strncmp(text, word, length) == 0 && (!text[length] || isspace(static_cast<unsigned char>(text[length])));
    fclose(file);
    return found ? text + length : nullptr;
}

// The reading for the count-th call of the export on the given line of probe.txt.
static int reading(int line, int count)
{
    char path[MAX_PATH];
    pathOf(path, "probe.txt");
    FILE* file = fopen(path, "r");
    if (!file)
        return 0;
    char text[4096] = "";
    for (int i = 0; i <= line; ++i)
        if (!fgets(text, sizeof text, file))
            text[0] = '\0';
    fclose(file);

    int value = 0;
    char* p = text;
    for (int i = 0; i <= count; ++i) {
        char* end;
        long next = strtol(p, &end, 10);
        if (end == p)
            break;
        value = static_cast<int>(next);
        p = end;
    }
    return value;
}

[[maybe_unused]] static int readAndRecord(int line, char tag)
{
    static int counts[3];
    int value = reading(line, counts[line]++);
    char text[32];
    snprintf(text, sizeof text, "%c %d", tag, value);
    record(text);
    return value;
}

#ifndef PROBE_WITHOUT_CPU
PROBE_EXPORT int GetCPUTemperature(void) { return readAndRecord(0, 'C'); }
#endif
#ifndef PROBE_WITHOUT_MB
PROBE_EXPORT int GetMBTemperature(void) { return readAndRecord(1, 'M'); }
#endif
#ifndef PROBE_WITHOUT_FAN
PROBE_EXPORT int GetFanCPURPM(void) { return readAndRecord(2, 'F'); }
#endif

using NotifyFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
static NotifyFn realNotify;

static int faceOf(HICON icon)
{
    for (int group = 1; group <= 6; ++group)
        if (LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(group)) == icon)
            return group;
    return 0;
}

static BOOL WINAPI recordingNotify(DWORD command, PNOTIFYICONDATAA data)
{
    const char* name = command == NIM_ADD ? "add" : command == NIM_MODIFY ? "modify"
                     : command == NIM_DELETE ? "delete" : "other";
    char tip[200];
    char* out = tip;
    for (const char* in = data->szTip; *in && out < tip + sizeof tip - 3; ++in) {
        if (*in == '\n') {
            *out++ = '\\';
            *out++ = 'n';
        } else {
            *out++ = *in;
        }
    }
    *out = '\0';
    char line[400];
    snprintf(line, sizeof line, "N %s cb=%lu id=%u flags=%u msg=%u face=%d tip=%s", name,
             static_cast<unsigned long>(data->cbSize), data->uID, data->uFlags, data->uCallbackMessage,
             faceOf(data->hIcon), tip);
    record(line);

    static int calls;
    char text[4096], answer[8] = "ok";
    if (const char* answers = option("shell", text))
        for (int i = 0, n; i <= calls && sscanf(answers, " %7s%n", answer, &n) == 1; ++i)
            answers += n;
    ++calls;
    if (strcmp(answer, "lost") == 0)
        return FALSE;
    BOOL result = realNotify(command, data);
    return strcmp(answer, "late") == 0 ? FALSE : result;
}

using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
static FilterFn realFilter;

static BOOL WINAPI recordingFilter(HWND window, UINT message, DWORD action, void* status)
{
    char line[100];
    snprintf(line, sizeof line, "W filter %s action=%lu",
             message == RegisterWindowMessageA("TaskbarCreated") ? "TaskbarCreated" : "other",
             static_cast<unsigned long>(action));
    record(line);
    return realFilter(window, message, action, status);
}

// Quellor looks the filter up at run time: it is found through this stand-in.
using LookupFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);
static LookupFn realLookup;

static FARPROC WINAPI watchingLookup(HMODULE module, LPCSTR name)
{
    FARPROC found = realLookup(module, name);
    if (!found || IS_INTRESOURCE(name) || strcmp(name, "ChangeWindowMessageFilterEx") != 0)
        return found;
    realFilter = reinterpret_cast<FilterFn>(reinterpret_cast<void*>(found));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(recordingFilter));
}

// Windows follows a refused WM_CREATE with WM_DESTROY and then WM_NCDESTROY; Wine sends only
// the last. The library loads inside that WM_CREATE, so it can stand in front of the window's
// procedure and send the missing message first.
static WNDPROC windowProcedure;
static bool destroyed;

static LRESULT CALLBACK beforeWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        destroyed = true;
    if (message == WM_NCDESTROY && !destroyed) {
        destroyed = true;
        record("W destroy");
        CallWindowProcA(windowProcedure, window, WM_DESTROY, 0, 0);
    }
    return CallWindowProcA(windowProcedure, window, message, wParam, lParam);
}

static BOOL CALLBACK standInFront(HWND window, LPARAM)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "Vesk") != 0)
        return TRUE;
    windowProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(beforeWindowProcedure)));
    return FALSE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        GetModuleFileNameA(instance, folder, sizeof folder);
        if (char* slash = strrchr(folder, '\\'))
            slash[1] = '\0';
        realNotify = reinterpret_cast<NotifyFn>(
            replaceImport("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(recordingNotify)));
        realLookup = reinterpret_cast<LookupFn>(
            replaceImport("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(watchingLookup)));
        char text[4096];
        if (option("teardown", text)) {
            // Quellor unloads this library in that WM_DESTROY, under the stand-in's feet: stay.
            HMODULE pinned;
            GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                               reinterpret_cast<LPCSTR>(instance), &pinned);
            EnumThreadWindows(GetCurrentThreadId(), standInFront, 0);
        }
    } else if (reason == DLL_PROCESS_DETACH) {
        replaceImport("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(realNotify));
        replaceImport("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(realLookup));
    }
    return TRUE;
}
