#include "platform/movies/moviefiles/FlattenSegment.h"

#include <algorithm>

#include "platform/movies/moviefiles/FlattenPlan.h"

namespace {

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

// Cuts a segment's samples into chunks: copied ones of about half a second
// (of source time at its rate, which is half a second of the copy), never
// across a change of sample description; ones left in place never across a
// source chunk's end either. A copied chunk also ends before a large run of
// bytes that could not keep its place within a page in it (FlattenPlan.h).
class ChunkCutter {
public:
    ChunkCutter(const MediaRecord& media, const Segment& seg, size_t planIndex, const SampleHome& home,
                FlattenTrack& out, UInt32& chunkCount)
        : fMedia(media), fTable(media.table), fSeg(seg), fPlanIndex(planIndex), fHome(home), fOut(out),
          fChunkCount(chunkCount)
    {
        fLimit = std::max<SInt64>(1, SInt64(__int128(media.timeScale) * seg.rate.num / (2 * seg.rate.den)));
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
        int source = 0;
        if (fHome.InPlace())
            Close();
        else if (OSErr err = SourceOf(c, &source))
            return err;
        UInt32 s = std::max(fSeg.first, c.firstSample), end = std::min(fSeg.last, c.firstSample + c.sampleCount - 1);
        UInt64 at = c.offset + BytesOf(fTable, c.firstSample, s - c.firstSample);
        if (!fHome.InPlace() && !KeepsPageOffset(source, at, BytesOf(fTable, s, end - s + 1)))
            Close();
        while (s <= end) {
            if (fOpen && fDescription != c.sampleDescriptionIndex)
                Close();
            if (!fOpen)
                Open(s, c.sampleDescriptionIndex, at);
            UInt32 firstOutside = fHome.InPlace() ? end + 1 : FirstOutsideLimit();
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

    OSErr SourceOf(const ChunkVisit& c, int* source) const
    {
        const DataRefEntry* ref = nullptr;
        UInt16 refIndex = DataRefOfDescription(fMedia, c.sampleDescriptionIndex);
        if (refIndex >= 1 && refIndex <= fMedia.dataRefs.size())
            ref = &fMedia.dataRefs[refIndex - 1];
        if (!ref || ref->resolvedPath.empty())
            return couldNotResolveDataRef;
        *source = (*fHome.sourceOf)(ref->resolvedPath);
        return noErr;
    }

    // Whether a run of source bytes keeps its place within a page when added
    // to the open chunk: a small one need not; a large one does when it
    // follows on from the chunk's last piece, or when it lies as far from
    // the chunk's large first piece, within a page, as it would in the copy.
    bool KeepsPageOffset(int source, UInt64 offset, UInt64 bytes) const
    {
        const auto& pieces = fCurrent.pieces;
        if (!fOpen || pieces.empty() || bytes < FlattenPlan::kPageAlignedPiece)
            return true;
        const FlattenPiece& last = pieces.back();
        if (last.source == source && last.offset + last.length == offset)
            return true;
        return FlattenPlan::KeepsPageOffset(pieces.front()) &&
               ((offset - fCurrent.size - pieces.front().offset) & (FlattenPlan::kPageSize - 1)) == 0;
    }

    // The first sample of the open chunk that starts half a second in.
    UInt32 FirstOutsideLimit() const
    {
        SInt64 sampleStart = 0;
        UInt32 over = fTable.SampleAtTime(fStartTime + fLimit, &sampleStart);
        return over == 0 ? fSeg.last + 1 : (sampleStart >= fStartTime + fLimit ? over : over + 1);
    }

    void Open(UInt32 sample, UInt32 description, UInt64 offset)
    {
        fOpen = true;
        fOffset = offset;
        fDescription = description;
        fStartTime = SampleDecodeTime(fTable, sample);
        fCurrent = FlattenChunk{};
        fCurrent.track = fPlanIndex;
        fCurrent.chunkIndex = fChunkCount;
        fCurrent.movieSeconds =
            fSeg.movieSeconds + double(fStartTime - fSeg.sourceStart) * double(fSeg.rate.den) /
                                    (double(fMedia.timeScale) * double(fSeg.rate.num));
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
        if (fHome.InPlace())
            fHome.inPlaceOffsets->push_back(fOffset);
        else
            fHome.chunks->push_back(std::move(fCurrent));
    }

    const MediaRecord& fMedia;
    const SampleTable& fTable;
    const Segment& fSeg;
    size_t fPlanIndex;
    const SampleHome& fHome;
    FlattenTrack& fOut;
    SInt64 fLimit = 1;
    bool fOpen = false;
    UInt64 fOffset = 0;
    UInt32 fDescription = 1;
    SInt64 fStartTime = 0;
    UInt32 fSamples = 0;
    FlattenChunk fCurrent;
    UInt32& fChunkCount;
};

}  // namespace

SInt64 SampleDecodeTime(const SampleTable& table, UInt32 sample)
{
    SampleVisit v;
    return table.LookUpSample(sample, &v) ? v.decodeTime : 0;
}

OSErr CutIntoChunks(const MediaRecord& media, const Segment& seg, size_t planIndex, const SampleHome& home,
                    FlattenTrack& out, UInt32& chunkCount)
{
    return ChunkCutter(media, seg, planIndex, home, out, chunkCount).Run();
}
