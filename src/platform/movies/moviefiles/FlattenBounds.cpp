#include "platform/movies/moviefiles/FlattenBounds.h"

#include <algorithm>
#include <sys/stat.h>

namespace {

// The largest of the files the media's samples may lie in; 0 when none is
// known. A movie read from memory knows its own size only from its source.
UInt64 LargestDataFile(const TrackRecord& track, const MediaRecord& media)
{
    UInt64 largest = 0;
    for (const auto& ref : media.dataRefs) {
        if (ref.resolvedPath.empty())
            continue;
        struct stat st {};
        if (stat(ref.resolvedPath.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            largest = std::max(largest, UInt64(st.st_size));
        else if (track.movie && ref.resolvedPath == track.movie->source.path)
            largest = std::max(largest, track.movie->source.fileSize);
    }
    return largest;
}

struct SampleRange {
    UInt32 first, last;
};

// The segments' samples as sorted, disjoint ranges (segments kept at two
// rates may overlap).
std::vector<SampleRange> KeptRanges(const std::vector<Segment>& segments)
{
    std::vector<SampleRange> ranges;
    for (const auto& s : segments)
        ranges.push_back({s.first, s.last});
    std::sort(ranges.begin(), ranges.end(), [](const SampleRange& a, const SampleRange& b) { return a.first < b.first; });
    std::vector<SampleRange> joined;
    for (const auto& r : ranges) {
        if (!joined.empty() && r.first <= UInt64(joined.back().last) + 1)
            joined.back().last = std::max(joined.back().last, r.last);
        else
            joined.push_back(r);
    }
    return joined;
}

}  // namespace

OSErr CheckSegmentsBacked(const TrackRecord& track, const MediaRecord& media, const std::vector<Segment>& segments)
{
    if (segments.empty())
        return noErr;
    const SampleTable& table = media.table;
    if (!table.hasSizes)
        return invalidSampleTable;
    const std::vector<SampleRange> kept = KeptRanges(segments);
    const UInt64 fileSize = LargestDataFile(track, media);
    size_t next = 0;  // the first kept range that does not end before the chunk
    UInt64 covered = 0;
    bool pastTheEnd = false;
    table.ForEachChunk([&](const ChunkVisit& c) {
        if (c.firstSample > kept.back().last)
            return false;
        if (c.sampleCount == 0)
            return true;
        UInt32 chunkLast = c.firstSample + c.sampleCount - 1;
        covered = chunkLast;
        while (next < kept.size() && kept[next].last < c.firstSample)
            ++next;
        bool holdsKept = next < kept.size() && kept[next].first <= chunkLast;
        pastTheEnd = holdsKept && fileSize != 0 && (c.size > fileSize || c.offset > fileSize - c.size);
        return !pastTheEnd;
    });
    return pastTheEnd || covered < kept.back().last ? OSErr(invalidSampleTable) : OSErr(noErr);
}
