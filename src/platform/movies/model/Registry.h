// The live movies, tracks and media. References handed to the toolbox are
// checked here, so that a nil or disposed reference gives the classic error
// (invalidMovie, invalidTrack, invalidMedia) instead of a crash.
#pragma once

#include <functional>
#include <memory>
#include <type_traits>

#include "platform/movies/model/MovieRecord.h"

// Takes ownership of a movie and registers it with its tracks and media.
Movie AdoptMovie(std::unique_ptr<MovieRecord> movie);
void RegisterTrack(TrackRecord* track);
void RegisterMedia(MediaRecord* media);
void UnregisterTrack(TrackRecord* track);  // and its media
void UnregisterMedia(MediaRecord* media);
// Unregisters and deletes the movie with everything in it.
void DestroyMovie(MovieRecord* movie);

// The record behind a reference, or nil after setting GetMoviesError.
MovieRecord* CheckMovie(Movie m);
TrackRecord* CheckTrack(Track t);
MediaRecord* CheckMedia(Media m);

inline MovieRecord* CheckRecord(Movie m) { return CheckMovie(m); }
inline TrackRecord* CheckRecord(Track t) { return CheckTrack(t); }
inline MediaRecord* CheckRecord(Media m) { return CheckMedia(m); }

// The whole body of a simple getter: what `read` (a member or a function of
// the record) gives for a live reference, with noErr; for a bad reference
// an empty value, with the error the check left.
template <class Record, class Read>
auto ValueOf(Record* reference, Read read) -> std::decay_t<std::invoke_result_t<Read, Record&>>
{
    Record* record = CheckRecord(reference);
    if (!record)
        return {};
    SetMoviesError(noErr);
    return std::invoke(read, *record);
}
