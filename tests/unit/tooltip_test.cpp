#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "core/tooltip.h"

TEST(Tooltip, OneLineOnWindows9xThreeOnNT)
{
    char tip[textBufferSize];
    composeTip(tip, TipStyle::SingleLine, 45, 38, 4500);
    EXPECT_STREQ(tip, "CPU 45 MB 38 Fan 4500");
    composeTip(tip, TipStyle::MultiLine, 45, 38, 4500);
    EXPECT_STREQ(tip, "CPU 45\nMB 38\nFan 4500");
    composeTip(tip, TipStyle::MultiLine, -5, 0, -1);
    EXPECT_STREQ(tip, "CPU -5\nMB 0\nFan -1");
}

// The icon's tooltip field holds 63 characters and the terminator; the widest readings take 46.
TEST(Tooltip, LongestTextFitsTheIconsField)
{
    char tip[textBufferSize];
    for (TipStyle style : {TipStyle::SingleLine, TipStyle::MultiLine}) {
        composeTip(tip, style, INT_MIN, INT_MIN, INT_MIN);
        EXPECT_EQ(std::strlen(tip), 46u);
    }
}
