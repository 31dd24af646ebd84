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
