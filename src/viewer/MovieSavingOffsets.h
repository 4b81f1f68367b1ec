// The track offsets of a movie as they were before FlattenOffsets, so that
// a save that writes nothing also leaves the open movie as it was.
#pragma once

#include <vector>

#include "platform/movies/Movies.h"

struct TrackOffsets {
    struct Saved {
        Track track;
        TimeValue offset;
        TimeValue duration;
    };
    Movie movie = nullptr;
    bool wasChanged = false;
    std::vector<Saved> offsets;

    static TrackOffsets Of(Movie movie);
    void Restore() const;
};
