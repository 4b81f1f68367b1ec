// Drawing window frames, title bars and boxes onto the screen.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/quickdraw/QDInternal.h"
#include "platform/ui/windows/Windows.h"

namespace frames {

// Draws the frame of w (everything outside its content) onto the screen,
// touching only the device rectangles of clip.
void Draw(QDPixels& screen, short scale, WindowPtr w, const std::vector<qd::DevRect>& clip);

// The screen area a window paints: its structure and its shadow (global,
// a canonical rectangle list).
std::vector<Rect> Extent(WindowPtr w);

// A box shown pressed while TrackGoAway/TrackBox follow the mouse
// (part inGoAway, inZoomIn/inZoomOut; nil window: none).
void SetPressed(WindowPtr w, short part);

// The title as the title bar shows it in `room` points: whole, or cut
// after a whole character and ended with an ellipsis.
std::string FitTitle(const std::string& title, short room, short scale);

// Fills a global rectangle of the screen.
void FillScreenRect(QDPixels& screen, short scale, const Rect& r, UInt32 color);

}  // namespace frames
