#include "sensors/system/units.h"

// Rounds numerator / denominator (denominator > 0) to the nearest whole number.
static long roundedQuotient(long long numerator, long long denominator)
{
    long long half = denominator / 2;
    return static_cast<long>(numerator >= 0 ? (numerator + half) / denominator
                                            : -((-numerator + half) / denominator));
}

int degreesFromMillidegrees(long millidegrees)
{
    return static_cast<int>(roundedQuotient(millidegrees, 1000));
}

int degreesFromKelvinTenths(long tenths)
{
    if (tenths <= 0)
        return 0;
    // 0 degrees Celsius is 2731.5 tenths of a kelvin: work in hundredths to stay exact.
    return static_cast<int>(roundedQuotient(tenths * 10LL - 27315, 100));
}

int roundReading(double value)
{
    if (!(value > -1e9 && value < 1e9)) // also catches NaN, which a missing sensor may give
        return 0;
    return static_cast<int>(value >= 0 ? value + 0.5 : value - 0.5);
}

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
