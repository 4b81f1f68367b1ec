// How a dialog's items look: wrapped static text, edit fields with their
// selection and caret, controls and user items.
#include <algorithm>

#include "platform/ui/dialogs/DialogInternal.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"
#include "platform/ui/quickdraw/Utf8Text.h"

namespace dialogs {

namespace {

constexpr short kFieldInset = 2;   // text inside an edit item's box
constexpr short kFieldFrame = 3;   // the frame sits this far outside the box

// Clips drawing to r for a scope and restores the clip afterwards.
class ClipScope {
public:
    explicit ClipScope(const Rect& r) : saved(NewRgn())
    {
        GetClip(saved);
        RgnHandle clip = NewRgn();
        RectRgn(clip, &r);
        SectRgn(clip, saved, clip);
        SetClip(clip);
        DisposeRgn(clip);
    }
    ~ClipScope()
    {
        SetClip(saved);
        DisposeRgn(saved);
    }

private:
    RgnHandle saved;
};

// Breaks text into lines that fit width, at spaces where it can and
// between characters where a word alone is too wide; returns and newlines
// always break.
std::vector<std::string> WrapLines(const std::string& text, short width)
{
    std::vector<std::string> lines;
    std::string line;
    size_t pos = 0;
    auto flush = [&]() { lines.push_back(line); line.clear(); };
    while (pos < text.size()) {
        if (text[pos] == '\r' || text[pos] == '\n') {
            flush();
            ++pos;
            continue;
        }
        size_t next = utf8::NextBoundary(text, pos);
        std::string candidate = line + text.substr(pos, next - pos);
        if (look::WidthUtf8(candidate) <= width || line.empty()) {
            line = candidate;
            pos = next;
            continue;
        }
        // Too wide: break at the last space of the line if there is one.
        size_t space = line.rfind(' ');
        if (space != std::string::npos && text[pos] != ' ') {
            std::string rest = line.substr(space + 1);
            line.resize(space);
            flush();
            line = rest;
        } else {
            flush();
            if (text[pos] == ' ')
                ++pos;
        }
    }
    if (!line.empty() || lines.empty())
        flush();
    return lines;
}

void DrawStaticText(const DialogItem& item)
{
    EraseRect(&item.bounds);
    ClipScope clip(item.bounds);
    RGBForeColor(&look::kBlack);
    short lineHeight = look::LineHeight();
    short baseline = item.bounds.top + look::Ascent();
    for (const std::string& line : WrapLines(SubstitutedText(item.text), item.bounds.right - item.bounds.left)) {
        MoveTo(item.bounds.left, baseline);
        look::DrawUtf8(line);
        baseline += lineHeight;
    }
}

// Drawn as a sign in a shape: a red octagon-like disc for stop, a blue disc
// for a note, a yellow triangle-like box for caution.
void DrawAlertIcon(short kind)
{
    Rect r{10, 20, 42, 52};
    static const RGBColor kStop{0xD000, 0x2000, 0x2000};
    static const RGBColor kNote{0x2000, 0x6000, 0xD000};
    static const RGBColor kCaution{0xF000, 0xC000, 0x1000};
    const RGBColor& color = kind == kStopIcon ? kStop : kind == kNoteIcon ? kNote : kCaution;
    RGBForeColor(&color);
    if (kind == kCautionIcon)
        PaintRoundRect(&r, 8, 8);
    else
        PaintOval(&r);
    RGBForeColor(kind == kCautionIcon ? &look::kBlack : &look::kWhite);
    TextFace(bold);
    TextSize(20);
    look::DrawCentered(kind == kNoteIcon ? "i" : "!", r);
    look::UseSystemFont();
}

}  // namespace

void DrawEditField(DialogPtr d, short itemNo)
{
    DialogItem* item = ItemOf(d, itemNo);
    if (item == nil || item->field == nil || item->hidden)
        return;
    look::PortScope scope(d);
    look::UseSystemFont();
    const bool focused = DataOf(d)->focusItem == itemNo;
    Rect frame = item->bounds;
    InsetRect(&frame, -kFieldFrame, -kFieldFrame);
    look::Fill(frame, look::kWhite);
    look::Frame(frame, focused ? look::kSelection : look::kShadow);
    Rect inner = item->bounds;
    InsetRect(&inner, -1, -1);
    ClipScope clip(inner);
    const TextEditField& field = *item->field;
    const std::string& text = field.Text();
    const short left = item->bounds.left + kFieldInset - item->scroll;
    const short baseline = (item->bounds.top + item->bounds.bottom + look::Ascent()) / 2 - 1;
    auto xAt = [&](size_t offset) { return short(left + look::WidthUtf8(std::string_view(text).substr(0, offset))); };
    if (focused && field.HasSelection()) {
        Rect sel{item->bounds.top, xAt(field.SelectionStart()), item->bounds.bottom, xAt(field.SelectionEnd())};
        look::Fill(sel, look::kTextSelection);
    }
    RGBForeColor(&look::kBlack);
    MoveTo(left, baseline);
    look::DrawUtf8(text);
    if (focused && !field.HasSelection() && DataOf(d)->caretOn) {
        short x = xAt(field.SelectionStart());
        look::Line(x, item->bounds.top + 1, x, item->bounds.bottom - 2, look::kBlack);
    }
}

void DrawItem(DialogPtr d, short itemNo)
{
    DialogItem* item = ItemOf(d, itemNo);
    if (item == nil || item->hidden)
        return;
    if (item->control != nil) {
        Draw1Control(item->control);
        return;
    }
    if (item->IsEdit()) {
        DrawEditField(d, itemNo);
        return;
    }
    look::PortScope scope(d);
    look::UseSystemFont();
    if (item->BaseType() == statText)
        DrawStaticText(*item);
    else if (item->BaseType() == userItem && item->userProc != nil)
        item->userProc(d, itemNo);
}

size_t OffsetAtPoint(DialogPtr d, short itemNo, Point pt)
{
    DialogItem* item = ItemOf(d, itemNo);
    if (item == nil || item->field == nil)
        return 0;
    look::PortScope scope(d);
    look::UseSystemFont();
    const std::string& text = item->field->Text();
    short x = pt.h - (item->bounds.left + kFieldInset - item->scroll);
    // The boundary nearest to the click: past the middle of a character
    // counts as after it.
    size_t best = 0;
    short bestDistance = std::abs(x);
    for (size_t pos = utf8::NextBoundary(text, 0); pos > 0;) {
        short width = look::WidthUtf8(std::string_view(text).substr(0, pos));
        short distance = std::abs(x - width);
        if (distance < bestDistance) {
            best = pos;
            bestDistance = distance;
        }
        // Widths only grow: once past the click, later boundaries are
        // further away still.
        if (width >= x || pos == text.size())
            break;
        pos = utf8::NextBoundary(text, pos);
    }
    return best;
}

void ScrollToCaret(DialogPtr d, short itemNo)
{
    DialogItem* item = ItemOf(d, itemNo);
    if (item == nil || item->field == nil)
        return;
    look::PortScope scope(d);
    look::UseSystemFont();
    const std::string& text = item->field->Text();
    short visible = item->bounds.right - item->bounds.left - 2 * kFieldInset;
    short caret = look::WidthUtf8(std::string_view(text).substr(0, item->field->ActiveEnd()));
    if (look::WidthUtf8(text) <= visible)
        item->scroll = 0;
    else if (caret - item->scroll > visible)
        item->scroll = caret - visible;
    else if (caret < item->scroll)
        item->scroll = caret;
}

}  // namespace dialogs

using namespace dialogs;

void DrawDialog(DialogPtr theDialog)
{
    DialogData* data = DataOf(theDialog);
    if (data == nil)
        return;
    {
        look::PortScope scope(theDialog);
        EraseRect(&theDialog->portRect);
        if (data->alertIcon != kNoAlertIcon)
            DrawAlertIcon(data->alertIcon);
    }
    for (size_t i = 0; i < data->items.size(); ++i)
        DrawItem(theDialog, short(i + 1));
}

void UpdateDialog(DialogPtr theDialog, RgnHandle updateRgn) { DrawDialog(theDialog); }
