// The live movies, tracks and media. References handed to the toolbox are
// checked here, so that a nil or disposed reference gives the classic error
// (invalidMovie, invalidTrack, invalidMedia) instead of a crash.
#pragma once

#include <memory>

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
