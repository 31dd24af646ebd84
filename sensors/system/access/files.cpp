#include "sensors/system/access/files.h"

#include "sensors/system/numbers.h"

PathText& PathText::add(const char* piece)
{
    int used = lstrlenA(text);
    int length = lstrlenA(piece);
    if (overflowed || used + length >= MAX_PATH) {
        overflowed = true;
        text[0] = '\0';
        return *this;
    }
    CopyMemory(text + used, piece, length + 1);
    return *this;
}

PathText& PathText::add(int number)
{
    char digits[12];
    char* start = digits + sizeof digits - 1;
    *start = '\0';
    unsigned value = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    do
        *--start = static_cast<char>('0' + value % 10);
    while (value /= 10);
    if (number < 0)
        *--start = '-';
    return add(start);
}

bool readAttributeText(const char* path, char* text, int size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD got = 0;
    BOOL read = ReadFile(file, text, static_cast<DWORD>(size - 1), &got, nullptr);
    CloseHandle(file);
    if (!read || got == 0)
        return false;
    text[got] = '\0';
    while (got > 0 && (text[got - 1] == '\n' || text[got - 1] == '\r'))
        text[--got] = '\0';
    return true;
}

bool readAttributeNumber(const char* path, long& value)
{
    char text[32];
    return readAttributeText(path, text, sizeof text) && parseAttributeNumber(text, value);
}

bool pathExists(const char* path)
{
    return path[0] && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}
