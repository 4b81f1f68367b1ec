// The Event Manager's state, shared with the backends' input path and the
// window manager.
#pragma once

#include <string>

#include "platform/core/MacTypes.h"
#include "platform/ui/Windows.h"

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

// Forgets every queued event and the mouse and key state.
void Reset();

}  // namespace events
