// Walking the top-level atoms of a file without reading their bodies: what
// saving needs to know of a file before it decides where a movie goes.
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "platform/core/MacTypes.h"

struct TopLevelAtom {
    OSType type = 0;
    UInt64 offset = 0;       // of the header
    UInt64 size = 0;         // whole atom, header included; resolved for size 0
    UInt32 headerSize = 8;   // 16 with a 64-bit size
    bool extendsToEnd = false;  // size field 0
    bool truncated = false;     // claims more bytes than the file has (last entry)
};

// The top-level atoms of a file, in order. Stops at the first atom that
// cannot be valid (size below its header) or that runs past the end; that
// atom is listed with truncated set. Bytes after the last atom that are too
// few for a header are ignored.
OSErr ScanTopLevelAtoms(std::span<const UInt8> fileBytes, std::vector<TopLevelAtom>* out);
using ReadAtProc = std::function<bool(UInt64 offset, UInt8* buffer, size_t length)>;
OSErr ScanTopLevelAtoms(UInt64 fileSize, const ReadAtProc& readAt, std::vector<TopLevelAtom>* out);
