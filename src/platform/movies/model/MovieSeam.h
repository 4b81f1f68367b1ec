// What the movie-file layer needs from the movie model: turning a movie atom
// into a Movie and back, the data references of each media, the chunks that
// hold the samples (and, from the atom layer, the top-level atoms of a file).
//
// Nothing here touches a file: the file layer reads and writes bytes and
// hands them over, so the model stays testable on bytes in memory.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/movies/Movies.h"
#include "platform/movies/atoms/TopLevelScan.h"
#include "platform/movies/model/DataRefEntry.h"

// Where a movie atom came from. Self data references (flag 1) are resolved to
// `path`.
struct MovieSource {
    std::string path;  // absolute path of the file holding the movie atom ("" in memory)
    UInt64 fileSize = 0;
};

// A movie atom, 8- or 16-byte header included, into a new Movie. cmov is
// decompressed. Result: noErr, or invalidMovie / badPublicMovieAtom with the
// reason in *whyNot when given.
OSErr ParseMovieAtom(std::span<const UInt8> moovAtom, const MovieSource& source, Movie* outMovie,
                     std::string* whyNot = nullptr);

// A whole data fork in memory: finds the first usable movie atom and merges
// the movie fragments (moof) that follow into plain sample tables.
// noMovieFound when there is no movie atom.
OSErr ParseMovieFileData(std::span<const UInt8> fileBytes, const MovieSource& source, Movie* outMovie,
                         std::string* whyNot = nullptr);

// The same over a data fork of fileSize bytes read through readAt: the
// top-level atoms are walked by their headers and only the movie atom and
// one fragment at a time are read, so the file's size never limits what
// opens. A header atom (moov, moof) past kMaxHeaderAtomBytes is refused.
OSErr ParseMovieFile(UInt64 fileSize, const ReadAtProc& readAt, const MovieSource& source, Movie* outMovie,
                     std::string* whyNot = nullptr);
constexpr UInt64 kMaxHeaderAtomBytes = UInt64(1) << 30;

// True when the movie was read from fragments (moof); writing it back gives
// plain sample tables and no mvex, so the file's fragments must not stay
// visible to other readers after an in-place update.
bool MovieWasFragmented(Movie theMovie);

// What reading the movie noted without failing, each with its offset and
// atom path: bytes that a fixed-layout atom left after its fields, which are
// kept and written back but may mean a field was misread.
std::vector<std::string> MovieReadWarnings(Movie theMovie);

struct SerializeOptions {
    // The file the movie atom will live in. Data references to this file are
    // written as self references.
    std::string destinationPath;
    // Write every chunk offset table as co64.
    bool forceCo64 = false;
    // Flattening: the new file offset of each chunk, in chunk order (as
    // ForEachMediaChunk gives them). When set, every media gets one self data
    // reference and every sample description refers to it.
    std::function<UInt64(Track track, UInt32 chunkIndex, UInt64 oldOffset)> remapChunkOffset;
    // Makes the entry for samples in another file (an alias record); when not
    // set, such entries are written as read, or as a 'url ' entry with a
    // file:// address when they were self references of another file.
    std::function<OSErr(const DataRefEntry& original, const std::string& dataPath, DataRefEntry* out)> makeDataRef;
};

// The movie atom for theMovie. The box at this moment becomes the saved
// movie matrix; track offsets are written as leading empty edits. A movie
// read and written unchanged (same destination, no remapping) gives the same
// bytes.
OSErr SerializeMovieAtom(Movie theMovie, const SerializeOptions& options, std::vector<UInt8>* out);

// The data references of a media, index from 1; nil when out of range.
short CountMediaDataRefs(Media theMedia);
DataRefEntry* GetMediaDataRefEntry(Media theMedia, short index);

// One chunk of a media: a run of samples stored together.
struct MediaChunk {
    UInt32 chunkIndex = 0;             // from 0, in file order of the sample table
    UInt16 dataRefIndex = 0;           // from 1
    UInt32 sampleDescriptionIndex = 0; // from 1
    UInt64 fileOffset = 0;
    UInt64 size = 0;                   // bytes
    UInt32 firstSample = 0;            // from 1
    UInt32 sampleCount = 0;
    SInt64 decodeTime = 0;             // media time of the first sample
    SInt64 duration = 0;               // media time that the chunk's samples span
};

// Calls visit for every chunk in order (which is decode-time order); stops
// early when visit returns false. invalidMedia for a nil media.
OSErr ForEachMediaChunk(Media theMedia, const std::function<bool(const MediaChunk&)>& visit);

// One sample of a media, for playback: where it is and when it plays.
struct MediaSample {
    UInt32 sampleNumber = 0;            // from 1
    SInt64 decodeTime = 0;              // media time
    UInt32 duration = 0;
    SInt32 compositionOffset = 0;       // display time = decode time + this
    UInt64 fileOffset = 0;
    UInt32 size = 0;
    UInt16 dataRefIndex = 1;            // from 1
    UInt32 sampleDescriptionIndex = 1;  // from 1
    bool sync = true;
    bool operator==(const MediaSample&) const = default;
};

// The sample that is decoding at mediaTime (0 when none), and a sample's
// details; invalidSampleNum when the tables do not hold it.
UInt32 MediaSampleAtTime(Media theMedia, SInt64 mediaTime);
OSErr GetMediaSample(Media theMedia, UInt32 sampleNumber, MediaSample* out);
// Every sample in order without a lookup each, in stretches of count
// samples alike but for their number, decode time and offset: sample
// first.sampleNumber + i decodes at first.decodeTime + i * first.duration
// and lies at first.fileOffset + i * first.size. Each sample is what
// GetMediaSample gives; the walk stops at the first sample GetMediaSample
// would not find, or early when visit returns false.
OSErr ForEachMediaSampleStretch(Media theMedia,
                                const std::function<bool(const MediaSample& first, UInt32 count)>& visit);

// The whole sample description entry (from 1), header included: the codec
// configuration a decoder needs. paramErr for a nil out, invalidSampleDescIndex
// for an index out of range.
OSErr GetMediaSampleDescriptionBytes(Media theMedia, long index, std::vector<UInt8>* out);
