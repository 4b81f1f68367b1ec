#include "util/TextUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "platform/ui/system/NumberFormatting.h"

namespace {

// A 32-bit count holds nine decimal digits safely. Digits after the point
// beyond the ninth change a fixed-point fraction by less than one unit of
// its low half and a time by less than a nanosecond, so they are dropped
// instead of being allowed to wrap the count. A sign in front of the digits
// does not use up one of the nine.
constexpr int kMaxFractionDigits = 9;

// Times are limited so that the hours field still fits 32 bits:
// 2147483647 hours, about 245,000 years.
constexpr double kMaxTimeSeconds = 2147483647.0 * 3600.0;

// StringToNum on characters [first, first + count) of a text (1-based).
long NumberFromChars(ConstStringPtr text, int first, int count)
{
    Str255 part;
    part[0] = static_cast<unsigned char>(count);
    if (count > 0)
        std::memcpy(part + 1, text + first, static_cast<size_t>(count));
    long value = 0;
    StringToNum(part, &value);
    return value;
}

// How many of the `available` characters after a point are read.
int FractionCharsToRead(ConstStringPtr text, int first, int available)
{
    bool signed_ = available > 0 && (text[first] == '-' || text[first] == '+');
    return std::min(available, kMaxFractionDigits + (signed_ ? 1 : 0));
}

// Appends the characters of a length-prefixed text to dst at its end.
void Append(StringPtr dst, ConstStringPtr more)
{
    int room = 255 - dst[0];
    int n = std::min<int>(room, more[0]);
    std::memcpy(dst + 1 + dst[0], more + 1, static_cast<size_t>(n));
    dst[0] = static_cast<unsigned char>(dst[0] + n);
}

void AppendChar(StringPtr dst, unsigned char c)
{
    if (dst[0] < 255) {
        dst[0] = static_cast<unsigned char>(dst[0] + 1);
        dst[dst[0]] = c;
    }
}

void AppendNumber(StringPtr dst, long value)
{
    Str255 digits;
    NumToString(value, digits);
    Append(dst, digits);
}

// The low 16 bits of trunc(fraction * 65535) for a fraction whose
// magnitude stays far inside the 64-bit range (at most 2^31).
UInt16 LowHalfOf(double fraction)
{
    return static_cast<UInt16>(static_cast<UInt64>(static_cast<SInt64>(std::trunc(fraction * 65535.0))));
}

// The fixed value of an unsigned integer text and a fraction: the integer
// wraps to its low 16 bits, as the high half of a Fixed.
UInt32 FixedFromParts(long intPart, double fraction)
{
    UInt32 hiWord = static_cast<UInt32>(intPart) & 0xFFFFu;
    return (hiWord << 16) | LowHalfOf(fraction);
}

void WriteFixedMagnitude(SInt64 magnitude, bool negative, StringPtr dst, int precision)
{
    SInt64 intPart = magnitude >> 16;  // arithmetic shift for negative values
    UInt32 loWord = static_cast<UInt32>(magnitude & 0xFFFF);
    SInt64 scale = static_cast<SInt64>(std::pow(10.0, precision));
    SInt64 fractPart = static_cast<SInt64>(std::trunc((loWord / 65535.0) * static_cast<double>(scale)));
    // A low half of 65535 is exactly one whole; carry it into the integer
    // rather than write a fraction with one digit too many.
    if (fractPart >= scale) {
        fractPart -= scale;
        intPart += 1;
    }
    dst[0] = 0;
    if (negative)
        AppendChar(dst, '-');
    AppendNumber(dst, static_cast<long>(intPart));
    AppendChar(dst, '.');
    Str255 digits;
    NumToString(static_cast<long>(fractPart), digits);
    for (int pad = digits[0]; pad < precision; ++pad)
        AppendChar(dst, '0');
    Append(dst, digits);
}

// Cuts str to its characters before position `at` (1-based).
void CutBefore(StringPtr str, int at) { str[0] = static_cast<unsigned char>(at - 1); }

// The position (1-based) of the last `c` in str, or 0.
int LastIndexOf(ConstStringPtr str, unsigned char c)
{
    for (int i = str[0]; i >= 1; --i) {
        if (str[i] == c)
            return i;
    }
    return 0;
}

// Whether characters [first, first + count) of a time text make a field:
// nothing, or an optional sign and decimal digits. Notes a digit in
// sawDigit, so that a text of separators alone is told from a time.
bool IsTimeField(ConstStringPtr str, int first, int count, bool* sawDigit)
{
    int i = first;
    int end = first + count;
    if (i < end && (str[i] == '-' || str[i] == '+'))
        ++i;
    if (i == end)
        return count == 0;
    for (; i < end; ++i) {
        if (str[i] < '0' || str[i] > '9')
            return false;
    }
    *sawDigit = true;
    return true;
}

}  // namespace

