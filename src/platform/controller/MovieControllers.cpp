// The controller's record and its calls: the movie drawn from the playback
// engine, the bar under it, and the events that play and operate it.
#include "platform/controller/MovieControllers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/controller/MoviePicture.h"
#include "platform/core/PascalStrings.h"
#include "platform/movies/MovieClock.h"
#include "platform/movies/playback/CodecSetup.h"
#include "platform/movies/playback/PlaybackEngine.h"
#include "platform/movies/playback/SoundMixer.h"
#include "platform/ui/backend/Backend.h"
#include "platform/ui/windows/Windows.h"

namespace {

// The controller that feeds the sound device now (one at a time).
MovieControllerRecord* gSoundOwner = nullptr;
// Controllers alive; the movie clock goes back to the monotonic one when the
// last goes.
int gControllerCount = 0;

enum BarPart { kNoPart, kPlayPart, kSliderPart, kStepBackPart, kStepForwardPart, kGrowPart };

}  // namespace

struct MovieControllerRecord {
    Movie movie = nullptr;
    GrafPtr port = nullptr;
    Rect bounds = {0, 0, 0, 0};
    Rect growBounds = {0, 0, 0, 0};
    bool keysEnabled = false;
    MCActionFilterWithRefConUPP filter = nullptr;
    long filterRefCon = 0;
    bool inStep = false;             // headless: the picture follows the virtual clock exactly
    std::shared_ptr<PlaybackEngine> engine;
    std::unique_ptr<MoviePicture> picture;
    std::shared_ptr<SoundMixer> sound;
    double soundRate = 0;            // the rate the sound was last started at
    double worstDrift = 0;           // seconds between a picture shown and the sound heard then
    std::string problem;             // waiting to be told (MCTakePlaybackProblem or the alert)
    bool problemTaken = false;
    SInt64 drawnThumb = -1;
};

