#include "platform/movies/moviefiles/FlattenPlan.h"

#include <algorithm>

#include "platform/movies/moviefiles/MovieFiles.h"

namespace {

int SourceIndex(std::vector<std::string>& sources, const std::string& path)
{
    auto it = std::find(sources.begin(), sources.end(), path);
    if (it != sources.end())
        return int(it - sources.begin());
    sources.push_back(path);
    return int(sources.size() - 1);
}

void Order(std::vector<FlattenChunk>& chunks, bool interleave)
{
    std::stable_sort(chunks.begin(), chunks.end(), [interleave](const FlattenChunk& a, const FlattenChunk& b) {
        if (interleave && a.movieSeconds != b.movieSeconds)
            return a.movieSeconds < b.movieSeconds;
        return a.track != b.track ? a.track < b.track : a.chunkIndex < b.chunkIndex;
    });
}

// Places the chunks from `at` on (see FlattenPlan.h for the gaps) and
// fills in the copies and chunk offsets; returns the end of the last one.
UInt64 LayOut(const std::vector<FlattenChunk>& chunks, UInt64 at, FlattenPlan* out)
{
    out->copies.clear();
    out->needsCo64 = false;
    std::vector<std::vector<UInt64>> offsets(out->tracks.size());
    for (size_t i = 0; i < out->tracks.size(); ++i)
        offsets[i].resize(out->tracks[i].table.ChunkCount());
    for (const auto& c : chunks) {
        if (!c.pieces.empty() && FlattenPlan::KeepsPageOffset(c.pieces.front()))
            at += (c.pieces.front().offset - at) & (FlattenPlan::kPageSize - 1);
        offsets[c.track][c.chunkIndex] = at;
        out->needsCo64 = out->needsCo64 || at > 0xFFFFFFFFull;
        for (const auto& p : c.pieces) {
            FlattenCopy* last = out->copies.empty() ? nullptr : &out->copies.back();
            if (last && last->source == p.source && last->sourceOffset + last->length == p.offset &&
                last->destinationOffset + last->length == at)
                last->length += p.length;
            else
                out->copies.push_back({p.source, p.offset, at, p.length});
            at += p.length;
        }
    }
    for (size_t i = 0; i < out->tracks.size(); ++i)
        out->tracks[i].table.chunkOffsets = std::make_shared<const std::vector<UInt64>>(std::move(offsets[i]));
    return at;
}

}  // namespace

UInt32 FlattenPlan::MediaDataHeaderSize(UInt64 dataLength) { return dataLength + 8 > 0xFFFFFFFFull ? 16 : 8; }

OSErr FlattenPlan::Make(Movie theMovie, long flattenFlags, UInt64 headerBytes, FlattenPlan* out)
{
    *out = FlattenPlan{};
    if (!theMovie)
        return invalidMovie;
    std::vector<FlattenChunk> chunks;
    FlattenSourceIndex sourceOf = [out](const std::string& path) { return SourceIndex(out->sources, path); };
    long index = 0;
    for (auto& t : theMovie->tracks) {
        ++index;
        if ((flattenFlags & flattenActiveTracksOnly) && !t->enabled)
            continue;
        FlattenTrack track;
        if (OSErr err = BuildFlattenTrack(*t, index, out->tracks.size(), sourceOf, &track, &chunks))
            return err;
        out->tracks.push_back(std::move(track));
    }
    Order(chunks, !(flattenFlags & flattenDontInterleaveFlatten));
    // The media data atom's header grows past 4 GiB of data, which moves
    // every chunk and so its gap.
    UInt32 header = 8;
    UInt64 end = LayOut(chunks, headerBytes + header, out);
    if (MediaDataHeaderSize(end - headerBytes - header) > header) {
        header = 16;
        end = LayOut(chunks, headerBytes + header, out);
    }
    out->mediaDataHeaderSize = header;
    out->dataStart = headerBytes + header;
    out->dataLength = end - out->dataStart;
    return noErr;
}
