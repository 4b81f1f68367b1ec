#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/core/PascalStrings.h"
#include "platform/ui/system/NumberFormatting.h"

namespace {

std::string Text(long n)
{
    Str255 s;
    NumToString(n, s);
    return pstr::ToStd(s);
}

long Number(const std::string& text)
{
    Str255 s;
    pstr::FromStd(text, s);
    long n = 12345;
    StringToNum(s, &n);
    return n;
}

TEST(NumberFormatting, TextAndNumbersAtThe32BitLimits)
{
    const std::pair<long, const char*> both[] = {{0, "0"}, {-1, "-1"}, {INT32_MAX, "2147483647"},
                                                 {INT32_MIN, "-2147483648"}};
    for (auto [n, text] : both) {
        EXPECT_EQ(Text(n), text);
        EXPECT_EQ(Number(text), n);
    }
    // Reading only: a sign, an empty text, and wrapping like 32-bit arithmetic.
    const std::pair<const char*, long> read[] = {{"+42", 42},          {"-0", 0},         {"", 0},
                                                 {"-", 0},             {"2147483648", INT32_MIN},
                                                 {"4294967296", 0},    {"4294967297", 1}, {"-2147483649", INT32_MAX}};
    for (auto [text, n] : read)
        EXPECT_EQ(Number(text), n) << text;
    for (long n = 1; n < 1000000000L; n *= 10) {
        EXPECT_EQ(Number(Text(n)), n);
        EXPECT_EQ(Number(Text(-n)), -n);
    }
    // A very long text stays well defined.
    long n = Number(std::string(200, '9'));
    EXPECT_GE(n, INT32_MIN);
    EXPECT_LE(n, INT32_MAX);
}

}  // namespace
