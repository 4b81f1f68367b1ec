#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "platform/core/PascalStrings.h"
#include "util/TextUtils.h"

namespace {

struct PString {
    Str255 s;
    explicit PString(const std::string& text) { pstr::FromStd(text, s); }
    std::string Text() const { return pstr::ToStd(s); }
};

SInt16 HighHalf(Fixed f) { return static_cast<SInt16>(static_cast<UInt32>(f) >> 16); }
UInt16 LowHalf(Fixed f) { return static_cast<UInt16>(static_cast<UInt32>(f) & 0xFFFF); }
Fixed MakeFixed(SInt16 hi, UInt16 lo) { return static_cast<Fixed>((static_cast<UInt32>(static_cast<UInt16>(hi)) << 16) | lo); }

std::string FixedText(Fixed f, int precision = 4)
{
    Str255 out;
    FixedToString(f, out, precision);
    return pstr::ToStd(out);
}

std::string TimeText(double t)
{
    Str255 out;
    TimeToString(t, out);
    return pstr::ToStd(out);
}

double TimeOf(const std::string& text)
{
    PString p(text);
    return StringToTime(p.s);
}

}  // namespace

// --- the fixed-point pair --------------------------------------------------

// StringToFixed reads the text into two halves and leaves only the integer
// part in the text; FixedToString shows the value again.
struct FixedExample {
    const char* text;
    SInt16 hi;
    UInt16 lo;
    const char* left;   // the text afterwards
    const char* shown;  // null: not checked
};

class FixedPairExamples : public ::testing::TestWithParam<FixedExample> {};

