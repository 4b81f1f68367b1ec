// How push buttons, check boxes, radio buttons and scroll bars look.
#include "platform/ui/controls/ControlInternal.h"
#include "platform/ui/controls/ScrollBarGeometry.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"

namespace controls {

namespace {

constexpr short kBoxSize = 12;       // check box and radio button
constexpr short kTitleGap = 6;       // between the box and its title

bool Inactive(ControlHandle c) { return (*c)->contrlHilite == kControlInactivePart; }
bool Pressed(ControlHandle c) { return (*c)->contrlHilite != 0 && !Inactive(c); }

void SetTextColor(bool inactive)
{
    RGBForeColor(inactive ? &look::kDisabledText : &look::kBlack);
}

void DrawPushButton(ControlHandle c)
{
    Rect r = (*c)->contrlRect;
    Rect ring = r;
    InsetRect(&ring, -4, -4);
    // The corners and the ring's place keep the window's background.
    EraseRect((*c)->isDefault ? &ring : &r);
    if ((*c)->isDefault) {
        // The default button wears a thick ring just outside its frame.
        PenSize(3, 3);
        RGBForeColor(Inactive(c) ? &look::kDisabledText : &look::kBlack);
        FrameRoundRect(&ring, 16, 16);
        PenSize(1, 1);
    }
    const RGBColor& face = Pressed(c) ? look::kFacePressed : look::kFace;
    RGBForeColor(&face);
    PaintRoundRect(&r, 10, 10);
    Rect bevel = r;
    InsetRect(&bevel, 2, 1);
    look::Line(bevel.left, bevel.top, bevel.right - 1, bevel.top, Pressed(c) ? look::kShadow : look::kLight);
    look::Line(bevel.left, bevel.bottom - 1, bevel.right - 1, bevel.bottom - 1,
               Pressed(c) ? look::kLight : look::kShadow);
    RGBForeColor(Inactive(c) ? &look::kShadow : &look::kFrame);
    FrameRoundRect(&r, 10, 10);
    SetTextColor(Inactive(c));
    look::DrawCentered((*c)->contrlTitle, r);
}

Rect BoxRect(ControlHandle c)
{
    const Rect& r = (*c)->contrlRect;
    short top = (r.top + r.bottom - kBoxSize) / 2;
    return Rect{top, short(r.left + 1), short(top + kBoxSize), short(r.left + 1 + kBoxSize)};
}

void DrawCheckMark(const Rect& box)
{
    // Two strokes, two points thick: a tick from the lower left up to the
    // upper right.
    PenSize(2, 2);
    MoveTo(box.left + 2, box.top + 5);
    LineTo(box.left + 4, box.bottom - 4);
    LineTo(box.right - 3, box.top + 2);
    PenSize(1, 1);
}

void DrawToggle(ControlHandle c, bool round)
{
    Rect r = (*c)->contrlRect;
    EraseRect(&r);
    Rect box = BoxRect(c);
    const RGBColor& fill = Pressed(c) ? look::kFacePressed : look::kWhite;
    RGBForeColor(&fill);
    round ? PaintOval(&box) : PaintRect(&box);
    RGBForeColor(Inactive(c) ? &look::kShadow : &look::kFrame);
    round ? FrameOval(&box) : FrameRect(&box);
    short value = (*c)->contrlValue;
    if (value != 0) {
        SetTextColor(Inactive(c));
        if (round) {
            Rect dot = box;
            InsetRect(&dot, 3, 3);
            PaintOval(&dot);
        } else if (value == kControlCheckBoxMixedValue) {
            Rect dash{short(box.top + 5), short(box.left + 3), short(box.top + 7), short(box.right - 3)};
            PaintRect(&dash);
        } else {
            DrawCheckMark(box);
        }
    }
    SetTextColor(Inactive(c));
    short baseline = (r.top + r.bottom + look::Ascent()) / 2 - 1;
    MoveTo(box.right + kTitleGap, baseline);
    look::DrawUtf8((*c)->contrlTitle);
}

// A small filled triangle pointing up, down, left or right inside r.
void DrawArrowGlyph(const Rect& r, bool vertical, bool towardsStart, bool inactive)
{
    RGBForeColor(inactive ? &look::kShadow : &look::kBlack);
    short ch = (r.left + r.right) / 2;
    short cv = (r.top + r.bottom) / 2;
    for (short i = 0; i < 4; ++i) {
        short along = towardsStart ? short(-2 + i) : short(2 - i);
        if (vertical) {
            MoveTo(ch - i, cv + along);
            LineTo(ch + i, cv + along);
        } else {
            MoveTo(ch + along, cv - i);
            LineTo(ch + along, cv + i);
        }
    }
}

void DrawArrowButton(const Rect& r, bool vertical, bool towardsStart, bool pressed, bool inactive)
{
    look::Fill(r, pressed ? look::kFacePressed : look::kFace);
    look::Frame(r, look::kShadow);
    Rect inner = r;
    InsetRect(&inner, 1, 1);
    if (!inactive)
        look::Bevel(inner, pressed);
    DrawArrowGlyph(r, vertical, towardsStart, inactive);
}

void DrawScrollBar(ControlHandle c)
{
    scrollbar::Geometry g = scrollbar::Measure(c);
    const Rect& r = (*c)->contrlRect;
    const bool inactive = Inactive(c) || !g.hasThumb;
    const UInt8 hilite = (*c)->contrlHilite;
    look::Fill(r, inactive ? look::kFace : look::kTrack);
    look::Frame(r, look::kShadow);
    if (!inactive && (hilite == kControlPageUpPart || hilite == kControlPageDownPart)) {
        // The pressed page area darkens between the thumb and its arrow.
        Rect page = g.track;
        if (g.vertical)
            hilite == kControlPageUpPart ? (page.bottom = g.thumb.top) : (page.top = g.thumb.bottom);
        else
            hilite == kControlPageUpPart ? (page.right = g.thumb.left) : (page.left = g.thumb.right);
        look::Fill(page, look::kShadow);
    }
    DrawArrowButton(g.upArrow, g.vertical, true, hilite == kControlUpButtonPart, inactive);
    DrawArrowButton(g.downArrow, g.vertical, false, hilite == kControlDownButtonPart, inactive);
    if (!inactive) {
        look::Fill(g.thumb, hilite == kControlIndicatorPart ? look::kFacePressed : look::kFace);
        look::Frame(g.thumb, look::kFrame);
        Rect inner = g.thumb;
        InsetRect(&inner, 1, 1);
        look::Bevel(inner, false);
    }
}

}  // namespace

void Draw(ControlHandle c)
{
    look::PortScope scope((*c)->contrlOwner);
    look::UseSystemFont();
    switch (KindOf(c)) {
    case Kind::kPushButton: DrawPushButton(c); break;
    case Kind::kCheckBox: DrawToggle(c, false); break;
    case Kind::kRadioButton: DrawToggle(c, true); break;
    case Kind::kScrollBar: DrawScrollBar(c); break;
    }
}

}  // namespace controls
