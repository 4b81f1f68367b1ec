#include "platform/movies/moviefiles/MovieProgress.h"

#include "platform/movies/moviefiles/MovieFiles.h"

namespace {

MovieProgressUPP gDefaultHook = nullptr;
long gDefaultHookRefcon = 0;

}  // namespace

void SetDefaultMovieProgressHook(MovieProgressUPP proc, long refcon)
{
    gDefaultHook = proc;
    gDefaultHookRefcon = refcon;
}

MovieProgress::MovieProgress(Movie theMovie, short operation) : fMovie(theMovie), fOperation(operation)
{
    GetMovieProgressProc(theMovie, &fProc, &fRefcon);
    if (fProc == kDefaultMovieProgressProc) {
        fProc = gDefaultHook;
        fRefcon = gDefaultHookRefcon;
    }
    if (fProc)
        fResult = fProc(fMovie, movieProgressOpen, fOperation, 0, fRefcon);
}

MovieProgress::~MovieProgress()
{
    if (fProc)
        fProc(fMovie, movieProgressClose, fOperation, fixed1, fRefcon);
}

OSErr MovieProgress::Update(UInt64 done, UInt64 total)
{
    if (!fProc || fResult)
        return fResult;
    Fixed percent = total ? Fixed((done >= total ? 1.0 : double(done) / double(total)) * 65536.0) : fixed1;
    if (fLastReported >= 0 && percent - fLastReported < fixed1 / 1000 && percent != fixed1)
        return noErr;
    fLastReported = percent;
    fResult = fProc(fMovie, movieProgressUpdatePercent, fOperation, percent, fRefcon);
    return fResult;
}
