#include "platform/movies/MoviesError.h"

// The toolbox runs on one thread, like the classic one: one last error.
static OSErr gMoviesError = noErr;

OSErr GetMoviesError() { return gMoviesError; }

void SetMoviesError(OSErr err) { gMoviesError = err; }
