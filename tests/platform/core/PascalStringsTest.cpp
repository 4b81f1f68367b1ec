#include <gtest/gtest.h>

#include "platform/core/PascalStrings.h"

TEST(PascalStrings, LongTextIsCutAt255WithoutSplittingACharacter)
{
    // 254 ASCII bytes then a two-byte "é": the é would end at byte 256.
    std::string text(254, 'a');
    text += "\xC3\xA9";
    Str255 p;
    pstr::FromStd(text, p);
    EXPECT_EQ(p[0], 254);
    // Three-byte characters: 85 of them fill exactly 255 bytes.
    std::string euros;
    for (int i = 0; i < 86; ++i)
        euros += "\xE2\x82\xAC";
    pstr::FromStd(euros, p);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(pstr::ToStd(p), euros.substr(0, 255));
    // A Str63 the same way: a euro sign that would end at byte 65 is left out.
    Str63 p63;
    pstr::FromStd(std::string(62, 'x') + "\xE2\x82\xAC", p63, 63);
    EXPECT_EQ(p63[0], 62);
}

TEST(PascalStrings, RoundTripAndCConversions)
{
    Str255 p;
    CopyCStringToPascal("Geneva", p);
    EXPECT_EQ(pstr::ToStd(p), "Geneva");
    char c[256];
    CopyPascalStringToC(p, c);
    EXPECT_STREQ(c, "Geneva");
    Str255 q;
    pstr::FromStd("Geneva", q);
    EXPECT_TRUE(pstr::Equal(p, q));
    EXPECT_TRUE(pstr::Equal("Geneva"_p, q)) << "a literal carries its length";
    EXPECT_EQ(""_p[0], 0);
}
