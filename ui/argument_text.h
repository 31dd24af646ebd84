// The argument text: the command line without the program's name.
#pragma once

// Skips the program name, quoted or not, and the blanks and tabs around it.
const char* argumentText(const char* commandLine);

// Only the exact text "/i" starts Quellor hidden; "/I", "-i" or "/i x" do not.
bool startsHidden(const char* argument);
