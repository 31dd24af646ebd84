#include "sensors/simulator/replay.h"

#include <stdlib.h>

static bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
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
        char* after;
        long number = strtol(at, &after, 10);
        if (after == at || after > end || (after < end && !isBlank(*after)) || count == 3)
            return false;
        numbers[count++] = static_cast<int>(number);
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
