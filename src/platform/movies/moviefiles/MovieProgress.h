// Progress reports of long movie-file operations, and the default progress
// display that a progress procedure of -1 stands for.
#pragma once

#include "platform/movies/Movies.h"

class MovieProgress {
public:
    // Resolves the movie's procedure (-1: the installed default hook) and
    // reports the start of the operation.
    MovieProgress(Movie theMovie, short operation);
    // Reports the end, whatever happened.
    ~MovieProgress();

    // Reports done/total, at most about a thousand times per operation.
    // Returns what the procedure answered; nonzero means stop.
    OSErr Update(UInt64 done, UInt64 total);
    OSErr Result() const { return fResult; }

private:
    Movie fMovie;
    short fOperation;
    MovieProgressUPP fProc = nullptr;
    long fRefcon = 0;
    Fixed fLastReported = -1;
    OSErr fResult = noErr;
};
