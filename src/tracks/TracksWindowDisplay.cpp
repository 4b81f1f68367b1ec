// What the tracks window draws, how it scrolls, and how it answers the
// mouse, the menus and closing.
#include "app/AppResources.h"
#include "app/OrvoFramework.h"
#include "framework/UIEngine.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/menus/Menus.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "platform/ui/system/NumberFormatting.h"
#include "tracks/OrvoTracksWindow.h"
#include "util/TextUtils.h"
#include "viewer/OrvoViewerWindow.h"

namespace {

constexpr short kLineSpacing = 14;
constexpr short kColumns[] = {5, 125, 245};
constexpr short kLabelGap = 5;
constexpr short kArrowStep = 2;
constexpr short kPageStep = 50;
constexpr short kScrollBarStrip = 15;
constexpr short kHighlightPenMode = 50;

// The tracks window whose scroll bar is being tracked: the action
// procedures get only the control.
Window* gScrollingWindow = nullptr;

void TracksWindowScroll(ControlHandle ctrl, ControlPartCode part, bool horizontal)
{
    short distance = 0;
    switch (part) {
    case kControlUpButtonPart: distance = -kArrowStep; break;
    case kControlDownButtonPart: distance = kArrowStep; break;
    case kControlPageUpPart: distance = -kPageStep; break;
    case kControlPageDownPart: distance = kPageStep; break;
    default: break;
    }
    short value = GetControlValue(ctrl);
    short max = GetControlMaximum(ctrl);
    if (value + distance > max)
        distance = short(max - value);
    else if (value + distance < 0)
        distance = short(-value);
    SetControlValue(ctrl, short(value + distance));

    WindowPtr win = *gScrollingWindow;
    Rect area;
    GetPortBounds(GetWindowPort(win), &area);
    area.right = short(area.right - kScrollBarStrip);
    area.bottom = short(area.bottom - kScrollBarStrip);
    RgnHandle region = NewRgn();
    if (horizontal)
        ScrollRect(&area, short(-distance), 0, region);
    else
        ScrollRect(&area, 0, short(-distance), region);
    InvalWindowRgn(win, region);
    gScrollingWindow->Refresh();
    DisposeRgn(region);
}

void TracksWindowXScroll(ControlHandle ctrl, ControlPartCode part)
{
    TracksWindowScroll(ctrl, part, true);
}

void TracksWindowYScroll(ControlHandle ctrl, ControlPartCode part)
{
    TracksWindowScroll(ctrl, part, false);
}

ControlActionUPP gTracksWindowXScrollProc = NewControlActionUPP(TracksWindowXScroll);
ControlActionUPP gTracksWindowYScrollProc = NewControlActionUPP(TracksWindowYScroll);

// One label and its value, the value starting a small gap after the label.
void DrawPair(short column, short baseline, const char* label, ConstStr255Param value)
{
    Str255 text;
    pstr::FromStd(label, text);
    MoveTo(column, baseline);
    DrawString(text);
    MoveTo(short(column + kLabelGap + StringWidth(text)), baseline);
    DrawString(value);
}

void DrawPair(short column, short baseline, const char* label, long value)
{
    Str255 text;
    NumToString(value, text);
    DrawPair(column, baseline, label, text);
}

void DrawFixedPair(short column, short baseline, const char* label, Fixed value)
{
    Str255 text;
    FixedToString(value, text, 4);
    DrawPair(column, baseline, label, text);
}

}  // namespace

void OrvoTracksWindow::Refresh()
{
    if (win == nullptr)
        return;
    SetPortWindowPort(win);
    TextSize(10);
    short fontNum = 0;
    GetFNum("Geneva"_p, &fontNum);
    TextFont(fontNum);
    BeginUpdate(win);
    Rect bounds;
    GetPortBounds(GetWindowPort(win), &bounds);
    EraseRect(&bounds);
    short x = short(-GetControlValue(xScroll));
    short y = short(-GetControlValue(yScroll));
    for (TrackListNode* node = trackList; node != nullptr; node = node->next) {
        DrawTrackInfo(x, y, node);
        y = short(y + GetTrackInfoHeight(node));
    }
    DrawControls(win);
    DrawGrowIcon(win);
    EndUpdate(win);
}

