// Helpers for the movie model tests: files as bytes, and small movies
// built atom by atom so that each test states exactly what it starts from.
#pragma once

#include <string>
#include <vector>

#include "AtomBytes.h"
#include "platform/movies/Movies.h"
#include "platform/movies/model/MovieSeam.h"
#include "support/RunCommand.h"
#include "support/ScratchFolder.h"

std::vector<std::string> CorpusFiles(const std::string& folder);  // "wellformed" or "malformed"

struct TestEdit {
    UInt64 duration;
    SInt64 mediaTime;
    Fixed rate = fixed1;
};

struct TestTrack {
    UInt32 id = 1;
    const char* type = "vide";
    UInt32 mediaScale = 600;
    UInt32 sampleCount = 10;
    UInt32 sampleDelta = 60;
    UInt32 sampleSize = 100;
    UInt32 samplesPerChunk = 5;
    UInt32 firstChunkOffset = 1000;
    UInt32 chunkCount = 0;        // nonzero: list this many chunk offsets, whatever the samples need
    std::vector<TestEdit> edits;  // empty: no edit list
    bool enabled = true;
    UInt32 width = 320, height = 240;
};

// A complete movie atom: one mvhd and a trak per track, each with a
// self-referencing 'alis' data reference and a single-run sample table.
AtomBytes BuildMovieAtom(UInt32 movieScale, const std::vector<TestTrack>& tracks, UInt32 movieDuration = 0);

// Parses bytes with ParseMovieAtom; fails the test when that fails.
Movie ParseOrFail(const AtomBytes& moov, const std::string& path = "/movies/test.mov");

// SerializeMovieAtom with default options.
std::vector<UInt8> Serialize(Movie movie, const std::string& destination = "");
