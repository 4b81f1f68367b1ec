// WaitNextEvent and the calls around it.
#include "platform/ui/events/Events.h"

#include <algorithm>

#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/backend/Backend.h"
#include "platform/ui/windows/Compositor.h"
#include "platform/ui/events/EventState.h"
#include "platform/ui/windows/WindowList.h"

namespace {

// The window of the last update event handed out, until its BeginUpdate.
WindowPtr gUnservicedUpdate = nullptr;

// Finds the next event in the classic order without waiting.
bool FindEvent(EventMask mask, EventRecord* out, bool remove)
{
    if (events::TakeQueued(mask, out, remove, false)) return true;
    if (mask & updateMask) {
        if (WindowPtr w = wm::NextWindowToUpdate()) {
            *out = events::NullEvent();
            out->what = updateEvt;
            out->message = EventMessageFromWindow(w);
            if (remove) gUnservicedUpdate = w;
            return true;
        }
    }
    return events::TakeQueued(mask, out, remove, true);
}

// Looks for an event, asking the host for input until `sleep` ticks have
// passed. The backend's pump waits (or, headless, advances its clock).
bool Fetch(EventMask mask, EventRecord* theEvent, UInt32 sleep, bool remove)
{
    UIBackend& backend = UICurrentBackend();
    compositor::PresentIfNeeded();
    // 64 bits, so that a sleep of "for ever" (0x7FFFFFFF and more) cannot wrap.
    UInt64 deadline = UInt64(backend.Ticks()) + sleep;
    bool pumpedOnce = false;
    // An update event that nobody answered would come back at once for ever;
    // taking host input first keeps the program responsive (and lets the
    // headless clock run into its wait limit instead of hanging).
    if (gUnservicedUpdate && wm::IsWindow(gUnservicedUpdate) && remove) backend.PumpInput(0);
    for (;;) {
        // A quit signal becomes a high-level event here, outside the handler.
        AEPollQuitSignal();
        if (FindEvent(mask, theEvent, remove)) return true;
        UInt64 now = backend.Ticks();
        if (pumpedOnce && now >= deadline) break;
        backend.PumpInput(UInt32(std::min<UInt64>(now < deadline ? deadline - now : 0, 0xFFFFFFFFu)));
        pumpedOnce = true;
        compositor::PresentIfNeeded();
        if (backend.WakeForNullEvent()) break;
    }
    *theEvent = events::NullEvent();
    return false;
}

}  // namespace

namespace events {
void NoteUpdateServiced(WindowPtr window)
{
    if (window == gUnservicedUpdate) gUnservicedUpdate = nullptr;
}
}  // namespace events

Boolean WaitNextEvent(EventMask eventMask, EventRecord* theEvent, UInt32 sleep, RgnHandle)
{
    EventRecord scratch;
    return Fetch(eventMask, theEvent ? theEvent : &scratch, sleep, true);
}

Boolean GetNextEvent(EventMask eventMask, EventRecord* theEvent)
{
    EventRecord scratch;
    return Fetch(eventMask, theEvent ? theEvent : &scratch, 0, true);
}

Boolean EventAvail(EventMask eventMask, EventRecord* theEvent)
{
    EventRecord scratch;
    return Fetch(eventMask, theEvent ? theEvent : &scratch, 0, false);
}

OSErr PostEvent(EventKind eventNum, unsigned long eventMsg)
{
    EventRecord ev = events::NullEvent();
    ev.what = UInt16(eventNum);
    ev.message = eventMsg;
    events::Enqueue(ev, std::string());
    return noErr;
}

OSErr PostEventRecord(const EventRecord& theEvent, const std::string& text)
{
    events::Enqueue(theEvent, text);
    return noErr;
}

void FlushEvents(EventMask whichMask, EventMask stopMask)
{
    // Taking events one by one keeps the order rule in one place; an event
    // of a stop kind ends the flush and stays.
    EventRecord ev;
    for (;;) {
        if (!events::TakeQueued(EventMask(whichMask | stopMask), &ev, false, false) &&
            !events::TakeQueued(EventMask(whichMask | stopMask), &ev, false, true))
            return;
        bool stop = ev.what == kHighLevelEvent ? (stopMask & highLevelEventMask) : (stopMask & (1u << ev.what));
        if (stop) return;
        if (!events::TakeQueued(whichMask, &ev, true, false)) events::TakeQueued(whichMask, &ev, true, true);
    }
}

std::string GetEventText(const EventRecord& theEvent)
{
    if (theEvent.what != keyDown && theEvent.what != autoKey) return std::string();
    return events::TextOf(theEvent);
}

UInt32 TickCount() { return UICurrentBackend().Ticks(); }

void Delay(unsigned long numTicks, unsigned long* finalTicks)
{
    compositor::PresentIfNeeded();
    UICurrentBackend().Delay(UInt32(numTicks));
    if (finalTicks) *finalTicks = TickCount();
}

UInt32 GetDblTime() { return 30; }
UInt32 GetCaretTime() { return 30; }

Boolean Button()
{
    compositor::PresentIfNeeded();
    UICurrentBackend().PumpInput(1);
    return events::ButtonDown();
}

Boolean StillDown()
{
    compositor::PresentIfNeeded();
    if (!events::MouseEventQueued()) UICurrentBackend().PumpInput(1);
    return events::ButtonDown() && !events::MouseEventQueued();
}

Boolean WaitMouseUp()
{
    if (StillDown()) return true;
    EventRecord ev;
    events::TakeQueued(mUpMask, &ev, true, false);
    return false;
}

void GetMouse(Point* mouseLoc)
{
    if (!mouseLoc) return;
    *mouseLoc = events::MouseLocation();
    GlobalToLocal(mouseLoc);
}

UInt32 GetCurrentKeyModifiers() { return events::CurrentModifiers() & ~UInt32(btnState); }
