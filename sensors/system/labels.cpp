#include "sensors/system/labels.h"

static char folded(char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    if (c == '_' || c == '-')
        return ' ';
    return c;
}

bool labelStartsWith(const char* label, const char* prefix)
{
    for (; *prefix; ++label, ++prefix)
        if (folded(*label) != folded(*prefix))
            return false;
    return true;
}

bool labelContains(const char* label, const char* part)
{
    for (; *label; ++label)
        if (labelStartsWith(label, part))
            return true;
    return *part == '\0';
}

bool labelEquals(const char* label, const char* other)
{
    return labelStartsWith(label, other) && labelStartsWith(other, label);
}

bool labelEndsWith(const char* label, const char* end)
{
    int length = 0, tail = 0;
    while (label[length])
        ++length;
    while (end[tail])
        ++tail;
    while (length > 0 && label[length - 1] == ' ')
        --length;
    return length >= tail && labelStartsWith(label + length - tail, end);
}

void copyLabel(char* to, int size, const char* from, unsigned long length)
{
    int n = 0;
    for (; n < size - 1 && static_cast<unsigned long>(n) < length && from[n]; ++n)
        to[n] = from[n];
    to[n] = '\0';
}

int cpuFanRank(const char* label)
{
    if (!labelStartsWith(label, "cpu") && !labelStartsWith(label, "processor"))
        return 0;
    return labelContains(label, "opt") ? 1 : 2;
}
