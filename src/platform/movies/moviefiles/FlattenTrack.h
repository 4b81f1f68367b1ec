// What a self-contained copy keeps of one track: only the samples that its
// edits play, in new sample tables with edits that point into them.
//
// Each edit needs the samples from the sync sample before its first frame to
// its last one (composition offsets widen both ends). Edits at the same rate
// share their samples; samples that edits play at different rates are kept
// once per rate, because other readers ignore an edit's media rate: each
// rate is baked into the durations of its own samples (and, where needed, a
// finer time scale), and the edits are written at rate 1.
//
// A reference movie bakes its rates the same way, but its samples stay
// where they are: the new table's chunks point into the source chunks, and
// a sample kept for two rates is listed twice, at the same bytes.
#pragma once

#include <vector>

#include "platform/movies/model/MovieRecord.h"

// A run of sample bytes in one source file.
struct FlattenPiece {
    int source = 0;          // index into the plan's source files
    UInt64 offset = 0;
    UInt64 length = 0;
};

// One chunk of the copy: about half a second of one track.
struct FlattenChunk {
    size_t track = 0;        // index into FlattenPlan::tracks
    UInt32 chunkIndex = 0;   // from 0, in the new table
    double movieSeconds = 0; // when it plays, for interleaving
    UInt64 size = 0;
    std::vector<FlattenPiece> pieces;
};

struct FlattenTrack {
    TrackRecord* track = nullptr;
    long trackIndex = 0;     // from 1, in the movie
    TimeScale timeScale = 600;
    SampleTable table;       // chunk offsets are filled in by the plan (or in place)
    std::vector<Edit> edits; // the track's own edits, into the new table
};

// Maps a data file to its index in the plan's list of sources.
using FlattenSourceIndex = std::function<int(const std::string& path)>;

// Builds the kept samples of `track` and appends its chunks to *chunks.
// couldNotResolveDataRef when a kept sample lies in a file that is unknown.
OSErr BuildFlattenTrack(TrackRecord& track, long trackIndex, size_t planIndex, const FlattenSourceIndex& sourceOf,
                        FlattenTrack* out, std::vector<FlattenChunk>* chunks);

// The same track for a reference movie: chunk offsets are where the samples
// lie now, in the files their descriptions' data references name.
OSErr BakeTrackInPlace(TrackRecord& track, long trackIndex, FlattenTrack* out);
