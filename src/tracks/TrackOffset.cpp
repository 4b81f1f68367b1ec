// The selected track's offset, shown twice and kept linked: as movie time
// units and as a time text.
#include <cmath>

#include "app/AppResources.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/events/Events.h"
#include "tracks/OrvoTracksWindow.h"
#include "tracks/TrackDialogs.h"
#include "util/MyError.h"
#include "util/TextUtils.h"
#include "util/Utils.h"
#include "viewer/CheckedCall.h"
#include "viewer/OrvoViewerWindow.h"

namespace {

enum : short { kOffsetOK = 1, kOffsetCancel = 2, kOffsetUnits = 3, kOffsetTime = 4, kOffsetUpdate = 5 };

// Units to seconds; a time scale of 0 (which the movie toolbox never gives)
// shows as 0 rather than an undefined number.
double UnitsToSeconds(TimeValue units, TimeScale scale)
{
    return scale != 0 ? double(units) / double(scale) : 0.0;
}

void ShowOffsetTime(DialogPtr theDlg, TimeValue offset, TimeScale timeScale)
{
    Str255 buff;
    TimeToString(UnitsToSeconds(offset, timeScale), buff);
    SetDialogItemTextByID(theDlg, kOffsetTime, buff);
}

}  // namespace

void OrvoTracksWindow::SetOffset()
{
    if (selectedTrack == nullptr)
        return;
    Movie movie = parent->movie;
    Track track = Checked(GetMovieTrack(movie, selectedTrack->trackID), "GetMovieTrack()"_p);

    DialogPtr theDlg = GetNewDialog(kTrackOffsetDialogID, nullptr, kDialogInFront);
    if (theDlg == nullptr)
        return;
    SetDialogDefaultItem(theDlg, kOffsetOK);
    SetDialogCancelItem(theDlg, kOffsetCancel);
    TimeScale timeScale = Checked(GetMovieTimeScale(movie), "GetMovieTimeScale()"_p);
    TimeValue offset = Checked(GetTrackOffset(track), "GetTrackOffset()"_p);
    SetDialogItemLongByID(theDlg, kOffsetUnits, offset);
    ShowOffsetTime(theDlg, offset, timeScale);

    DialogItemIndex itemHit = 0;
    short lastItemHit = kOffsetUnits;
    do {
        ModalDialog(OffsetDialogFilterUPP, &itemHit);
        if (itemHit == kOffsetUnits || itemHit == kOffsetTime) {
            lastItemHit = itemHit;
        } else if (itemHit == kOffsetUpdate || itemHit == kOffsetOK) {
            if (lastItemHit == kOffsetTime) {
                Str255 buff;
                GetDialogItemTextByID(theDlg, kOffsetTime, buff);
                double offsetSecs = StringToTime(buff);
                // Text that is no time leaves the units as they were and
                // keeps OK from closing; the time field shows them again.
                if (std::isfinite(offsetSecs))
                    SetDialogItemLongByID(theDlg, kOffsetUnits, SecondsToUnits(offsetSecs, timeScale));
                else if (itemHit == kOffsetOK)
                    itemHit = kOffsetUpdate;
            }
            long units = 0;
            GetDialogItemLongByID(theDlg, kOffsetUnits, &units);
            ShowOffsetTime(theDlg, TimeValue(units), timeScale);
        }
    } while (itemHit != kOffsetOK && itemHit != kOffsetCancel);

    if (itemHit == kOffsetOK) {
        long newOffset = 0;
        GetDialogItemLongByID(theDlg, kOffsetUnits, &newOffset);
        SetTrackOffset(track, TimeValue(newOffset));
        FailErr(GetMoviesError(), "SetTrackOffset()"_p);
        parent->OnMovieChanged();
    }
    DisposeDialog(theDlg);
}

Boolean OrvoTracksWindow::OffsetDialogFilter(DialogPtr theDlg, EventRecord* event, DialogItemIndex* itemHit)
{
    static long lastEvtTime = 0;
    return PausedTypingFilter(theDlg, event, itemHit, {kOffsetUnits, kOffsetTime}, kOffsetUpdate, lastEvtTime);
}
