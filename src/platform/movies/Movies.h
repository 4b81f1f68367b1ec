// The movie toolbox: movies, tracks and media under their classic names.
//
// Movies, tracks and media are opaque references owned by the toolbox; a
// track belongs to its movie and a media to its track, and both die with the
// movie. Every call sets the result that GetMoviesError reports. Times in
// this interface are 32-bit like the classic ones; the model keeps 64 bits
// inside, and a value that does not fit is reported as 0x7FFFFFFF with
// GetMoviesError giving invalidDuration.
//
// Track time is movie time minus the track's offset. A track's duration is
// the sum of its edits and does not include the offset; the movie's duration
// is the largest offset plus duration over its tracks.
#pragma once

#include "platform/core/MacTypes.h"
#include "platform/movies/MoviesError.h"

typedef SInt32 TimeValue;
typedef SInt32 TimeScale;
typedef SInt64 TimeValue64;

struct MovieRecord;
struct TrackRecord;
struct MediaRecord;
struct TimeBaseRecord;
typedef MovieRecord* Movie;
typedef TrackRecord* Track;
typedef MediaRecord* Media;
typedef TimeBaseRecord* TimeBase;

// A 3x3 transformation: a, b, u / c, d, v / tx, ty, w. The third column is
// 2.30 fixed point, the rest 16.16.
struct MatrixRecord {
    Fixed matrix[3][3];
};

// A time with its scale: the classic 64-bit value split in two halves.
struct wide {
    SInt32 hi;
    UInt32 lo;
};
typedef wide CompTimeValue;
struct TimeRecord {
    CompTimeValue value;
    TimeScale scale;
    TimeBase base;
};

typedef OSErr (*MovieProgressProcPtr)(Movie theMovie, short message, short whatOperation,
                                      Fixed percentDone, long refcon);
typedef MovieProgressProcPtr MovieProgressUPP;

enum {
    movieProgressOpen = 0,
    movieProgressUpdatePercent = 1,
    movieProgressClose = 2,
};
enum {
    progressOpFlatten = 1,
    progressOpInsertTrackSegment = 2,
    progressOpInsertMovieSegment = 3,
    progressOpPaste = 4,
    progressOpAddMovieSelection = 5,
    progressOpCopy = 6,
    progressOpCut = 7,
    progressOpLoadMovieIntoRam = 8,
    progressOpLoadTrackIntoRam = 9,
    progressOpLoadMediaIntoRam = 10,
    progressOpImportMovie = 11,
    progressOpExportMovie = 12,
};

// Passing this as the progress procedure asks for the default progress
// display, which the user-interface side provides.
#define kDefaultMovieProgressProc ((MovieProgressUPP)(-1L))

enum {
    newMovieActive = 1 << 0,
    newMovieDontResolveDataRefs = 1 << 1,
    newMovieDontAskUnresolvedDataRefs = 1 << 2,
    newMovieDontAutoAlternates = 1 << 3,
};

// Attributes of a data reference (GetMediaDataRef).
enum {
    dataRefSelfReference = 1 << 0,
    dataRefWasNotResolved = 1 << 1,
};

// Data reference types.
enum : OSType {
    rAliasType = 'alis',
    URLDataHandlerSubType = 'url ',
};

// Media types.
enum : OSType {
    VideoMediaType = 'vide',
    SoundMediaType = 'soun',
    TextMediaType = 'text',
    TimeCodeMediaType = 'tmcd',
    MPEGMediaType = 'MPEG',
};

// Starting and stopping.
OSErr EnterMovies();
void ExitMovies();

