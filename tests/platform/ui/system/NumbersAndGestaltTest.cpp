#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/core/PascalStrings.h"
#include "platform/ui/system/Gestalt.h"
#include "platform/ui/system/NumberFormatting.h"
#include "platform/ui/system/Processes.h"

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

class GestaltTest : public ::testing::Test {
protected:
    void TearDown() override { ResetGestaltValues(); }
};

TEST_F(GestaltTest, TestsCanChangeAndRemoveAnswers)
{
    SInt32 value = 0;
    EXPECT_EQ(ReplaceGestaltValue(gestaltSystemVersion, 0x1040), noErr);
    Gestalt(gestaltSystemVersion, &value);
    EXPECT_EQ(value, 0x1040);
    EXPECT_EQ(DeleteGestaltValue(gestaltQuickTime), noErr);
    EXPECT_EQ(Gestalt(gestaltQuickTime, &value), gestaltUndefSelectorErr);
    EXPECT_EQ(NewGestaltValue(gestaltAppearanceAttr, 3), gestaltDupSelectorErr);
    ResetGestaltValues();
    EXPECT_EQ(Gestalt(gestaltQuickTime, &value), noErr);
    Gestalt(gestaltSystemVersion, &value);
    EXPECT_EQ(value, 0x0922);
}

TEST(Processes, ExitToShellEndsTheProcessWithStatusZero)
{
    EXPECT_EXIT(ExitToShell(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
