// Data references of a movie as files: finding the files that hold the
// samples when a movie is read, and naming them when a movie is written
// somewhere else.
#pragma once

#include <string>
#include <vector>

#include "platform/movies/Movies.h"
#include "platform/movies/model/DataRefEntry.h"

namespace MovieDataRefs {

// Sets resolvedPath of every non-self reference of every media: aliases are
// looked up relative to the movie file's folder first, 'url ' references
// with a file address or a relative path likewise. A reference is followed
// only to a readable regular file that starts with a movie file's top-level
// atom, and never into /proc, /sys or /dev; a file found but not followed
// marks the entry `refused`. Returns couldNotResolveDataRef when some file is
// missing or refused (the others are still resolved); *changed becomes true
// when a file was found somewhere other than where the reference first
// points.
OSErr Resolve(Movie theMovie, const std::string& movieFilePath, Boolean* changed);

// The reference as the file writes it, for messages: the address of a
// 'url ' entry, the path of an alias, "self", or the entry's type.
std::string ReferenceText(const DataRefEntry& entry);

// An 'alis' entry that names dataPath from the file at destinationPath.
DataRefEntry MakeAliasEntry(const std::string& dataPath, const std::string& destinationPath);

// Every file that holds samples of the movie (resolved references only).
std::vector<std::string> DataFiles(Movie theMovie);

// Whether writing `path` (replacing or deleting it) would destroy samples
// that the movie refers to.
bool MovieUsesFile(Movie theMovie, const std::string& path);

// Where the movie's samples lie inside `path`: sorted, merged [begin, end)
// byte ranges. False when some reference is unresolved, so that nothing can
// be said about the file.
bool SampleRangesIn(Movie theMovie, const std::string& path, std::vector<std::pair<UInt64, UInt64>>* ranges);

// A path from a 'url ' entry's bytes (a C string): file:// addresses and
// relative paths (from the movie's folder); empty for other schemes.
std::string PathFromUrlEntry(const std::vector<UInt8>& data, const std::string& movieFilePath);

}  // namespace MovieDataRefs
