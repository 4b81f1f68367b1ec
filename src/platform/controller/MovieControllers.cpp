// The controller's record and its calls. This first form keeps the geometry,
// the actions and the filter and draws the bar; playback comes with the
// playback engine.
#include "platform/controller/MovieControllers.h"

namespace {

struct ControllerState {
    Movie movie = nullptr;
    GrafPtr port = nullptr;
    Rect bounds = {0, 0, 0, 0};
    Rect growBounds = {0, 0, 0, 0};
    bool keysEnabled = false;
    MCActionFilterWithRefConUPP filter = nullptr;
    long filterRefCon = 0;
};

}  // namespace

struct MovieControllerRecord : ControllerState {};

namespace {

void FitMovie(MovieController mc)
{
    Rect box = mc->bounds;
    box.bottom = short(box.bottom - kControllerBarHeight);
    if (box.bottom < box.top)
        box.bottom = box.top;
    SetMovieBox(mc->movie, &box);
}

void DrawBar(MovieController mc)
{
    GrafPtr saved;
    GetPort(&saved);
    SetPort(mc->port);
    Rect bar = mc->bounds;
    bar.top = short(bar.bottom - kControllerBarHeight);
    EraseRect(&bar);
    MoveTo(bar.left, bar.top);
    LineTo(short(bar.right - 1), bar.top);
    SetPort(saved);
}

}  // namespace

MCActionFilterWithRefConUPP NewMCActionFilterWithRefConUPP(MCActionFilterWithRefConProcPtr proc)
{
    return proc;
}

MovieController NewMovieController(Movie theMovie, const Rect* movieRect, long)
{
    if (!theMovie || !movieRect)
        return nullptr;
    auto* mc = new MovieControllerRecord;
    mc->movie = theMovie;
    GetPort(&mc->port);
    mc->bounds = *movieRect;
    mc->bounds.bottom = short(mc->bounds.bottom + kControllerBarHeight);
    return mc;
}

void DisposeMovieController(MovieController mc)
{
    delete mc;
}

ComponentResult MCIsPlayerEvent(MovieController mc, const EventRecord*)
{
    return 0;
}

ComponentResult MCDoAction(MovieController mc, short action, void* params)
{
    if (!mc)
        return paramErr;
    switch (action) {
    case mcActionDraw:
        DrawBar(mc);
        break;
    case mcActionSetGrowBoxBounds:
        if (params)
            mc->growBounds = *static_cast<const Rect*>(params);
        break;
    case mcActionSetKeysEnabled:
        mc->keysEnabled = params != nullptr;
        break;
    default:
        break;
    }
    return noErr;
}

ComponentResult MCGetControllerBoundsRect(MovieController mc, Rect* bounds)
{
    if (!mc || !bounds)
        return paramErr;
    *bounds = mc->bounds;
    return noErr;
}

ComponentResult MCSetControllerBoundsRect(MovieController mc, const Rect* bounds)
{
    if (!mc || !bounds)
        return paramErr;
    mc->bounds = *bounds;
    FitMovie(mc);
    return noErr;
}

ComponentResult MCMovieChanged(MovieController mc, Movie)
{
    return mc ? noErr : paramErr;
}

ComponentResult MCSetActionFilterWithRefCon(MovieController mc, MCActionFilterWithRefConUPP filter, long refCon)
{
    if (!mc)
        return paramErr;
    mc->filter = filter;
    mc->filterRefCon = refCon;
    return noErr;
}
