// Finishing or abandoning the replacement of an existing file that
// CreateMovieFile with createMovieFileDeleteCurFile started.
#pragma once

#include "platform/movies/moviefiles/MovieFileTable.h"

namespace FileReplacement {

// Moves the new file (and its companion) over the old ones. The companion
// goes first: a crash in between then shows the new movie resource, never
// an old movie resource over new data.
OSErr Commit(MovieFileRecord* record);

// Drops the new file; the old one stays as it was.
void Abandon(MovieFileRecord* record);

}  // namespace FileReplacement
