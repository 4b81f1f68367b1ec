// Conversions between numbers and the length-prefixed texts that dialogs
// show: 16.16 fixed-point values, doubles, and times written as
// [hours:][minutes:]seconds.hundredths.
//
// The fixed-point and time texts are read back by their inverse in the same
// dialogs, so each pair agrees on its format. Both fixed-point directions
// scale the fraction by 65535, not 65536, and the hundredths field of a time
// is a whole count written without a leading zero (0.05 s is "0.5").
#pragma once

#include "platform/core/MacTypes.h"

// Reads "int[.fraction]". Leaves src holding only the text before the first
// '.'. A leading '-' makes the whole value negative (see TextUtils.cpp).
Fixed StringToFixed(StringPtr src);

// Whether a field's text is a number as StringToNum (whole) or
// StringToFixed (fraction allowed) read one: an optional sign, digits, and
// with `fraction` one '.' among them; spaces around it are allowed. Those
// readers take any text, counting letters by their offset from '0', so a
// dialog checks its fields with this before it changes the movie.
bool IsNumberText(ConstStr255Param text, bool fraction);

// Writes "int.fraction" with exactly `precision` fraction digits (1 to 9;
// every caller uses 4).
void FixedToString(Fixed src, StringPtr dst, int precision);

// Reads a decimal number at the start of the text ("25fps" reads 25).
// Returns 0.0 when the text holds no usable number (none, or not finite).
// The text is not changed.
double StringToDouble(StringPtr text);

// Writes val as the "%lg" conversion would: six significant digits, no
// trailing zeros, exponent form for very small or large values.
void DoubleToString(double val, StringPtr text);

// Writes a time in seconds as [hours:][minutes:]seconds.hundredths.
void TimeToString(double time, StringPtr str);

// Reads [hours:][minutes:]seconds[.hundredths] back into seconds; each
// field is empty or an optional sign and decimal digits. A text that is no
// time (no digit at all, or other characters in a field) gives NaN, which
// callers treat as no entry. Anything left of a third ':' is ignored. The
// text is used up: its contents afterwards are unspecified.
double StringToTime(StringPtr str);
