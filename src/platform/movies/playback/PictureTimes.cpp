#include "platform/movies/playback/PictureTimes.h"

#include <algorithm>
#include <cmath>

namespace {

// Encoders reorder pictures by a few places at most (a decoder holds no
// more than 16 reference pictures), so the samples near the one that
// decodes at a time hold the picture that shows then.
constexpr UInt32 kReorderReach = 16;

PictureSpan DecodeOrderPicture(const SampleTable& table, double mediaTime)
{
    PictureSpan span;
    SInt64 start = 0;
    span.sample = table.SampleAtTime(SInt64(std::floor(std::max(mediaTime, 0.0))), &start);
    SampleVisit visit;
    if (span.sample == 0 || !table.LookUpSample(span.sample, &visit))
        return PictureSpan{};
    span.start = start;
    span.end = start + visit.duration;
    return span;
}

UInt32 SyncSampleAtOrBefore(const SampleTable& table, UInt32 n)
{
    const auto& sync = table.syncSamples;
    if (!sync || sync->empty())
        return n;
    auto it = std::upper_bound(sync->begin(), sync->end(), n);
    return it == sync->begin() ? 1 : *(it - 1);
}

SInt64 CompositionTime(const SampleTable& table, UInt32 n)
{
    SampleVisit visit;
    return table.LookUpSample(n, &visit) ? visit.decodeTime + visit.compositionOffset : 0;
}

}  // namespace

PictureSpan PictureAt(const SampleTable& table, double mediaTime)
{
    mediaTime += kPictureTimeSlack;
    if (table.compositions.empty())
        return DecodeOrderPicture(table, mediaTime);
    UInt32 count = table.SampleCount();
    SInt64 start = 0;
    UInt32 near = table.SampleAtTime(SInt64(std::floor(std::max(mediaTime, 0.0))), &start);
    if (near == 0)
        near = count;
    UInt32 first = near > kReorderReach ? near - kReorderReach : 1;
    UInt32 last = std::min(count, near + kReorderReach);
    // The latest picture shown by mediaTime, the earliest after it, and the
    // earliest of all for a time before any.
    PictureSpan best, earliest;
    bool haveBest = false, haveNext = false, haveEarliest = false;
    SInt64 next = 0;
    UInt32 bestDuration = 0, earliestDuration = 0;
    for (UInt32 n = first; n <= last; ++n) {
        SampleVisit v;
        if (!table.LookUpSample(n, &v))
            break;
        SInt64 pts = v.decodeTime + v.compositionOffset;
        if (double(pts) <= mediaTime && (!haveBest || pts > best.start))
            best = {n, pts, 0}, bestDuration = v.duration, haveBest = true;
        if (double(pts) > mediaTime && (!haveNext || pts < next))
            next = pts, haveNext = true;
        if (!haveEarliest || pts < earliest.start)
            earliest = {n, pts, 0}, earliestDuration = v.duration, haveEarliest = true;
    }
    if (!haveBest) {
        if (!haveEarliest)
            return PictureSpan{};
        earliest.end = earliest.start + std::max<SInt64>(earliestDuration, 1);
        return earliest;
    }
    best.end = haveNext ? next : best.start + bestDuration;
    if (!haveNext && mediaTime >= double(best.end))
        return PictureSpan{};  // past the last picture
    return best;
}

UInt32 SyncSampleFor(const SampleTable& table, double mediaTime)
{
    PictureSpan picture = PictureAt(table, mediaTime);
    UInt32 wanted = picture.sample ? picture.sample : table.SampleCount();
    UInt32 sync = SyncSampleAtOrBefore(table, wanted);
    if (picture.sample && sync > 1 && CompositionTime(table, sync) > picture.start)
        sync = SyncSampleAtOrBefore(table, sync - 1);
    return sync;
}

SInt64 SyncPictureTime(const SampleTable& table, double mediaTime)
{
    return CompositionTime(table, SyncSampleFor(table, mediaTime));
}
