// The compositor: builds the screen from the desktop, the window frames and
// buffers, the menu bar and the overlays, and hands it to the backend.
#pragma once

#include "platform/ui/quickdraw/QDInternal.h"

namespace compositor {

// Composes and presents when something changed and a person is watching
// (the headless backend composes only when asked for the pixels).
void PresentIfNeeded();
// Composes now (whether or not anything changed) and returns the screen.
const QDPixels& Compose();
// Composes and presents now.
void Flush();

// The outline shown while a window is dragged or grown (nil: none).
void SetOutline(const Rect* global);

// The screen follows the backend's size; ports of the screen's width follow.
void ScreenResized();

// The menu bar port (created on first use).
GrafPort* MenuBarPort();

// Forgets overlays, the menu bar port and the screen (tests).
void Reset();

}  // namespace compositor
