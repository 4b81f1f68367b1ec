// Track offsets turned into leading empty segments before a save, and put
// back when the save does not happen after all.
#include "platform/core/PascalStrings.h"
#include "util/MyError.h"
#include "viewer/CheckedCall.h"
#include "viewer/MovieSaving.h"
#include "viewer/MovieSavingOffsets.h"

void FlattenOffsets(Movie movie)
{
    long trackCount = Checked(GetMovieTrackCount(movie), "GetMovieTrackCount()"_p);
    for (long index = 1; index <= trackCount; ++index) {
        Track track = Checked(GetMovieIndTrack(movie, index), "GetMovieIndTrack()"_p);
        TimeValue offset = Checked(GetTrackOffset(track), "GetTrackOffset()"_p);
        if (offset == 0)
            continue;
        SetTrackOffset(track, 0);
        FailErr(GetMoviesError(), "SetTrackOffset()"_p);
        InsertEmptyTrackSegment(track, 0, offset);
        FailErr(GetMoviesError(), "InsertEmptyTrackSegment()"_p);
    }
}

TrackOffsets TrackOffsets::Of(Movie movie)
{
    TrackOffsets saved;
    saved.movie = movie;
    saved.wasChanged = HasMovieChanged(movie);
    long trackCount = GetMovieTrackCount(movie);
    for (long index = 1; index <= trackCount; ++index) {
        Track track = GetMovieIndTrack(movie, index);
        if (TimeValue offset = GetTrackOffset(track); offset != 0)
            saved.offsets.push_back({track, offset, GetTrackDuration(track)});
    }
    return saved;
}

// Only a track that FlattenOffsets changed as planned (offset 0, longer by
// the old offset) loses its leading segment again; any other is left alone.
void TrackOffsets::Restore() const
{
    for (const Saved& s : offsets) {
        if (GetTrackOffset(s.track) != 0 || GetTrackDuration(s.track) != s.duration + s.offset)
            continue;
        DeleteTrackSegment(s.track, 0, s.offset);
        SetTrackOffset(s.track, s.offset);
    }
    if (!wasChanged)
        ClearMovieChanged(movie);
}
