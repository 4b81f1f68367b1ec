// What the control files share.
#pragma once

#include <vector>

#include "platform/ui/controls/Controls.h"

namespace controls {

enum class Kind { kPushButton, kCheckBox, kRadioButton, kScrollBar };
Kind KindOf(ControlHandle c);

// The controls of a window, oldest first (nil when it has none).
std::vector<ControlHandle>* ControlsOf(WindowPtr window);

// True when the control takes clicks: visible and not inactive.
bool IsLive(ControlHandle c);

// Draws the control in its owner's port, whatever port is current.
void Draw(ControlHandle c);

}  // namespace controls