// Movies.
Movie NewMovie(long flags);
void DisposeMovie(Movie theMovie);
void GetMovieBox(Movie theMovie, Rect* boxRect);
void SetMovieBox(Movie theMovie, const Rect* boxRect);
void GetMovieMatrix(Movie theMovie, MatrixRecord* matrix);
void SetMovieMatrix(Movie theMovie, const MatrixRecord* matrix);
TimeScale GetMovieTimeScale(Movie theMovie);
void SetMovieTimeScale(Movie theMovie, TimeScale timeScale);
Fixed GetMovieRate(Movie theMovie);
void SetMovieRate(Movie theMovie, Fixed rate);
Fixed GetMoviePreferredRate(Movie theMovie);
void SetMoviePreferredRate(Movie theMovie, Fixed rate);
short GetMovieVolume(Movie theMovie);
void SetMovieVolume(Movie theMovie, short volume);
short GetMoviePreferredVolume(Movie theMovie);
void SetMoviePreferredVolume(Movie theMovie, short volume);
TimeBase GetMovieTimeBase(Movie theMovie);
TimeValue GetMovieDuration(Movie theMovie);
// The current time; currentTime (may be nil) receives it with the movie's scale.
TimeValue GetMovieTime(Movie theMovie, TimeRecord* currentTime);
void SetMovieTimeValue(Movie theMovie, TimeValue newTime);
TimeValue GetMoviePosterTime(Movie theMovie);
void SetMoviePosterTime(Movie theMovie, TimeValue posterTime);
void GetMovieSelection(Movie theMovie, TimeValue* selectionTime, TimeValue* selectionDuration);
void SetMovieSelection(Movie theMovie, TimeValue selectionTime, TimeValue selectionDuration);
void GetMoviePreviewTime(Movie theMovie, TimeValue* previewTime, TimeValue* previewDuration);
void SetMoviePreviewTime(Movie theMovie, TimeValue previewTime, TimeValue previewDuration);
Boolean GetMovieActive(Movie theMovie);
void SetMovieActive(Movie theMovie, Boolean active);
OSErr ScaleMovieSegment(Movie theMovie, TimeValue startTime, TimeValue oldDuration, TimeValue newDuration);
Boolean HasMovieChanged(Movie theMovie);
void ClearMovieChanged(Movie theMovie);
void SetMovieProgressProc(Movie theMovie, MovieProgressUPP proc, long refcon);
// The procedure and reference constant last set (nil when none); -1 stands
// for the default display, which the caller resolves.
void GetMovieProgressProc(Movie theMovie, MovieProgressUPP* proc, long* refcon);
OSErr CopyMovieSettings(Movie srcMovie, Movie dstMovie);
long GetMovieTrackCount(Movie theMovie);
Track GetMovieIndTrack(Movie theMovie, long index);
Track GetMovieTrack(Movie theMovie, long trackID);
void DisposeMovieTrack(Track theTrack);

// Tracks.
long GetTrackID(Track theTrack);
void GetTrackDimensions(Track theTrack, Fixed* width, Fixed* height);
void SetTrackDimensions(Track theTrack, Fixed width, Fixed height);
void GetTrackMatrix(Track theTrack, MatrixRecord* matrix);
void SetTrackMatrix(Track theTrack, const MatrixRecord* matrix);
TimeValue GetTrackDuration(Track theTrack);
TimeValue GetTrackOffset(Track theTrack);
void SetTrackOffset(Track theTrack, TimeValue movieOffsetTime);
Boolean GetTrackEnabled(Track theTrack);
void SetTrackEnabled(Track theTrack, Boolean isEnabled);
short GetTrackVolume(Track theTrack);
void SetTrackVolume(Track theTrack, short volume);
short GetTrackLayer(Track theTrack);
void SetTrackLayer(Track theTrack, short layer);
Media GetTrackMedia(Track theTrack);
Movie GetTrackMovie(Track theTrack);
Track NewMovieTrack(Movie theMovie, Fixed width, Fixed height, short trackVolume);
OSErr CopyTrackSettings(Track srcTrack, Track dstTrack);
OSErr InsertEmptyTrackSegment(Track dstTrack, TimeValue dstIn, TimeValue dstDuration);
OSErr InsertTrackSegment(Track srcTrack, Track dstTrack, TimeValue srcIn, TimeValue srcDuration,
                         TimeValue dstIn);
OSErr ScaleTrackSegment(Track theTrack, TimeValue startTime, TimeValue oldDuration, TimeValue newDuration);
OSErr DeleteTrackSegment(Track theTrack, TimeValue startTime, TimeValue duration);
// The track's own edit list (the offset is not an edit here), index from 1:
// duration in movie units, media time (-1 for an empty edit) and media rate.
long GetTrackEditCount(Track theTrack);
OSErr GetTrackEditInfo(Track theTrack, long index, TimeValue* duration, TimeValue* mediaTime, Fixed* mediaRate);

// Media.
TimeScale GetMediaTimeScale(Media theMedia);
void SetMediaTimeScale(Media theMedia, TimeScale timeScale);
TimeValue GetMediaDuration(Media theMedia);
long GetMediaSampleCount(Media theMedia);
long GetMediaSampleDescriptionCount(Media theMedia);
// The sample description's format code (the sample entry's type), index from 1.
OSType GetMediaSampleDescriptionType(Media theMedia, long index);
void GetMediaHandlerDescription(Media theMedia, OSType* mediaType, Str255 creatorName, OSType* creatorManufacturer);
short GetMediaLanguage(Media theMedia);
Track GetMediaTrack(Media theMedia);
OSErr GetMediaDataRefCount(Media theMedia, short* count);
// dataRef receives a new handle that the caller disposes of. A self
// reference comes back as a 'url ' reference to the file that holds the
// samples, with dataRefSelfReference among the attributes, so that it can be
// handed to NewTrackMedia of another movie.
OSErr GetMediaDataRef(Media theMedia, short index, Handle* dataRef, OSType* dataRefType, long* dataRefAttributes);
Media NewTrackMedia(Track theTrack, OSType mediaType, TimeScale timeScale, Handle dataRef, OSType dataRefType);