namespace {

bool HasGrowBox(MovieController mc) { return !EmptyRect(&mc->growBounds); }

Rect MovieArea(MovieController mc)
{
    Rect r = mc->bounds;
    r.bottom = short(std::max<int>(r.top, r.bottom - kControllerBarHeight));
    return r;
}

Rect BarArea(MovieController mc)
{
    Rect r = mc->bounds;
    r.top = short(std::max<int>(r.top, r.bottom - kControllerBarHeight));
    return r;
}

// The parts of the bar, left to right: play, slider, step back, step
// forward, and the grow box at the right end when there is one.
Rect PartRect(MovieController mc, BarPart part)
{
    Rect bar = BarArea(mc);
    short right = short(bar.right - (HasGrowBox(mc) ? 16 : 0));
    switch (part) {
    case kPlayPart: return Rect{bar.top, bar.left, bar.bottom, short(bar.left + 16)};
    case kSliderPart: return Rect{bar.top, short(bar.left + 16), bar.bottom, short(std::max(bar.left + 16, right - 32))};
    case kStepBackPart: return Rect{bar.top, short(right - 32), bar.bottom, short(right - 16)};
    case kStepForwardPart: return Rect{bar.top, short(right - 16), bar.bottom, right};
    case kGrowPart: return HasGrowBox(mc) ? Rect{bar.top, right, bar.bottom, bar.right} : Rect{0, 0, 0, 0};
    default: return Rect{0, 0, 0, 0};
    }
}

BarPart PartAt(MovieController mc, Point where)
{
    for (BarPart p : {kPlayPart, kSliderPart, kStepBackPart, kStepForwardPart, kGrowPart}) {
        Rect r = PartRect(mc, p);
        if (PtInRect(where, &r))
            return p;
    }
    return kNoPart;
}

// Where the thumb's centre lies in the slider for a time.
short ThumbCentre(MovieController mc, SInt64 time)
{
    Rect s = PartRect(mc, kSliderPart);
    SInt64 duration = std::max<SInt64>(1, GetMovieDuration(mc->movie));
    int usable = std::max(0, s.right - s.left - 12);
    return short(s.left + 6 + SInt64(usable) * std::clamp<SInt64>(time, 0, duration) / duration);
}

SInt64 TimeAtSlider(MovieController mc, short h)
{
    Rect s = PartRect(mc, kSliderPart);
    int usable = std::max(1, s.right - s.left - 12);
    SInt64 duration = GetMovieDuration(mc->movie);
    return duration * std::clamp(h - (s.left + 6), 0, usable) / usable;
}

struct PortSaver {
    GrafPtr saved = nullptr;
    explicit PortSaver(GrafPtr port)
    {
        GetPort(&saved);
        SetPort(port);
    }
    ~PortSaver() { SetPort(saved); }
};

void DrawTriangle(short left, short top, short size, bool pointsRight)
{
    for (short i = 0; i < size; ++i) {
        short x = pointsRight ? short(left + i / 2) : short(left + size / 2 - 1 - i / 2);
        short half = short(std::min<int>(i, size - 1 - i));
        MoveTo(x, short(top + size / 2 - half));
        LineTo(x, short(top + size / 2 + half));
    }
}

void DrawBar(MovieController mc)
{
    Rect bar = BarArea(mc);
    RGBColor face{0xDDDD, 0xDDDD, 0xDDDD};
    FillCRect(&bar, &face);
    ForeColor(blackColor);
    MoveTo(bar.left, bar.top);
    LineTo(short(bar.right - 1), bar.top);
    bool playing = GetMovieRate(mc->movie) != 0;
    Rect play = PartRect(mc, kPlayPart);
    if (playing) {
        Rect l{short(play.top + 4), short(play.left + 5), short(play.bottom - 3), short(play.left + 7)};
        Rect r{short(play.top + 4), short(play.left + 9), short(play.bottom - 3), short(play.left + 11)};
        PaintRect(&l);
        PaintRect(&r);
    } else {
        DrawTriangle(short(play.left + 5), short(play.top + 3), 11, true);
    }
    Rect slider = PartRect(mc, kSliderPart);
    short mid = short((slider.top + slider.bottom) / 2 + 1);
    MoveTo(short(slider.left + 6), mid);
    LineTo(short(slider.right - 6), mid);
    short c = ThumbCentre(mc, GetMovieTime(mc->movie, nullptr));
    Rect thumb{short(mid - 4), short(c - 3), short(mid + 5), short(c + 4)};
    RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
    FillCRect(&thumb, &white);
    FrameRect(&thumb);
    Rect back = PartRect(mc, kStepBackPart), forward = PartRect(mc, kStepForwardPart);
    DrawTriangle(short(back.left + 4), short(back.top + 4), 9, false);
    MoveTo(short(back.left + 3), short(back.top + 4));
    LineTo(short(back.left + 3), short(back.top + 12));
    DrawTriangle(short(forward.left + 5), short(forward.top + 4), 9, true);
    MoveTo(short(forward.left + 11), short(forward.top + 4));
    LineTo(short(forward.left + 11), short(forward.top + 12));
    if (HasGrowBox(mc)) {
        Rect g = PartRect(mc, kGrowPart);
        for (short k = 4; k <= 12; k += 4) {
            MoveTo(short(g.right - 2 - k), short(g.bottom - 2));
            LineTo(short(g.right - 2), short(g.bottom - 2 - k));
        }
    }
    mc->drawnThumb = c;
}

// The picture's size in device pixels.
void PictureSize(MovieController mc, int* width, int* height)
{
    Rect area = MovieArea(mc);
    short scale = mc->port ? std::max<short>(1, mc->port->scale) : 1;
    *width = (area.right - area.left) * scale;
    *height = (area.bottom - area.top) * scale;
}

void DrawImage(MovieController mc, const PlaybackImage& image)
{
    Rect area = MovieArea(mc);
    if (EmptyRect(&area))
        return;
    if (image.width <= 0 || image.height <= 0 || image.pixels.empty()) {
        RGBColor black{0, 0, 0};
        FillCRect(&area, &black);
        return;
    }
    QDDrawPixels(&area, image.pixels.data(), image.width, image.height, image.width);
    // A track whose codec is missing shows its format's code on its grey.
    for (const auto& p : image.placeholders) {
        Str255 code;
        CopyCStringToPascal(("'" + FourCharText(p.format) + "'").c_str(), code);
        short x = short(area.left + (p.left + p.right) / 2 * (area.right - area.left) / image.width);
        short y = short(area.top + (p.top + p.bottom) / 2 * (area.bottom - area.top) / image.height);
        ForeColor(blackColor);
        MoveTo(short(x - StringWidth(code) / 2), short(y + 4));
        DrawString(code);
    }
}

double UnitsPerSecond(MovieController mc)
{
    return Fix2X(GetMovieRate(mc->movie)) * GetMovieTimeScale(mc->movie);
}

double SoundFrameAt(MovieController mc, double movieTime)
{
    return movieTime * double(PlaybackEngine::kSoundRate) / GetMovieTimeScale(mc->movie);
}

// Sound follows the movie's time and rate, backwards too; while it plays,
// its position is the clock the picture follows outside the headless
// backend.
void UpdateSound(MovieController mc)
{
    if (!mc->sound)
        return;
    double rate = Fix2X(GetMovieRate(mc->movie));
    if (rate != 0 && (gSoundOwner != mc || rate != mc->soundRate)) {
        mc->sound->Play(SoundFrameAt(mc, GetMovieTime(mc->movie, nullptr)), rate);
        mc->soundRate = rate;
        if (gSoundOwner != mc) {
            gSoundOwner = mc;
            std::shared_ptr<SoundMixer> mixer = mc->sound;
            UICurrentBackend().SetAudioSource([mixer](SInt16* frames, int count) { mixer->Pull(frames, count); });
        }
    } else if (rate == 0 && gSoundOwner == mc) {
        mc->sound->Play(SoundFrameAt(mc, GetMovieTime(mc->movie, nullptr)), 0);
        mc->soundRate = 0;
        gSoundOwner = nullptr;
        UICurrentBackend().SetAudioSource(nullptr);
    }
}

// Any move the controller makes itself (slider, steps, play from the end)
// puts the sound where the movie is now.
void ResyncSound(MovieController mc)
{
    if (gSoundOwner == mc && mc->sound) {
        mc->soundRate = Fix2X(GetMovieRate(mc->movie));
        mc->sound->Play(SoundFrameAt(mc, GetMovieTime(mc->movie, nullptr)), mc->soundRate);
    }
}

void StopSound(MovieController mc)
{
    if (gSoundOwner == mc) {
        gSoundOwner = nullptr;
        if (UIHasBackend())
            UICurrentBackend().SetAudioSource(nullptr);
    }
}

// While sound plays (outside the headless backend) the movie's time is
// the sound's: the picture follows what is heard.
void FollowSoundClock(MovieController mc)
{
    if (mc->inStep || !mc->sound || gSoundOwner != mc || GetMovieRate(mc->movie) == 0 || !mc->sound->Flowing())
        return;
    double t = mc->sound->Position() * GetMovieTimeScale(mc->movie) / PlaybackEngine::kSoundRate;
    if (std::fabs(t - GetMovieTime(mc->movie, nullptr)) > GetMovieTimeScale(mc->movie) / 50.0)
        SetMovieTimeValue(mc->movie, TimeValue(std::lround(t)));
}

// How far the picture just shown lies from the sound heard now.
void NoteDrift(MovieController mc, const PlaybackImage& image)
{
    if (mc->inStep || !mc->sound || gSoundOwner != mc || !mc->sound->Flowing())
        return;
    double scale = GetMovieTimeScale(mc->movie);
    double heard = mc->sound->Position() * scale / PlaybackEngine::kSoundRate;
    double end = mc->engine->NextPictureChange(image.movieTime);
    double gap = heard < image.movieTime ? image.movieTime - heard : heard > end ? heard - end : 0;
    mc->worstDrift = std::max(mc->worstDrift, gap / scale);
}

// Draws the frame due now and the thumb when either changed.
void ShowNow(MovieController mc, bool force)
{
    if (!mc->picture)
        return;
    FollowSoundClock(mc);
    SInt64 now = GetMovieTime(mc->movie, nullptr);
    int w = 0, h = 0;
    PictureSize(mc, &w, &h);
    if (force)
        mc->picture->Invalidate();
    mc->picture->Follow(double(now), UnitsPerSecond(mc), w, h);
    const PlaybackImage* image = nullptr;
    bool fresh = mc->picture->TakeDue(double(now), &image);
    PortSaver port(mc->port);
    if (fresh)
        NoteDrift(mc, *image);
    if (fresh || force)
        DrawImage(mc, *image);
    if (force || ThumbCentre(mc, now) != mc->drawnThumb)
        DrawBar(mc);
    UpdateSound(mc);
}

void Rebuild(MovieController mc)
{
    StopSound(mc);
    mc->picture.reset();
    mc->engine = std::make_shared<PlaybackEngine>(TakeMovieSnapshot(mc->movie));
    mc->picture = std::make_unique<MoviePicture>(mc->engine, !mc->inStep, [] {
        if (UIHasBackend())
            UICurrentBackend().WakeUp();
    });
    mc->sound = mc->engine->HasSound() ? std::make_shared<SoundMixer>(mc->engine, !mc->inStep) : nullptr;
    mc->soundRate = 0;
    mc->worstDrift = 0;
    for (const PlaybackProblem& p : mc->engine->Problems()) {
        if (!mc->problem.empty() || mc->problemTaken)
            break;
        if (p.kind == PlaybackProblem::MissingCodec)
            mc->problem = "Part of this movie uses the format '" + FourCharText(p.format) +
                          "', which cannot be played here; it shows grey.";
        else
            mc->problem = "The file \"" + p.file + "\" that holds part of this movie cannot be found.";
    }
}

void SetTime(MovieController mc, SInt64 t)
{
    SetMovieTimeValue(mc->movie, TimeValue(std::clamp<SInt64>(t, 0, GetMovieDuration(mc->movie))));
    ResyncSound(mc);
}

void TogglePlay(MovieController mc)
{
    if (GetMovieRate(mc->movie) != 0) {
        SetMovieRate(mc->movie, 0);
    } else {
        Fixed rate = GetMoviePreferredRate(mc->movie);
        if (rate == 0)
            rate = fixed1;
        SInt64 now = GetMovieTime(mc->movie, nullptr), duration = GetMovieDuration(mc->movie);
        if (rate > 0 && now >= duration)
            SetTime(mc, 0);  // play again from the start
        else if (rate < 0 && now <= 0)
            SetTime(mc, duration);
        SetMovieRate(mc->movie, rate);
    }
    ResyncSound(mc);
}

void Step(MovieController mc, int direction)
{
    SetMovieRate(mc->movie, 0);
    double now = GetMovieTime(mc->movie, nullptr);
    double t = direction > 0 ? std::ceil(mc->engine->NextPictureChange(now)) : mc->engine->PreviousPictureChange(now);
    SetTime(mc, SInt64(t));
}

void TrackSlider(MovieController mc, Point where)
{
    bool wasPlaying = GetMovieRate(mc->movie) != 0;
    Fixed rate = GetMovieRate(mc->movie);
    SetMovieRate(mc->movie, 0);
    UpdateSound(mc);
    Point p = where;
    do {
        SetTime(mc, TimeAtSlider(mc, p.h));
        ShowNow(mc, false);
        GetMouse(&p);
    } while (WaitMouseUp());
    if (wasPlaying)
        SetMovieRate(mc->movie, rate);
}

// The grow box: the movie follows the mouse within the grow-box bounds;
// the filter hears of it only when the size really changed.
void TrackGrow(MovieController mc, Point where)
{
    Rect start = mc->bounds;
    Point p = where;
    Rect last = start;
    do {
        GetMouse(&p);
        Rect r = start;
        short minW = 64, minH = short(kControllerBarHeight + 16);
        short maxW = short(std::max<int>(minW, mc->growBounds.right - mc->growBounds.left));
        short maxH = short(std::max<int>(minH, mc->growBounds.bottom - mc->growBounds.top));
        r.right = short(start.left + std::clamp<int>(start.right - start.left + p.h - where.h, minW, maxW));
        r.bottom = short(start.top + std::clamp<int>(start.bottom - start.top + p.v - where.v, minH, maxH));
        if (!EqualRect(&r, &last)) {
            MCSetControllerBoundsRect(mc, &r);
            last = r;
            PortSaver port(mc->port);
            EraseRect(&mc->bounds);
            ShowNow(mc, true);
        }
    } while (WaitMouseUp());
    if (!EqualRect(&last, &start) && mc->filter)
        mc->filter(mc, mcActionControllerSizeChanged, nullptr, mc->filterRefCon);
}

bool HandleClick(MovieController mc, const EventRecord* e)
{
    PortSaver port(mc->port);
    Point where = e->where;
    GlobalToLocal(&where);
    switch (PartAt(mc, where)) {
    case kPlayPart: TogglePlay(mc); break;
    case kSliderPart: TrackSlider(mc, where); break;
    case kStepBackPart: Step(mc, -1); break;
    case kStepForwardPart: Step(mc, 1); break;
    case kGrowPart: TrackGrow(mc, where); break;
    default: return false;
    }
    ShowNow(mc, true);
    return true;
}

bool IsFrontController(MovieController mc)
{
    WindowPtr front = FrontWindow();
    return front && GetWindowPort(front) == mc->port;
}

bool HandleKey(MovieController mc, const EventRecord* e)
{
    if (!mc->keysEnabled || !IsFrontController(mc) || (e->modifiers & cmdKey))
        return false;
    char c = char(e->message & charCodeMask);
    bool option = (e->modifiers & optionKey) != 0;
    switch (c) {
    case ' ': TogglePlay(mc); break;
    case 0x1C: option ? (SetMovieRate(mc->movie, 0), SetTime(mc, 0)) : Step(mc, -1); break;
    case 0x1D: option ? (SetMovieRate(mc->movie, 0), SetTime(mc, GetMovieDuration(mc->movie))) : Step(mc, 1); break;
    default: return false;
    }
    ShowNow(mc, true);
    return true;
}

// The movie's clock: the virtual one of the headless backend, so a script
// always sees the same times; the monotonic one otherwise.
void ChooseClock(bool inStep)
{
    if (inStep)
        SetMoviesClock([] { return UIHasBackend() ? UICurrentBackend().Ticks() / 60.0 : 0.0; });
    else
        SetMoviesClock(nullptr);
}

}  // namespace

