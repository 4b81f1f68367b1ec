// Saving a movie into a new file: the save dialog with Orvo's three check
// boxes, turning track offsets into leading empty segments, and writing a
// reference or self-contained movie with one or two forks. Save As and the
// track export both go through SaveMovieInNewFile.
#pragma once

#include "platform/filesystem/Files.h"
#include "platform/movies/Movies.h"
#include "platform/ui/navigation/Navigation.h"

class UIEngine;

// What the save dialog's check boxes say; handed to its event callback.
struct SaveAsUserData {
    UIEngine* uiRef;
    bool selfContained;
    bool singleFork;
    bool flattenOffsets;
};

// Shows the save dialog proposing initialName and writes the movie where the
// person chose. True when a file was written. newRefNum and newResID (each
// may be nil) receive the new file, left open, and its movie resource ID;
// when newRefNum is nil the file is closed. After a cancel, a refusal or a
// failure nothing is handed back, no partial file is left and the movie is
// as it was.
bool SaveMovieInNewFile(Movie movie, ConstStr255Param initialName, UIEngine* theApp, FSSpec* theFile,
                        short* newRefNum, short* newResID);

// Turns every nonzero track offset into an empty segment at the start of
// the track: the media play at the same movie time.
void FlattenOffsets(Movie movie);

// The save dialog's event callback (callBackUD is the SaveAsUserData) and
// its callback reference, made once before main.
void NavSaveAsEventProc(NavEventCallbackMessage callBackSelector, NavCBRecPtr callBackParms, void* callBackUD);
extern NavEventUPP saveAsProc;

// Whether replacing the file would destroy samples that the movie or the
// movie of any viewer registered with theApp plays from.
bool FileHoldsOpenSamples(const FSSpec& file, Movie movie, UIEngine* theApp);
