#include "platform/controller/MovieProgressWindow.h"

#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

constexpr short kWidth = 340;
constexpr short kHeight = 104;
constexpr Rect kBar = {44, 20, 58, 320};
constexpr Rect kStopButton = {72, 250, 92, 320};

struct ProgressDisplay {
    WindowPtr window = nullptr;
    ControlHandle stop = nullptr;
    short operation = 0;
    Fixed percent = 0;
};

ProgressDisplay gDisplay;

const char* OperationText(short whatOperation)
{
    switch (whatOperation) {
    case progressOpFlatten:
        return "Writing the movie\xE2\x80\xA6";
    case progressOpInsertTrackSegment:
    case progressOpInsertMovieSegment:
        return "Copying the track\xE2\x80\xA6";
    default:
        return "Working\xE2\x80\xA6";
    }
}

// percentDone is 16.16: fixed1 is the whole bar.
double DoneFraction()
{
    return gDisplay.percent <= 0 ? 0.0 : gDisplay.percent >= fixed1 ? 1.0 : Fix2X(gDisplay.percent);
}

void Draw()
{
    GrafPtr saved;
    GetPort(&saved);
    SetPortWindowPort(gDisplay.window);
    Rect all;
    GetWindowPortBounds(gDisplay.window, &all);
    EraseRect(&all);
    Str255 text;
    pstr::FromStd(OperationText(gDisplay.operation), text);
    TextFont(0);
    TextSize(12);
    MoveTo(kBar.left, 30);
    DrawString(text);
    Rect bar = kBar;
    FrameRect(&bar);
    double done = DoneFraction();
    Rect filled = {short(bar.top + 1), short(bar.left + 1), short(bar.bottom - 1),
                   short(bar.left + 1 + done * (bar.right - bar.left - 2))};
    RGBColor fill = {0x3A3A, 0x6E6E, 0xD8D8};
    RGBForeColor(&fill);
    PaintRect(&filled);
    ForeColor(blackColor);
    Draw1Control(gDisplay.stop);
    SetPort(saved);
    WMFlushScreen();
}

void Open(short whatOperation)
{
    Rect screen = WMScreenBounds();
    short left = short((screen.left + screen.right - kWidth) / 2);
    short top = short((screen.top + screen.bottom - kHeight) / 3);
    Rect bounds = {top, left, short(top + kHeight), short(left + kWidth)};
    gDisplay = ProgressDisplay{};
    gDisplay.operation = whatOperation;
    gDisplay.window = NewCWindow(nullptr, &bounds, ""_p, true, dBoxProc, reinterpret_cast<WindowPtr>(-1L), false, 0);
    if (gDisplay.window == nullptr)
        return;
    Rect stop = kStopButton;
    gDisplay.stop = NewControl(gDisplay.window, &stop, "Stop"_p, true, 0, 0, 1, pushButProc, 0);
    Draw();
}

void Close()
{
    if (gDisplay.window != nullptr)
        DisposeWindow(gDisplay.window);
    gDisplay = ProgressDisplay{};
}

bool StopClicked(const EventRecord& ev)
{
    WindowPtr hit = nullptr;
    if (FindWindow(ev.where, &hit) != inContent || hit != gDisplay.window)
        return false;
    GrafPtr saved;
    GetPort(&saved);
    SetPortWindowPort(gDisplay.window);
    Point local = ev.where;
    GlobalToLocal(&local);
    ControlHandle control = nullptr;
    bool stopped = FindControl(local, gDisplay.window, &control) != 0 && control == gDisplay.stop &&
                   TrackControl(control, local, nullptr) != 0;
    SetPort(saved);
    return stopped;
}

// Looks at the clicks and keys that arrived since the last update. Other
// events stay queued for the application.
bool StopRequested()
{
    EventRecord ev;
    while (GetNextEvent(mDownMask | keyDownMask, &ev)) {
        if (ev.what == keyDown) {
            char c = static_cast<char>(ev.message & charCodeMask);
            if (c == kEscapeCharCode || ((ev.modifiers & cmdKey) && c == '.'))
                return true;
        } else if (StopClicked(ev)) {
            return true;
        }
    }
    return false;
}

}  // namespace

OSErr MovieProgressWindowProc(Movie, short message, short whatOperation, Fixed percentDone, long)
{
    switch (message) {
    case movieProgressOpen:
        Open(whatOperation);
        return noErr;
    case movieProgressUpdatePercent:
        if (gDisplay.window == nullptr)
            return noErr;
        if (percentDone != gDisplay.percent) {
            gDisplay.percent = percentDone;
            Draw();
        }
        return StopRequested() ? userCanceledErr : noErr;
    case movieProgressClose:
        Close();
        return noErr;
    default:
        return noErr;
    }
}

void InstallMovieProgressWindow()
{
    SetDefaultMovieProgressHook(MovieProgressWindowProc, 0);
}

WindowPtr MovieProgressWindow()
{
    return gDisplay.window;
}

MovieProgressState MovieProgressWindowState()
{
    if (gDisplay.window == nullptr)
        return MovieProgressState{};
    return MovieProgressState{OperationText(gDisplay.operation), DoneFraction()};
}