MCActionFilterWithRefConUPP NewMCActionFilterWithRefConUPP(MCActionFilterWithRefConProcPtr proc)
{
    return proc;
}

MovieController NewMovieController(Movie theMovie, const Rect* movieRect, long)
{
    if (!theMovie || !movieRect || GetMovieTimeScale(theMovie) <= 0)
        return nullptr;
    auto* mc = new MovieControllerRecord;
    ++gControllerCount;
    mc->movie = theMovie;
    GetPort(&mc->port);
    mc->inStep = !UICurrentBackend().IsInteractive();
    ChooseClock(mc->inStep);
    mc->bounds = *movieRect;
    mc->bounds.bottom = short(mc->bounds.bottom + kControllerBarHeight);
    SetMovieBox(theMovie, movieRect);
    Rebuild(mc);
    return mc;
}

void DisposeMovieController(MovieController mc)
{
    if (!mc)
        return;
    StopSound(mc);
    delete mc;
    if (--gControllerCount == 0)
        SetMoviesClock(nullptr);
}

ComponentResult MCIsPlayerEvent(MovieController mc, const EventRecord* e)
{
    if (!mc || !e)
        return 0;
    bool mine = false;
    if (e->what == mouseDown) {
        PortSaver port(mc->port);
        Point where = e->where;
        GlobalToLocal(&where);
        Rect bar = BarArea(mc);
        WindowPtr front = FrontWindow();
        if (PtInRect(where, &bar) && front && GetWindowPort(front) == mc->port)
            mine = HandleClick(mc, e);
    } else if (e->what == keyDown || e->what == autoKey) {
        mine = HandleKey(mc, e);
    }
    // Every event, null events included, gives the movie its time.
    ShowNow(mc, false);
    return mine ? 1 : 0;
}

