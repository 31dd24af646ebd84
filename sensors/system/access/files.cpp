#include "sensors/system/access/files.h"

#include "core/decimal_text.h"
#include "sensors/system/access/wide.h"
#include "sensors/system/numbers.h"

static int lengthOf(const WCHAR* text)
{
    int length = 0;
    while (text[length])
        ++length;
    return length;
}

PathText& PathText::add(const WCHAR* piece)
{
    int used = lengthOf(text);
    int length = lengthOf(piece);
    if (overflowed || used + length >= MAX_PATH) {
        overflowed = true;
        text[0] = 0;
        return *this;
    }
    CopyMemory(text + used, piece, (length + 1) * sizeof(WCHAR));
    return *this;
}

PathText& PathText::add(const char* piece)
{
    WCHAR wide[MAX_PATH];
    int n = 0;
    for (; piece[n] && n < MAX_PATH - 1; ++n)
        wide[n] = static_cast<unsigned char>(piece[n]);
    wide[n] = 0;
    return add(wide);
}

PathText& PathText::add(int number)
{
    char digits[12];
    appendNumber(digits, digits + sizeof digits - 1, number);
    return add(digits);
}

bool readAttributeText(const WCHAR* path, char* text, int size)
{
    HANDLE file = openForReading(path);
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

bool readAttributeNumber(const WCHAR* path, long& value)
{
    char text[32];
    return readAttributeText(path, text, sizeof text) && parseAttributeNumber(text, value);
}

bool pathExists(const WCHAR* path)
{
    return path[0] && fileAttributes(path) != INVALID_FILE_ATTRIBUTES;
}
