// Where every chunk of a movie goes in a self-contained file.
//
// The chunks of all media are put in time order (the time of each chunk's
// first sample, in seconds), so that a player reading the file front to
// back finds sound and video of the same moment close together; chunks that
// follow each other in their source file as well become one copy.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/movies/Movies.h"

struct FlattenCopy {
    int source = 0;          // index into FlattenPlan::sources
    UInt64 sourceOffset = 0;
    UInt64 destinationOffset = 0;
    UInt64 length = 0;
};

struct FlattenPlan {
    std::vector<std::string> sources;         // files read from
    std::vector<FlattenCopy> copies;          // in destination order
    std::map<Track, std::vector<UInt64>> newChunkOffsets;  // by chunk index
    UInt64 dataStart = 0;   // first sample byte in the destination
    UInt64 dataLength = 0;
    bool needsCo64 = false;

    // Lays out every chunk after `headerBytes` bytes of file (the file type
    // atom and the media data atom's header, which the caller writes).
    // couldNotResolveDataRef when a chunk's file is unknown.
    static OSErr Make(Movie theMovie, UInt64 headerBytes, FlattenPlan* out);
    // The media data atom's header length that `dataLength` bytes need.
    static UInt32 MediaDataHeaderSize(UInt64 dataLength);
};