ComponentResult MCDoAction(MovieController mc, short action, void* params)
{
    if (!mc)
        return paramErr;
    switch (action) {
    case mcActionDraw: ShowNow(mc, true); break;
    case mcActionSetGrowBoxBounds:
        mc->growBounds = params ? *static_cast<const Rect*>(params) : Rect{0, 0, 0, 0};
        break;
    case mcActionSetKeysEnabled: mc->keysEnabled = params != nullptr; break;
    default: break;
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
    if (mc->bounds.bottom < mc->bounds.top + kControllerBarHeight)
        mc->bounds.bottom = short(mc->bounds.top + kControllerBarHeight);
    Rect box = MovieArea(mc);
    SetMovieBox(mc->movie, &box);
    return noErr;
}

ComponentResult MCMovieChanged(MovieController mc, Movie m)
{
    if (!mc || (m && m != mc->movie))
        return paramErr;
    // The time stays where it was when that still lies within the movie.
    SInt64 now = GetMovieTime(mc->movie, nullptr);
    Rebuild(mc);
    SetMovieTimeValue(mc->movie, TimeValue(std::min<SInt64>(now, GetMovieDuration(mc->movie))));
    Rect box = MovieArea(mc);
    SetMovieBox(mc->movie, &box);
    ShowNow(mc, true);
    return noErr;
}

ComponentResult MCSetActionFilterWithRefCon(MovieController mc, MCActionFilterWithRefConUPP filter, long refCon)
{
    if (!mc)
        return paramErr;
    mc->filter = filter;
    mc->filterRefCon = refCon;
    return noErr;
}

Boolean MCTakePlaybackProblem(MovieController mc, Str255 message)
{
    if (!mc || mc->problem.empty() || mc->problemTaken)
        return false;
    mc->problemTaken = true;
    if (message)
        pstr::FromStd(mc->problem, message);
    return true;
}

ComponentResult MCGetPlaybackStatistics(MovieController mc, MCPlaybackStatistics* out)
{
    if (!mc || !out || !mc->picture)
        return paramErr;
    out->framesShown = mc->picture->Shown();
    out->framesDropped = mc->picture->Dropped();
    out->worstLagSeconds = mc->picture->WorstLag() / GetMovieTimeScale(mc->movie);
    out->worstSoundDriftSeconds = mc->worstDrift;
    out->soundUnderrunFrames = mc->sound ? mc->sound->Underruns() : 0;
    return noErr;
}
