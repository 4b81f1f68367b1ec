#include "platform/movies/moviefiles/FlattenPlan.h"

#include <algorithm>

#include "platform/movies/model/MovieSeam.h"

namespace {

struct PlannedChunk {
    Track track = nullptr;
    long trackOrder = 0;
    UInt32 chunkIndex = 0;
    int source = 0;
    UInt64 offset = 0;
    UInt64 size = 0;
    double time = 0;
};

int SourceIndex(std::vector<std::string>& sources, const std::string& path)
{
    auto it = std::find(sources.begin(), sources.end(), path);
    if (it != sources.end())
        return int(it - sources.begin());
    sources.push_back(path);
    return int(sources.size() - 1);
}

OSErr CollectChunks(Movie theMovie, std::vector<std::string>& sources, std::vector<PlannedChunk>* out)
{
    long trackCount = GetMovieTrackCount(theMovie);
    for (long t = 1; t <= trackCount; ++t) {
        Track track = GetMovieIndTrack(theMovie, t);
        Media media = GetTrackMedia(track);
        if (!media)
            continue;
        double scale = GetMediaTimeScale(media) > 0 ? double(GetMediaTimeScale(media)) : 1.0;
        OSErr failure = noErr;
        OSErr err = ForEachMediaChunk(media, [&](const MediaChunk& chunk) {
            DataRefEntry* ref = GetMediaDataRefEntry(media, short(chunk.dataRefIndex));
            if (!ref || ref->resolvedPath.empty()) {
                failure = couldNotResolveDataRef;
                return false;
            }
            out->push_back({track, t, chunk.chunkIndex, SourceIndex(sources, ref->resolvedPath), chunk.fileOffset,
                            chunk.size, double(chunk.decodeTime) / scale});
            return true;
        });
        if (failure || err)
            return failure ? failure : err;
    }
    return noErr;
}

}  // namespace

UInt32 FlattenPlan::MediaDataHeaderSize(UInt64 dataLength) { return dataLength + 8 > 0xFFFFFFFFull ? 16 : 8; }

OSErr FlattenPlan::Make(Movie theMovie, UInt64 headerBytes, FlattenPlan* out)
{
    *out = FlattenPlan{};
    std::vector<PlannedChunk> chunks;
    if (OSErr err = CollectChunks(theMovie, out->sources, &chunks))
        return err;
    std::stable_sort(chunks.begin(), chunks.end(), [](const PlannedChunk& a, const PlannedChunk& b) {
        return a.time < b.time || (a.time == b.time && a.trackOrder < b.trackOrder);
    });
    UInt64 total = 0;
    for (const auto& c : chunks)
        total += c.size;
    out->dataLength = total;
    out->dataStart = headerBytes + MediaDataHeaderSize(total);
    UInt64 at = out->dataStart;
    for (const auto& c : chunks) {
        auto& offsets = out->newChunkOffsets[c.track];
        if (offsets.size() <= c.chunkIndex)
            offsets.resize(std::size_t(c.chunkIndex) + 1, 0);
        offsets[c.chunkIndex] = at;
        FlattenCopy* last = out->copies.empty() ? nullptr : &out->copies.back();
        if (last && last->source == c.source && last->sourceOffset + last->length == c.offset)
            last->length += c.size;
        else if (c.size > 0)
            out->copies.push_back({c.source, c.offset, at, c.size});
        if (at > 0xFFFFFFFFull)
            out->needsCo64 = true;
        at += c.size;
    }
    return noErr;
}
