// Conversions between time scales, rounding to the nearest unit, and the
// narrowing of the model's 64-bit times to the interface's 32-bit ones.
#pragma once

#include "platform/core/MacTypes.h"

// value * toScale / fromScale, rounded to nearest (halves away from zero);
// clamped to the 64-bit range. fromScale 0 gives value unchanged.
SInt64 ConvertTime(SInt64 value, SInt64 toScale, SInt64 fromScale);

// a + b held at the 64-bit limits: edits and offsets changed without end
// (scaled, inserted, offset again) may sum past them.
SInt64 AddTimes(SInt64 a, SInt64 b);

// value * numerator / denominator rounded to nearest, with the same rules.
SInt64 MulDivRound(SInt64 value, SInt64 numerator, SInt64 denominator);

// The 32-bit value for the interface: values out of range come back as the
// nearest limit and set GetMoviesError to invalidDuration.
SInt32 NarrowTime(SInt64 value);
