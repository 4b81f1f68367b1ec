// The event queue and the input state the backends feed.
#include <algorithm>
#include <deque>

#include "platform/ui/events/EventInput.h"
#include "platform/ui/events/EventState.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/quickdraw/Fonts.h"

namespace {

struct Queued {
    EventRecord ev;
    std::string text;
};

struct State {
    std::deque<Queued> queue;
    std::deque<EventRecord> activates;
    Point mouse{0, 0};
    bool button = false;
    UInt16 keyModifiers = 0;
    // The text of the key events handed out last, newest last, so that
    // GetEventText can answer for a record the caller copied.
    std::deque<Queued> recentKeys;
    UInt32 enqueued = 0;
};

State& S()
{
    static State state;
    return state;
}

EventRecord MakeEvent(EventKind what, unsigned long message)
{
    EventRecord ev{};
    ev.what = UInt16(what);
    ev.message = message;
    ev.when = TickCount();
    ev.where = S().mouse;
    ev.modifiers = events::CurrentModifiers();
    return ev;
}

bool KindInMask(UInt16 what, EventMask mask)
{
    if (what == kHighLevelEvent) return (mask & highLevelEventMask) != 0;
    return what < 16 && (mask & (1u << what)) != 0;
}

bool SameRecord(const EventRecord& a, const EventRecord& b)
{
    return a.what == b.what && a.message == b.message && a.when == b.when && a.modifiers == b.modifiers &&
           a.where.h == b.where.h && a.where.v == b.where.v;
}

// A key event's character travels in the message itself, above the classic
// 32 bits: its UTF-8 bytes (at most four) in bits 32 to 63. Copies of the
// record thus keep their text, and two events that differ only in their
// character never get mixed up.
unsigned long PackText(const std::string& text)
{
    if (text.empty() || text.size() > 4 || sizeof(unsigned long) < 8) return 0;
    unsigned long packed = 0;
    for (size_t i = 0; i < text.size(); ++i) packed |= (unsigned long)(static_cast<unsigned char>(text[i])) << (8 * i);
    return packed << 32;
}

std::string UnpackText(unsigned long message)
{
    if (sizeof(unsigned long) < 8) return std::string();
    std::string out;
    for (int i = 0; i < 4; ++i) {
        char c = char((message >> (32 + 8 * i)) & 0xFF);
        if (c == 0) break;
        out += c;
    }
    return out;
}

EventRecord KeyEvent(EventKind what, UInt8 charCode, UInt8 keyCode, const std::string& text)
{
    return MakeEvent(what, (UInt32(keyCode) << 8) | charCode | PackText(text));
}

void RememberKey(const Queued& q)
{
    auto& recent = S().recentKeys;
    recent.push_back(q);
    if (recent.size() > 64) recent.pop_front();
}

}  // namespace

namespace events {

void Enqueue(const EventRecord& ev, const std::string& text)
{
    S().queue.push_back(Queued{ev, text});
    ++S().enqueued;
}

UInt32 EnqueuedCount() { return S().enqueued; }

void QueueActivate(WindowPtr window, bool active)
{
    EventRecord ev = MakeEvent(activateEvt, EventMessageFromWindow(window));
    ev.modifiers = UInt16(active ? (ev.modifiers | activeFlag) : (ev.modifiers & ~activeFlag));
    S().activates.push_back(ev);
}

void ForgetWindow(WindowPtr window)
{
    unsigned long message = EventMessageFromWindow(window);
    auto& a = S().activates;
    a.erase(std::remove_if(a.begin(), a.end(), [&](const EventRecord& e) { return e.message == message; }), a.end());
}

Point MouseLocation() { return S().mouse; }
bool ButtonDown() { return S().button; }

UInt16 CurrentModifiers() { return UInt16(S().keyModifiers | (S().button ? 0 : btnState)); }

bool MouseEventQueued()
{
    return std::any_of(S().queue.begin(), S().queue.end(),
                       [](const Queued& q) { return q.ev.what == mouseDown || q.ev.what == mouseUp; });
}

void Reset() { S() = State{}; }

// Takes (or, with remove false, looks at) the first activate event, else the
// first queued event of a kind in mask. High-level events wait behind the
// update events, so they are taken only when `highLevelNow` is true.
bool TakeQueued(EventMask mask, EventRecord* out, bool remove, bool highLevelNow)
{
    State& s = S();
    if ((mask & activMask) && !s.activates.empty()) {
        *out = s.activates.front();
        if (remove) s.activates.pop_front();
        return true;
    }
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
        if (!KindInMask(it->ev.what, mask)) continue;
        if ((it->ev.what == kHighLevelEvent) != highLevelNow) continue;
        *out = it->ev;
        if (it->ev.what == keyDown || it->ev.what == autoKey || it->ev.what == keyUp) RememberKey(*it);
        if (remove) s.queue.erase(it);
        return true;
    }
    return false;
}

EventRecord NullEvent() { return MakeEvent(nullEvent, 0); }

std::string TextOf(const EventRecord& ev)
{
    std::string packed = UnpackText(ev.message);
    if (!packed.empty()) return packed;
    for (auto it = S().recentKeys.rbegin(); it != S().recentKeys.rend(); ++it)
        if (SameRecord(it->ev, ev)) return it->text;
    for (const Queued& q : S().queue)
        if (SameRecord(q.ev, ev)) return q.text;
    UInt8 c = UInt8(ev.message & charCodeMask);
    if ((ev.what == keyDown || ev.what == autoKey) && c >= 0x20 && c < 0x7F) return std::string(1, char(c));
    return std::string();
}

}  // namespace events

// ---------------------------------------------------------------- input from the backend

void UIInputMouseMoved(Point where) { S().mouse = where; }

void UIInputMouseButton(bool down, Point where)
{
    S().mouse = where;
    S().button = down;
    events::Enqueue(MakeEvent(down ? mouseDown : mouseUp, 0), std::string());
}

void UIInputKey(bool down, UInt8 charCode, UInt8 keyCode, const std::string& text)
{
    std::string typed = text;
    if (typed.empty() && down && charCode >= 0x20 && charCode < 0x7F) typed = std::string(1, char(charCode));
    if (!down) typed.clear();
    events::Enqueue(KeyEvent(down ? keyDown : keyUp, charCode, keyCode, typed), typed);
}

void UIInputAutoKey(UInt8 charCode, UInt8 keyCode, const std::string& text)
{
    std::string typed = text;
    if (typed.empty() && charCode >= 0x20 && charCode < 0x7F) typed = std::string(1, char(charCode));
    events::Enqueue(KeyEvent(autoKey, charCode, keyCode, typed), typed);
}

// Each character becomes its own key-down; only ASCII characters carry a
// character code, so code that reads charCode never sees half a character.
void UIInputText(const std::string& utf8)
{
    for (size_t i = 0; i < utf8.size();) {
        size_t start = i;
        char32_t cp = fonts::NextCodePoint(utf8, i);
        UInt8 charCode = cp < 0x80 ? UInt8(cp) : 0;
        std::string one = utf8.substr(start, i - start);
        events::Enqueue(KeyEvent(keyDown, charCode, 0, one), one);
    }
}

void UIInputModifiers(UInt16 modifiers)
{
    S().keyModifiers = UInt16(modifiers & (cmdKey | shiftKey | alphaLock | optionKey | controlKey));
}
