// moviedump FILE: prints the movie in FILE as Orvo sees it, as JSON.
//
// Everything printed comes through the movie toolbox calls, so the output
// is what the application's windows would show; tests and benchmarks compare
// it with what other readers make of the same file.
#include <cstdio>
#include <string>

#include "platform/core/PascalStrings.h"
#include "platform/core/Memory.h"
#include "platform/filesystem/Files.h"
#include "platform/movies/Movies.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/model/MovieSeam.h"
#include "tools/moviedump/JsonWriter.h"
#include "tools/moviedump/MovieJson.h"

namespace {

int Fail(OSErr err, const std::string& message)
{
    std::fprintf(stderr, "error %d: %s\n", err, message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: moviedump FILE\n");
        return 2;
    }
    EnterMovies();
    FSSpec location;
    if (OSErr err = FSPathMakeFSSpec(argv[1], &location, nullptr))
        return Fail(err, std::string("cannot find ") + argv[1]);
    short refNum = 0;
    if (OSErr err = OpenMovieFile(&location, &refNum, fsRdPerm))
        return Fail(err, std::string("cannot open ") + argv[1]);
    Movie movie = nullptr;
    short resID = 0;
    OSErr err = NewMovieFromFile(&movie, refNum, &resID, nullptr, 0, nullptr);
    CloseMovieFile(refNum);
    if (err == couldNotResolveDataRef && movie) {
        // The movie is there; only some files holding its samples are not.
        // Show it, and say which references could not be followed.
        for (long t = 1; t <= GetMovieTrackCount(movie); ++t) {
            Media media = GetTrackMedia(GetMovieIndTrack(movie, t));
            short refs = 0;
            if (media)
                GetMediaDataRefCount(media, &refs);
            for (short i = 1; i <= refs; ++i) {
                std::string name = DataRefName(media, i);
                if (name.rfind("missing: ", 0) == 0 || name.rfind("refused: ", 0) == 0)
                    std::fprintf(stderr, "warning: track %ld data reference %d %s\n", t, i, name.c_str());
            }
        }
        err = noErr;
    }
    if (err != noErr || !movie) {
        if (movie)
            DisposeMovie(movie);
        return Fail(err ? err : OSErr(noMovieFound), std::string("no movie in ") + argv[1]);
    }
    JsonWriter j;
    WriteMovieJson(j, movie);
    std::printf("%s\n", j.Text().c_str());
    DisposeMovie(movie);
    return 0;
}
