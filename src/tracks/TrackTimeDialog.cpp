// The selected track stretched or shrunk to a new duration, given as movie
// time units, as a time text or as a frame rate.
#include <cmath>

#include "app/AppResources.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "tracks/OrvoTracksWindow.h"
#include "tracks/TrackDialogs.h"
#include "util/MyError.h"
#include "util/TextUtils.h"
#include "util/Utils.h"
#include "viewer/CheckedCall.h"
#include "viewer/OrvoViewerWindow.h"

namespace {

enum : short {
    kTimeOK = 1,
    kTimeCancel = 2,
    kTimeUnits = 3,
    kTimeText = 4,
    kTimeFrameRate = 5,
    kTimeSamples = 6,
    kTimeScaleItem = 7,
    kTimeSampleDuration = 8,
    kTimeNewScale = 9,
    kTimeNewSampleDuration = 10,
    kTimeUpdate = 12,
};

// A quotient whose divisor is 0 has no value to show; the fields show 0.
double Quotient(double dividend, double divisor)
{
    return divisor != 0.0 ? dividend / divisor : 0.0;
}

void SetDoubleItem(DialogPtr theDlg, short item, double value)
{
    Str255 buff;
    DoubleToString(value, buff);
    SetDialogItemTextByID(theDlg, item, buff);
}

}  // namespace

TrackTimeDialog* TrackTimeDialog::currentDialog = nullptr;
ModalFilterUPP TrackTimeDialog::trackTimeFilterProc = NewModalFilterUPP(TrackTimeDialog::TrackTimeFilter);

TrackTimeDialog::TrackTimeDialog(Track t)
    : duration(0), newDuration(0), newTimeScale(0), track(t), theDlg(nullptr), numSamples(0), timeScale(0),
      sampleDuration(0), newSampleDuration(0), frameRate(0), newDurationSeconds(0), lastEditField(kTimeUnits)
{
}

TrackTimeDialog::~TrackTimeDialog() = default;

void TrackTimeDialog::SetValuesForTest(long samples, long scale, TimeValue dur)
{
    numSamples = samples;
    timeScale = scale;
    duration = dur;
    sampleDuration = Quotient(double(duration), double(numSamples));
    newDuration = duration;
    RecalculateValues(kTimeUnits);
}

short TrackTimeDialog::DisplayDialog()
{
    lastEditField = kTimeUnits;
    theDlg = GetNewDialog(kTrackTimeDialogID, nullptr, kDialogInFront);
    if (theDlg == nullptr)
        return kTimeCancel;
    SetPortWindowPort(GetDialogWindow(theDlg));
    SetDialogDefaultItem(theDlg, kTimeOK);
    SetDialogCancelItem(theDlg, kTimeCancel);
    InitializeValues();
    SetDialogData();
    currentDialog = this;

    DialogItemIndex itemHit = 0;
    do {
        ModalDialog(trackTimeFilterProc, &itemHit);
        if (itemHit == kTimeUnits || itemHit == kTimeText || itemHit == kTimeFrameRate)
            lastEditField = itemHit;
        if (itemHit == kTimeOK || itemHit == kTimeUpdate) {
            Str255 buff;
            long units = 0;
            TimeValue before = newDuration;
            switch (lastEditField) {
            case kTimeUnits:
                GetDialogItemLongByID(theDlg, kTimeUnits, &units);
                newDuration = TimeValue(units);
                break;
            case kTimeText:
                GetDialogItemTextByID(theDlg, kTimeText, buff);
                newDurationSeconds = StringToTime(buff);
                break;
            default:
                GetDialogItemTextByID(theDlg, kTimeFrameRate, buff);
                frameRate = StringToDouble(buff);
                break;
            }
            // An entry that gives no usable duration is not taken over: OK
            // then stays in the dialog, with the fields back at the last
            // usable duration.
            if (!RecalculateValues(lastEditField)) {
                newDuration = before;
                RecalculateValues(kTimeUnits);
                if (itemHit == kTimeOK)
                    itemHit = kTimeUpdate;
            }
            SetDialogData();
        }
    } while (itemHit != kTimeOK && itemHit != kTimeCancel);
    DisposeDialog(theDlg);
    return itemHit;
}

