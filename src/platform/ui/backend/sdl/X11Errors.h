// X errors that must not end the program. Xlib's default handler exits
// with status 1 on any error, and SDL (2.26) wakes a waiting event loop by
// sending an event to a window from a second connection: when that window
// has just been destroyed, as when the program quits, the error would turn
// a clean quit into a failure.
#pragma once

// Ignores BadWindow (a window already gone); hands every other error on to
// the handler that was there before. Harmless where SDL does not use X11.
void IgnoreErrorsOnGoneWindows();
