// The movie-file calls: opening, reading, creating and writing movie files,
// and flattening a movie into a self-contained file.
//
// A movie lives either in the data fork (resource ID -1, the layout every
// other reader understands) or as a 'moov' resource in the resource fork,
// which on this system is the AppleDouble companion "._NAME" beside the data
// file. Every call sets the result that GetMoviesError reports.
//
// Writing never destroys what it cannot replace: an in-place update appends
// the new movie atom and only then retires the old one, new files are built
// beside their destination and renamed over it, and a save that would
// overwrite or delete samples that the movie itself refers to is refused
// with fBsyErr.
#pragma once

#include "platform/core/MacTypes.h"
#include "platform/filesystem/Files.h"
#include "platform/movies/Movies.h"
#include "platform/movies/moviefiles/MovieFileErrors.h"

enum : long {
    createMovieFileDeleteCurFile = (long)0x80000000UL,
    createMovieFileDontCreateMovie = 0x40000000L,
    createMovieFileDontOpenFile = 0x20000000L,
    createMovieFileDontCreateResFile = 0x10000000L,
};

enum : short {
    movieInDataForkResID = -1,
};

enum : long {
    flattenAddMovieToDataFork = 1L << 0,
    flattenActiveTracksOnly = 1L << 2,
    flattenDontInterleaveFlatten = 1L << 3,
    flattenForceMovieResourceBeforeMovieData = 1L << 6,
};

// File permissions (OpenMovieFile).
enum : SInt8 {
    fsCurPerm = 0,
    fsRdPerm = 1,
    fsWrPerm = 2,
    fsRdWrPerm = 3,
    fsRdWrShPerm = 4,
};

enum : OSType {
    kMovieFileCreator = 'TVOD',
};

// Opens a movie file. Write permission is refused with permErr when the file
// or its folder is locked (no write permission bits), wrPermErr when the
// volume is read-only, opWrErr while a file created to replace it is being
// written; fnfErr when it does not exist. A file may be open for writing
// under several reference numbers: each in-place save writes that opener's
// movie, and the last one written is the file's movie.
OSErr OpenMovieFile(const FSSpec* fileSpec, short* resRefNum, SInt8 permission);
OSErr CloseMovieFile(short resRefNum);

// Reads a movie. *resId 0 (or resId nil) takes the first 'moov' resource of
// the resource fork when there is one, else the movie atom of the data fork;
// -1 takes the data fork; any other ID that resource. *resId receives the ID
// used. When a file that holds samples cannot be found, the movie is still
// made and the result is couldNotResolveDataRef.
OSErr NewMovieFromFile(Movie* theMovie, short resRefNum, short* resId, StringPtr resName, short newMovieFlags,
                       Boolean* dataRefWasChanged);

// Creates a movie file of type 'MooV' and the given creator. Flags:
// createMovieFileDeleteCurFile replaces an existing file (the replacement
// happens when the first movie is written into it or it is closed);
// createMovieFileDontCreateMovie, createMovieFileDontOpenFile,
// createMovieFileDontCreateResFile as classic.
OSErr CreateMovieFile(const FSSpec* fileSpec, OSType creator, ScriptCode scriptTag, long createMovieFileFlags,
                      short* resRefNum, Movie* newmovie);

// Writes the movie as a new movie resource: *resId -1 into the data fork,
// 0 a new ID in the resource fork (given back), else that ID.
OSErr AddMovieResource(Movie theMovie, short resRefNum, short* resId, ConstStr255Param resName);
// Replaces the movie resource resId (-1: the data fork's movie atom) and
// clears the movie's changed flag. fnfErr when the open file has lost its
// name since it was opened (removed, or replaced by another program): the
// movie would be written where nobody could find it.
OSErr UpdateMovieResource(Movie theMovie, short resRefNum, short resId, ConstStr255Param resName);

// Writes a self-contained copy: the samples the edits play (from the key
// frame each edit needs), in chunks of about half a second interleaved by
// time, then the movie atom with sample tables and edits to match (co64 when
// offsets pass 4 GiB). Media rates other than 1 are baked into the copy's
// sample durations. flattenActiveTracksOnly leaves disabled tracks out.
// *resId -1, or flattenAddMovieToDataFork, or the value of
// createMovieFileDontCreateResFile among either set of flags gives a
// single-fork file (no companion); otherwise the movie goes into the
// resource fork. The movie in memory is not changed. Cancelling through the
// progress procedure or a failure leaves no file behind and the destination
// as it was; a destination that holds samples the movie uses is refused.
void FlattenMovie(Movie theMovie, long movieFlattenFlags, const FSSpec* theFile, OSType creator,
                  ScriptCode scriptTag, long createMovieFileFlags, short* resId, ConstStr255Param resName);
// Like FlattenMovie into the data fork, and returns the new file's movie.
Movie FlattenMovieData(Movie theMovie, long movieFlattenFlags, const FSSpec* theFile, OSType creator,
                       ScriptCode scriptTag, long createMovieFileFlags);

// The procedure that a progress procedure of -1 stands for; the
// user-interface side installs its progress window here. nil: no display.
void SetDefaultMovieProgressHook(MovieProgressUPP proc, long refcon);
