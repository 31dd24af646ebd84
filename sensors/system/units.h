// Turning what the sources report into the whole numbers the exports return.
#pragma once

// Whole degrees from the kernel's millidegrees; halves go away from zero (45500 gives 46).
int degreesFromMillidegrees(long millidegrees);

// Whole degrees Celsius from a thermal zone's tenths of a kelvin (3132 gives 40). A zone
// that reports absolute zero has no reading, and gives 0.
int degreesFromKelvinTenths(long tenths);

// Rounds a monitor's floating-point reading; halves go away from zero.
int roundReading(double value);

// Parses a kernel attribute: an optional sign, digits, then nothing but white space. Anything
// else, or a number no reading could be, is false.
bool parseAttributeNumber(const char* text, long& value);

// What a monitor publishes is a reading only inside these bounds; NaN and the infinities
// never are. The choosing rules skip anything else, so nothing out of range reaches an int.
bool isTemperature(double celsius); // above 0, at most 125 degrees Celsius
bool isFanSpeed(double rpm);        // 0 to 30,000 revolutions per minute

double celsiusFromFahrenheit(double fahrenheit);

// A decimal number at the start of text, reading at most length bytes: leading blanks, an
// optional sign, digits, and a fraction after "." or "," (monitors write the user's locale).
// What follows, a unit for instance, is left alone, but must not go on as a word or a number
// ("1e308"). False without a digit, or for more than nine digits before the point, which no
// reading has.
bool parseDecimal(const char* text, int length, double& value);
