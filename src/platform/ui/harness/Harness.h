// The headless test harness: a toolbox without a screen, driven by a script.
//
// A test starts the toolbox headless, posts mouse and key input, lets the
// code under test run its event loops, and reads back window state and
// pixels. Input is queued as a script and handed out one step at a time,
// whenever the toolbox asks the host for input (WaitNextEvent, StillDown,
// Button, ...), so tracking loops see each mouse move in turn.
//
// Nested modal loops are scripted with the idle procedure: it runs whenever
// a loop finds no event and no script left, inspects the state (the front
// dialog, say) and posts the next input. A loop that finds nothing to do for
// more than the wait limit of virtual time fails the test with a message
// instead of hanging.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/core/MacTypes.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/windows/Windows.h"

namespace harness {

// Resets the whole toolbox and starts it headless with a screen of
// width x height points at the given scale. The clock starts at tick 0.
void Start(short width = 1024, short height = 768, short scale = 1);
// Forgets every window, event and script (Start calls it).
void Reset();

// Input steps, appended to the script.
void MouseMove(Point where);
void MouseDown(Point where, UInt16 modifiers = 0);
void MouseUp(Point where, UInt16 modifiers = 0);
// Down and up at the same place.
void Click(Point where, UInt16 modifiers = 0);
// A press from `from`, moves in `steps` steps to `to`, release there.
void Drag(Point from, Point to, UInt16 modifiers = 0, int steps = 4);
void KeyDown(UInt8 charCode, UInt8 keyCode = 0, UInt16 modifiers = 0);
void KeyUp(UInt8 charCode, UInt8 keyCode = 0, UInt16 modifiers = 0);
// KeyDown then KeyUp.
void Key(UInt8 charCode, UInt16 modifiers = 0, UInt8 keyCode = 0);
// A key press that types `text` (one character, any UTF-8; charCode 0 for
// a character outside ASCII).
void KeyPress(UInt8 charCode, UInt8 keyCode, UInt16 modifiers, const std::string& text);
// Text as typed: one key-down per character (charCode 0 for non-ASCII,
// GetEventText answers the character).
void Type(const std::string& utf8);
// The next script step is handed out only `ticks` later.
void Pause(UInt32 ticks);
// Sets the modifier keys held from now on in the script.
void SetModifiers(UInt16 modifiers);

// Posts a full event record straight into the event queue (not the script).
void PostEventNow(const EventRecord& ev, const std::string& text = std::string());

// True when every script step has been handed out.
bool ScriptEmpty();

// The virtual clock.
UInt32 Now();
void AdvanceTicks(UInt32 ticks);

// Runs when a loop finds no event and the script is empty; it may post more
// input. nullptr removes it.
void SetIdleProc(std::function<void()> proc);
// Virtual ticks a loop may go on finding nothing to do before the test is
// failed; 10 minutes (36000 ticks) unless changed.
void SetWaitLimit(UInt32 ticks);
// Replaces what happens when the wait limit is passed (the default prints a
// message and aborts the test). Tests of the harness itself use this.
void SetWaitLimitProc(std::function<void(const std::string& message)> proc);

// Runs WaitNextEvent until the script is empty and no event is waiting,
// handing each event to `handler` (nil: events are dropped, updates get
// BeginUpdate/EndUpdate). Stops after maxEvents.
void RunEvents(const std::function<void(const EventRecord&)>& handler = nullptr, int maxEvents = 10000);

struct WindowState {
    WindowPtr window = nullptr;
    std::string title;
    Rect bounds{};       // content, global
    Rect structure{};    // frame included, global
    bool visible = false;
    bool active = false;
    short kind = 0;
    short procID = 0;
    long refCon = 0;
};
// Every window, front to back (hidden ones included).
std::vector<WindowState> Windows();
// Visible windows only, front to back.
std::vector<WindowState> VisibleWindows();
// The first window with that title, or nil.
WindowPtr FindWindowByTitle(const std::string& title);

// Global points on a window's parts, for scripted clicks and drags: the
// middle of the title bar (inDrag), of the close, zoom and grow boxes, and
// a local point of the content. A part the window lacks gives (-1,-1).
Point TitleBarPoint(WindowPtr w);
Point CloseBoxPoint(WindowPtr w);
Point ZoomBoxPoint(WindowPtr w);
Point GrowBoxPoint(WindowPtr w);
Point ContentPoint(WindowPtr w, short h, short v);

// Pixels (0xAARRGGBB; alpha is always 0xFF). Screen at a point (top-left
// device pixel of it), a port at a local point.
UInt32 ScreenPixel(short h, short v);
UInt32 PortPixel(GrafPtr port, short h, short v);
// Composes the screen and writes it as PNG; false on failure.
bool SaveScreenPNG(const std::string& path);

// While on, idle time passes one tick per pump and every tick ends the
// event loop's wait with a null event.
void SetTickByTick(bool on);
// Everything the sound output played since tick 0, as a 48 kHz 16-bit
// stereo WAV file (silence where nothing played); false on failure.
bool SaveAudioWAV(const std::string& path);

}  // namespace harness
