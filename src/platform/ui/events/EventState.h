// The Event Manager's state, shared with the backends' input path and the
// window manager.
#pragma once

#include <string>

#include "platform/core/MacTypes.h"
#include "platform/ui/windows/Windows.h"

namespace events {

// Queues an event (mouse, key, posted, high-level) with its typed text.
void Enqueue(const EventRecord& ev, const std::string& text);
// An activate (active true) or deactivate event for the window; these come
// before every other event.
void QueueActivate(WindowPtr window, bool active);
// Drops the pending activate events of a window that goes away.
void ForgetWindow(WindowPtr window);

Point MouseLocation();
bool ButtonDown();
// Modifier bits for an event record now (btnState set while the button is up).
UInt16 CurrentModifiers();
// True while a mouse-down or mouse-up waits in the queue.
bool MouseEventQueued();

// BeginUpdate was called for the window (its update event was answered).
void NoteUpdateServiced(WindowPtr window);

// How many events were ever queued (a counter that only grows).
UInt32 EnqueuedCount();

// Takes (or, with remove false, looks at) the first activate event, else
// the first queued event of a kind in mask; high-level events only when
// highLevelNow is true, since they wait behind the update events.
bool TakeQueued(UInt16 mask, EventRecord* out, bool remove, bool highLevelNow);
// A null event now: the mouse position, the modifiers, the time.
EventRecord NullEvent();
// The UTF-8 a key event typed.
std::string TextOf(const EventRecord& ev);

// Forgets every queued event and the mouse and key state.
void Reset();

}  // namespace events
