// Putting the model's values into the movie's atom tree before it is
// written (SerializeMovieAtom in MovieSeam.h does this itself).
#pragma once

struct MovieRecord;

void SyncMovieAtoms(MovieRecord& movie);
