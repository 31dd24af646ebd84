#include "sensors/system/numbers.h"

static bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool parseAttributeNumber(const char* text, long& value)
{
    while (isSpace(*text))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    if (*text < '0' || *text > '9')
        return false;
    long long number = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        number = number * 10 + (*text - '0');
        if (number > 2000000000) // far beyond any temperature in millidegrees or any fan
            return false;
    }
    while (isSpace(*text))
        ++text;
    if (*text)
        return false;
    value = static_cast<long>(negative ? -number : number);
    return true;
}

double celsiusFromFahrenheit(double fahrenheit)
{
    return (fahrenheit - 32) * 5 / 9;
}

double celsiusFromKelvinTenths(double tenths)
{
    return (tenths - 2731.5) / 10;
}

bool parseDecimal(const char* text, int length, double& value)
{
    int i = 0;
    while (i < length && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = i < length && text[i] == '-';
    if (i < length && (text[i] == '-' || text[i] == '+'))
        ++i;
    double number = 0;
    int digits = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (++digits > 9)
            return false;
        number = number * 10 + (text[i] - '0');
    }
    bool fraction = digits > 0 && i + 1 < length && (text[i] == '.' || text[i] == ',') && text[i + 1] >= '0'
        && text[i + 1] <= '9';
    if (fraction) {
        double scale = 1;
        for (++i; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (scale > 1e-9) { // further digits change nothing a reading shows
                scale /= 10;
                number += (text[i] - '0') * scale;
            }
        }
    }
    // "1e308" or "12abc" is no number a monitor writes for a reading.
    if (digits == 0
        || (i < length
            && ((text[i] >= '0' && text[i] <= '9') || (text[i] >= 'a' && text[i] <= 'z') || (text[i] >= 'A' && text[i] <= 'Z')
                || text[i] == '.' || text[i] == ',')))
        return false;
    value = negative ? -number : number;
    return true;
}

bool stampedWithin(long long stamp, long long now, long long seconds)
{
    return stamp >= now - seconds && stamp <= now + seconds;
}

long long unixSeconds(unsigned long long fileTime)
{
    return static_cast<long long>((fileTime - 116444736000000000ull) / 10000000ull);
}
