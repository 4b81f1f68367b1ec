#include "platform/ui/backend/sdl/X11Errors.h"

// Xlib's names (Window, Status, None...) clash with the toolbox's, so Xlib
// is seen by this file alone.
#include <X11/Xlib.h>

namespace {

XErrorHandler gPrevious = nullptr;

int OnXError(Display* display, XErrorEvent* error)
{
    if (error->error_code == BadWindow)
        return 0;
    return gPrevious ? gPrevious(display, error) : 0;
}

}  // namespace

void IgnoreErrorsOnGoneWindows()
{
    XErrorHandler previous = XSetErrorHandler(OnXError);
    if (previous != OnXError)
        gPrevious = previous;
}
