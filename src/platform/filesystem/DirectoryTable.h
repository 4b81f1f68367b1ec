// The process-wide table behind FSSpec: directory paths <-> directory IDs,
// and the short names given to leaf names that do not fit a Str63.
//
// Internal to the file-system module.
#pragma once

#include <string>

#include "platform/core/MacTypes.h"

namespace files {

// An absolute, lexically normalised path: no ".", "..", empty or trailing
// components ("/" stays "/"). Relative paths start at the current directory.
std::string NormalizePath(const std::string& path);

// "/a/b" for ("/a", "b"), "/b" for ("/", "b").
std::string JoinPath(const std::string& dirPath, const std::string& leaf);

// Splits a normalised path other than "/" into its directory and leaf.
void SplitPath(const std::string& path, std::string* dirPath, std::string* leaf);

// The ID of a normalised directory path, allocated on first use.
SInt32 DirectoryIDForPath(const std::string& dirPath);

// The path of a directory ID; false when the ID was never handed out.
bool PathForDirectoryID(SInt32 dirID, std::string* dirPath);

// The name an FSSpec carries for realName inside directory dirID: realName
// itself when it fits 63 bytes, else a unique short name remembered in the
// table.
std::string SpecNameFor(SInt32 dirID, const std::string& dirPath, const std::string& realName);

// The real leaf name behind an FSSpec name: the long name a short name
// stands for, else the name itself.
std::string RealNameFor(SInt32 dirID, const std::string& specName);

}  // namespace files
