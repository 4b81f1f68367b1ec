#include "platform/movies/model/EditList.h"

#include <algorithm>

#include "platform/movies/model/TimeMath.h"

SInt64 TotalDuration(const std::vector<Edit>& edits)
{
    SInt64 total = 0;
    for (auto& e : edits)
        total = AddTimes(total, e.duration);
    return total;
}

namespace {

// The media time that `movieUnits` of an edit play at its rate.
SInt64 MediaAdvance(SInt64 movieUnits, Fixed rate, const EditScales& s)
{
    __int128 num = __int128(movieUnits) * s.mediaScale * rate;
    __int128 den = __int128(s.movieScale) * fixed1;
    if (den == 0)
        return 0;
    __int128 q = (num >= 0 ? num + den / 2 : num - den / 2) / den;
    return q > INT64_MAX ? INT64_MAX : q < INT64_MIN ? INT64_MIN : SInt64(q);
}

// rate * oldDuration / newDuration, never reaching 0 (which would stop the
// media) nor changing direction.
Fixed ScaledRate(Fixed rate, SInt64 oldDuration, SInt64 newDuration)
{
    SInt64 r = MulDivRound(rate, oldDuration, newDuration);
    if (rate > 0)
        return Fixed(std::clamp<SInt64>(r, 1, INT32_MAX));
    return Fixed(std::clamp<SInt64>(r, INT32_MIN, -1));
}

}  // namespace

void SplitEditsAt(std::vector<Edit>& edits, SInt64 t, const EditScales& scales)
{
    SInt64 start = 0;
    for (size_t i = 0; i < edits.size(); ++i) {
        SInt64 end = AddTimes(start, edits[i].duration);
        if (t > start && t < end) {
            Edit second = edits[i];
            edits[i].duration = t - start;
            second.duration = end - t;
            // A media time and rate from the file can put the split past
            // what 64 bits hold; it stays at the limit instead.
            if (!second.IsEmpty())
                second.mediaTime = AddTimes(second.mediaTime, MediaAdvance(t - start, second.rate, scales));
            edits.insert(edits.begin() + long(i) + 1, second);
            return;
        }
        start = end;
    }
}

size_t EditIndexAt(const std::vector<Edit>& edits, SInt64 t)
{
    SInt64 start = 0;
    for (size_t i = 0; i < edits.size(); ++i) {
        if (start >= t)
            return i;
        start = AddTimes(start, edits[i].duration);
    }
    return edits.size();
}

void InsertEdits(std::vector<Edit>& edits, SInt64 t, const std::vector<Edit>& newEdits, const EditScales& scales)
{
    SInt64 total = TotalDuration(edits);
    if (t > total)
        edits.push_back(Edit{t - total, -1, fixed1});
    SplitEditsAt(edits, t, scales);
    size_t at = EditIndexAt(edits, t);
    edits.insert(edits.begin() + long(at), newEdits.begin(), newEdits.end());
}

std::vector<Edit> EditsInRange(const std::vector<Edit>& edits, SInt64 t, SInt64 duration, const EditScales& scales)
{
    std::vector<Edit> copy = edits;
    SplitEditsAt(copy, t, scales);
    SplitEditsAt(copy, t + duration, scales);
    size_t from = EditIndexAt(copy, t);
    size_t to = EditIndexAt(copy, t + duration);
    return std::vector<Edit>(copy.begin() + long(from), copy.begin() + long(to));
}

void DeleteEditRange(std::vector<Edit>& edits, SInt64 t, SInt64 duration, const EditScales& scales)
{
    SplitEditsAt(edits, t, scales);
    SplitEditsAt(edits, t + duration, scales);
    size_t from = EditIndexAt(edits, t);
    size_t to = EditIndexAt(edits, t + duration);
    edits.erase(edits.begin() + long(from), edits.begin() + long(to));
}

SInt64 ScaleEditSegment(std::vector<Edit>& edits, SInt64 base, SInt64 segStart, SInt64 oldDuration,
                        SInt64 newDuration, const EditScales& scales)
{
    const SInt64 segEnd = segStart + oldDuration;
    auto map = [&](SInt64 x) {
        if (x <= segStart)
            return x;
        if (x >= segEnd)
            return AddTimes(x, newDuration - oldDuration);
        return segStart + MulDivRound(x - segStart, newDuration, oldDuration);
    };
    SplitEditsAt(edits, segStart - base, scales);
    SplitEditsAt(edits, segEnd - base, scales);
    SInt64 pos = base;
    SInt64 newPos = map(base);
    const SInt64 newBase = newPos;
    for (auto& e : edits) {
        SInt64 end = AddTimes(pos, e.duration);
        SInt64 newEnd = map(end);
        bool inside = pos >= segStart && end <= segEnd && e.duration > 0;
        e.duration = newEnd - newPos;
        if (inside && !e.IsEmpty())
            e.rate = ScaledRate(e.rate, oldDuration, newDuration);
        pos = end;
        newPos = newEnd;
    }
    return newBase;
}
