// Numbers as sources write them.
#pragma once

// A kernel attribute: an optional sign, digits, then nothing but white space. Anything else,
// or a number no reading could be, is false.
bool parseAttributeNumber(const char* text, long& value);

// A decimal number at the start of text, reading at most length bytes: leading blanks, an
// optional sign, digits, and a fraction after "." or "," (monitors write the user's locale).
// What follows, a unit for instance, is left alone, but must not go on as a word or a number
// ("1e308"). False without a digit, or for more than nine digits before the point, which no
// reading has.
bool parseDecimal(const char* text, int length, double& value);

double celsiusFromFahrenheit(double fahrenheit);

// Degrees Celsius from tenths of a kelvin, as ACPI thermal zones report them.
double celsiusFromKelvinTenths(double tenths);


// Whether a monitor's time stamp (seconds since 1970, whatever 64 bits it holds) lies within
// seconds of now, either way: compared with the times around now rather than subtracted from
// it, which could overflow.
bool stampedWithin(long long stamp, long long now, long long seconds);

// Seconds since 1970 from a FILETIME's 100-nanosecond steps since 1601.
long long unixSeconds(unsigned long long fileTime);
