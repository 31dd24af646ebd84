#include "core/decimal_text.h"

char* appendText(char* out, char* last, const char* text)
{
    while (*text && out < last)
        *out++ = *text++;
    *out = '\0';
    return out;
}

char* appendNumber(char* out, char* last, int value, int minDigits)
{
    // Unsigned, so that the magnitude of INT_MIN has room.
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    char digits[16];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count < minDigits && count < static_cast<int>(sizeof digits) - 1)
        digits[count++] = '0';
    if (value < 0)
        digits[count++] = '-';
    while (count > 0 && out < last)
        *out++ = digits[--count];
    *out = '\0';
    return out;
}
