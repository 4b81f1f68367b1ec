// The movie-file utilities: choosing a movie file in the open dialog, and
// naming the files a movie refers to that could not be found.
#pragma once

#include <string>
#include <vector>

#include "platform/filesystem/Files.h"
#include "platform/movies/Movies.h"
#include "platform/ui/navigation/Navigation.h"

class UIEngine;

// Shows the open dialog. True when the person chose a file, whose location
// is then in *theFile; false when they cancelled (silently) or a call failed
// (after its alert). anyFile lists every file instead of the movie types.
bool NavGetMovieFile(FSSpec* theFile, UIEngine* theApp, bool anyFile);

// The open dialog's event callback: redraws the application's windows
// behind the dialog. callBackUD is the UIEngine.
void NavSimpleEventProc(NavEventCallbackMessage callBackSelector, NavCBRecPtr callBackParms, void* callBackUD);

// The names of the files that hold samples of the movie and could not be
// found when it was read, each once, in track order.
std::vector<std::string> MissingMovieFiles(Movie theMovie);
