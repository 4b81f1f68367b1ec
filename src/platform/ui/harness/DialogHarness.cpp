#include "platform/ui/harness/DialogHarness.h"

#include "platform/ui/dialogs/DialogInternal.h"
#include "platform/ui/controls/ScrollBarGeometry.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"
#include "platform/ui/harness/Harness.h"

namespace harness {

namespace {

Point Middle(const Rect& r) { return Point{short((r.top + r.bottom) / 2), short((r.left + r.right) / 2)}; }

Point ToGlobal(WindowPtr w, Point local)
{
    look::PortScope scope(w);
    LocalToGlobal(&local);
    return local;
}

DialogItemState ItemState(const dialogs::DialogItem& item)
{
    DialogItemState s;
    s.type = item.BaseType();
    s.enabled = item.Enabled();
    s.hidden = item.hidden;
    s.bounds = item.bounds;
    if (item.control != nil) {
        const ControlRecord& c = **item.control;
        s.text = c.contrlTitle;
        s.value = c.contrlValue;
        s.minimum = c.contrlMin;
        s.maximum = c.contrlMax;
        s.hilite = c.contrlHilite;
        s.isDefault = c.isDefault;
    } else if (item.field != nil) {
        s.text = item.field->Text();
        s.selStart = item.field->SelectionStart();
        s.selEnd = item.field->SelectionEnd();
    } else {
        s.text = item.text;
    }
    s.shownText = item.BaseType() == statText ? dialogs::SubstitutedText(item.text) : s.text;
    return s;
}

}  // namespace

DialogPtr FrontDialog()
{
    WindowPtr front = FrontWindow();
    return IsDialogWindow(front) ? front : nullptr;
}

DialogState GetDialogState(DialogPtr d)
{
    if (d == nullptr)
        d = FrontDialog();
    DialogState state;
    dialogs::DialogData* data = dialogs::DataOf(d);
    if (data == nullptr)
        return state;
    state.dialog = d;
    state.title = d->title;
    state.resourceID = data->resourceID;
    state.fromAlert = data->fromAlert;
    state.defaultItem = data->defaultItem;
    state.cancelItem = data->cancelItem;
    state.focusItem = data->focusItem;
    for (const dialogs::DialogItem& item : data->items)
        state.items.push_back(ItemState(item));
    return state;
}

Point DialogItemPoint(DialogPtr d, short item)
{
    const dialogs::DialogItem* it = dialogs::ItemOf(d, item);
    if (it == nullptr)
        return Point{-1, -1};
    return ToGlobal(d, Middle(it->bounds));
}

void ClickDialogItem(DialogPtr d, short item, UInt16 modifiers) { Click(DialogItemPoint(d, item), modifiers); }

ControlState GetControlState(ControlHandle c)
{
    ControlState s;
    if (c == nullptr || *c == nullptr)
        return s;
    s.title = (*c)->contrlTitle;
    s.value = (*c)->contrlValue;
    s.minimum = (*c)->contrlMin;
    s.maximum = (*c)->contrlMax;
    s.hilite = (*c)->contrlHilite;
    s.visible = (*c)->contrlVis;
    s.bounds = (*c)->contrlRect;
    return s;
}

Point ControlPartPoint(ControlHandle c, ControlPartCode part)
{
    if (c == nullptr || *c == nullptr)
        return Point{-1, -1};
    const Rect& bounds = (*c)->contrlRect;
    if (part != kControlUpButtonPart && part != kControlDownButtonPart && part != kControlPageUpPart &&
        part != kControlPageDownPart && part != kControlIndicatorPart)
        return ToGlobal((*c)->contrlOwner, Middle(bounds));
    scrollbar::Geometry g = scrollbar::Measure(c);
    if (!g.active)
        return Point{-1, -1};
    Rect r{};
    switch (part) {
    case kControlUpButtonPart: r = g.upArrow; break;
    case kControlDownButtonPart: r = g.downArrow; break;
    case kControlIndicatorPart: r = g.thumb; break;
    case kControlPageUpPart:
        r = g.track;
        g.vertical ? (r.bottom = g.thumb.top) : (r.right = g.thumb.left);
        break;
    default:
        r = g.track;
        g.vertical ? (r.top = g.thumb.bottom) : (r.left = g.thumb.right);
        break;
    }
    if (!g.hasThumb && (part == kControlPageUpPart || part == kControlPageDownPart || part == kControlIndicatorPart))
        return Point{-1, -1};
    if (EmptyRect(&r))
        return Point{-1, -1};
    return ToGlobal((*c)->contrlOwner, Middle(r));
}

}  // namespace harness
