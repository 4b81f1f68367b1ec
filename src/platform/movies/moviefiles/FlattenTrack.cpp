#include "platform/movies/moviefiles/FlattenTrack.h"

#include <algorithm>
#include <numeric>

#include "platform/movies/moviefiles/EditRate.h"
#include "platform/movies/moviefiles/FlattenBounds.h"
#include "platform/movies/moviefiles/FlattenSegment.h"
#include "platform/movies/model/TimeMath.h"

namespace {

struct EditUse {
    MediaRate rate;
    UInt32 first = 0, last = 0;
    bool used = false;
};

UInt32 SyncAtOrBefore(const SampleTable& table, UInt32 sample)
{
    if (!table.syncSamples)
        return sample;
    const auto& sync = *table.syncSamples;
    auto it = std::upper_bound(sync.begin(), sync.end(), sample);
    return it == sync.begin() ? 1 : *(it - 1);
}

// How far composition offsets move samples, at most, either way.
struct CompositionReach {
    SInt32 earliest = 0, latest = 0;
    explicit CompositionReach(const SampleTable& table)
    {
        for (const auto& c : table.compositions) {
            earliest = std::min(earliest, c.offset);
            latest = std::max(latest, c.offset);
        }
    }
};

// The samples an edit needs, decoding from a sync sample.
EditUse SamplesOfEdit(const Edit& e, const SampleTable& table, const CompositionReach& reach, SInt64 movieScale,
                      SInt64 mediaScale, bool preRoll)
{
    EditUse use;
    use.rate = EditMediaRate(e, table, movieScale, mediaScale);
    if (e.IsEmpty() || e.duration <= 0)
        return use;
    const SInt32 earliest = reach.earliest, latest = reach.latest;
    __int128 spanDen = __int128(movieScale) * use.rate.den;
    __int128 span = (__int128(e.duration) * use.rate.num * mediaScale + spanDen - 1) / spanDen;
    SInt64 from = std::max<SInt64>(0, e.mediaTime - latest);
    // A long edit at a high rate can reach past the last media time there
    // is; it then simply runs to the media's end.
    __int128 end = __int128(e.mediaTime) + std::max<__int128>(span, 1) - earliest;
    SInt64 to = SInt64(std::min<__int128>(end, INT64_MAX));
    UInt32 first = table.SampleAtTime(from);
    if (first == 0)
        return use;
    UInt32 last = table.SampleAtTime(to - 1);
    use.first = SyncAtOrBefore(table, first);
    // Compressed sound decodes each packet with the help of the one before
    // (its overlap, or the encoder's priming), so one more is kept.
    if (preRoll && use.first > 1) {
        SampleVisit v;
        if (table.LookUpSample(use.first, &v) && v.duration > 1)
            --use.first;
    }
    use.last = last == 0 ? table.SampleCount() : last;
    use.used = use.last >= use.first;
    return use;
}

// Edits at the same rate share samples: their ranges are joined.
std::vector<Segment> JoinUses(std::vector<EditUse> uses)
{
    std::erase_if(uses, [](const EditUse& u) { return !u.used; });
    std::sort(uses.begin(), uses.end(), [](const EditUse& a, const EditUse& b) {
        return a.rate != b.rate ? a.rate.Key() < b.rate.Key() : a.first < b.first;
    });
    std::vector<Segment> segments;
    for (const auto& u : uses) {
        if (!segments.empty() && segments.back().rate == u.rate && u.first <= UInt64(segments.back().last) + 1)
            segments.back().last = std::max(segments.back().last, u.last);
        else {
            Segment seg;
            seg.rate = u.rate;
            seg.first = u.first;
            seg.last = u.last;
            segments.push_back(seg);
        }
    }
    std::sort(segments.begin(), segments.end(), [](const Segment& a, const Segment& b) {
        return a.first != b.first ? a.first < b.first : a.rate.Key() < b.rate.Key();
    });
    return segments;
}

// The segments' positions ordered by rate, then first sample: segments at
// one rate never overlap, so an edit's segment is found by one search
// (an edit list can hold hundreds of thousands of edits).
std::vector<size_t> IndexByRate(const std::vector<Segment>& segments)
{
    std::vector<size_t> order(segments.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::pair(segments[a].rate.Key(), segments[a].first) < std::pair(segments[b].rate.Key(), segments[b].first);
    });
    return order;
}

std::vector<Segment>::iterator SegmentOf(std::vector<Segment>& segments, const std::vector<size_t>& byRate,
                                         const EditUse& u)
{
    auto after = std::upper_bound(byRate.begin(), byRate.end(), std::pair(u.rate.Key(), u.first),
                                  [&](const auto& key, size_t i) {
                                      return key < std::pair(segments[i].rate.Key(), segments[i].first);
                                  });
    if (after == byRate.begin())
        return segments.end();
    Segment& s = segments[*(after - 1)];
    return s.rate == u.rate && u.first <= s.last ? segments.begin() + std::ptrdiff_t(*(after - 1)) : segments.end();
}

