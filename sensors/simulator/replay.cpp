#include "sensors/simulator/replay.h"

static bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

const char* parseWholeNumber(const char* text, int& number)
{
    const char* at = text;
    bool negative = *at == '-';
    if (*at == '-' || *at == '+')
        ++at;
    if (*at < '0' || *at > '9')
        return text;
    long long magnitude = 0;
    for (; *at >= '0' && *at <= '9'; ++at)
        if (magnitude <= 0x80000000LL)
            magnitude = magnitude * 10 + (*at - '0');
    // Too large a number stops at the largest that fits.
    if (negative)
        number = magnitude >= 0x80000000LL ? -0x7fffffff - 1 : static_cast<int>(-magnitude);
    else
        number = magnitude > 0x7fffffffLL ? 0x7fffffff : static_cast<int>(magnitude);
    return at;
}

// Reads the numbers of one line; false unless it holds exactly three.
static bool parseLine(const char* start, const char* end, ReplayLine& line)
{
    int numbers[3];
    int count = 0;
    const char* at = start;
    while (at < end) {
        while (at < end && isBlank(*at))
            ++at;
        if (at == end)
            break;
        int number;
        const char* after = parseWholeNumber(at, number);
        if (after == at || after > end || (after < end && !isBlank(*after)) || count == 3)
            return false;
        numbers[count++] = number;
        at = after;
    }
    if (count != 3)
        return false;
    line = {numbers[0], numbers[1], numbers[2]};
    return true;
}

int parseReplay(const char* text, ReplayLine* lines, int capacity)
{
    int count = 0;
    while (*text && count < capacity) {
        const char* end = text;
        while (*end && *end != '\n')
            ++end;
        const char* first = text;
        while (first < end && isBlank(*first))
            ++first;
        if (first < end && *first != '#' && parseLine(first, end, lines[count]))
            ++count;
        text = *end ? end + 1 : end;
    }
    return count;
}
