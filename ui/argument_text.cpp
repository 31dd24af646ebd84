#include "ui/argument_text.h"

static const char* skipBlanks(const char* p)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

const char* argumentText(const char* commandLine)
{
    const char* p = skipBlanks(commandLine);
    char endMark = ' ';
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

bool startsHidden(const char* argument)
{
    return argument[0] == '/' && argument[1] == 'i' && argument[2] == '\0';
}
