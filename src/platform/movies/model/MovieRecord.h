// The movie model behind the opaque Movie, Track and Media references.
//
// A movie keeps the atom tree it was read from (or built for it), and the
// model's values beside it; writing puts the values back into the tree, so
// that everything Orvo does not interpret goes out as it came in.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/movies/Movies.h"
#include "platform/movies/atoms/ContainerAtom.h"
#include "platform/movies/model/DataRefEntry.h"
#include "platform/movies/model/MovieSeam.h"
#include "platform/movies/model/SampleTable.h"

// One edit of a track: duration in movie units, media time (-1: empty) and
// media rate.
struct Edit {
    SInt64 duration = 0;
    SInt64 mediaTime = 0;
    Fixed rate = fixed1;
    bool operator==(const Edit&) const = default;
    bool IsEmpty() const { return mediaTime < 0; }
};

struct TimeBaseRecord {
    MovieRecord* movie = nullptr;
};

struct MediaRecord {
    TrackRecord* track = nullptr;
    ContainerAtom* mdia = nullptr;          // in the movie's tree
    UInt64 serial = 0;                      // identifies the media across movies
    OSType type = 0;                        // the handler's subtype: 'vide', 'soun', ...
    TimeScale timeScale = 600;
    SInt64 durationAsRead = 0;              // mdhd, as the file says
    UInt16 language = 0;
    std::vector<DataRefEntry> dataRefs;
    std::vector<std::vector<UInt8>> sampleDescriptions;  // stsd entries, whole
    SampleTable table;
    bool tableChanged = false;              // the tables are written from `table`
    // Media whose samples were appended here, by serial: where they start.
    std::map<UInt64, SInt64> appendedMedia;

    SInt64 Duration() const;
    std::string HandlerName() const;
};

struct TrackRecord {
    MovieRecord* movie = nullptr;
    ContainerAtom* trak = nullptr;          // in the movie's tree
    UInt32 id = 0;
    bool enabled = true;
    SInt16 layer = 0;
    SInt16 alternateGroup = 0;
    SInt16 volume = 0;
    MatrixRecord matrix{};
    Fixed width = 0, height = 0;
    SInt64 offset = 0;                      // movie units
    // The leading empty edits the offset was read from; written back as
    // they were while the offset is unchanged (some files have several, or
    // one of length 0).
    std::vector<SInt64> leadingEmptyAsRead;
    bool createdHere = false;               // made by NewMovieTrack, not read
    std::vector<Edit> edits;                // the track's own edits (no offset)
    bool editsFromFile = true;              // false: the file had no edit list
    SInt64 durationAsRead = 0;              // tkhd
    SInt64 durationAtRead = 0;              // offset + edits when read
    std::unique_ptr<MediaRecord> media;

    SInt64 Duration() const;                // sum of edits
    // The edits a track without an edit list plays: the whole media once.
    std::vector<Edit> ImplicitEdits() const;
};

struct MovieRecord {
    std::unique_ptr<ContainerAtom> moov;
    TimeScale timeScale = 600;
    Fixed preferredRate = fixed1;
    SInt16 preferredVolume = 0x100;
    SInt16 volume = 0x100;
    Fixed rate = 0;
    MatrixRecord matrix{};
    SInt64 previewTime = 0, previewDuration = 0, posterTime = 0;
    SInt64 selectionTime = 0, selectionDuration = 0, currentTime = 0;
    SInt64 durationAsRead = 0;              // mvhd
    SInt64 durationAtRead = 0;              // computed when read
    UInt32 nextTrackIDAsRead = 1;
    std::vector<std::unique_ptr<TrackRecord>> tracks;
    bool changed = false;
    bool active = false;
    bool fragmented = false;
    MovieProgressUPP progressProc = nullptr;
    long progressRefcon = 0;
    MovieSource source;
    TimeBaseRecord timeBase;
    // What reading the movie atom noted without failing (bytes a header
    // left unread, kept for the round trip).
    std::vector<AtomStatus> readWarnings;

    SInt64 Duration() const;                // max(offset + duration)
    void MarkChanged() { changed = true; }
    // Stores value in a field of this movie or of one of its tracks; the
    // movie counts as changed only when the value really changes.
    template <class T> void SetIfChanged(T& field, T value)
    {
        if (field != value) {
            field = value;
            changed = true;
        }
    }
};

// The identity matrix.
MatrixRecord IdentityMatrix();
// A new serial for a media.
UInt64 NextMediaSerial();
