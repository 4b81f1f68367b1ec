// The timing commands of the whole movie: its time scale and preferred rate
// (dialog 193), and scaling the movie to a new duration (dialog 194).
#include "app/AppResources.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/system/NumberFormatting.h"
#include "util/MyError.h"
#include "util/TextUtils.h"
#include "util/Utils.h"
#include "viewer/CheckedCall.h"
#include "viewer/OrvoViewerWindow.h"

namespace {

// Dialog 193: item 3 cancels (item 2 is a label).
enum : short {
    kFrameRateOK = 1,
    kFrameRateCancel = 3,
    kTimeScaleItem = 5,
    kPreferredRateItem = 6,
    kCurrentRateItem = 7,
};

// Dialog 194.
enum : short {
    kScaleOK = 1,
    kScaleCancel = 2,
    kOldDurationItem = 3,
    kNewDurationItem = 4,
};

constexpr int kRatePrecision = 4;

// OK leaves the dialog open while a field does not hold a number, with that
// field's text selected to be typed over: letters must not become a time
// scale, a rate or a duration.
bool FieldIsNumber(DialogPtr theDlg, short item, bool fraction)
{
    Str255 text;
    GetDialogItemTextByID(theDlg, item, text);
    if (IsNumberText(text, fraction))
        return true;
    SelectDialogItemText(theDlg, item, 0, 255);
    return false;
}

}  // namespace

void OrvoViewerWindow::SetFrameRate()
{
    DialogPtr theDlg = GetNewDialog(kFrameRateDialogID, nullptr, kDialogInFront);
    FailNil(reinterpret_cast<Ptr>(theDlg), "GetNewDialog()"_p);
    if (theDlg == nullptr)
        return;
    SetDialogDefaultItem(theDlg, kFrameRateOK);
    SetDialogCancelItem(theDlg, kFrameRateCancel);
    DisplayTrackInfo(theDlg, 0);
    DialogItemIndex itemHit = 0;
    do {
        ModalDialog(nullptr, &itemHit);
        if (itemHit == kFrameRateOK && !(FieldIsNumber(theDlg, kTimeScaleItem, false) &&
                                         FieldIsNumber(theDlg, kPreferredRateItem, true)))
            itemHit = 0;
    } while (itemHit != kFrameRateOK && itemHit != kFrameRateCancel);
    if (itemHit == kFrameRateOK)
        CollectTrackInfo(theDlg, 0);
    DisposeDialog(theDlg);
}

// Only the movie itself (track number 0) has values here.
void OrvoViewerWindow::DisplayTrackInfo(DialogPtr theDlg, long trackNum)
{
    if (trackNum != 0)
        return;
    GetMovieTimeBase(movie);
    FailErr(GetMoviesError(), "GetMovieTimeBase()"_p);
    Fixed currentRate = Checked(GetMovieRate(movie), "GetMovieRate()"_p);
    Fixed preferredRate = Checked(GetMoviePreferredRate(movie), "GetMoviePreferredRate"_p);
    TimeScale scale = Checked(GetMovieTimeScale(movie), "GetMovieTimeScale()"_p);

    Str255 text;
    NumToString(scale, text);
    SetDialogItemTextByID(theDlg, kTimeScaleItem, text);
    FixedToString(preferredRate, text, kRatePrecision);
    SetDialogItemTextByID(theDlg, kPreferredRateItem, text);
    FixedToString(currentRate, text, kRatePrecision);
    SetDialogItemTextByID(theDlg, kCurrentRateItem, text);
}

// The preferred rate is set before the time scale; the current rate is
// shown only and never read back.
void OrvoViewerWindow::CollectTrackInfo(DialogPtr theDlg, long trackNum)
{
    if (trackNum != 0)
        return;
    Str255 text;
    GetDialogItemTextByID(theDlg, kPreferredRateItem, text);
    SetMoviePreferredRate(movie, StringToFixed(text));
    FailErr(GetMoviesError(), "SetMoviePrefferedRate()"_p);

    GetDialogItemTextByID(theDlg, kTimeScaleItem, text);
    long scale = 0;
    StringToNum(text, &scale);
    SetMovieTimeScale(movie, TimeScale(scale));
    FailErr(GetMoviesError(), "SetMovieTimeScale"_p);

    OnMovieChanged();
}

void OrvoViewerWindow::ScaleMovie()
{
    DialogPtr theDlg = GetNewDialog(kScaleMovieDialogID, nullptr, kDialogInFront);
    FailNil(reinterpret_cast<Ptr>(theDlg), "GetNewDialog()"_p);
    if (theDlg == nullptr)
        return;
    SetDialogDefaultItem(theDlg, kScaleOK);
    SetDialogCancelItem(theDlg, kScaleCancel);
    TimeValue oldDuration = Checked(GetMovieDuration(movie), "GetMovieDuration()"_p);
    Str255 text;
    NumToString(oldDuration, text);
    SetDialogItemTextByID(theDlg, kOldDurationItem, text);
    SetDialogItemTextByID(theDlg, kNewDurationItem, text);
    DialogItemIndex itemHit = 0;
    do {
        ModalDialog(nullptr, &itemHit);
        if (itemHit == kScaleOK && !FieldIsNumber(theDlg, kNewDurationItem, false))
            itemHit = 0;
    } while (itemHit != kScaleOK && itemHit != kScaleCancel);
    if (itemHit == kScaleOK) {
        GetDialogItemTextByID(theDlg, kNewDurationItem, text);
        long newDuration = 0;
        StringToNum(text, &newDuration);
        ScaleMovieSegment(movie, 0, oldDuration, TimeValue(newDuration));
        FailErr(GetMoviesError(), "ScaleMovieSegment()"_p);
    }
    // The tracks window is brought up to date after a cancel too.
    OnMovieChanged();
    DisposeDialog(theDlg);
}
