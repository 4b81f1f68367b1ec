// The headless test harness.
#include "platform/ui/harness/Harness.h"
#include "platform/ui/harness/WavWriter.h"

#include <cstdio>
#include <cstdlib>

#include "platform/ui/backend/Backend.h"
#include "platform/ui/windows/Compositor.h"
#include "platform/ui/events/EventState.h"
#include "platform/ui/system/Gestalt.h"
#include "platform/ui/quickdraw/PngWriter.h"
#include "platform/ui/windows/WindowList.h"
#include "platform/ui/backend/headless/HeadlessBackend.h"

namespace harness {

namespace {

using Step = HeadlessBackend::Step;

UInt16 gScriptModifiers = 0;

// The harness works only on the headless backend; anything else is a
// mistake in the test, reported at once.
HeadlessBackend& Headless()
{
    auto* h = UIHasBackend() ? dynamic_cast<HeadlessBackend*>(&UICurrentBackend()) : nullptr;
    if (!h) {
        std::fprintf(stderr, "FAILURE: harness used before harness::Start()\n");
        std::abort();
    }
    return *h;
}

void Add(Step step) { Headless().AddStep(step); }

Step MouseStep(Step::Kind kind, Point where, UInt16 modifiers)
{
    Step s;
    s.kind = kind;
    s.where = where;
    s.modifiers = modifiers;
    return s;
}

Step KeyStep(Step::Kind kind, UInt8 charCode, UInt8 keyCode, UInt16 modifiers)
{
    Step s;
    s.kind = kind;
    s.charCode = charCode;
    s.keyCode = keyCode;
    s.modifiers = modifiers;
    return s;
}

WindowState StateOf(WindowPtr w)
{
    WindowState s;
    s.window = w;
    s.title = w->title;
    s.bounds = wm::ContentRect(w);
    s.structure = wm::StructureRect(w);
    s.visible = w->visible;
    s.active = w->hilited;
    s.kind = w->windowKind;
    s.procID = w->procID;
    s.refCon = w->refCon;
    return s;
}

UInt32 PixelAt(const QDPixels& bits, int x, int y)
{
    if (x < 0 || y < 0 || x >= bits.width || y >= bits.height) return 0;
    return bits.pixels[size_t(y) * bits.width + x];
}

}  // namespace

void Start(short width, short height, short scale)
{
    Reset();
    UIUseHeadlessBackend(width, height, scale);
}

void Reset()
{
    UIResetToolbox();
    ResetGestaltValues();
    gScriptModifiers = 0;
}

void MouseMove(Point where) { Add(MouseStep(Step::MouseMove, where, gScriptModifiers)); }
void MouseDown(Point where, UInt16 modifiers) { Add(MouseStep(Step::MouseDown, where, modifiers | gScriptModifiers)); }
void MouseUp(Point where, UInt16 modifiers) { Add(MouseStep(Step::MouseUp, where, modifiers | gScriptModifiers)); }

void Click(Point where, UInt16 modifiers)
{
    MouseDown(where, modifiers);
    MouseUp(where, modifiers);
}

void Drag(Point from, Point to, UInt16 modifiers, int steps)
{
    MouseDown(from, modifiers);
    steps = steps < 1 ? 1 : steps;
    for (int i = 1; i <= steps; ++i)
        MouseMove(Point{short(from.v + (to.v - from.v) * i / steps), short(from.h + (to.h - from.h) * i / steps)});
    MouseUp(to, modifiers);
}

void KeyDown(UInt8 charCode, UInt8 keyCode, UInt16 modifiers)
{
    Add(KeyStep(Step::KeyDown, charCode, keyCode, modifiers | gScriptModifiers));
}

void KeyUp(UInt8 charCode, UInt8 keyCode, UInt16 modifiers)
{
    Add(KeyStep(Step::KeyUp, charCode, keyCode, modifiers | gScriptModifiers));
}

void Key(UInt8 charCode, UInt16 modifiers, UInt8 keyCode)
{
    KeyDown(charCode, keyCode, modifiers);
    KeyUp(charCode, keyCode, modifiers);
}

void KeyPress(UInt8 charCode, UInt8 keyCode, UInt16 modifiers, const std::string& text)
{
    Step down = KeyStep(Step::KeyDown, charCode, keyCode, modifiers | gScriptModifiers);
    down.text = text;
    Add(down);
    KeyUp(charCode, keyCode, modifiers);
}

void Type(const std::string& utf8)
{
    Step s;
    s.kind = Step::Text;
    s.text = utf8;
    Add(s);
}

void Pause(UInt32 ticks)
{
    Step s;
    s.kind = Step::Pause;
    s.ticks = ticks;
    Add(s);
}

void SetModifiers(UInt16 modifiers)
{
    gScriptModifiers = modifiers;
    Step s;
    s.kind = Step::Modifiers;
    s.modifiers = modifiers;
    Add(s);
}

void PostEventNow(const EventRecord& ev, const std::string& text) { PostEventRecord(ev, text); }

bool ScriptEmpty() { return Headless().ScriptEmpty(); }

UInt32 Now() { return Headless().Ticks(); }
void AdvanceTicks(UInt32 ticks) { Headless().Advance(ticks); }

void SetIdleProc(std::function<void()> proc) { Headless().SetIdleProc(std::move(proc)); }
void SetWaitLimit(UInt32 ticks) { Headless().SetWaitLimit(ticks); }
void SetWaitLimitProc(std::function<void(const std::string&)> proc) { Headless().SetWaitLimitProc(std::move(proc)); }

void RunEvents(const std::function<void(const EventRecord&)>& handler, int maxEvents)
{
    for (int n = 0; n < maxEvents; ++n) {
        EventRecord ev;
        bool got = WaitNextEvent(everyEvent, &ev, 0, nullptr);
        if (!got) {
            if (ScriptEmpty()) return;
            continue;
        }
        if (handler) {
            handler(ev);
        } else if (ev.what == updateEvt) {
            WindowPtr w = WindowFromEventMessage(ev.message);
            BeginUpdate(w);
            EndUpdate(w);
        }
    }
}

std::vector<WindowState> Windows()
{
    std::vector<WindowState> out;
    for (WindowPtr w : wm::List()) out.push_back(StateOf(w));
    return out;
}

std::vector<WindowState> VisibleWindows()
{
    std::vector<WindowState> out;
    for (WindowPtr w : wm::List())
        if (w->visible) out.push_back(StateOf(w));
    return out;
}

WindowPtr FindWindowByTitle(const std::string& title)
{
    for (WindowPtr w : wm::List())
        if (w->title == title) return w;
    return nullptr;
}

namespace {

Point Middle(const Rect& r)
{
    if (EmptyRect(&r)) return Point{-1, -1};
    return Point{short((r.top + r.bottom) / 2), short((r.left + r.right) / 2)};
}

}  // namespace

Point TitleBarPoint(WindowPtr w) { return wm::IsWindow(w) ? Middle(wm::TitleBarRect(w)) : Point{-1, -1}; }
Point CloseBoxPoint(WindowPtr w) { return wm::IsWindow(w) ? Middle(wm::CloseBoxRect(w)) : Point{-1, -1}; }
Point ZoomBoxPoint(WindowPtr w) { return wm::IsWindow(w) ? Middle(wm::ZoomBoxRect(w)) : Point{-1, -1}; }
Point GrowBoxPoint(WindowPtr w) { return wm::IsWindow(w) ? Middle(wm::GrowBoxRect(w)) : Point{-1, -1}; }

Point ContentPoint(WindowPtr w, short h, short v)
{
    if (!wm::IsWindow(w)) return Point{-1, -1};
    return Point{short(w->portGlobal.v + v - w->portRect.top), short(w->portGlobal.h + h - w->portRect.left)};
}

UInt32 ScreenPixel(short h, short v)
{
    const QDPixels& s = compositor::Compose();
    short scale = UICurrentBackend().Scale();
    return PixelAt(s, h * scale, v * scale);
}

UInt32 PortPixel(GrafPtr port, short h, short v)
{
    if (!port) return 0;
    return PixelAt(port->bits, (h - port->portRect.left) * port->scale, (v - port->portRect.top) * port->scale);
}

bool SaveScreenPNG(const std::string& path) { return WritePNG(compositor::Compose(), path); }

void SetTickByTick(bool on) { Headless().SetTickByTick(on); }

bool SaveAudioWAV(const std::string& path)
{
    return WriteWAV(Headless().AudioRecording(), HeadlessBackend::kAudioRate, HeadlessBackend::kAudioChannels, path);
}

}  // namespace harness
