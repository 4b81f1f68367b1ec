// One data reference of a media: where its samples live. The entry's bytes
// are the dref atom's; the model adds the file they were resolved to.
#pragma once

#include <string>

#include "platform/movies/atoms/DrefEntry.h"

struct DataRefEntry : DrefEntry {
    DataRefEntry() = default;
    DataRefEntry(const DrefEntry& asRead) : DrefEntry(asRead) {}

    // The file that holds the samples, when known: the movie file for a self
    // reference, or what the file layer resolved.
    std::string resolvedPath;
    // Set when the reference named a file that may not be followed (not a
    // movie file, or a device or system file): it counts as missing.
    bool refused = false;
};
