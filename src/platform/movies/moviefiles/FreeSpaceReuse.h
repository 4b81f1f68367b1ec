// Writing a new movie atom into free space left by earlier saves, so that
// saving in place again and again does not make the file grow without end.
//
// Only a run of 'free'/'skip' atoms after the last media data and before the
// first movie atom is used, and only when no sample of the movie lies in it.
// The run is first made one free atom, the movie is written inside it while
// its header still says 'free', and only when that is flushed does the
// header become 'moov'. Since the run comes before the old movie atom, that
// 4-byte write is the moment readers switch from the old movie to the new.
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "platform/core/MacTypes.h"
#include "platform/movies/model/MovieSeam.h"

namespace FreeSpaceReuse {

// True when samples that must be kept lie in [offset, offset + length).
using SampleCheck = std::function<bool(UInt64 offset, UInt64 length)>;

struct FreeRun {
    UInt64 offset = 0;
    UInt64 size = 0;
    std::size_t atomCount = 0;
};

bool FindRun(const std::vector<TopLevelAtom>& atoms, UInt64 moovSize, const SampleCheck& holdsSamples, FreeRun* out);

// Writes moov into the run and makes it the first movie atom of the file.
OSErr WriteIntoRun(int fd, const FreeRun& run, std::span<const UInt8> moov);

// Cuts free atoms (and retired movie atoms) off the end of the file, never
// below keepFrom and never where samples lie.
OSErr TrimTrailingFreeSpace(int fd, const std::vector<TopLevelAtom>& atoms, UInt64 keepFrom,
                            const SampleCheck& holdsSamples);

}  // namespace FreeSpaceReuse
