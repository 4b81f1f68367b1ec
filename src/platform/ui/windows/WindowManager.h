// Screen-level services of Orvo's window manager for the other managers.
//
// The menu bar, pulled-down menus and flashing buttons need to draw outside
// any window and to be seen at once, inside their own tracking loops.
#pragma once

#include "platform/core/MacTypes.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "platform/ui/windows/Windows.h"

// Height of the menu bar at the top of the screen, in points.
enum : short { kMenuBarHeight = 20 };

// A port covering the menu bar (screen width x 20). The compositor always
// draws it above the windows. Its global position is (0,0).
CGrafPtr WMMenuBarPort();

// A free-standing port of the given size in points (for a pulled-down menu,
// a drag outline, a saved background). Dispose with WMDisposePort.
CGrafPtr WMNewPort(short width, short height);
void WMDisposePort(CGrafPtr port);

// Shows the port above everything (menu bar included) with its top-left
// corner at globalTopLeft; showing it again moves it. WMHideOverlay removes
// it from the screen (the port lives on).
void WMShowOverlay(CGrafPtr port, Point globalTopLeft);
void WMHideOverlay(CGrafPtr port);

// Composes the screen and presents it now.
void WMFlushScreen();

// Called by DisposeWindow before the window goes away (the Dialog and
// Control Managers free what they keep in the window's extension slots).
typedef void (*WMDisposeHookProcPtr)(WindowPtr window);
void WMAddDisposeHook(WMDisposeHookProcPtr hook);

// Screen size in points (the bounds of GetQDGlobalsScreenBits).
Rect WMScreenBounds();
