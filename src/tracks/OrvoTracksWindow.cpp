#include "tracks/OrvoTracksWindow.h"

#include "app/AppResources.h"
#include "framework/UIEngine.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/menus/Menus.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "util/MyError.h"
#include "viewer/CheckedCall.h"
#include "viewer/OrvoViewerWindow.h"

namespace {

constexpr short kTrackInfoHeight = 56;
constexpr short kContentWidth = 380;
constexpr short kSpaceAbove = 2;
constexpr short kSpaceBelow = 16;
constexpr short kMinimumHeight = 40;
constexpr short kScrollBarSize = 16;
constexpr short kNotVisibleHeight = 18;

// Close, save and save-as of the File menu act on the parent viewer.
constexpr short kViewerFileItems[] = {kFileCloseItem, kFileSaveItem, kFileSaveAsItem};
// The track commands that need a selected track.
constexpr short kTrackCommandItems[] = {kSetOffsetItem, kTrackTimesItem, kTrackInfoItem, kExportTrackItem};

void SetItemEnabled(short menuID, short item, bool enable)
{
    MenuHandle theMenu = GetMenuHandle(menuID);
    if (theMenu == nullptr)
        return;
    if (enable)
        EnableMenuItem(theMenu, item);
    else
        DisableMenuItem(theMenu, item);
}

}  // namespace

ModalFilterUPP OrvoTracksWindow::OffsetDialogFilterUPP = NewModalFilterUPP(OrvoTracksWindow::OffsetDialogFilter);

TrackListNode::TrackListNode(TrackListNode* n)
    : index(0), trackID(0), trackWidth(0), trackHeight(0), trackOffset(0), trackDuration(0), trackScale(0),
      mediaDuration(0), mediaScale(0), next(n)
{
}

OrvoTracksWindow::OrvoTracksWindow(OrvoViewerWindow* p)
    : Window(kTracksWindowID), dontCloseParent(false), numTracks(0), trackList(nullptr), selectedTrack(nullptr),
      parent(p), xScroll(nullptr), yScroll(nullptr)
{
    if (win == nullptr)
        return;
    xScroll = GetNewControl(kTracksXScrollID, win);
    yScroll = GetNewControl(kTracksYScrollID, win);
    PositionScrollBars();
    SetControlValue(xScroll, 0);
    SetControlValue(yScroll, 0);
}

OrvoTracksWindow::~OrvoTracksWindow()
{
    FreeTrackList();
    Deactivate();
    if (xScroll != nullptr)
        DisposeControl(xScroll);
    if (yScroll != nullptr)
        DisposeControl(yScroll);
    Window::CloseWindow();
}

void OrvoTracksWindow::FreeTrackList()
{
    // The selection never names a freed record.
    selectedTrack = nullptr;
    while (trackList != nullptr) {
        TrackListNode* node = trackList;
        trackList = node->next;
        delete node;
    }
}

void OrvoTracksWindow::CollectMovieInfo()
{
    Movie movie = parent->movie;
    long selectedID = selectedTrack != nullptr ? selectedTrack->trackID : 0;
    FreeTrackList();

    numTracks = GetMovieTrackCount(movie);
    FailErr(GetMoviesError(), "GetMovieTrackCount()"_p);
    TrackListNode* tail = nullptr;
    for (long i = 1; i <= numTracks; ++i) {
        auto* node = new TrackListNode(nullptr);
        if (tail == nullptr)
            trackList = node;
        else
            tail->next = node;
        tail = node;
        node->index = i;
        Track track = Checked(GetMovieIndTrack(movie, i), "GetMovieIndTrack()"_p);
        node->trackID = GetTrackID(track);
        FailErr(GetMoviesError(), "GetTrackID()"_p);
        GetTrackDimensions(track, &node->trackWidth, &node->trackHeight);
        FailErr(GetMoviesError(), "GetTrackDimensions()"_p);
        node->trackOffset = GetTrackOffset(track);
        FailErr(GetMoviesError(), "GetTrackOffset()"_p);
        node->trackScale = GetMovieTimeScale(movie);
        FailErr(GetMoviesError(), "GetMovieTimeScale()"_p);
        node->trackDuration = GetTrackDuration(track);
        FailErr(GetMoviesError(), "GetTrackDuration()"_p);
        Media media = Checked(GetTrackMedia(track), "GetTrackMedia()"_p);
        node->mediaScale = GetMediaTimeScale(media);
        FailErr(GetMoviesError(), "GetMediaTimeScale()"_p);
        node->mediaDuration = GetMediaDuration(media);
        FailErr(GetMoviesError(), "GetMediaDuration()"_p);
        if (node->trackID == selectedID)
            selectedTrack = node;
    }
    InvalidateAll();
}