TEST_P(FixedPairExamples, TextGivesHalvesAndHalvesGiveText)
{
    const FixedExample& ex = GetParam();
    PString text(ex.text);
    Fixed value = StringToFixed(text.s);
    EXPECT_EQ(HighHalf(value), ex.hi);
    EXPECT_EQ(LowHalf(value), ex.lo);
    EXPECT_EQ(text.Text(), ex.left);
    if (ex.shown != nullptr) {
        EXPECT_EQ(FixedText(value), ex.shown);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, FixedPairExamples,
    ::testing::Values(FixedExample{"1", 1, 0, "1", "1.0000"}, FixedExample{"1.5", 1, 32767, "1", "1.4999"},
                      FixedExample{"0.5", 0, 32767, "0", "0.4999"}, FixedExample{"1.05", 1, 3276, "1", "1.0499"},
                      FixedExample{"29.97", 29, 63568, "29", "29.9699"}, FixedExample{"42", 42, 0, "42", nullptr},
                      // A trailing point is dropped with a zero fraction.
                      FixedExample{"12.", 12, 0, "12", "12.0000"}, FixedExample{".5", 0, 32767, "", "0.4999"},
                      FixedExample{"", 0, 0, "", nullptr},
                      // Integer parts wrap to sixteen bits.
                      FixedExample{"65536", 0, 0, "65536", nullptr},
                      FixedExample{"32768", -32768, 0, "32768", nullptr},
                      // Negative text is negated as a whole: -1.5 is -(1 + 32767/65536).
                      FixedExample{"-1.5", -2, 32769, "-1", "-1.4999"}, FixedExample{"-0.5", -1, 32769, "-0", nullptr},
                      FixedExample{"-2", -2, 0, "-2", "-2.0000"}));

TEST(FixedToString, WritesThePrecisionsDigitsAndCarriesAFullLowHalf)
{
    struct Case {
        SInt16 hi;
        UInt16 lo;
        int precision;
        const char* text;
    };
    const Case cases[] = {
        {1, 32768, 4, "1.5000"}, {29, 63569, 4, "29.9700"}, {1, 0, 4, "1.0000"}, {1, 1, 4, "1.0000"},
        {1, 7, 4, "1.0001"},     {3, 32768, 2, "3.50"},
        // 65535/65535 is one whole: the next integer, never a fifth digit.
        {1, 65535, 4, "2.0000"}, {32767, 65535, 4, "32768.0000"},
        // Negative values with a fraction show their magnitude: -1.5 is high half -2, low half 32768.
        {-2, 32768, 4, "-1.5000"}, {-1, 32768, 4, "-0.5000"}, {-3, 0, 4, "-3.0000"}, {-32768, 0, 4, "-32768.0000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FixedText(MakeFixed(c.hi, c.lo), c.precision), c.text) << c.hi << "/" << c.lo;
}

TEST(StringToFixed, ShowingAndReadingBackLowersByAFewUnits)
{
    std::string shown = FixedText(MakeFixed(1, 32767));
    EXPECT_EQ(shown, "1.4999");
    PString text(shown);
    Fixed back = StringToFixed(text.s);
    EXPECT_EQ(HighHalf(back), 1);
    EXPECT_EQ(LowHalf(back), 32760);
}

TEST(StringToFixed, OnlyTheFirstNineFractionDigitsCount)
{
    PString nine("1.123456789");
    PString many("1.12345678999999");
    Fixed a = StringToFixed(nine.s);
    Fixed b = StringToFixed(many.s);
    EXPECT_EQ(a, b);
    EXPECT_EQ(LowHalf(a), static_cast<UInt16>(std::trunc(0.123456789 * 65535.0)));
}

// --- doubles ---------------------------------------------------------------

TEST(StringToDouble, ReadsTheNumberAtTheStartAndLeavesTheText)
{
    PString text("25fps");
    EXPECT_DOUBLE_EQ(StringToDouble(text.s), 25.0);
    EXPECT_EQ(text.Text(), "25fps");
    PString spaced("  29.97");
    EXPECT_DOUBLE_EQ(StringToDouble(spaced.s), 29.97);
    PString exp("1.5e2");
    EXPECT_DOUBLE_EQ(StringToDouble(exp.s), 150.0);
    PString plus("+3");
    EXPECT_DOUBLE_EQ(StringToDouble(plus.s), 3.0);
    PString neg("-0.25");
    EXPECT_DOUBLE_EQ(StringToDouble(neg.s), -0.25);
}

TEST(StringToDouble, TextWithoutAUsableNumberIsZero)
{
    for (const char* t : {"", "fps", ".", "+", "inf", "nan", "1e999"}) {
        PString text(t);
        EXPECT_EQ(StringToDouble(text.s), 0.0) << t;
    }
}

TEST(StringToDouble, FullLengthTextStaysWithinItsBuffer)
{
    // 255 digits and no terminator after them: the byte after the text is
    // a digit too, which must not be read.
    unsigned char buffer[257];
    buffer[0] = 255;
    std::memset(buffer + 1, '1', 256);
    buffer[1] = '2';
    double value = StringToDouble(buffer);
    EXPECT_GT(value, 2.1e254);
    EXPECT_LT(value, 2.2e254);
    EXPECT_EQ(buffer[0], 255);
}

struct DoubleExample {
    double value;
    const char* text;
};

class DoubleToStringExamples : public ::testing::TestWithParam<DoubleExample> {};

TEST_P(DoubleToStringExamples, WritesLikePercentLg)
{
    Str255 out;
    DoubleToString(GetParam().value, out);
    EXPECT_EQ(pstr::ToStd(out), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, DoubleToStringExamples,
                         ::testing::Values(DoubleExample{30, "30"}, DoubleExample{29.97002997, "29.97"},
                                           DoubleExample{25.7142857, "25.7143"},
                                           DoubleExample{1234567, "1.23457e+06"}, DoubleExample{0.00001, "1e-05"},
                                           DoubleExample{-0.5, "-0.5"}, DoubleExample{100000, "100000"}));

TEST(DoubleToString, NeverMoreThanThirteenCharactersForFiniteValues)
{
    for (double v : {-1.7976931348623157e308, -1.23456789e-300, 4.9e-324, -123456.789, 1e100}) {
        Str255 out;
        DoubleToString(v, out);
        EXPECT_LE(out[0], 13) << pstr::ToStd(out);
    }
}

// --- times -----------------------------------------------------------------

struct TimeExample {
    double seconds;
    const char* text;
};

class TimeToStringExamples : public ::testing::TestWithParam<TimeExample> {};

TEST_P(TimeToStringExamples, WritesTheFields)
{
    EXPECT_EQ(TimeText(GetParam().seconds), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, TimeToStringExamples,
                         ::testing::Values(TimeExample{90.5, "1:30.50"}, TimeExample{5.25, "5.25"},
                                           TimeExample{0, "0.0"}, TimeExample{0.5, "0.50"}, TimeExample{0.05, "0.5"},
                                           TimeExample{61.05, "1:1.5"}, TimeExample{10.01, "10.1"},
                                           TimeExample{0.29, "0.28"}, TimeExample{59.999, "59.99"},
                                           TimeExample{3600, "1:0:0.0"}, TimeExample{3723.25, "1:2:3.25"},
                                           TimeExample{86399.99, "23:59:59.99"}, TimeExample{3600.5, "1:0:0.50"},
                                           TimeExample{-90.5, "-1:-30.-50"}));

class StringToTimeExamples : public ::testing::TestWithParam<TimeExample> {};

TEST_P(StringToTimeExamples, ReadsTheFields)
{
    EXPECT_DOUBLE_EQ(TimeOf(GetParam().text), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, StringToTimeExamples,
                         ::testing::Values(TimeExample{90.5, "1:30.50"}, TimeExample{1.5, "1.50"},
                                           TimeExample{1.05, "1.5"}, TimeExample{6.0, "1.500"},
                                           TimeExample{90.0, "90"}, TimeExample{150.0, "1:90"},
                                           TimeExample{3723.25, "1:2:3.25"}, TimeExample{7384.05, "1:2:3:4.5"},
                                           TimeExample{0.05, ".5"}, TimeExample{-90.5, "-1:-30.-50"},
                                           TimeExample{0.0, ""}));

TEST(TimeText, ShowingAndReadingBackKeepsWholeHundredths)
{
    EXPECT_DOUBLE_EQ(TimeOf(TimeText(0.29)), 0.28);
    EXPECT_DOUBLE_EQ(TimeOf(TimeText(3600.5)), 3600.5);
    EXPECT_DOUBLE_EQ(TimeOf(TimeText(-90.5)), -90.5);
    EXPECT_DOUBLE_EQ(TimeOf(TimeText(86399.99)), 86399.99);
}

TEST(TimeToString, TimesBeyondAThirtyTwoBitHundredthsCountKeepTheirValue)
{
    // 21,474,836.48 s is 2^31 hundredths; the fields are still right.
    EXPECT_EQ(TimeText(21474836.48), "5965:13:56.48");
    EXPECT_EQ(TimeText(1e9), "277777:46:40.0");
    EXPECT_DOUBLE_EQ(TimeOf(TimeText(1e9)), 1e9);
}

TEST(TimeToString, NonFiniteAndHugeTimesStayInRange)
{
    EXPECT_EQ(TimeText(std::nan("")), "0.0");
    EXPECT_EQ(TimeText(INFINITY), "2147483647:0:0.0");
    EXPECT_EQ(TimeText(-INFINITY), "-2147483647:0:0.0");
}

TEST(StringToTime, FractionDigitsBeyondNineAreIgnored)
{
    EXPECT_DOUBLE_EQ(TimeOf("1.123456789"), TimeOf("1.1234567891234"));
}