Fixed StringToFixed(StringPtr src)
{
    int length = src[0];
    int dot = 1;
    while (dot <= length && src[dot] != '.')
        ++dot;
    double fraction = 0.0;
    if (dot == length) {
        CutBefore(src, dot);
    } else if (dot < length) {
        int count = FractionCharsToRead(src, dot + 1, length - dot);
        long fractPart = NumberFromChars(src, dot + 1, count);
        fraction = static_cast<double>(fractPart) / std::pow(10.0, count);
        CutBefore(src, dot);
    }
    // A leading '-' negates the whole value, so "-1.5" is minus one and a
    // half. Reading the sign with the integer alone would add the fraction
    // the other way and give -0.5.
    bool negative = src[0] > 0 && src[1] == '-';
    long intPart = negative ? NumberFromChars(src, 2, src[0] - 1) : NumberFromChars(src, 1, src[0]);
    UInt32 magnitude = FixedFromParts(intPart, fraction);
    return static_cast<Fixed>(negative ? 0u - magnitude : magnitude);
}

void FixedToString(Fixed src, StringPtr dst, int precision)
{
    precision = std::clamp(precision, 1, kMaxFractionDigits);
    bool negativeWithFraction = src < 0 && (src & 0xFFFF) != 0;
    if (negativeWithFraction)
        WriteFixedMagnitude(-static_cast<SInt64>(src), true, dst, precision);
    else
        WriteFixedMagnitude(static_cast<SInt64>(src), false, dst, precision);
}

double StringToDouble(StringPtr text)
{
    // Parsing the characters in place, bounded by the length byte, needs
    // no terminator: a text of 255 characters is read within its buffer.
    const char* p = reinterpret_cast<const char*>(text + 1);
    const char* end = p + text[0];
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    if (p < end && *p == '+' && p + 1 < end && p[1] != '-')
        ++p;
    double value = 0.0;
    std::from_chars_result result = std::from_chars(p, end, value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

void DoubleToString(double val, StringPtr text)
{
    // to_chars with a precision is the "%.6g" conversion ("%lg") without
    // the locale's decimal separator.
    char buffer[64];
    std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, val, std::chars_format::general, 6);
    size_t n = result.ec == std::errc() ? static_cast<size_t>(result.ptr - buffer) : 0;
    text[0] = static_cast<unsigned char>(n);
    std::memcpy(text + 1, buffer, n);
}

void TimeToString(double time, StringPtr str)
{
    // The fields are computed in 64 bits from a time limited to what the
    // hours field can show, so a long time keeps its true value instead of
    // wrapping a 32-bit count of hundredths.
    if (std::isnan(time))
        time = 0.0;
    time = std::clamp(time, -kMaxTimeSeconds, kMaxTimeSeconds);
    SInt64 wholeSeconds = static_cast<SInt64>(std::trunc(time));
    SInt64 hours = static_cast<SInt64>(std::trunc(time / 3600.0));
    SInt64 minutes = (wholeSeconds / 60) % 60;
    SInt64 seconds = wholeSeconds % 60;
    SInt64 hundredths = static_cast<SInt64>(std::trunc(time * 100.0)) % 100;

    str[0] = 0;
    if (hours != 0)
        AppendNumber(str, static_cast<long>(hours));
    if (minutes != 0 || hours != 0) {
        if (str[0] > 0)
            AppendChar(str, ':');
        AppendNumber(str, static_cast<long>(minutes));
    }
    if (str[0] > 0)
        AppendChar(str, ':');
    AppendNumber(str, static_cast<long>(seconds));
    AppendChar(str, '.');
    AppendNumber(str, static_cast<long>(hundredths));
}

double StringToTime(StringPtr str)
{
    // StringToNum reads letters by their distance from '0' ("abc" would be
    // 5451 seconds), so a text that is no time is refused instead: a dialog
    // must not take a made-up time for what the user typed.
    constexpr double kUnreadable = std::numeric_limits<double>::quiet_NaN();
    bool sawDigit = false;
    long fields[3] = {0, 0, 0};  // seconds, minutes, hours
    long hundredths = 0;
    if (int dot = LastIndexOf(str, '.')) {
        int available = str[0] - dot;
        if (!IsTimeField(str, dot + 1, available, &sawDigit))
            return kUnreadable;
        hundredths = NumberFromChars(str, dot + 1, FractionCharsToRead(str, dot + 1, available));
        CutBefore(str, dot);
    }
    for (long& field : fields) {
        int colon = LastIndexOf(str, ':');
        if (!IsTimeField(str, colon + 1, str[0] - colon, &sawDigit))
            return kUnreadable;
        field = NumberFromChars(str, colon + 1, str[0] - colon);
        if (colon == 0)
            break;
        CutBefore(str, colon);
    }
    if (!sawDigit)
        return kUnreadable;
    // Each field is a 32-bit value, as StringToNum gives it.
    auto asField = [](long v) { return static_cast<double>(static_cast<SInt32>(v)); };
    return asField(fields[2]) * 3600.0 + asField(fields[1]) * 60.0 + asField(fields[0]) +
           asField(hundredths) / 100.0;
}

bool IsNumberText(ConstStr255Param text, bool fraction)
{
    std::string_view t(reinterpret_cast<const char*>(text + 1), text[0]);
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    if (!t.empty() && (t.front() == '-' || t.front() == '+'))
        t.remove_prefix(1);
    bool digit = false, dot = false;
    for (char c : t) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && fraction && !dot)
            dot = true;
        else
            return false;
    }
    return digit;
}
