// Shared helpers of the movie-file tests: movies made by ffmpeg, what other
// programs make of files, and the ways the tests save movies.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/filesystem/FileWriteLayer.h"
#include "platform/filesystem/Files.h"
#include "platform/movies/Movies.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "support/RunCommand.h"
#include "support/ScratchFolder.h"

// Makes a movie with ffmpeg: `args` are the input and output options; the
// output goes to `path`. Fails the current test when ffmpeg fails.
bool MakeFfmpegMovie(const std::string& path, const std::string& args);

FSSpec SpecFor(const std::string& path);

// What ffmpeg reports decoding the whole file (following data references):
// empty when it decodes cleanly.
std::string DecodeErrors(const std::string& path);
// The video packets ffprobe reads in the file's first video track,
// following data references.
int VideoPackets(const std::string& path);
// How many regular files folder holds (nothing left behind, nothing lost).
int FilesIn(const std::string& folder);
// The time offset of the first track of the movie at path (-1: no movie).
TimeValue FirstTrackOffset(const std::string& path);
// A movie file opened read/write with its movie, closed at the end of scope.
struct OpenMovie {
    short refNum = 0, resId = 0;
    Movie movie = nullptr;
    explicit OpenMovie(const std::string& path);
    ~OpenMovie() { Close(); }
    void Close();
};
// Runs `write` in a child process, handing it the fault that kills the
// process at write k for it to inject; fails the test unless it died there.
void RunKilledAtWrite(long k, const std::function<void(const WriteFault&)>& write);

// Saves movie as a new two-fork movie file at path: the movie as a 'moov'
// resource in the companion "._NAME". Fails the test on error.
void SaveAsTwoForkMovie(Movie movie, const std::string& path);
// Saves movie as a new reference movie at path, replacing any file there:
// in the data fork (movieInDataForkResID) or as resource resId of the
// companion (0: the first free ID). Fails the test on error.
void SaveAsReferenceMovie(Movie movie, const std::string& path, short resId = movieInDataForkResID);
// FlattenMovie into path, replacing any file there: the movie in the data
// fork (movieInDataForkResID) or in the companion. The toolbox's result.
OSErr FlattenMovieTo(Movie movie, const std::string& path, long flattenFlags = 0,
                     short resId = movieInDataForkResID);
// The track export's road: a new movie whose one track plays the source's
// first video track from the source's file (nil when it has none).
Movie ExportFirstVideoTrack(Movie source);

