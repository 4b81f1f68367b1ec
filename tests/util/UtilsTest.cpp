#include <gtest/gtest.h>

#include <cstring>

#include "platform/core/PascalStrings.h"
#include "util/Utils.h"

TEST(StringCopy, CopiesTheLengthAndTheCharacters)
{
    Str255 src, dest;
    pstr::FromStd("Track 1", src);
    std::memset(dest, 0xAA, sizeof dest);
    StringCopy(src, dest);
    EXPECT_EQ(pstr::ToStd(dest), "Track 1");
    EXPECT_EQ(dest[8], 0xAA);  // nothing past the text is touched
}

TEST(StringCopy, NilSourceOrDestinationDoesNothing)
{
    Str255 text;
    pstr::FromStd("keep", text);
    StringCopy(nil, text);
    EXPECT_EQ(pstr::ToStd(text), "keep");
    StringCopy(text, nil);
    EXPECT_EQ(pstr::ToStd(text), "keep");
}
