// What playback needs of a movie, taken at one moment: the timing of every
// track (offset, edits, media rates, enabled state), the media's sample
// descriptions and the files that hold the samples. Sample tables share their
// large arrays with the live movie, so taking a snapshot costs little, and the
// snapshot never changes afterwards: decoders may read it from any thread
// while commands change the live movie.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/movies/Movies.h"
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/SampleTable.h"

struct SnapshotTrack {
    UInt32 id = 0;
    bool enabled = true;
    OSType mediaType = 0;
    SInt16 layer = 0;
    SInt16 volume = 0;                  // 8.8 fixed, 0x100 is full volume
    MatrixRecord matrix{};
    double width = 0, height = 0;       // track dimensions in pixels
    SInt64 offset = 0;                  // movie units
    std::vector<Edit> edits;            // the track's own edits
    TimeScale mediaScale = 600;
    std::vector<std::vector<UInt8>> sampleDescriptions;
    // One path per data reference ("" when the file could not be found).
    std::vector<std::string> dataFiles;
    // What each data reference names, to tell a person which file is missing.
    std::vector<std::string> dataNames;
    SampleTable table;                  // indexes built; read-only from here on

    bool IsVisual() const { return mediaType == VideoMediaType && width > 0 && height > 0; }
    bool IsSound() const { return mediaType == SoundMediaType; }
    // The file holding samples of the given description (1-based), "" when missing.
    std::string FileForDescription(UInt32 descriptionIndex) const;
    std::string NameForDescription(UInt32 descriptionIndex) const;
};

// Where a movie time lands in a track's media.
struct MediaPosition {
    bool inMedia = false;    // false: before or after the track, or in an empty edit
    double mediaTime = 0;    // in media units
    double rate = 1;         // media units advance `rate` times as fast as normal
    SInt64 editStart = 0;    // movie time at which the edit starts
    SInt64 editEnd = 0;      // and ends
};

struct MovieSnapshot {
    TimeScale timeScale = 600;
    SInt64 duration = 0;                // movie units
    Fixed preferredRate = fixed1;
    SInt16 volume = 0x100;
    // The movie's natural bounds (every enabled visual track through its
    // matrix), where the picture is composed.
    double left = 0, top = 0, right = 0, bottom = 0;
    std::vector<std::shared_ptr<const SnapshotTrack>> tracks;

    int NaturalWidth() const { return int(right - left + 0.5); }
    int NaturalHeight() const { return int(bottom - top + 0.5); }
};

// Reads the movie's timing now; nil for a nil movie.
std::shared_ptr<const MovieSnapshot> TakeMovieSnapshot(Movie theMovie);

// The media position that plays at movie time t (movie units, fractional
// for sound positions) through the track's offset and edits.
MediaPosition MapMovieTime(const SnapshotTrack& track, TimeScale movieScale, double t);