void OrvoTracksWindow::InvalidateAll()
{
    if (win == nullptr)
        return;
    GrafPtr savedPort;
    GetPort(&savedPort);
    SetPortWindowPort(win);
    Rect bounds;
    GetPortBounds(GetWindowPort(win), &bounds);
    InvalWindowRect(win, &bounds);
    SetPort(savedPort);
}

short OrvoTracksWindow::GetTrackInfoHeight(TrackListNode*) const
{
    return kTrackInfoHeight;
}

void OrvoTracksWindow::AutoSize()
{
    short height = kSpaceAbove;
    for (TrackListNode* node = trackList; node != nullptr; node = node->next)
        height = short(height + GetTrackInfoHeight(node));
    height = short(height + kSpaceBelow);
    if (height < kMinimumHeight)
        height = kMinimumHeight;
    ResizeWindow(kContentWidth, height);
}

void OrvoTracksWindow::ResizeWindow(short x, short y)
{
    if (win == nullptr)
        return;
    GrafPtr savedPort;
    GetPort(&savedPort);
    SetPortWindowPort(win);
    Rect bounds;
    GetPortBounds(GetWindowPort(win), &bounds);
    Rect oldGrowBox = {short(bounds.bottom - kScrollBarSize), short(bounds.right - kScrollBarSize), bounds.bottom,
                       bounds.right};
    SizeWindow(win, x, y, true);
    InvalWindowRect(win, &oldGrowBox);
    PositionScrollBars();
    SetPort(savedPort);
}

void OrvoTracksWindow::PositionScrollBars()
{
    if (win == nullptr)
        return;
    Rect r;
    GetPortBounds(GetWindowPort(win), &r);
    short width = short(r.right - r.left);
    short height = short(r.bottom - r.top);
    MoveControl(xScroll, short(r.left - 1), short(r.bottom - 15));
    SizeControl(xScroll, short(width - 13), kScrollBarSize);
    MoveControl(yScroll, short(r.right - 15), short(r.top - 1));
    SizeControl(yScroll, kScrollBarSize, short(height - 13));
    long scrollyextra = long(GetTrackInfoHeight(trackList)) * numTracks - (height - kNotVisibleHeight);
    long scrollxextra = kContentWidth - width;
    if (scrollyextra < 0)
        scrollyextra = 0;
    if (scrollxextra < 0)
        scrollxextra = 0;
    // A control's maximum is 16 bits wide; a list taller than that scrolls
    // as far as the control can count.
    if (scrollyextra > 0x7FFF)
        scrollyextra = 0x7FFF;
    SetControlMaximum(yScroll, SInt16(scrollyextra));
    SetControlMaximum(xScroll, SInt16(scrollxextra));
}

void OrvoTracksWindow::EnableTrackItems(bool enable)
{
    for (short item : kTrackCommandItems)
        SetItemEnabled(kTrackMenuID, item, enable);
}

void OrvoTracksWindow::Activate()
{
    ShowActive(true);
}

void OrvoTracksWindow::Deactivate()
{
    ShowActive(false);
}

// In front, the window shows its scroll bars and offers the viewer's file
// commands, the movie's timing and the track commands (those only with a
// track selected); behind, it hides and withdraws them.
void OrvoTracksWindow::ShowActive(bool active)
{
    for (ControlHandle bar : {xScroll, yScroll})
        if (bar != nullptr)
            active ? ShowControl(bar) : HideControl(bar);
    for (short item : kViewerFileItems)
        SetItemEnabled(kFileMenuID, item, active);
    SetItemEnabled(kTimeMenuID, 0, active);
    SetItemEnabled(kTrackMenuID, 0, active);
    EnableTrackItems(active && selectedTrack != nullptr);
    DrawMenuBar();
}
