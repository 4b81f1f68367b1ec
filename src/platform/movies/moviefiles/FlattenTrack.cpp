#include "platform/movies/moviefiles/FlattenTrack.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr SInt64 kRateOne = 65536;

// The rate an edit's samples are retimed for; rates of 0 and below (a still
// or a reversed edit) are kept on the edit as they are.
SInt64 RetimedRate(Fixed rate) { return rate > 0 ? rate : kRateOne; }

// Source media units, played at one rate, in the new time scale. Times are
// rounded where they meet, never summed from rounded durations, so a long
// run keeps its exact length.
struct Retime {
    __int128 num = 1, den = 1;
    SInt64 Apply(SInt64 x) const
    {
        __int128 v = (__int128(x < 0 ? -x : x) * num + den / 2) / den;
        return x < 0 ? -SInt64(v) : SInt64(v);
    }
    bool Exact(SInt64 delta) const { return (__int128(delta) * num) % den == 0; }
};

// A stretch of source samples kept for the edits that play them at `rate`.
struct Segment {
    SInt64 rate = kRateOne;
    UInt32 first = 0, last = 0;    // source sample numbers, from 1
    SInt64 sourceStart = 0;        // decode time of `first`
    SInt64 newStart = 0;           // where it begins in the new media
    UInt32 newFirst = 0;           // its first sample number in the new table
    double movieSeconds = std::numeric_limits<double>::infinity();
    Retime retime;
};

struct EditUse {
    SInt64 rate = kRateOne;
    UInt32 first = 0, last = 0;
    bool used = false;
};

SInt64 DecodeTime(const SampleTable& table, UInt32 sample)
{
    SampleVisit v;
    return table.LookUpSample(sample, &v) ? v.decodeTime : 0;
}

UInt32 SyncAtOrBefore(const SampleTable& table, UInt32 sample)
{
    if (!table.syncSamples)
        return sample;
    const auto& sync = *table.syncSamples;
    auto it = std::upper_bound(sync.begin(), sync.end(), sample);
    return it == sync.begin() ? 1 : *(it - 1);
}

// The samples an edit needs, decoding from a sync sample.
EditUse SamplesOfEdit(const Edit& e, const SampleTable& table, SInt64 movieScale, SInt64 mediaScale, bool preRoll)
{
    EditUse use;
    use.rate = RetimedRate(e.rate);
    if (e.IsEmpty() || e.duration <= 0)
        return use;
    SInt32 earliest = 0, latest = 0;
    for (const auto& c : table.compositions) {
        earliest = std::min(earliest, c.offset);
        latest = std::max(latest, c.offset);
    }
    __int128 span = (__int128(e.duration) * use.rate * mediaScale + movieScale * kRateOne - 1) / (movieScale * kRateOne);
    SInt64 from = std::max<SInt64>(0, e.mediaTime - latest);
    SInt64 to = e.mediaTime + SInt64(std::max<__int128>(span, 1)) - earliest;
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
        return a.rate != b.rate ? a.rate < b.rate : a.first < b.first;
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
        return a.first != b.first ? a.first < b.first : a.rate < b.rate;
    });
    return segments;
}

