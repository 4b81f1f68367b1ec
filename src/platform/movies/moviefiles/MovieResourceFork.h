// The 'moov' resources of a movie file's resource fork, kept in the
// AppleDouble companion "._NAME" beside the data file.
#pragma once

#include <string>
#include <vector>

#include "platform/core/MacTypes.h"
#include "platform/filesystem/AppleDouble.h"
#include "platform/movies/moviefiles/ResourceFork.h"

enum : ResType {
    kMovieResourceType = 'moov',
};

namespace MovieResourceFork {

// Reads the companion of dataPath. fnfErr when there is no companion; a
// companion without a resource-fork entry gives an empty fork. mapReadErr or
// ioErr when it is damaged.
OSErr Read(const std::string& dataPath, AppleDoubleFile* container, ResourceFork* fork);

// Whether dataPath has a companion with at least one 'moov' resource.
bool HasMovieResource(const std::string& dataPath);

// Writes fork into the container (keeping its other entries), sets Finder
// info to type 'MooV' and creator, and replaces companionPath atomically.
OSErr Write(const std::string& companionPath, AppleDoubleFile container, const ResourceFork& fork, OSType creator);

}  // namespace MovieResourceFork
