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

// StringToFixed reads the text into two halves and leaves only the integer
// part in the text; FixedToString shows the value again (null: not checked).
TEST(FixedText, TextGivesHalvesAndHalvesGiveText)
{
    struct Case {
        const char* text;
        SInt16 hi;
        UInt16 lo;
        const char* left;
        const char* shown;
    };
    const Case cases[] = {
        {"1", 1, 0, "1", "1.0000"}, {"1.5", 1, 32767, "1", "1.4999"}, {"0.5", 0, 32767, "0", "0.4999"},
        {"1.05", 1, 3276, "1", "1.0499"}, {"29.97", 29, 63568, "29", "29.9699"}, {"42", 42, 0, "42", nullptr},
        // Showing and reading back lowers by a few units of the low half.
        {"1.4999", 1, 32760, "1", "1.4998"},
        // A trailing point is dropped with a zero fraction.
        {"12.", 12, 0, "12", "12.0000"}, {".5", 0, 32767, "", "0.4999"}, {"", 0, 0, "", nullptr},
        // Integer parts wrap to sixteen bits; fraction digits past the ninth are dropped, not wrapped.
        {"65536", 0, 0, "65536", nullptr}, {"32768", -32768, 0, "32768", nullptr},
        {"1.12345678999999", 1, 8090, "1", nullptr},
        // Negative text is negated as a whole: -1.5 is -(1 + 32767/65536).
        {"-1.5", -2, 32769, "-1", "-1.4999"}, {"-0.5", -1, 32769, "-0", nullptr}, {"-2", -2, 0, "-2", "-2.0000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PString text(c.text);
        Fixed value = StringToFixed(text.s);
        EXPECT_EQ(HighHalf(value), c.hi);
        EXPECT_EQ(LowHalf(value), c.lo);
        EXPECT_EQ(text.Text(), c.left);
        if (c.shown != nullptr) {
            EXPECT_EQ(FixedText(value), c.shown);
        }
    }
}

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

// The number at the start of the text, or 0 when there is none; the text
// is left as it was.
TEST(StringToDouble, ReadsTheNumberAtTheStart)
{
    const std::pair<const char*, double> cases[] = {
        {"25fps", 25.0}, {"  29.97", 29.97}, {"1.5e2", 150.0}, {"+3", 3.0}, {"-0.25", -0.25}, {"", 0.0},
        {"fps", 0.0},    {".", 0.0},         {"+", 0.0},       {"inf", 0.0}, {"nan", 0.0},  {"1e999", 0.0},
    };
    for (auto [input, value] : cases) {
        PString text(input);
        EXPECT_DOUBLE_EQ(StringToDouble(text.s), value) << input;
        EXPECT_EQ(text.Text(), input);
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
}

TEST(DoubleToString, WritesLikePercentLgInAtMostThirteenCharacters)
{
    const std::pair<double, const char*> cases[] = {
        {30, "30"},          {29.97002997, "29.97"}, {25.7142857, "25.7143"}, {1234567, "1.23457e+06"},
        {0.00001, "1e-05"}, {-0.5, "-0.5"},          {100000, "100000"},
    };
    Str255 out;
    for (auto [value, text] : cases) {
        DoubleToString(value, out);
        EXPECT_EQ(pstr::ToStd(out), text);
    }
    for (double v : {-1.7976931348623157e308, -1.23456789e-300, 4.9e-324, -123456.789, 1e100}) {
        DoubleToString(v, out);
        EXPECT_LE(out[0], 13) << pstr::ToStd(out);
    }
}

TEST(TimeToString, WritesTheFields)
{
    const std::pair<double, const char*> cases[] = {
        {90.5, "1:30.50"}, {5.25, "5.25"}, {0, "0.0"}, {0.5, "0.50"}, {0.05, "0.5"}, {61.05, "1:1.5"},
        {10.01, "10.1"}, {0.29, "0.28"}, {59.999, "59.99"}, {3600, "1:0:0.0"}, {3723.25, "1:2:3.25"},
        {86399.99, "23:59:59.99"}, {3600.5, "1:0:0.50"}, {-90.5, "-1:-30.-50"},
        // 2^31 hundredths and more keep their fields; times the hours field
        // cannot show are held at its limit.
        {21474836.48, "5965:13:56.48"}, {1e9, "277777:46:40.0"}, {std::nan(""), "0.0"},
        {INFINITY, "2147483647:0:0.0"}, {-INFINITY, "-2147483647:0:0.0"},
    };
    for (auto [seconds, text] : cases)
        EXPECT_EQ(TimeText(seconds), text) << seconds;
}

// NaN: the text is no time.
TEST(StringToTime, ReadsTheFields)
{
    const std::pair<const char*, double> cases[] = {
        {"1:30.50", 90.5}, {"1.50", 1.5}, {"1.5", 1.05}, {"1.500", 6.0}, {"90", 90.0}, {"1:90", 150.0},
        {"1:2:3.25", 3723.25}, {"1:2:3:4.5", 7384.05}, {"x:1:2:3", 3723.0}, {".5", 0.05}, {"12.", 12.0},
        {"-1:-30.-50", -90.5}, {"+1:30", 90.0},
        // Digits past the ninth after the point are dropped, not wrapped.
        {"1.1234567891234", 1234568.89},
        {"abc", NAN}, {"", NAN}, {".", NAN}, {"::", NAN}, {"-", NAN}, {"1:3o", NAN}, {"l.5", NAN}, {"1.5s", NAN},
        {" 1:30", NAN}, {"1.2.3", NAN}, {"1:-", NAN},
    };
    for (auto [text, seconds] : cases) {
        if (std::isnan(seconds)) {
            EXPECT_TRUE(std::isnan(TimeOf(text))) << text;
        } else {
            EXPECT_DOUBLE_EQ(TimeOf(text), seconds) << text;
        }
    }
}

TEST(TimeText, ShowingAndReadingBackKeepsWholeHundredths)
{
    for (auto [shown, read] : {std::pair{0.29, 0.28}, {3600.5, 3600.5}, {-90.5, -90.5}, {86399.99, 86399.99}, {1e9, 1e9}})
        EXPECT_DOUBLE_EQ(TimeOf(TimeText(shown)), read) << shown;
}
