// The window manager's internal view: the window list and frame geometry.
#pragma once

#include <vector>

#include "platform/ui/windows/Windows.h"

namespace wm {

// Every window, front to back, visible or not.
std::vector<WindowPtr>& List();
bool IsWindow(WindowPtr w);

// The frontmost visible window with an update area, or nil.
WindowPtr NextWindowToUpdate();

// Makes the front visible window the active one, queueing the deactivate
// and activate events when that changes.
void UpdateActivation();

// Global rectangles of a window's parts.
Rect ContentRect(WindowPtr w);
Rect StructureRect(WindowPtr w);
Rect TitleBarRect(WindowPtr w);   // empty for windows without a title bar
Rect CloseBoxRect(WindowPtr w);   // empty when there is none
Rect ZoomBoxRect(WindowPtr w);    // empty when there is none
Rect GrowBoxRect(WindowPtr w);    // empty when there is none

// Frame look and feel per procID.
void ApplyProcID(WindowPtr w, short procID, bool goAwayFlag);

// Which part of w (visible) holds the global point, inNoWindow if none.
short PartAt(WindowPtr w, Point global);

// Forgets every window (tests).
void Reset();

}  // namespace wm