void PushTime(std::vector<TimeToSampleRun>& runs, UInt32 count, SInt64 delta)
{
    UInt32 d = UInt32(std::clamp<SInt64>(delta, 0, 0xFFFFFFFFll));
    if (!runs.empty() && runs.back().delta == d)
        runs.back().count += count;
    else
        runs.push_back({count, d});
}

// Calls fn(first, count, value) for each part of `runs` inside [a, b].
template <class Run, class Fn> void ForRunsIn(const std::vector<Run>& runs, UInt32 a, UInt32 b, Fn fn)
{
    UInt64 sample = 1;
    for (const auto& r : runs) {
        UInt64 runFirst = sample;
        sample += r.count;
        if (r.count == 0 || sample - 1 < a)
            continue;
        if (runFirst > b)
            break;
        UInt32 from = UInt32(std::max<UInt64>(a, runFirst)), to = UInt32(std::min<UInt64>(b, sample - 1));
        fn(from, to - from + 1, r);
    }
}

// The greatest common divisor of the durations (and composition offsets)
// of samples first to last: what retiming must keep whole.
template <class Run, class Value> SInt64 GrainOf(const std::vector<Run>& runs, UInt32 first, UInt32 last, Value value)
{
    SInt64 grain = 0;
    ForRunsIn(runs, first, last, [&](UInt32, UInt32, const Run& r) { grain = std::gcd(grain, SInt64(value(r))); });
    return grain;
}

// The new media's time scale: the source's, times the least factor that
// makes every rate's durations whole numbers, unless that would not fit.
// A segment played at num/den retimes a duration d to d * factor * den /
// num, so num must divide d * factor for every d.
SInt64 ScaleFactor(const std::vector<Segment>& segments, const SampleTable& src, SInt64 mediaScale)
{
    SInt64 factor = 1;
    for (const auto& s : segments) {
        SInt64 grain = std::gcd(GrainOf(src.times, s.first, s.last, [](const TimeToSampleRun& r) { return r.delta; }),
                                GrainOf(src.compositions, s.first, s.last,
                                        [](const CompositionRun& r) { return std::abs(SInt64(r.offset)); }));
        SInt64 k = grain == 0 ? 1 : s.rate.num / std::gcd(s.rate.num, grain);
        factor = std::lcm(factor, k);
        if (factor > 0x7FFFFFFF / std::max<SInt64>(mediaScale, 1))
            return 1;
    }
    return factor;
}

// A source time moved on by `by`, held at the largest media time as the
// media's total duration is (a table's runs can claim more than 64 bits).
SInt64 Later(SInt64 x, __int128 by)
{
    __int128 v = __int128(x) + by;
    return v > INT64_MAX ? INT64_MAX : SInt64(v);
}

// Appends the segment's durations, retimed; `oneByOne` counts the samples
// of the track so far whose run could not be converted whole.
OSErr AppendTimes(const SampleTable& src, const Segment& seg, SampleTable& out, UInt64& oneByOne)
{
    SInt64 x = 0;  // source units from the segment's start
    OSErr err = noErr;
    ForRunsIn(src.times, seg.first, seg.last, [&](UInt32, UInt32 count, const TimeToSampleRun& r) {
        if (seg.retime.Exact(r.delta)) {
            PushTime(out.times, count, seg.retime.Apply(r.delta));
            x = Later(x, __int128(count) * r.delta);
            return;
        }
        oneByOne += count;
        if (err || oneByOne > kMaxSamplesRetimedOneByOne) {
            err = invalidSampleTable;
            return;
        }
        for (UInt32 i = 0; i < count; ++i, x = Later(x, r.delta))
            PushTime(out.times, 1, seg.retime.Apply(Later(x, r.delta)) - seg.retime.Apply(x));
    });
    return err;
}

void AppendCompositions(const SampleTable& src, const Segment& seg, SampleTable& out)
{
    ForRunsIn(src.compositions, seg.first, seg.last, [&](UInt32, UInt32 count, const CompositionRun& r) {
        SInt32 offset = SInt32(seg.retime.Apply(r.offset));
        if (!out.compositions.empty() && out.compositions.back().offset == offset)
            out.compositions.back().count += count;
        else
            out.compositions.push_back({count, offset});
    });
}

