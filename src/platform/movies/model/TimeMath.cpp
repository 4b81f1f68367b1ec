#include "platform/movies/model/TimeMath.h"

#include "platform/movies/MoviesError.h"

SInt64 MulDivRound(SInt64 value, SInt64 numerator, SInt64 denominator)
{
    if (denominator == 0)
        return value;
    __int128 p = __int128(value) * numerator;
    __int128 d = denominator;
    if (d < 0) {
        p = -p;
        d = -d;
    }
    __int128 q = p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d);
    if (q > INT64_MAX)
        return INT64_MAX;
    if (q < INT64_MIN)
        return INT64_MIN;
    return SInt64(q);
}

SInt64 ConvertTime(SInt64 value, SInt64 toScale, SInt64 fromScale)
{
    return MulDivRound(value, toScale, fromScale);
}

SInt32 NarrowTime(SInt64 value)
{
    if (value > INT32_MAX) {
        SetMoviesError(invalidDuration);
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        SetMoviesError(invalidDuration);
        return INT32_MIN;
    }
    return SInt32(value);
}

SInt64 AddTimes(SInt64 a, SInt64 b)
{
    SInt64 sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? INT64_MAX : INT64_MIN;
}
