// Where every kept sample of a movie goes in a self-contained file.
//
// Each track keeps only the samples its edits play (FlattenTrack), cut into
// chunks of about half a second. The chunks of all tracks are put in the
// order they play, so that a player reading the file front to back finds
// sound and video of the same moment close together; pieces that follow
// each other in their source file as well become one copy, which the kernel
// can do without the bytes passing through the process.
//
// A chunk that starts with a large piece starts at the same place within a
// page as that piece does in its source, a few unused bytes after the chunk
// before: the kernel copies whole pages far faster than bytes that must be
// shifted within each page, and file systems that share blocks between
// files can share them. Chunk offsets are absolute, so every reader skips
// the gap.
#pragma once

#include <string>
#include <vector>

#include "platform/movies/moviefiles/FlattenTrack.h"

struct FlattenCopy {
    int source = 0;          // index into FlattenPlan::sources
    UInt64 sourceOffset = 0;
    UInt64 destinationOffset = 0;
    UInt64 length = 0;
};

struct FlattenPlan {
    std::vector<std::string> sources;         // files read from
    std::vector<FlattenCopy> copies;          // in destination order
    std::vector<FlattenTrack> tracks;         // the tracks kept, in movie order, offsets filled in
    UInt64 dataStart = 0;   // first sample byte in the destination
    UInt64 dataLength = 0;  // to the last sample byte, gaps included
    UInt32 mediaDataHeaderSize = 8;
    bool needsCo64 = false;

    // Lays out the kept samples after `headerBytes` bytes of file (the file
    // type atom and the media data atom's header, which the caller writes).
    // flattenActiveTracksOnly leaves disabled tracks out;
    // flattenDontInterleaveFlatten puts each track's data in one stretch.
    // couldNotResolveDataRef when a kept sample's file is unknown.
    static OSErr Make(Movie theMovie, long flattenFlags, UInt64 headerBytes, FlattenPlan* out);
    // The media data atom's header length that `dataLength` bytes need.
    static UInt32 MediaDataHeaderSize(UInt64 dataLength);
    // Whether a chunk starting with `piece` keeps its place within a page.
    static bool KeepsPageOffset(const FlattenPiece& piece) { return piece.length >= kPageAlignedPiece; }
    static constexpr UInt64 kPageSize = 4096;
    static constexpr UInt64 kPageAlignedPiece = 256u << 10;
};
