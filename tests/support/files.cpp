#include "tests/support/files.h"

#include <windows.h>

#include "sensors/system/numbers.h"

#include <cstdio>
#include <fstream>
#include <sstream>

std::string windowsPath(const std::string& linuxPath)
{
    std::string path = "Z:" + linuxPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

void removeTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

TempFolder::TempFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId());
    removeTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    removeTree(folder);
}

void TempFolder::makeFolder(const std::string& relative) const
{
    std::string path = folder;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('\\', start);
        if (end == std::string::npos)
            end = relative.size();
        path += "\\" + relative.substr(start, end - start);
        CreateDirectoryA(path.c_str(), nullptr);
        start = end + 1;
    }
}

void TempFolder::write(const std::string& relative, const std::string& content) const
{
    size_t slash = relative.rfind('\\');
    if (slash != std::string::npos)
        makeFolder(relative.substr(0, slash));
    writeFile(folder + "\\" + relative, content);
}

void TempFolder::remove(const std::string& relative) const
{
    std::string path = folder + "\\" + relative;
    if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
        removeTree(path);
    else
        DeleteFileA(path.c_str());
}

UnicodeFolder::UnicodeFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"lib-\u03a9\u6f22-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
}

UnicodeFolder::~UnicodeFolder()
{
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do
            DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
        while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

std::wstring UnicodeFolder::copy(const std::string& linuxPath, const wchar_t* name) const
{
    std::string from = windowsPath(linuxPath);
    std::wstring to = folder + L"\\" + name;
    CopyFileW(std::wstring(from.begin(), from.end()).c_str(), to.c_str(), FALSE);
    return to;
}

ScopedVariable::ScopedVariable(const char* name, const char* value) : name(name)
{
    SetEnvironmentVariableA(name, value);
}

ScopedVariable::~ScopedVariable()
{
    SetEnvironmentVariableA(name, nullptr);
}

std::string afterDate(const std::string& record)
{
    size_t lineEnd = record.find("\r\n");
    return lineEnd == std::string::npos ? record : record.substr(lineEnd);
}

int secondsOfDay()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

bool recordTimeWithin(const std::string& record, int from, int until)
{
    int day, month, year, hour, minute, second;
    if (std::sscanf(record.c_str(), "%d/%d/%d %d.%d.%d", &day, &month, &year, &hour, &minute, &second) != 6)
        return false;
    int at = hour * 3600 + minute * 60 + second;
    return until < from || (from <= at && at <= until);
}

long long unixNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return unixSeconds(ticks);
}
