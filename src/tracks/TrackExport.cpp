// Exporting the selected track: a movie of its own whose one track refers to
// the same samples as the selected one, saved through the Save As path.
// The parent's movie, its track list and the selection stay as they were.
#include "platform/core/Memory.h"
#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "tracks/OrvoTracksWindow.h"
#include "util/MyError.h"
#include "viewer/CheckedCall.h"
#include "viewer/MovieSaving.h"
#include "viewer/OrvoViewerWindow.h"

namespace {

// A new media of the source media's type and time scale on the source's
// first data reference, so that the copied edits play the same samples.
void CopyMediaAndEdits(Track srcTrack, Media srcMedia, Track destTrack, Handle* dataRef)
{
    OSType refType = 0;
    long refAttributes = 0;
    GetMediaDataRef(srcMedia, 1, dataRef, &refType, &refAttributes);
    FailErr(GetMoviesError(), "GetMediaDataRef()"_p);
    OSType mediaType = 0;
    GetMediaHandlerDescription(srcMedia, &mediaType, nullptr, nullptr);
    FailErr(GetMoviesError(), "GetMediaHandlerDescription()"_p);
    TimeScale mediaTimeScale = Checked(GetMediaTimeScale(srcMedia), "GetMediaTimeScale()"_p);
    NewTrackMedia(destTrack, mediaType, mediaTimeScale, *dataRef, refType);
    FailErr(GetMoviesError(), "NewTrackMedia()"_p);
    InsertTrackSegment(srcTrack, destTrack, 0, GetTrackDuration(srcTrack), 0);
    FailErr(GetMoviesError(), "InsertTrackSegment()"_p);
}

}  // namespace

void OrvoTracksWindow::ExportTrack()
{
    if (selectedTrack == nullptr)
        return;
    Track srcTrack = Checked(GetMovieTrack(parent->movie, selectedTrack->trackID), "GetMovieTrack()"_p);
    Media srcMedia = Checked(GetTrackMedia(srcTrack), "GetTrackMedia()"_p);
    Movie trackMov = Checked(NewMovie(newMovieActive), "NewMovie()"_p);
    CopyMovieSettings(parent->movie, trackMov);
    FailErr(GetMoviesError(), "CopyMovieSettings()"_p);
    Track destTrack = Checked(NewMovieTrack(trackMov, 0, 0, 0), "NewMovieTrack()"_p);
    CopyTrackSettings(srcTrack, destTrack);
    FailErr(GetMoviesError(), "CopyTrackSettings()"_p);
    Handle dataRef = nullptr;
    CopyMediaAndEdits(srcTrack, srcMedia, destTrack, &dataRef);

    // A self-contained export is a long copy: it shows the same progress
    // window, with its Stop button, as the viewer's saves.
    if (trackMov != nullptr)
        SetMovieProgressProc(trackMov, reinterpret_cast<MovieProgressUPP>(-1L), 0);
    FSSpec dummySpec;
    SaveMovieInNewFile(trackMov, "Exported Track"_p, uiRef, &dummySpec, nullptr, nullptr);

    // Nothing refers to the exported movie once it is saved; the save
    // closed the file it wrote.
    if (trackMov != nullptr)
        DisposeMovie(trackMov);
    if (dataRef != nullptr)
        DisposeHandle(dataRef);
}
