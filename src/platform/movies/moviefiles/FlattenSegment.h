// The pieces of a self-contained or baked track that FlattenTrack.cpp and
// FlattenChunks.cpp share: a stretch of source samples kept for one rate,
// and where the kept samples' bytes end up.
#pragma once

#include <limits>

#include "platform/movies/moviefiles/EditRate.h"
#include "platform/movies/moviefiles/FlattenTrack.h"

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
    MediaRate rate;
    UInt32 first = 0, last = 0;    // source sample numbers, from 1
    SInt64 sourceStart = 0;        // decode time of `first`
    SInt64 newStart = 0;           // where it begins in the new media
    UInt32 newFirst = 0;           // its first sample number in the new table
    double movieSeconds = std::numeric_limits<double>::infinity();
    Retime retime;
};

// Where the kept samples' bytes end up: copied into chunks of the new
// file (sources from `sourceOf`, chunks appended to `chunks`), or left where
// they are, each chunk of the new table a part of a source chunk.
struct SampleHome {
    const FlattenSourceIndex* sourceOf = nullptr;
    std::vector<FlattenChunk>* chunks = nullptr;
    std::vector<UInt64>* inPlaceOffsets = nullptr;
    bool InPlace() const { return inPlaceOffsets != nullptr; }
};

// The decode time of a sample (from 1); 0 when the table does not hold it.
SInt64 SampleDecodeTime(const SampleTable& table, UInt32 sample);

// Appends the chunks of seg's samples to out's table (and, copied, their
// pieces to home.chunks; in place, their offsets to home.inPlaceOffsets).
// couldNotResolveDataRef when a copied sample lies in a file not found.
OSErr CutIntoChunks(const MediaRecord& media, const Segment& seg, size_t planIndex, const SampleHome& home,
                    FlattenTrack& out, UInt32& chunkCount);
