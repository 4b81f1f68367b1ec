// The Event Manager subset: the event queue, WaitNextEvent and the mouse.
//
// Events come from the backend (the host window, or a test script in
// headless mode). WaitNextEvent hands them out in the classic order:
// activate events first, then mouse and key events and posted events in the
// order they arrived, then update events for windows with an invalidated
// area (front to back), then high-level events, else a null event that
// carries the mouse position and the modifiers.
#pragma once

#include <string>

#include "platform/core/MacTypes.h"
#include "platform/ui/quickdraw/QuickDraw.h"

typedef UInt16 EventMask;

enum : EventKind {
    nullEvent = 0,
    mouseDown = 1,
    mouseUp = 2,
    keyDown = 3,
    keyUp = 4,
    autoKey = 5,
    updateEvt = 6,
    diskEvt = 7,
    activateEvt = 8,
    osEvt = 15,
    kHighLevelEvent = 23,
};

enum : EventMask {
    mDownMask = 1 << mouseDown,
    mUpMask = 1 << mouseUp,
    keyDownMask = 1 << keyDown,
    keyUpMask = 1 << keyUp,
    autoKeyMask = 1 << autoKey,
    updateMask = 1 << updateEvt,
    diskMask = 1 << diskEvt,
    activMask = 1 << activateEvt,
    highLevelEventMask = 0x0400,
    osMask = 1 << osEvt,
    everyEvent = 0xFFFF,
};

// Bits of EventRecord.modifiers.
enum : EventModifiers {
    activeFlag = 1,
    btnState = 128,
    cmdKey = 256,
    shiftKey = 512,
    alphaLock = 1024,
    optionKey = 2048,
    controlKey = 4096,
};

// Key events: message = (keyCode << 8) | charCode. Above the classic 32
// bits the message also carries the UTF-8 bytes of the typed character;
// read them with GetEventText rather than directly.
enum : UInt32 {
    charCodeMask = 0x000000FF,
    keyCodeMask = 0x0000FF00,
};

// Character codes of the special keys.
enum : UInt8 {
    kEnterCharCode = 0x03,
    kBackspaceCharCode = 0x08,
    kTabCharCode = 0x09,
    kReturnCharCode = 0x0D,
    kEscapeCharCode = 0x1B,
    kLeftArrowCharCode = 0x1C,
    kRightArrowCharCode = 0x1D,
    kUpArrowCharCode = 0x1E,
    kDownArrowCharCode = 0x1F,
    kDeleteCharCode = 0x7F,
};

// Fetches the next event of a kind in mask, waiting up to `sleep` ticks when
// there is none (in headless mode the virtual clock advances instead).
// Returns false for a null event; theEvent is filled in either case.
Boolean WaitNextEvent(EventMask eventMask, EventRecord* theEvent, UInt32 sleep, RgnHandle mouseRgn);
Boolean GetNextEvent(EventMask eventMask, EventRecord* theEvent);
// Like GetNextEvent, but leaves the event in the queue.
Boolean EventAvail(EventMask eventMask, EventRecord* theEvent);
// Posts an event of any kind (kHighLevelEvent included) with the current
// mouse position, modifiers and time.
OSErr PostEvent(EventKind eventNum, unsigned long eventMsg);
// Orvo: posts a complete event record; `text` is what GetEventText answers
// for it (key events).
OSErr PostEventRecord(const EventRecord& theEvent, const std::string& text = std::string());
// Removes queued events of the kinds in whichMask, stopping at the first
// event of a kind in stopMask.
void FlushEvents(EventMask whichMask, EventMask stopMask);

// Orvo: the UTF-8 text a key-down event typed. Non-ASCII characters arrive
// as one key-down each with charCode 0; this call answers their text. For
// an ASCII key it answers the character; for other events "".
std::string GetEventText(const EventRecord& theEvent);

// Sixtieths of a second since start-up, from a monotonic clock.
UInt32 TickCount();
void Delay(unsigned long numTicks, unsigned long* finalTicks);
UInt32 GetDblTime();
UInt32 GetCaretTime();

// The mouse. GetMouse answers local coordinates of the current port.
Boolean Button();
// True while the button pressed for the current mouse-down is still down
// (false once a mouse-up for it is waiting in the queue).
Boolean StillDown();
// Like StillDown, but removes the mouse-up from the queue when it says false.
Boolean WaitMouseUp();
void GetMouse(Point* mouseLoc);
// The modifier bits that are down now.
UInt32 GetCurrentKeyModifiers();