OSErr BuildTrack(TrackRecord& track, long trackIndex, size_t planIndex, const SampleHome& home, FlattenTrack* out)
{
    *out = FlattenTrack{};
    out->track = &track;
    out->trackIndex = trackIndex;
    out->edits = track.edits;
    MediaRecord* media = track.media.get();
    if (!media)
        return noErr;
    const SampleTable& src = media->table;
    const SInt64 movieScale = std::max<SInt64>(track.movie ? track.movie->timeScale : 600, 1);
    const SInt64 mediaScale = std::max<SInt64>(media->timeScale, 1);
    std::vector<EditUse> uses;
    const CompositionReach reach(src);
    for (const auto& e : track.edits)
        uses.push_back(SamplesOfEdit(e, src, reach, movieScale, mediaScale, media->type == 'soun'));
    // A track without an edit list plays its whole media, however its
    // duration rounds in the movie's time scale, and stays that way.
    if (!track.editsFromFile && track.edits == track.ImplicitEdits() && uses.size() == 1 && src.SampleCount() > 0)
        uses[0] = EditUse{MediaRate{}, 1, src.SampleCount(), true};
    std::vector<Segment> segments = JoinUses(uses);
    if (OSErr err = CheckSegmentsBacked(track, *media, segments))
        return err;
    SInt64 factor = ScaleFactor(segments, src, mediaScale);
    out->timeScale = TimeScale(mediaScale * factor);

    // Where each segment lies in the new media, and how its times convert.
    SInt64 newTime = 0;
    UInt32 newSample = 1;
    UInt64 retimedOneByOne = 0;
    for (auto& seg : segments) {
        __int128 num = __int128(factor) * seg.rate.den, den = seg.rate.num;
        __int128 g = std::gcd(SInt64(num), SInt64(den));
        seg.retime = {num / g, den / g};
        seg.sourceStart = SampleDecodeTime(src, seg.first);
        seg.newStart = newTime;
        seg.newFirst = newSample;
        if (OSErr err = AppendTimes(src, seg, out->table, retimedOneByOne))
            return err;
        newSample += seg.last - seg.first + 1;
        newTime = out->table.TotalDuration();
    }

    // The edits, now into the new media at rate 1 (or their own rate when it
    // could not be baked), and when each segment first plays.
    const std::vector<size_t> byRate = IndexByRate(segments);
    SInt64 editStart = track.offset;
    for (size_t i = 0; i < track.edits.size(); ++i) {
        const Edit& e = track.edits[i];
        Edit& n = out->edits[i];
        const EditUse& u = uses[i];
        auto seg = SegmentOf(segments, byRate, u);
        if (e.IsEmpty() || !u.used || seg == segments.end()) {
            if (!e.IsEmpty())
                n = Edit{e.duration, -1, fixed1};
        } else {
            n.mediaTime = seg->newStart + seg->retime.Apply(e.mediaTime - seg->sourceStart);
            if (e.rate > 0)
                n.rate = fixed1;
            double lead = double(e.mediaTime - seg->sourceStart) * double(seg->rate.den) /
                          (double(mediaScale) * double(seg->rate.num));
            seg->movieSeconds = std::min(seg->movieSeconds, double(editStart) / movieScale - lead);
        }
        editStart = AddTimes(editStart, e.duration);
    }

    // Sample tables: timing is done; now offsets, sync samples, sizes and
    // the chunks.
    SampleTable& table = out->table;
    std::vector<UInt32> sync;
    std::vector<UInt8> sizes;
    bool constant = src.constantSize != 0 || !src.sizeTable;
    table.constantSize = constant ? src.constantSize : 0;
    UInt32 chunkCount = 0;
    for (const auto& seg : segments) {
        if (!src.compositions.empty())
            AppendCompositions(src, seg, table);
        if (src.syncSamples) {
            const auto& from = *src.syncSamples;
            for (auto it = std::lower_bound(from.begin(), from.end(), seg.first); it != from.end() && *it <= seg.last; ++it)
                sync.push_back(*it - seg.first + seg.newFirst);
        }
        if (!constant) {
            const auto& bytes = *src.sizeTable;
            size_t a = size_t(seg.first - 1) * 4, b = std::min(bytes.size(), size_t(seg.last) * 4);
            if (a < b)
                sizes.insert(sizes.end(), bytes.begin() + std::ptrdiff_t(a), bytes.begin() + std::ptrdiff_t(b));
        }
        if (OSErr err = CutIntoChunks(*media, seg, planIndex, home, *out, chunkCount))
            return err;
    }
    if (src.syncSamples)
        table.syncSamples = std::make_shared<const std::vector<UInt32>>(std::move(sync));
    if (!constant)
        table.sizeTable = std::make_shared<const std::vector<UInt8>>(std::move(sizes));
    table.sizeCount = newSample - 1;
    table.hasSizes = true;
    if (!home.InPlace())
        table.chunkOffsets = std::make_shared<const std::vector<UInt64>>(chunkCount, 0);
    return noErr;
}

}  // namespace

OSErr BuildFlattenTrack(TrackRecord& track, long trackIndex, size_t planIndex, const FlattenSourceIndex& sourceOf,
                        FlattenTrack* out, std::vector<FlattenChunk>* chunks)
{
    return BuildTrack(track, trackIndex, planIndex, SampleHome{&sourceOf, chunks, nullptr}, out);
}

OSErr BakeTrackInPlace(TrackRecord& track, long trackIndex, FlattenTrack* out)
{
    auto offsets = std::make_shared<std::vector<UInt64>>();
    if (OSErr err = BuildTrack(track, trackIndex, 0, SampleHome{nullptr, nullptr, offsets.get()}, out))
        return err;
    out->table.chunkOffsets = std::move(offsets);
    return noErr;
}
