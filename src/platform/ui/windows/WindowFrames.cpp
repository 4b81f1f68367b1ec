// The look of window frames: a clean classic desktop at any scale.
//
// Active document windows show the striped title bar with their close and
// zoom boxes; inactive ones a plain title bar with a grey title and no
// boxes. Modal boxes get a double frame.
#include "platform/ui/windows/WindowFrames.h"

#include <algorithm>

#include "platform/ui/quickdraw/Fonts.h"
#include "platform/ui/quickdraw/RegionData.h"
#include "platform/ui/windows/WindowList.h"

namespace {

enum : UInt32 {
    kFrameActive = 0xFF262626,
    kFrameInactive = 0xFF8C8C8C,
    kShadow = 0xFF5A5E63,
    kTitleFillActive = 0xFFE6E6E6,
    kTitleFillInactive = 0xFFF2F2F2,
    kStripe = 0xFF8F8F8F,
    kStripeLight = 0xFFFFFFFF,
    kTitleText = 0xFF000000,
    kTitleTextInactive = 0xFF8C8C8C,
    kBoxFill = 0xFFFAFAFA,
    kBoxPressed = 0xFF7A7A7A,
    kModalGap = 0xFFDCDCDC,
};

WindowPtr gPressedWindow = nullptr;
short gPressedPart = 0;

// The part of the screen the frame being drawn may touch (the compositor
// leaves out what windows in front cover).
const std::vector<qd::DevRect>* gClip = nullptr;

void Frame(QDPixels& s, short scale, const Rect& r, UInt32 c)
{
    frames::FillScreenRect(s, scale, Rect{r.top, r.left, short(r.top + 1), r.right}, c);
    frames::FillScreenRect(s, scale, Rect{short(r.bottom - 1), r.left, r.bottom, r.right}, c);
    frames::FillScreenRect(s, scale, Rect{r.top, r.left, r.bottom, short(r.left + 1)}, c);
    frames::FillScreenRect(s, scale, Rect{r.top, short(r.right - 1), r.bottom, r.right}, c);
}

Rect Inset(Rect r, short d)
{
    r.top += d;
    r.left += d;
    r.bottom -= d;
    r.right -= d;
    return r;
}

void DrawBox(QDPixels& s, short scale, const Rect& box, bool pressed, bool zoom)
{
    // Clear the stripes around the box, as the classic title bar does.
    frames::FillScreenRect(s, scale, Inset(box, -2), kTitleFillActive);
    frames::FillScreenRect(s, scale, box, pressed ? kBoxPressed : kBoxFill);
    Frame(s, scale, box, kFrameActive);
    if (zoom) Frame(s, scale, Rect{box.top, box.left, short(box.top + 6), short(box.left + 6)}, kFrameActive);
}

void DrawStripes(QDPixels& s, short scale, const Rect& bar)
{
    for (short v = short(bar.top + 4); v + 1 < bar.bottom - 3; v += 2) {
        Rect line{v, short(bar.left + 2), short(v + 1), short(bar.right - 2)};
        frames::FillScreenRect(s, scale, line, kStripe);
        Rect light{short(v + 1), short(bar.left + 3), short(v + 2), short(bar.right - 1)};
        frames::FillScreenRect(s, scale, light, kStripeLight);
    }
}

// The title, centred, cut with an ellipsis when it does not fit.
void DrawTitle(QDPixels& s, short scale, WindowPtr w, const Rect& bar, bool active)
{
    fonts::FontChoice choice{systemFont, 12, bold};
    short room = short(bar.right - bar.left - 2 * 32);
    if (room <= 0) return;
    std::string title = frames::FitTitle(w->title, room, scale);
    auto widthOf = [&](const std::string& t) { return (fonts::TextAdvance(choice, scale, t) + scale - 1) / scale; };
    short width = short(widthOf(title));
    short left = short(bar.left + (bar.right - bar.left - width) / 2);
    if (active) frames::FillScreenRect(s, scale, Rect{bar.top, short(left - 6), bar.bottom, short(left + width + 6)}, kTitleFillActive);
    fonts::Metrics m = fonts::GetMetrics(choice, scale);
    int barTop = bar.top * scale, barHeight = (bar.bottom - bar.top) * scale;
    int baseline = barTop + (barHeight + m.ascent - m.descent) / 2;
    qd::DevRect barArea{bar.left * scale, barTop, bar.right * scale, barTop + barHeight};
    std::vector<qd::DevRect> clip;
    for (const qd::DevRect& c : *gClip) clip.push_back(qd::Intersect(barArea, c));
    fonts::DrawText(s, clip, left * scale, baseline, choice, scale, title, active ? kTitleText : kTitleTextInactive);
}

void DrawDocumentFrame(QDPixels& s, short scale, WindowPtr w)
{
    bool active = w->hilited;
    Rect outer = wm::StructureRect(w);
    frames::FillScreenRect(s, scale, Rect{short(outer.top + 2), outer.right, short(outer.bottom + 1), short(outer.right + 1)}, kShadow);
    frames::FillScreenRect(s, scale, Rect{outer.bottom, short(outer.left + 2), short(outer.bottom + 1), short(outer.right + 1)}, kShadow);
    Frame(s, scale, outer, active ? kFrameActive : kFrameInactive);
    Rect bar = wm::TitleBarRect(w);
    frames::FillScreenRect(s, scale, bar, active ? kTitleFillActive : kTitleFillInactive);
    frames::FillScreenRect(s, scale, Rect{bar.bottom, bar.left, short(bar.bottom + 1), bar.right},
                           active ? kFrameActive : kFrameInactive);
    if (active) DrawStripes(s, scale, bar);
    DrawTitle(s, scale, w, bar, active);
    if (!active) return;
    Rect close = wm::CloseBoxRect(w), zoom = wm::ZoomBoxRect(w);
    if (!EmptyRect(&close)) DrawBox(s, scale, close, gPressedWindow == w && gPressedPart == inGoAway, false);
    if (!EmptyRect(&zoom))
        DrawBox(s, scale, zoom, gPressedWindow == w && (gPressedPart == inZoomIn || gPressedPart == inZoomOut), true);
}

void DrawBoxFrame(QDPixels& s, short scale, WindowPtr w)
{
    Rect outer = wm::StructureRect(w);
    Rect content = wm::ContentRect(w);
    if (w->procID == dBoxProc) {
        frames::FillScreenRect(s, scale, outer, kModalGap);
        Frame(s, scale, outer, kFrameActive);
        Frame(s, scale, Inset(content, -1), kFrameActive);
        return;
    }
    Frame(s, scale, outer, kFrameActive);
    if (w->procID == altDBoxProc) {
        frames::FillScreenRect(s, scale, Rect{short(outer.top + 2), outer.right, short(outer.bottom + 2), short(outer.right + 2)}, kShadow);
        frames::FillScreenRect(s, scale, Rect{outer.bottom, short(outer.left + 2), short(outer.bottom + 2), short(outer.right + 2)}, kShadow);
    }
}

}  // namespace

