#include "ui/argument_text.h"

bool startsHidden(const char* argument)
{
    return argument[0] == '/' && argument[1] == 'i' && argument[2] == '\0';
}