void TrackTimeDialog::InitializeValues()
{
    Media m = Checked(GetTrackMedia(track), "GetTrackMedia()"_p);
    Movie movie = Checked(GetTrackMovie(track), "GetTrackMovie()"_p);
    timeScale = GetMovieTimeScale(movie);
    FailErr(GetMoviesError(), "GetMovieTimeScale()"_p);
    duration = GetTrackDuration(track);
    FailErr(GetMoviesError(), "GetTrackDuration()"_p);
    numSamples = GetMediaSampleCount(m);
    FailErr(GetMoviesError(), "GetMediaSampleCount()"_p);
    sampleDuration = Quotient(double(duration), double(numSamples));
    newDuration = duration;
    RecalculateValues(kTimeUnits);
}

bool TrackTimeDialog::RecalculateValues(short changedField)
{
    TimeValue previous = newDuration;
    bool usable = true;
    if (changedField == kTimeText) {
        usable = std::isfinite(newDurationSeconds) && newDurationSeconds > 0.0;
        if (usable)
            newDuration = SecondsToUnits(newDurationSeconds, timeScale);
    } else if (changedField == kTimeFrameRate) {
        // A rate of 0 (also what a text that is no number reads as) gives no
        // duration.
        usable = std::isfinite(frameRate) && frameRate > 0.0;
        if (usable)
            newDuration = TruncToTimeValue((double(timeScale) * double(numSamples)) / frameRate);
    }
    if (usable && newDuration <= 0)
        usable = false;
    if (!usable && changedField != kTimeUnits)
        newDuration = previous;
    newDurationSeconds = Quotient(newDuration * 100.0, double(timeScale)) / 100.0;
    frameRate = Quotient(double(numSamples) * double(timeScale), double(newDuration));
    newSampleDuration = Quotient(double(newDuration), double(numSamples));
    newTimeScale = timeScale;
    return usable;
}

void TrackTimeDialog::SetDialogData()
{
    SetDialogItemLongByID(theDlg, kTimeUnits, newDuration);
    Str255 buff;
    TimeToString(newDurationSeconds, buff);
    SetDialogItemTextByID(theDlg, kTimeText, buff);
    SetDoubleItem(theDlg, kTimeFrameRate, frameRate);
    SetDialogItemLongByID(theDlg, kTimeSamples, numSamples);
    SetDialogItemLongByID(theDlg, kTimeScaleItem, timeScale);
    SetDoubleItem(theDlg, kTimeSampleDuration, sampleDuration);
    SetDialogItemLongByID(theDlg, kTimeNewScale, newTimeScale);
    SetDoubleItem(theDlg, kTimeNewSampleDuration, newSampleDuration);
}

Boolean TrackTimeDialog::TrackTimeFilter(DialogPtr theDlg, EventRecord* event, DialogItemIndex* itemHit)
{
    static long lastEvtTime = 0;
    return PausedTypingFilter(theDlg, event, itemHit, {kTimeUnits, kTimeText, kTimeFrameRate}, kTimeUpdate,
                              lastEvtTime);
}

void OrvoTracksWindow::SetTrackTimes()
{
    if (selectedTrack == nullptr)
        return;
    Movie movie = parent->movie;
    Track track = Checked(GetMovieTrack(movie, selectedTrack->trackID), "GetMovieTrack()"_p);
    TrackTimeDialog dialog(track);
    if (dialog.DisplayDialog() != kTimeOK)
        return;
    SetMovieTimeScale(movie, TimeScale(dialog.newTimeScale));
    FailErr(GetMoviesError(), "SetMovieTimeScale()"_p);
    TimeValue trackDuration = Checked(GetTrackDuration(track), "GetTrackDuration()"_p);
    OSErr err = ScaleTrackSegment(track, 0, trackDuration, dialog.newDuration);
    FailErr(err != noErr ? err : GetMoviesError(), "ScaleTrackSegment()"_p);
    parent->OnMovieChanged();
}
