// Composing the screen.
//
// The whole screen is built again whenever anything changed: the desktop,
// then each visible window from back to front (frame, then its buffer row
// by row), the menu bar, the overlays and the drag outline. Rows are copied
// with memcpy, which keeps a full 1280x800 composition to about a
// millisecond; nothing is composed while nothing changes.
#include "platform/ui/Compositor.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/ui/Backend.h"
#include "platform/ui/WindowFrames.h"
#include "platform/ui/WindowList.h"
#include "platform/ui/WindowManager.h"

namespace {

enum : UInt32 { kDesktop = 0xFF9DA3AA, kMenuBarLine = 0xFF000000 };

struct Overlay {
    GrafPort* port;
    Point where;
};

struct State {
    QDPixels screen;
    bool dirty = true;
    std::unique_ptr<GrafPort> menuBar;
    std::vector<Overlay> overlays;
    std::optional<Rect> outline;
};

State& S()
{
    static State state;
    return state;
}

void FillDesktop(QDPixels& screen)
{
    if (screen.width == 0 || screen.height == 0) return;
    std::fill_n(screen.pixels.begin(), screen.width, kDesktop);
    for (int y = 1; y < screen.height; ++y)
        std::memcpy(&screen.pixels[size_t(y) * screen.width], screen.pixels.data(), size_t(screen.width) * 4);
}

// Copies a port's buffer to the screen with its top-left corner at the
// global point `at`, cut to the screen.
void Blit(QDPixels& screen, const QDPixels& bits, Point at, short scale)
{
    int x0 = at.h * scale, y0 = at.v * scale;
    int left = std::max(0, -x0), top = std::max(0, -y0);
    int right = std::min(bits.width, screen.width - x0), bottom = std::min(bits.height, screen.height - y0);
    if (right <= left || bottom <= top) return;
    for (int y = top; y < bottom; ++y)
        std::memcpy(&screen.pixels[size_t(y0 + y) * screen.width + x0 + left], &bits.pixels[size_t(y) * bits.width + left],
                    size_t(right - left) * 4);
}

void DrawOutline(QDPixels& screen, short scale, const Rect& r)
{
    qd::Paint paint;
    paint.mode = patXor;
    GetQDGlobalsGray(&paint.pat);
    static const std::vector<qd::DevRect> all{qd::DevRect{0, 0, 1 << 30, 1 << 30}};
    auto edge = [&](short top, short left, short bottom, short right) {
        qd::PaintDevice(screen, all, qd::DevRect{left * scale, top * scale, right * scale, bottom * scale}, paint, scale);
    };
    edge(r.top, r.left, short(r.top + 1), r.right);
    edge(short(r.bottom - 1), r.left, r.bottom, r.right);
    edge(short(r.top + 1), r.left, short(r.bottom - 1), short(r.left + 1));
    edge(short(r.top + 1), short(r.right - 1), short(r.bottom - 1), r.right);
}

void MatchScreenSize()
{
    UIBackend& b = UICurrentBackend();
    QDPixels& s = S().screen;
    int w = b.ScreenWidth() * b.Scale(), h = b.ScreenHeight() * b.Scale();
    if (s.width != w || s.height != h) {
        s.width = w;
        s.height = h;
        s.pixels.assign(size_t(w) * h, kDesktop);
    }
}

// The line under the menu bar, across the whole screen.
void DrawMenuBarLine(GrafPort* port)
{
    GrafPtr saved = qd::CurrentPort();
    SetPort(port);
    MoveTo(0, short(kMenuBarHeight - 1));
    LineTo(port->portRect.right, short(kMenuBarHeight - 1));
    SetPort(saved);
}

void InitMenuBar(GrafPort* port)
{
    UIBackend& b = UICurrentBackend();
    qd::InitPort(port, b.ScreenWidth(), kMenuBarHeight, b.Scale());
    DrawMenuBarLine(port);
}

}  // namespace

namespace qd {
void MarkScreenDirty() { S().dirty = true; }
}  // namespace qd

namespace compositor {

const QDPixels& Compose()
{
    MatchScreenSize();
    State& st = S();
    short scale = UICurrentBackend().Scale();
    FillDesktop(st.screen);
    std::vector<WindowPtr>& list = wm::List();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        WindowPtr w = *it;
        if (!w->visible) continue;
        frames::Draw(st.screen, scale, w);
        Blit(st.screen, w->bits, w->portGlobal, w->scale);
    }
    GrafPort* bar = MenuBarPort();
    Blit(st.screen, bar->bits, Point{0, 0}, bar->scale);
    for (const Overlay& o : st.overlays) Blit(st.screen, o.port->bits, o.where, o.port->scale);
    if (st.outline) DrawOutline(st.screen, scale, *st.outline);
    st.dirty = false;
    return st.screen;
}

void Flush()
{
    UIBackend& b = UICurrentBackend();
    if (!b.IsInteractive()) return;
    const QDPixels& s = Compose();
    b.Present(s.pixels.data(), s.width, s.height);
}

void PresentIfNeeded()
{
    if (S().dirty) Flush();
}

void SetOutline(const Rect* global)
{
    if (global)
        S().outline = *global;
    else
        S().outline.reset();
    S().dirty = true;
}

void ScreenResized()
{
    MatchScreenSize();
    if (S().menuBar) {
        GrafPort* bar = S().menuBar.get();
        qd::ResizePort(bar, UICurrentBackend().ScreenWidth(), kMenuBarHeight, 0xFFFFFFFF);
        DrawMenuBarLine(bar);
    }
    S().dirty = true;
}

GrafPort* MenuBarPort()
{
    State& st = S();
    if (!st.menuBar) {
        st.menuBar = std::make_unique<GrafPort>();
        InitMenuBar(st.menuBar.get());
    }
    return st.menuBar.get();
}

void Reset() { S() = State{}; }

}  // namespace compositor

// ---------------------------------------------------------------- the screen seams

CGrafPtr WMMenuBarPort() { return compositor::MenuBarPort(); }

CGrafPtr WMNewPort(short width, short height)
{
    GrafPort* port = new GrafPort;
    qd::InitPort(port, width, height, UICurrentBackend().Scale());
    return port;
}

void WMDisposePort(CGrafPtr port)
{
    if (!port || port->isWindow || port == compositor::MenuBarPort()) return;
    WMHideOverlay(port);
    delete port;
}

void WMShowOverlay(CGrafPtr port, Point globalTopLeft)
{
    if (!port) return;
    WMHideOverlay(port);
    port->portGlobal = globalTopLeft;
    S().overlays.push_back(Overlay{port, globalTopLeft});
    S().dirty = true;
}

void WMHideOverlay(CGrafPtr port)
{
    auto& o = S().overlays;
    auto it = std::remove_if(o.begin(), o.end(), [&](const Overlay& x) { return x.port == port; });
    if (it == o.end()) return;
    o.erase(it, o.end());
    S().dirty = true;
}

void WMFlushScreen() { compositor::Flush(); }

Rect WMScreenBounds()
{
    UIBackend& b = UICurrentBackend();
    return Rect{0, 0, b.ScreenHeight(), b.ScreenWidth()};
}
