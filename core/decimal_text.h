// Short texts made of literal pieces and decimal integers, for the tooltip and the log record.
// The C library's snprintf would do, but mingw's is a full C99 printf with floating point and
// wide characters: over 20 KB of quellor.exe for a handful of integers.
#pragma once

// Each call writes at out, never past last (which stays free for the terminator), ends the
// text there, and returns where the next piece goes. Like snprintf, too long a text is cut.
char* appendText(char* out, char* last, const char* text);
// value as "%.*d" prints it: a minus sign, then at least minDigits digits, zero-padded.
char* appendNumber(char* out, char* last, int value, int minDigits = 1);
