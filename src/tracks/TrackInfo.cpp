// What the selected track and its media hold, and the one thing that can be
// changed there: whether the track is enabled.
#include "app/AppResources.h"
#include "platform/core/PascalStrings.h"
#include "tracks/OrvoTracksWindow.h"
#include "util/MyError.h"
#include "util/TextUtils.h"
#include "util/Utils.h"
#include "viewer/CheckedCall.h"
#include "viewer/OrvoViewerWindow.h"

namespace {

enum : short {
    kInfoOK = 1,
    kInfoTimeScale = 5,
    kInfoDuration = 6,
    kInfoDurationTime = 7,
    kInfoOffset = 8,
    kInfoOffsetTime = 9,
    kInfoMediaScale = 10,
    kInfoMediaDuration = 11,
    kInfoMediaDurationTime = 12,
    kInfoDescriptions = 13,
    kInfoSamples = 14,
    kInfoType = 15,
    kInfoHandler = 16,
    kInfoFrameRate = 17,
    kInfoEnabled = 18,
};

// Seconds as the dialogs compute them (times 100, by the scale, by 100); a
// scale of 0 has no seconds to show and shows 0.
double Seconds(TimeValue units, TimeScale scale)
{
    return scale != 0 ? ((units * 100.0) / scale) / 100.0 : 0.0;
}

void SetTimeItem(DialogPtr theDlg, short item, double seconds)
{
    Str255 buff;
    TimeToString(seconds, buff);
    SetDialogItemTextByID(theDlg, item, buff);
}

void SetCheckBox(DialogPtr theDlg, bool on)
{
    ControlHandle checkBoxHandle = nullptr;
    GetDialogItemAsControl(theDlg, kInfoEnabled, &checkBoxHandle);
    if (checkBoxHandle != nullptr)
        SetControlValue(checkBoxHandle, on ? 1 : 0);
}

}  // namespace

void OrvoTracksWindow::GetTrackInfo()
{
    if (selectedTrack == nullptr)
        return;
    Movie movie = parent->movie;
    Track track = Checked(GetMovieTrack(movie, selectedTrack->trackID), "GetMovieTrack()"_p);
    Media media = Checked(GetTrackMedia(track), "GetTrackMedia()"_p);
    Str255 mTypeStr;
    pstr::FromStd("XXXX", mTypeStr);

    TimeScale tTimeScale = Checked(GetMovieTimeScale(movie), "GetMovieTimeScale()"_p);
    TimeValue tDuration = Checked(GetTrackDuration(track), "GetTrackDuration()"_p);
    TimeValue tOffset = Checked(GetTrackOffset(track), "GetTrackOffset()"_p);
    TimeScale mTimeScale = Checked(GetMediaTimeScale(media), "GetMediaTimeScale()"_p);
    TimeValue mDuration = Checked(GetMediaDuration(media), "GetMediaDuration()"_p);
    long mNumSampleDescriptions =
        Checked(GetMediaSampleDescriptionCount(media), "GetMediaSampleDescriptionCount()"_p);
    long mNumTotalSamples = Checked(GetMediaSampleCount(media), "GetMediaSampleCount()"_p);

    OSType mType = 0;
    Str255 mCreator = {0};
    GetMediaHandlerDescription(media, &mType, mCreator, nullptr);
    OSErr handlerErr = GetMoviesError();
    FailErr(handlerErr, "GetMediaHandlerDescription()"_p);
    if (handlerErr != noErr) {
        // Nothing the call left can be trusted: the type shows as unknown
        // and the handler without a name.
        pstr::FromStd("????", mTypeStr);
        mCreator[0] = 0;
    } else {
        for (int i = 0; i < 4; ++i)
            mTypeStr[1 + i] = static_cast<unsigned char>((mType >> (24 - 8 * i)) & 0xFF);
    }
    bool trackEnabled = Checked(GetTrackEnabled(track) != 0, "GetTrackEnabled()"_p);
    // A track of no duration has no rate to show; it shows 0.
    double frameRate = tDuration != 0 ? (double(mNumTotalSamples) * tTimeScale) / tDuration : 0.0;

    DialogPtr theDlg = GetNewDialog(kTrackInfoDialogID, nullptr, kDialogInFront);
    if (theDlg == nullptr)
        return;
    SetDialogDefaultItem(theDlg, kInfoOK);
    SetDialogItemLongByID(theDlg, kInfoTimeScale, tTimeScale);
    SetDialogItemLongByID(theDlg, kInfoDuration, tDuration);
    SetTimeItem(theDlg, kInfoDurationTime, Seconds(tDuration, tTimeScale));
    SetDialogItemLongByID(theDlg, kInfoOffset, tOffset);
    SetTimeItem(theDlg, kInfoOffsetTime, Seconds(tOffset, tTimeScale));
    SetDialogItemLongByID(theDlg, kInfoMediaScale, mTimeScale);
    SetDialogItemLongByID(theDlg, kInfoMediaDuration, mDuration);
    SetTimeItem(theDlg, kInfoMediaDurationTime, Seconds(mDuration, mTimeScale));
    SetDialogItemLongByID(theDlg, kInfoDescriptions, mNumSampleDescriptions);
    SetDialogItemLongByID(theDlg, kInfoSamples, mNumTotalSamples);
    SetDialogItemTextByID(theDlg, kInfoType, mTypeStr);
    SetDialogItemTextByID(theDlg, kInfoHandler, mCreator);
    SetCheckBox(theDlg, trackEnabled);
    Str255 buff;
    DoubleToString(frameRate, buff);
    SetDialogItemTextByID(theDlg, kInfoFrameRate, buff);

    DialogItemIndex itemHit = 0;
    do {
        ModalDialog(nullptr, &itemHit);
        if (itemHit == kInfoEnabled) {
            trackEnabled = !trackEnabled;
            SetCheckBox(theDlg, trackEnabled);
        }
    } while (itemHit != kInfoOK);

    bool wasEnabled = GetTrackEnabled(track) != 0;
    SetTrackEnabled(track, trackEnabled);
    FailErr(GetMoviesError(), "SetTrackEnabled()"_p);
    DisposeDialog(theDlg);
    // The controller stops showing or playing a track switched off at once.
    if (wasEnabled != trackEnabled)
        parent->OnMovieChanged();
}