namespace frames {

std::string FitTitle(const std::string& title, short room, short scale)
{
    fonts::FontChoice choice{systemFont, 12, bold};
    auto widthOf = [&](const std::string& t) { return (fonts::TextAdvance(choice, scale, t) + scale - 1) / scale; };
    if (widthOf(title) <= room) return title;
    const std::string ellipsis = "\xE2\x80\xA6";
    std::string cut = title;
    // Drop whole characters from the end until the rest and the ellipsis fit.
    while (!cut.empty() && widthOf(cut + ellipsis) > room) {
        size_t n = cut.size() - 1;
        while (n > 0 && (static_cast<unsigned char>(cut[n]) & 0xC0) == 0x80) --n;
        cut.resize(n);
    }
    return cut + ellipsis;
}

void FillScreenRect(QDPixels& screen, short scale, const Rect& r, UInt32 color)
{
    qd::Paint paint;
    paint.fg = color;
    qd::DevRect d{r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
    static const std::vector<qd::DevRect> all{qd::DevRect{0, 0, 1 << 30, 1 << 30}};
    qd::PaintDevice(screen, gClip ? *gClip : all, d, paint, scale);
}

void Draw(QDPixels& screen, short scale, WindowPtr w, const std::vector<qd::DevRect>& clip)
{
    if (clip.empty()) return;
    gClip = &clip;
    if (w->hasTitleBar)
        DrawDocumentFrame(screen, scale, w);
    else
        DrawBoxFrame(screen, scale, w);
    gClip = nullptr;
}

std::vector<Rect> Extent(WindowPtr w)
{
    Rect outer = wm::StructureRect(w);
    std::vector<Rect> area = rgn::FromRect(outer);
    short depth = w->hasTitleBar ? 1 : w->procID == altDBoxProc ? 2 : 0;
    if (depth == 0) return area;
    std::vector<Rect> shadow = rgn::Combine(
        rgn::FromRect(Rect{short(outer.top + 2), outer.right, short(outer.bottom + depth), short(outer.right + depth)}),
        rgn::FromRect(Rect{outer.bottom, short(outer.left + 2), short(outer.bottom + depth), short(outer.right + depth)}),
        rgn::Op::Union);
    return rgn::Combine(area, shadow, rgn::Op::Union);
}

void SetPressed(WindowPtr w, short part)
{
    gPressedWindow = w;
    gPressedPart = part;
    qd::MarkScreenDirty();
}

}  // namespace frames
