// The AppleDouble container: the "._NAME" file beside a data file that holds
// what a classic volume kept outside the data fork (Finder info, resource
// fork). This is the layout macOS writes on volumes without forks:
// magic 0x00051607, version 0x00020000, 16 filler bytes, a big-endian entry
// count, then (entry ID, offset, length) triples and the entry bytes.
//
// The container knows nothing of what the entries mean; Finder info is read
// and written by FSpGetFInfo/FSpSetFInfo, the resource fork by the movie
// toolbox.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "platform/core/MacTypes.h"

enum : UInt32 {
    kAppleDoubleDataFork = 1,
    kAppleDoubleResourceFork = 2,
    kAppleDoubleFinderInfo = 9,
};

// The largest companion read or written. A resource fork holds at most
// 16 MiB of data (its offsets have 24 bits); with its map, the Finder info
// and the extended attributes macOS adds, a companion beyond this is not
// one a Mac wrote, and reading it whole would only cost memory.
constexpr std::size_t kMaxCompanionSize = std::size_t(64) << 20;

// The Finder-info entry is 32 bytes: FInfo (16) then FXInfo (16). macOS may
// append extended attributes to it; those bytes are kept as they are.
enum { kAppleDoubleFinderInfoSize = 32 };

struct AppleDoubleEntry {
    UInt32 entryID = 0;
    std::vector<UInt8> data;
};

struct AppleDoubleFile {
    std::vector<AppleDoubleEntry> entries;

    // nil when the file has no entry with that ID.
    const AppleDoubleEntry* Find(UInt32 entryID) const;
    AppleDoubleEntry* Find(UInt32 entryID);
    // Replaces the entry's bytes, or appends a new entry.
    void Set(UInt32 entryID, std::vector<UInt8> data);
    void Remove(UInt32 entryID);
};

// "dir/._name" for "dir/name".
std::string AppleDoubleCompanionPath(const std::string& dataPath);

// Parses container bytes. False when they are not an AppleDouble file or an
// entry lies outside them.
bool DecodeAppleDouble(std::span<const UInt8> bytes, AppleDoubleFile* out);
std::vector<UInt8> EncodeAppleDouble(const AppleDoubleFile& file);

// Reads a companion file: fnfErr when there is none, ioErr when it is not a
// valid container or larger than kMaxCompanionSize, other File Manager codes
// from the system.
OSErr ReadAppleDouble(const std::string& companionPath, AppleDoubleFile* out);

// Writes a companion like every other save: through the file write layer, to
// a temporary file that is flushed and renamed over the old one before the
// folder is flushed, so a failure never leaves a half-written companion.
// paramErr when the container would exceed kMaxCompanionSize.
OSErr WriteAppleDouble(const std::string& companionPath, const AppleDoubleFile& file);
