// The outcome of reading an atom: a classic error code plus what went wrong
// and where (file offset and atom path such as "moov/trak[2]/mdia/mdhd").
#pragma once

#include <string>

#include "platform/core/MacTypes.h"

struct AtomStatus {
    OSErr code = noErr;
    std::string what;
    UInt64 offset = 0;
    std::string path;

    bool Ok() const { return code == noErr; }
    std::string Describe() const;
};