// The new media's time scale: the source's, times the least factor that
// makes every rate's durations whole numbers, unless that would not fit.
SInt64 ScaleFactor(const std::vector<Segment>& segments, SInt64 mediaScale)
{
    SInt64 factor = 1;
    for (const auto& s : segments) {
        SInt64 k = s.rate / std::gcd(s.rate, kRateOne);
        factor = std::lcm(factor, k);
        if (factor > 0x7FFFFFFF / std::max<SInt64>(mediaScale, 1))
            return 1;
    }
    return factor;
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

// A source time moved on by `by`, held at the largest media time as the
// media's total duration is (a table's runs can claim more than 64 bits).
SInt64 Later(SInt64 x, __int128 by)
{
    __int128 v = __int128(x) + by;
    return v > INT64_MAX ? INT64_MAX : SInt64(v);
}

void AppendTimes(const SampleTable& src, const Segment& seg, SampleTable& out)
{
    SInt64 x = 0;  // source units from the segment's start
    ForRunsIn(src.times, seg.first, seg.last, [&](UInt32, UInt32 count, const TimeToSampleRun& r) {
        if (seg.retime.Exact(r.delta)) {
            PushTime(out.times, count, seg.retime.Apply(r.delta));
            x = Later(x, __int128(count) * r.delta);
            return;
        }
        for (UInt32 i = 0; i < count; ++i, x = Later(x, r.delta))
            PushTime(out.times, 1, seg.retime.Apply(Later(x, r.delta)) - seg.retime.Apply(x));
    });
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

UInt64 BytesOf(const SampleTable& t, UInt32 first, UInt32 count)
{
    if (t.constantSize != 0 || !t.sizeTable)
        return UInt64(t.constantSize) * count;
    UInt64 bytes = 0;
    for (UInt32 s = first; s < first + count; ++s)
        bytes += t.SampleSize(s);
    return bytes;
}

// The data reference a sample description names. Some writers leave the
// sample entry's header out of descriptions of their own kind; the index
// read from there names no data reference, and other readers take such
// samples from the first one.
UInt16 DataRefOfDescription(const MediaRecord& m, UInt32 descriptionIndex)
{
    if (descriptionIndex >= 1 && descriptionIndex <= m.sampleDescriptions.size()) {
        const auto& e = m.sampleDescriptions[descriptionIndex - 1];
        UInt16 index = e.size() >= 16 ? UInt16((e[14] << 8) | e[15]) : 1;
        if (index >= 1 && index <= m.dataRefs.size())
            return index;
    }
    return 1;
}

// Cuts a segment's samples into chunks of about half a second (of source
// time at its rate, which is half a second of the copy), never across a
// change of sample description.
class ChunkCutter {
public:
    ChunkCutter(const MediaRecord& media, const Segment& seg, size_t planIndex, const FlattenSourceIndex& sourceOf,
                FlattenTrack& out, std::vector<FlattenChunk>& chunks, UInt32& chunkCount)
        : fMedia(media), fTable(media.table), fSeg(seg), fPlanIndex(planIndex), fSourceOf(sourceOf), fOut(out),
          fChunks(chunks), fChunkCount(chunkCount)
    {
        fLimit = std::max<SInt64>(1, SInt64(__int128(media.timeScale) * seg.rate / (2 * kRateOne)));
    }

    OSErr Run()
    {
        OSErr failure = noErr;
        fTable.ForEachChunk([&](const ChunkVisit& c) {
            if (c.firstSample > fSeg.last)
                return false;
            if (c.sampleCount == 0 || c.firstSample + c.sampleCount - 1 < fSeg.first)
                return true;
            failure = Take(c);
            return failure == noErr;
        });
        Close();
        return failure;
    }

private:
    OSErr Take(const ChunkVisit& c)
    {
        const DataRefEntry* ref = nullptr;
        UInt16 refIndex = DataRefOfDescription(fMedia, c.sampleDescriptionIndex);
        if (refIndex >= 1 && refIndex <= fMedia.dataRefs.size())
            ref = &fMedia.dataRefs[refIndex - 1];
        if (!ref || ref->resolvedPath.empty())
            return couldNotResolveDataRef;
        int source = fSourceOf(ref->resolvedPath);
        UInt32 s = std::max(fSeg.first, c.firstSample), end = std::min(fSeg.last, c.firstSample + c.sampleCount - 1);
        UInt64 at = c.offset + BytesOf(fTable, c.firstSample, s - c.firstSample);
        while (s <= end) {
            if (fOpen && fDescription != c.sampleDescriptionIndex)
                Close();
            if (!fOpen)
                Open(s, c.sampleDescriptionIndex);
            SInt64 sampleStart = 0;
            UInt32 over = fTable.SampleAtTime(fStartTime + fLimit, &sampleStart);
            UInt32 firstOutside =
                over == 0 ? fSeg.last + 1 : (sampleStart >= fStartTime + fLimit ? over : over + 1);
            UInt32 take = std::clamp(firstOutside, s + 1, end + 1) - s;
            UInt64 bytes = BytesOf(fTable, s, take);
            Add(source, at, bytes, take);
            at += bytes;
            s += take;
            if (s >= firstOutside)
                Close();
        }
        return noErr;
    }

    void Open(UInt32 sample, UInt32 description)
    {
        fOpen = true;
        fDescription = description;
        fStartTime = DecodeTime(fTable, sample);
        fCurrent = FlattenChunk{};
        fCurrent.track = fPlanIndex;
        fCurrent.chunkIndex = fChunkCount;
        fCurrent.movieSeconds =
            fSeg.movieSeconds + double(fStartTime - fSeg.sourceStart) * kRateOne / (double(fMedia.timeScale) * fSeg.rate);
        fSamples = 0;
    }

    void Add(int source, UInt64 offset, UInt64 bytes, UInt32 samples)
    {
        fSamples += samples;
        fCurrent.size += bytes;
        auto& pieces = fCurrent.pieces;
        if (bytes == 0)
            return;
        if (!pieces.empty() && pieces.back().source == source && pieces.back().offset + pieces.back().length == offset)
            pieces.back().length += bytes;
        else
            pieces.push_back({source, offset, bytes});
    }

    void Close()
    {
        if (!fOpen)
            return;
        fOpen = false;
        auto& runs = fOut.table.chunkRuns;
        if (runs.empty() || runs.back().samplesPerChunk != fSamples || runs.back().sampleDescriptionIndex != fDescription)
            runs.push_back({UInt32(fChunkCount + 1), fSamples, fDescription});
        ++fChunkCount;
        fChunks.push_back(std::move(fCurrent));
    }

    const MediaRecord& fMedia;
    const SampleTable& fTable;
    const Segment& fSeg;
    size_t fPlanIndex;
    const FlattenSourceIndex& fSourceOf;
    FlattenTrack& fOut;
    std::vector<FlattenChunk>& fChunks;
    SInt64 fLimit = 1;
    bool fOpen = false;
    UInt32 fDescription = 1;
    SInt64 fStartTime = 0;
    UInt32 fSamples = 0;
    FlattenChunk fCurrent;
    UInt32& fChunkCount;
};

}  // namespace

OSErr BuildFlattenTrack(TrackRecord& track, long trackIndex, size_t planIndex, const FlattenSourceIndex& sourceOf,
                        FlattenTrack* out, std::vector<FlattenChunk>* chunks)
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
    for (const auto& e : track.edits)
        uses.push_back(SamplesOfEdit(e, src, movieScale, mediaScale, media->type == 'soun'));
    // A track without an edit list plays its whole media, however its
    // duration rounds in the movie's time scale, and stays that way.
    if (!track.editsFromFile && track.edits == track.ImplicitEdits() && uses.size() == 1 && src.SampleCount() > 0)
        uses[0] = EditUse{kRateOne, 1, src.SampleCount(), true};
    std::vector<Segment> segments = JoinUses(uses);
    SInt64 factor = ScaleFactor(segments, mediaScale);
    out->timeScale = TimeScale(mediaScale * factor);

    // Where each segment lies in the new media, and how its times convert.
    SInt64 newTime = 0;
    UInt32 newSample = 1;
    for (auto& seg : segments) {
        __int128 num = __int128(factor) * kRateOne, den = seg.rate;
        __int128 g = std::gcd(SInt64(num), SInt64(den));
        seg.retime = {num / g, den / g};
        seg.sourceStart = DecodeTime(src, seg.first);
        seg.newStart = newTime;
        seg.newFirst = newSample;
        AppendTimes(src, seg, out->table);
        newSample += seg.last - seg.first + 1;
        newTime = out->table.TotalDuration();
    }

    // The edits, now into the new media at rate 1 (or their own rate when it
    // could not be baked), and when each segment first plays.
    SInt64 editStart = track.offset;
    for (size_t i = 0; i < track.edits.size(); ++i) {
        const Edit& e = track.edits[i];
        Edit& n = out->edits[i];
        const EditUse& u = uses[i];
        auto seg = std::find_if(segments.begin(), segments.end(), [&](const Segment& s) {
            return s.rate == u.rate && s.first <= u.first && u.first <= s.last;
        });
        if (e.IsEmpty() || !u.used || seg == segments.end()) {
            if (!e.IsEmpty())
                n = Edit{e.duration, -1, fixed1};
        } else {
            n.mediaTime = seg->newStart + seg->retime.Apply(e.mediaTime - seg->sourceStart);
            if (e.rate > 0)
                n.rate = fixed1;
            double lead = double(e.mediaTime - seg->sourceStart) * kRateOne / (double(mediaScale) * seg->rate);
            seg->movieSeconds = std::min(seg->movieSeconds, double(editStart) / movieScale - lead);
        }
        editStart += e.duration;
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
        if (OSErr err = ChunkCutter(*media, seg, planIndex, sourceOf, *out, *chunks, chunkCount).Run())
            return err;
    }
    if (src.syncSamples)
        table.syncSamples = std::make_shared<const std::vector<UInt32>>(std::move(sync));
    if (!constant)
        table.sizeTable = std::make_shared<const std::vector<UInt8>>(std::move(sizes));
    table.sizeCount = newSample - 1;
    table.hasSizes = true;
    table.chunkOffsets = std::make_shared<const std::vector<UInt64>>(chunkCount, 0);
    return noErr;
}
