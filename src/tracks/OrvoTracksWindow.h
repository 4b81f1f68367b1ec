// The tracks window: one block of text per track of its viewer's movie, a
// selection that the track commands act on, and those commands (offset,
// timing, information, export).
#pragma once

#include "framework/Window.h"
#include "platform/movies/Movies.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialogs.h"

class OrvoViewerWindow;

// A snapshot of one track, taken when the list is collected. Nothing in it is
// written back to the movie; the commands find the track again by trackID.
struct TrackListNode {
    explicit TrackListNode(TrackListNode* n);

    long index;
    long trackID;
    Fixed trackWidth;
    Fixed trackHeight;
    TimeValue trackOffset;
    TimeValue trackDuration;
    TimeScale trackScale;
    TimeValue mediaDuration;
    TimeScale mediaScale;
    TrackListNode* next;
};

class OrvoTracksWindow : public Window {
public:
    explicit OrvoTracksWindow(OrvoViewerWindow* p);
    ~OrvoTracksWindow() override;

    void Refresh() override;
    bool CloseWindow() override;
    void ResizeWindow(short x, short y) override;
    long HandleMenu(long mChoice, bool* cont) override;

    void CollectMovieInfo();
    short GetTrackInfoHeight(TrackListNode* data) const;
    void AutoSize();
    void PositionScrollBars();
    void DrawTrackInfo(short x, short y, TrackListNode* data);

    void SetOffset();
    void SetTrackTimes();
    void GetTrackInfo();
    void ExportTrack();

    static Boolean OffsetDialogFilter(DialogPtr theDlg, EventRecord* event, DialogItemIndex* itemHit);
    static ModalFilterUPP OffsetDialogFilterUPP;

    // Read by the scenario driver's dump and by tests.
    long NumTracks() const { return numTracks; }
    const TrackListNode* TrackList() const { return trackList; }
    const TrackListNode* SelectedTrack() const { return selectedTrack; }
    ControlHandle XScroll() const { return xScroll; }
    ControlHandle YScroll() const { return yScroll; }

protected:
    void Activate() override;
    void Deactivate() override;
    long HandleMouseDown(EventRecord& er) override;
    long HandleContentClick(EventRecord& er, Point thePt) override;

    bool dontCloseParent;
    long numTracks;
    TrackListNode* trackList;
    TrackListNode* selectedTrack;
    OrvoViewerWindow* parent;
    ControlHandle xScroll;
    ControlHandle yScroll;

private:
    void FreeTrackList();
    void EnableTrackItems(bool enable);
    void ShowActive(bool active);
    void InvalidateAll();
};

// Runs the track timing dialog for one track: three linked ways of giving
// the new duration (units, time text, frame rate).
class TrackTimeDialog {
public:
    explicit TrackTimeDialog(Track t);
    ~TrackTimeDialog();
    short DisplayDialog();

    TimeValue duration;
    TimeValue newDuration;
    long newTimeScale;

    // The arithmetic alone, so that it can be checked without a dialog.
    // changedField 3: newDuration holds the units; 4: newDurationSeconds the
    // time; 5: frameRate the rate. Answers false when the entry gives no
    // usable duration; newDuration then keeps its previous value.
    bool RecalculateValues(short changedField);
    void SetValuesForTest(long samples, long scale, TimeValue dur);
    double FrameRate() const { return frameRate; }
    double NewSampleDuration() const { return newSampleDuration; }
    double NewDurationSeconds() const { return newDurationSeconds; }
    void SetFrameRate(double r) { frameRate = r; }
    void SetNewDurationSeconds(double s) { newDurationSeconds = s; }

protected:
    static Boolean TrackTimeFilter(DialogPtr theDlg, EventRecord* event, DialogItemIndex* itemHit);
    void InitializeValues();
    void SetDialogData();

    Track track;
    DialogPtr theDlg;
    long numSamples;
    long timeScale;
    double sampleDuration;
    double newSampleDuration;
    double frameRate;
    double newDurationSeconds;
    short lastEditField;

    static TrackTimeDialog* currentDialog;
    static ModalFilterUPP trackTimeFilterProc;
};
