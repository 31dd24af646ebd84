// The argument text: the command line without the program's name.
#pragma once

// Skips the program name, quoted or not, and the blanks and tabs around it; of an ANSI or a
// wide command line.
template <typename Char>
const Char* argumentText(const Char* commandLine)
{
    auto skipBlanks = [](const Char* p) {
        while (*p == ' ' || *p == '\t')
            ++p;
        return p;
    };
    const Char* p = skipBlanks(commandLine);
    Char endMark = ' ';
    if (*p == '"') {
        endMark = '"';
        ++p;
    }
    while (*p && *p != endMark && *p != '\t')
        ++p;
    if (*p == '"')
        ++p;
    return skipBlanks(p);
}

// Only the exact text "/i" starts Quellor hidden; "/I", "-i" or "/i x" do not.
bool startsHidden(const char* argument);
