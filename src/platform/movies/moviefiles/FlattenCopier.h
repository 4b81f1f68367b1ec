// Copies the sample bytes of a self-contained copy (FlattenPlan::copies)
// into the new file.
#pragma once

#include "platform/movies/moviefiles/FlattenPlan.h"
#include "platform/movies/moviefiles/MovieProgress.h"

// Large pieces are copied by the kernel, file to file; small ones are
// gathered in memory and written together. With `flushFirst` the disk is
// asked to start writing behind the copy. Reports progress (a nonzero
// answer stops the copy); couldNotResolveDataRef when a source is missing.
OSErr CopyFlattenedSamples(const FlattenPlan& plan, int dest, bool flushFirst, MovieProgress& progress);
