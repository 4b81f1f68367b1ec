// One data reference of a media: where its samples live.
#pragma once

#include <string>
#include <vector>

#include "platform/core/MacTypes.h"

struct DataRefEntry {
    OSType type = 'alis';     // 'alis', 'url ', or anything else kept as read
    UInt8 version = 0;
    UInt32 flags = 0;         // 1: the samples are in the movie's own file
    std::vector<UInt8> data;  // the entry's bytes after version and flags, as read
    // The file that holds the samples, when known: the movie file for a self
    // reference, or what the file layer resolved.
    std::string resolvedPath;
    // Set when the reference named a file that may not be followed (not a
    // movie file, or a device or system file): it counts as missing.
    bool refused = false;

    bool IsSelf() const { return (flags & 1) != 0; }
    bool SameEntryAs(const DataRefEntry& other) const
    {
        return type == other.type && version == other.version && flags == other.flags && data == other.data;
    }
};
