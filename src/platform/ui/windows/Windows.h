// The Window Manager subset.
//
// Windows are drawn by Orvo's own window manager inside the screen: a 20 px
// menu bar on top, a grey desktop, and the windows back to front. Each window
// keeps its content in its own port buffer, so covering a window never loses
// what was drawn; update events come only for areas invalidated with
// InvalWindowRect/InvalWindowRgn, for a window shown for the first time and
// for the area a resize uncovers.
//
// Rectangles given to NewCWindow, MoveWindow and the templates are the
// content area in global coordinates; the frame and title bar sit outside it.
#pragma once

#include <string>

#include "platform/core/MacTypes.h"
#include "platform/ui/quickdraw/QuickDraw.h"

// Window definition variants (procID).
enum : short {
    documentProc = 0,
    dBoxProc = 1,
    plainDBox = 2,
    altDBoxProc = 3,
    noGrowDocProc = 4,
    movableDBoxProc = 5,
    zoomDocProc = 8,
    zoomNoGrow = 12,
};

// windowKind values.
enum : short {
    dialogKind = 2,
    userKind = 8,
    kDialogWindowKind = dialogKind,
    kApplicationWindowKind = userKind,
};

// FindWindow part codes.
enum : short {
    inDesk = 0,
    inNoWindow = 0,
    inMenuBar = 1,
    inSysWindow = 2,
    inContent = 3,
    inDrag = 4,
    inGrow = 5,
    inGoAway = 6,
    inZoomIn = 7,
    inZoomOut = 8,
};

// A window: its port (the content area, local coordinates) followed by the
// window manager's fields. The Dialog Manager and the Control Manager keep
// their own data in the two extension slots; DisposeWindow calls the
// registered dispose hooks first so they can free it.
struct WindowRecord : GrafPort {
    short windowKind = userKind;
    short procID = documentProc;
    bool visible = false;
    bool hilited = false;      // the active (front) window
    bool goAwayFlag = false;
    bool hasGrow = false;
    bool hasZoom = false;
    bool hasTitleBar = true;   // false for the modal boxes (dBoxProc, plainDBox, altDBoxProc)
    bool everShown = false;
    std::string title;         // UTF-8
    RgnHandle updateRgn = nullptr;  // local coordinates
    long refCon = 0;
    void* dialogData = nullptr;     // owned by the Dialog Manager
    void* controlData = nullptr;    // owned by the Control Manager
    Rect userState{};               // zoom: the size the user chose
    Rect stdState{};                // zoom: the standard size
};
typedef WindowRecord* WindowPtr;
typedef WindowPtr WindowRef;
typedef long SRefCon;

WindowPtr NewCWindow(void* wStorage, const Rect* boundsRect, ConstStr255Param title, Boolean visible,
                     short procID, WindowPtr behind, Boolean goAwayFlag, long refCon);
WindowPtr NewWindow(void* wStorage, const Rect* boundsRect, ConstStr255Param title, Boolean visible,
                    short procID, WindowPtr behind, Boolean goAwayFlag, long refCon);
// From the 'WIND' template windowID of the resource registry; nil when there
// is none.
WindowPtr GetNewCWindow(short windowID, void* wStorage, WindowPtr behind);
WindowPtr GetNewWindow(short windowID, void* wStorage, WindowPtr behind);
void DisposeWindow(WindowPtr window);

void ShowWindow(WindowPtr window);
void HideWindow(WindowPtr window);
void ShowHide(WindowPtr window, Boolean showFlag);
Boolean IsWindowVisible(WindowPtr window);
void SelectWindow(WindowPtr window);
void BringToFront(WindowPtr window);
void SendBehind(WindowPtr window, WindowPtr behindWindow);
// The frontmost visible window, or nil.
WindowPtr FrontWindow();
WindowPtr FrontNonFloatingWindow();
// All windows, visible or not, front to back (GetNextWindow walks it).
WindowPtr GetWindowList();
WindowPtr GetNextWindow(WindowPtr window);
void HiliteWindow(WindowPtr window, Boolean fHilite);
Boolean IsWindowHilited(WindowPtr window);

short FindWindow(Point thePoint, WindowPtr* theWindow);
void DragWindow(WindowPtr window, Point startPt, const Rect* boundsRect);
// Follows the mouse with an outline; returns the new size as height << 16 |
// width, or 0 when the size did not change. sizeRect: minimum size in
// top/left, maximum in bottom/right.
long GrowWindow(WindowPtr window, Point startPt, const Rect* sizeRect);
Boolean TrackGoAway(WindowPtr window, Point thePt);
Boolean TrackBox(WindowPtr window, Point thePt, short partCode);
void ZoomWindow(WindowPtr window, short partCode, Boolean front);
void MoveWindow(WindowPtr window, short hGlobal, short vGlobal, Boolean front);
// Classically moves the window so that its content falls on pixel
// boundaries good for fast video drawing. Every position is good here: it
// only brings the window to the front when `front` is true. The last two
// arguments are accepted and ignored (callers pass nil).
void AlignWindow(WindowPtr window, Boolean front, const Rect* alignmentRect, void* alignmentProc);
void SizeWindow(WindowPtr window, short w, short h, Boolean fUpdate);

void SetWTitle(WindowPtr window, ConstStr255Param title);
void GetWTitle(WindowPtr window, Str255 title);
void SetWRefCon(WindowPtr window, long data);
long GetWRefCon(WindowPtr window);
short GetWindowKind(WindowPtr window);
void SetWindowKind(WindowPtr window, short kind);

// Update and activate events carry the WindowPtr in their message, so
// `(WindowPtr)event.message` names the window, as classic code expects.
// WindowFromEventMessage checks it: nil when the message names no open window.
WindowPtr WindowFromEventMessage(unsigned long message);
unsigned long EventMessageFromWindow(WindowPtr window);

CGrafPtr GetWindowPort(WindowPtr window);
void SetPortWindowPort(WindowPtr window);
// The window whose port this is, or nil for another port.
WindowPtr GetWindowFromPort(CGrafPtr port);
// The port's bounds, local coordinates.
Rect* GetWindowPortBounds(WindowPtr window, Rect* bounds);
// Global bounds of the content area, or of the whole window (frame and
// title bar included).
typedef UInt16 WindowRegionCode;
enum : WindowRegionCode { kWindowStructureRgn = 32, kWindowContentRgn = 33 };
OSStatus GetWindowBounds(WindowPtr window, WindowRegionCode regionCode, Rect* globalBounds);

void BeginUpdate(WindowPtr window);
void EndUpdate(WindowPtr window);
// Local coordinates of the window's port.
void InvalWindowRect(WindowPtr window, const Rect* bounds);
void InvalWindowRgn(WindowPtr window, RgnHandle region);
void ValidWindowRect(WindowPtr window, const Rect* bounds);
void ValidWindowRgn(WindowPtr window, RgnHandle region);
// Classic forms acting on the current port's window.
void InvalRect(const Rect* badRect);
void InvalRgn(RgnHandle badRgn);
void ValidRect(const Rect* goodRect);

void DrawGrowIcon(WindowPtr window);