void OrvoTracksWindow::DrawTrackInfo(short x, short y, TrackListNode* data)
{
    const short left = short(x + kColumns[0]), middle = short(x + kColumns[1]), right = short(x + kColumns[2]);
    short baseline = short(y - 2 + kLineSpacing);
    DrawPair(left, baseline, "Track #:", data->index);
    DrawPair(middle, baseline, "Track ID:", data->trackID);
    baseline = short(baseline + kLineSpacing);
    DrawFixedPair(left, baseline, "Width:", data->trackWidth);
    DrawFixedPair(middle, baseline, "Height:", data->trackHeight);
    baseline = short(baseline + kLineSpacing);
    DrawPair(left, baseline, "Scale:", data->trackScale);
    DrawPair(middle, baseline, "Duration:", data->trackDuration);
    DrawPair(right, baseline, "Offset:", data->trackOffset);
    baseline = short(baseline + kLineSpacing);
    DrawPair(left, baseline, "Media Scale:", data->mediaScale);
    DrawPair(middle, baseline, "Media Dur:", data->mediaDuration);

    // The separator and the highlight span the window, however far the
    // text has scrolled sideways.
    Rect port;
    GetPortBounds(GetWindowPort(win), &port);
    short bottom = short(y + GetTrackInfoHeight(data));
    MoveTo(port.left, bottom);
    LineTo(port.right, bottom);
    if (data == selectedTrack) {
        PenMode(kHighlightPenMode);
        Rect block = {y, port.left, bottom, port.right};
        PaintRect(&block);
        PenMode(0);
    }
}

long OrvoTracksWindow::HandleContentClick(EventRecord&, Point thePt)
{
    ControlHandle hitControl = nullptr;
    ControlPartCode hitPart = FindControl(thePt, win, &hitControl);
    if (hitPart != kControlNoPart) {
        gScrollingWindow = this;
        bool ours = hitControl == xScroll || hitControl == yScroll;
        if (hitPart == kControlIndicatorPart && ours) {
            if (TrackControl(hitControl, thePt, nullptr) != 0)
                InvalidateAll();
        } else if (hitControl == xScroll) {
            TrackControl(hitControl, thePt, gTracksWindowXScrollProc);
        } else if (hitControl == yScroll) {
            TrackControl(hitControl, thePt, gTracksWindowYScrollProc);
        }
        return kDispatchNothing;
    }
    long position = long(GetControlValue(yScroll)) + thePt.v;
    selectedTrack = nullptr;
    long cury = 0;
    for (TrackListNode* node = trackList; node != nullptr; node = node->next) {
        cury += GetTrackInfoHeight(node);
        if (position <= cury) {
            selectedTrack = node;
            break;
        }
    }
    InvalidateAll();
    EnableTrackItems(selectedTrack != nullptr);
    return kDispatchNothing;
}

// Like the base class, except that on the newer system a background tracks
// window answers its close box, size box and zoom boxes at once.
long OrvoTracksWindow::HandleMouseDown(EventRecord& er)
{
    short thePart = 0;
    Point thePt;
    if (!LocatePress(er, &thePart, &thePt))
        return kDispatchNothing;
    bool front = FrontWindow() == win;
    switch (thePart) {
    case inContent:
        if (front)
            return HandleContentClick(er, thePt);
        SelectWindow(win);
        return kDispatchNothing;
    case inDrag:
        if (!front && !(er.modifiers & cmdKey) && !gOSX)
            SelectWindow(win);
        return HandleDragWindow(er, thePt);
    case inGrow:
    case inZoomIn:
    case inZoomOut:
        if (!front)
            SelectWindow(win);
        if (!front && !gOSX)
            return kDispatchNothing;
        if (thePart == inGrow)
            return HandleGrowZone(er, thePt);
        return thePart == inZoomIn ? HandleZoomIn(er, thePt) : HandleZoomOut(er, thePt);
    case inGoAway:
        // The close box follows the mouse in global coordinates, as the
        // viewer's does.
        if (front || gOSX)
            return HandleGoAway(er, er.where);
        SelectWindow(win);
        return kDispatchNothing;
    default:
        return kDispatchNothing;
    }
}

long OrvoTracksWindow::HandleMenu(long mChoice, bool* cont)
{
    short theMenu = short((mChoice >> 16) & 0xFFFF);
    short theItem = short(mChoice & 0xFFFF);
    if (cont != nullptr)
        *cont = true;
    long result = kDispatchNothing;
    switch (theMenu) {
    case kFileMenuID:
        result = parent->HandleMenu(mChoice, cont);
        if (result == kDispatchCloseWindow)
            SelectWindow(*parent);
        break;
    case kTrackMenuID:
        if (selectedTrack == nullptr)
            break;
        switch (theItem) {
        case kSetOffsetItem: SetOffset(); break;
        case kTrackTimesItem: SetTrackTimes(); break;
        case kTrackInfoItem: GetTrackInfo(); break;
        case kExportTrackItem: ExportTrack(); break;
        default: break;
        }
        break;
    default:
        result = parent->HandleMenu(mChoice, cont);
        break;
    }
    return result;
}

// The viewer decides: it may ask whether to save, and when it agrees it
// destroys this window with itself. Nothing here may be touched after a true
// answer. The engine then deletes the window it asked only if that is still
// registered, and deletes the hidden viewer, so each goes exactly once.
bool OrvoTracksWindow::CloseWindow()
{
    return parent->CloseWindow();
}
