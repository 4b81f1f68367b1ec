// The movie toolbox's default progress display: a small window with a bar
// and a Stop button, shown while a long movie operation (flattening, say)
// runs for a movie whose progress procedure is the default one (-1).
//
// The movie toolbox knows nothing of windows; it calls the hook that
// InstallMovieProgressWindow hands it.
#pragma once

#include <string>

#include "platform/movies/Movies.h"
#include "platform/ui/windows/Windows.h"

// Makes this window the movie toolbox's default progress display.
void InstallMovieProgressWindow();

// The progress procedure itself. Stop, Escape or Ctrl+period during an
// update message answers userCanceledErr, which cancels the operation.
OSErr MovieProgressWindowProc(Movie theMovie, short message, short whatOperation, Fixed percentDone, long refcon);

// The window while it is shown, else nil (tests).
WindowPtr MovieProgressWindow();

// What the window shows: the operation's text and the part done, 0 to 1
// (tests and tools).
struct MovieProgressState {
    std::string text;
    double done = 0;
};
MovieProgressState MovieProgressWindowState();
