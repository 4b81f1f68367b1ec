// Composing the screen.
//
// The whole screen is built again whenever anything changed: the visible
// part of each window (frame, then its buffer row by row), the desktop
// around them, the menu bar, the overlays and the drag outline. Rows are
// copied with memcpy and no pixel is painted twice, which keeps a full
// 1280x800 composition to about a millisecond; nothing is composed while
// nothing changes.
#include "platform/ui/windows/Compositor.h"
#include "platform/ui/menus/Menus.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/ui/backend/Backend.h"
#include "platform/ui/quickdraw/RegionData.h"
#include "platform/ui/windows/WindowFrames.h"
#include "platform/ui/windows/WindowList.h"
#include "platform/ui/windows/WindowManager.h"

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

void FillRects(QDPixels& screen, const std::vector<qd::DevRect>& rects, UInt32 color)
{
    for (const qd::DevRect& r0 : rects) {
        qd::DevRect r = qd::Intersect(r0, qd::DevRect{0, 0, screen.width, screen.height});
        for (int y = r.y0; y < r.y1; ++y) std::fill_n(&screen.pixels[size_t(y) * screen.width + r.x0], r.x1 - r.x0, color);
    }
}

// Copies a port's buffer to the screen with its top-left corner at the
// global point `at`, only inside the clip rectangles (device pixels).
void Blit(QDPixels& screen, const QDPixels& bits, Point at, short scale, const std::vector<qd::DevRect>& clip)
{
    int x0 = at.h * scale, y0 = at.v * scale;
    qd::DevRect whole = qd::Intersect(qd::DevRect{x0, y0, x0 + bits.width, y0 + bits.height},
                                      qd::DevRect{0, 0, screen.width, screen.height});
    for (const qd::DevRect& c : clip) {
        qd::DevRect r = qd::Intersect(whole, c);
        if (r.Empty()) continue;
        for (int y = r.y0; y < r.y1; ++y)
            std::memcpy(&screen.pixels[size_t(y) * screen.width + r.x0],
                        &bits.pixels[size_t(y - y0) * bits.width + (r.x0 - x0)], size_t(r.x1 - r.x0) * 4);
    }
}

std::vector<qd::DevRect> ToDevice(const std::vector<Rect>& rects, short scale)
{
    std::vector<qd::DevRect> out;
    for (const Rect& r : rects) out.push_back(qd::DevRect{r.left * scale, r.top * scale, r.right * scale, r.bottom * scale});
    return out;
}

const std::vector<qd::DevRect> kEverywhere{qd::DevRect{0, 0, 1 << 30, 1 << 30}};

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

// Each pixel is written once: going front to back, every window gets the
// part of the screen that nothing in front of it (nor the menu bar) covers,
// and the desktop gets what is left.
const QDPixels& Compose()
{
    MatchScreenSize();
    State& st = S();
    short scale = UICurrentBackend().Scale();
    Rect screen = WMScreenBounds();
    std::vector<Rect> covered = rgn::FromRect(Rect{0, 0, kMenuBarHeight, screen.right});
    for (WindowPtr w : wm::List()) {
        if (!w->visible) continue;
        std::vector<Rect> extent = frames::Extent(w);
        std::vector<qd::DevRect> visible = ToDevice(rgn::Combine(extent, covered, rgn::Op::Diff), scale);
        frames::Draw(st.screen, scale, w, visible);
        // Content beyond a bounded buffer shows white.
        Rect content = wm::ContentRect(w);
        if (w->bits.width < (content.right - content.left) * scale || w->bits.height < (content.bottom - content.top) * scale)
            FillRects(st.screen, ToDevice(rgn::Combine(rgn::FromRect(content), covered, rgn::Op::Diff), scale), 0xFFFFFFFFu);
        Blit(st.screen, w->bits, w->portGlobal, w->scale, visible);
        covered = rgn::Combine(covered, extent, rgn::Op::Union);
    }
    FillRects(st.screen, ToDevice(rgn::Combine(rgn::FromRect(screen), covered, rgn::Op::Diff), scale), kDesktop);
    GrafPort* bar = MenuBarPort();
    Blit(st.screen, bar->bits, Point{0, 0}, bar->scale, kEverywhere);
    for (const Overlay& o : st.overlays) Blit(st.screen, o.port->bits, o.where, o.port->scale, kEverywhere);
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
        // Resizing cleared the bar: the Menu Manager draws its titles again.
        DrawMenuBar();
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
