// The standard movie controller: the movie drawn in a window's port with a
// bar under it (play/pause, a time slider, steps, an optional grow box), and
// the calls that hand it events and ask it to draw.
//
// A controller draws in the port that is current when it is made, as the
// classic controller drew in the movie's graphics world.
#pragma once

#include "platform/core/MacTypes.h"
#include "platform/movies/Movies.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/quickdraw/QuickDraw.h"

struct MovieControllerRecord;
typedef MovieControllerRecord* MovieController;
typedef SInt32 ComponentResult;

enum {
    mcTopLeftMovie = 1,  // NewMovieController: the movie at the box's top-left, the bar below
};

// Actions (MCDoAction, and what the action filter sees).
enum {
    mcActionDraw = 2,
    mcActionSetGrowBoxBounds = 25,      // params: const Rect*; empty turns the grow box off
    mcActionControllerSizeChanged = 26, // sent to the filter when the person resized the movie
    mcActionSetKeysEnabled = 32,        // params: (void*)true or false
};

enum {
    kControllerBarHeight = 16,
};

typedef Boolean (*MCActionFilterWithRefConProcPtr)(MovieController mc, short action, void* params, long refCon);
typedef MCActionFilterWithRefConProcPtr MCActionFilterWithRefConUPP;

MCActionFilterWithRefConUPP NewMCActionFilterWithRefConUPP(MCActionFilterWithRefConProcPtr proc);

MovieController NewMovieController(Movie theMovie, const Rect* movieRect, long someFlags);
void DisposeMovieController(MovieController mc);
// Nonzero when the event was the controller's (a click in its bar, a key it
// answered); every event, null events included, gives the movie its time.
ComponentResult MCIsPlayerEvent(MovieController mc, const EventRecord* e);
ComponentResult MCDoAction(MovieController mc, short action, void* params);
// Movie plus bar, in the port's local coordinates.
ComponentResult MCGetControllerBoundsRect(MovieController mc, Rect* bounds);
// Fits the movie into bounds less the bar; the movie box follows.
ComponentResult MCSetControllerBoundsRect(MovieController mc, const Rect* bounds);
// The movie's duration, tracks or edits changed: read them again.
ComponentResult MCMovieChanged(MovieController mc, Movie m);
ComponentResult MCSetActionFilterWithRefCon(MovieController mc, MCActionFilterWithRefConUPP filter, long refCon);

// Orvo: what keeps part of the movie from playing (a codec the decoders
// lack, a file that cannot be found), as one sentence for an alert. True
// once per movie: the first call after the controller found the problem.
// The application shows it in its alert (the viewer's missing-file alert).
Boolean MCTakePlaybackProblem(MovieController mc, Str255 message);

// Orvo: how playback went since the controller was made or the movie last
// changed (for the playback benchmark).
struct MCPlaybackStatistics {
    long framesShown = 0;
    long framesDropped = 0;     // came due but were never shown
    double worstLagSeconds = 0; // picture shown against the movie's time then
    double worstSoundDriftSeconds = 0; // picture shown against the sound heard then
    long soundUnderrunFrames = 0;      // sound frames the device asked for too early
};
ComponentResult MCGetPlaybackStatistics(MovieController mc, MCPlaybackStatistics* out);
