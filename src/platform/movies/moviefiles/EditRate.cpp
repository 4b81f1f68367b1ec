#include "platform/movies/moviefiles/EditRate.h"

#include <cstdint>
#include <cstdlib>
#include <numeric>

namespace {

__int128 Gcd(__int128 a, __int128 b)
{
    a = a < 0 ? -a : a;
    b = b < 0 ? -b : b;
    while (b != 0) {
        __int128 r = a % b;
        a = b;
        b = r;
    }
    return a;
}

__int128 FloorDiv(__int128 a, __int128 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The sample boundary (or the media's end) nearest `center`, in [lo, hi];
// -1 when there is none.
SInt64 BoundaryNear(const SampleTable& table, SInt64 center, SInt64 lo, SInt64 hi)
{
    SInt64 total = table.TotalDuration();
    SInt64 before = total, after = total;
    SInt64 start = 0;
    if (UInt32 s = table.SampleAtTime(center, &start)) {
        SampleVisit v;
        before = start;
        after = table.LookUpSample(s, &v) ? start + v.duration : start;
    }
    SInt64 best = -1;
    for (SInt64 b : {before, after})
        if (b >= lo && b <= hi && (best < 0 || std::llabs(b - center) < std::llabs(best - center)))
            best = b;
    return best;
}

}  // namespace

bool MakeMediaRate(__int128 num, __int128 den, MediaRate* out)
{
    if (num <= 0 || den <= 0)
        return false;
    __int128 g = Gcd(num, den);
    num /= g;
    den /= g;
    if (num > 0x7FFFFFFF || den > 0x7FFFFFFF)
        return false;
    *out = {SInt64(num), SInt64(den)};
    return true;
}

MediaRate EditMediaRate(const Edit& e, const SampleTable& table, SInt64 movieScale, SInt64 mediaScale)
{
    MediaRate stored;
    if (e.IsEmpty() || e.rate <= 0 || e.rate == fixed1 || !MakeMediaRate(e.rate, fixed1, &stored))
        return {};
    if (e.duration <= 0 || movieScale <= 0 || mediaScale <= 0)
        return stored;
    // The spans whose rate rounds to the stored one: duration * (rate -+ 1/2).
    __int128 dm = __int128(e.duration) * mediaScale, unit = __int128(2) * movieScale * fixed1;
    __int128 lo = -FloorDiv(-dm * (2 * __int128(e.rate) - 1), unit);
    __int128 hi = FloorDiv(dm * (2 * __int128(e.rate) + 1), unit);
    __int128 center = (dm * 2 * e.rate + unit / 2) / unit;
    // Times from a file can put the span past what a media time holds; no
    // sample boundary lies there, so the stored rate stands.
    if (e.mediaTime + hi > INT64_MAX)
        return stored;
    SInt64 end = BoundaryNear(table, SInt64(e.mediaTime + center), SInt64(e.mediaTime + lo), SInt64(e.mediaTime + hi));
    MediaRate meant;
    if (end > e.mediaTime && MakeMediaRate(__int128(end - e.mediaTime) * movieScale, dm, &meant))
        return meant;
    return stored;
}

bool PlaysAtOtherRates(const TrackRecord& track)
{
    for (const auto& e : track.edits)
        if (!e.IsEmpty() && e.rate > 0 && e.rate != fixed1)
            return true;
    return false;
}
