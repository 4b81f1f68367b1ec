// One entry of a 'dref' atom as the file holds it: where a media's samples
// live, as a type ('alis', 'url ', ...), flags and the entry's own bytes.
#pragma once

#include <vector>

#include "platform/core/MacTypes.h"

struct DrefEntry {
    OSType type = 'alis';     // 'alis', 'url ', or anything else kept as read
    UInt8 version = 0;
    UInt32 flags = 0;         // 1: the samples are in the movie's own file
    std::vector<UInt8> data;  // the entry's bytes after version and flags, as read

    bool IsSelf() const { return (flags & 1) != 0; }
    bool SameEntryAs(const DrefEntry& other) const
    {
        return type == other.type && version == other.version && flags == other.flags && data == other.data;
    }
};
