#include <gtest/gtest.h>

#include "ui/argument_text.h"

TEST(ArgumentText, DropsTheProgramName)
{
    struct { const char* commandLine; const char* argument; } cases[] = {
        {"quellor.exe /i", "/i"},
        {"quellor.exe", ""},
        {"", ""},
        {"  \t quellor.exe \t /i", "/i"},
        {"\"C:\\Program Files\\Quellor\\quellor.exe\" /i", "/i"},
        {"\"C:\\Program Files\\Quellor\\quellor.exe\"/i", "/i"},
        {"\"C:\\My Tools\\quellor.exe\"", ""},
        {"quellor.exe\t/i", "/i"},                 // a tab ends an unquoted name too
        {"C:\\My Tools\\quellor.exe /i", "Tools\\quellor.exe /i"}, // unquoted: the blank ends the name
        {"quellor.exe /i x", "/i x"},
        {"quellor.exe /i ", "/i "},
    };
    for (auto c : cases)
        EXPECT_STREQ(argumentText(c.commandLine), c.argument) << "[" << c.commandLine << "]";
}

TEST(ArgumentText, OnlyExactSlashIStartsHidden)
{
    EXPECT_TRUE(startsHidden("/i"));
    for (const char* other : {"", "/I", "-i", "/i x", "/i ", " /i", "/ix", "x /i"})
        EXPECT_FALSE(startsHidden(other)) << "[" << other << "]";
}
