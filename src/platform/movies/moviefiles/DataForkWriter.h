// Putting a movie atom into a data fork without ever losing the old movie.
//
// The new movie atom is appended after the last atom and flushed; only then
// is the old one retired by turning its type into 'free' (a 4-byte write),
// so a reader that takes the first movie atom sees the old movie up to that
// write and the new one after it. A fragmented file is instead copied beside
// itself with its fragments retired, and the copy renamed over it: the
// merged movie must not be read together with fragments that it already
// holds.
#pragma once

#include <span>
#include <string>

#include "platform/core/MacTypes.h"
#include "platform/movies/moviefiles/FreeSpaceReuse.h"

namespace DataForkWriter {

// Writes moovAtom into the data fork open on *fd (at path). *fd may be
// replaced by a descriptor of the rewritten file. With holdsSamples (which
// tells where the movie's samples lie in this file), free space left by
// earlier saves is used again and retired space at the end is cut off.
OSErr PutMovieAtom(int* fd, const std::string& path, std::span<const UInt8> moovAtom,
                   const FreeSpaceReuse::SampleCheck& holdsSamples = {});

// The 'ftyp' atom that starts the files we create.
std::span<const UInt8> QuickTimeFileType();

}  // namespace DataForkWriter
