// The movie a save writes when some edit plays its media at a rate other
// than 1: other readers ignore an edit's rate, so each such track is written
// with the rate baked into its own sample tables (FlattenTrack). The save
// writes a copy; the movie in memory keeps its rates.
#pragma once

#include <vector>

#include "platform/movies/moviefiles/FlattenTrack.h"

// A copy of theMovie in which each of `tracks` takes its new sample table,
// media time scale and edits. With dropOthers, the tracks not listed are
// left out. The copy's data references are theMovie's, files resolved.
OSErr CopyWithBakedTracks(Movie theMovie, const std::vector<FlattenTrack>& tracks, bool dropOthers, Movie* copy);

// For a reference save: nil when no edit of theMovie plays at a rate other
// than 1, else a copy whose tracks with such edits keep only the samples
// they play, retimed, with their chunks where the samples are.
OSErr BakeRatesInPlace(Movie theMovie, Movie* copy);
