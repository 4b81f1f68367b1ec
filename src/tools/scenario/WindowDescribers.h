// What a dump says about each kind of window.
//
// Every window gets the same common fields (title, kind, visible, active,
// bounds); the describer that recognises the window adds the fields of its
// kind. Describers are tried in table order and the first that recognises a
// window describes it, so the specific ones (the progress window, the file
// dialogs, the application's own window classes) come before the general
// dialog and alert, and "other" catches the rest.
//
// Adding an application window class is one row: a recogniser (usually a
// dynamic_cast of AppWindowOf) and a function that writes its fields.
#pragma once

#include <vector>

#include "platform/ui/windows/Windows.h"
#include "tools/moviedump/JsonWriter.h"

class Window;

namespace scenario {

struct WindowDescriber {
    const char* kind;
    bool (*recognises)(WindowPtr w);
    void (*describe)(JsonWriter& j, WindowPtr w);
};

const std::vector<WindowDescriber>& WindowDescribers();

// The describer for a window (the last row, "other", recognises anything).
const WindowDescriber& DescriberFor(WindowPtr w);

// The application's window object behind a platform window: nil unless the
// window is registered with the application's engine.
Window* AppWindowOf(WindowPtr w);

// The fields of a dialog or alert: its resource ID, its items, the edit item
// with the focus. The file dialogs share them.
void DescribeDialog(JsonWriter& j, WindowPtr w);

}  // namespace scenario
