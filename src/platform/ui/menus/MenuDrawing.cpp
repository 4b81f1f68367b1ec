#include "platform/ui/menus/MenuDrawing.h"

#include <algorithm>

#include "platform/ui/menus/MenuInternal.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"
#include "platform/ui/windows/WindowManager.h"

namespace menus {

namespace {

constexpr short kFirstTitleLeft = 8;
constexpr short kTitlePadding = 9;      // each side of a title
constexpr short kItemHeight = 19;
constexpr short kSeparatorHeight = 9;
constexpr short kMarkColumn = 18;       // left of the item texts
constexpr short kCommandGap = 28;       // between text and command key
constexpr short kRightPadding = 12;
constexpr short kMenuBorder = 1;

void DrawTitle(MenuHandle menu, const Rect& r, bool hilited)
{
    const bool enabled = (*menu)->enabled;
    if (hilited)
        look::Fill(r, look::kSelection);
    const RGBColor& color = hilited ? look::kWhite : enabled ? look::kBlack : look::kDisabledText;
    RGBForeColor(&color);
    look::DrawCentered((*menu)->title, r);
}

void DrawItem(MenuHandle menu, const MenuItemRecord& item, const Rect& r, bool hilited)
{
    if (IsSeparator(item)) {
        short v = (r.top + r.bottom) / 2;
        look::Line(r.left + 1, v, r.right - 2, v, look::kTrack);
        return;
    }
    const bool enabled = item.enabled && (*menu)->enabled;
    if (hilited && enabled)
        look::Fill(r, look::kSelection);
    const RGBColor& color = hilited && enabled ? look::kWhite : enabled ? look::kBlack : look::kDisabledText;
    RGBForeColor(&color);
    short baseline = (r.top + r.bottom + look::Ascent()) / 2 - 1;
    if (item.mark != noMark) {
        MoveTo(r.left + 4, baseline);
        look::DrawUtf8(MarkLabel(item.mark));
    }
    MoveTo(r.left + kMarkColumn, baseline);
    look::DrawUtf8(item.text);
    if (item.commandKey != 0) {
        std::string label = CommandKeyLabel(item.commandKey);
        MoveTo(r.right - kRightPadding - look::WidthUtf8(label), baseline);
        look::DrawUtf8(label);
    }
}

}  // namespace

std::vector<Rect> TitleRects()
{
    look::PortScope scope(WMMenuBarPort());
    look::UseSystemFont();
    std::vector<Rect> rects;
    short left = kFirstTitleLeft;
    for (MenuHandle m : BarMenus()) {
        short width = look::WidthUtf8((*m)->title) + 2 * kTitlePadding;
        rects.push_back(Rect{0, left, kMenuBarHeight, short(left + width)});
        left += width;
    }
    return rects;
}

void DrawBar()
{
    std::vector<Rect> titles = TitleRects();
    CGrafPtr port = WMMenuBarPort();
    look::PortScope scope(port);
    look::UseSystemFont();
    Rect bar = port->portRect;
    look::Fill(bar, look::kMenuBack);
    look::Line(bar.left, bar.bottom - 1, bar.right, bar.bottom - 1, look::kShadow);
    const auto& menus = BarMenus();
    for (size_t i = 0; i < menus.size(); ++i)
        DrawTitle(menus[i], titles[i], (*menus[i])->menuID == HilitedMenu());
}

PullDownLayout LayoutPullDown(MenuHandle menu, const Rect& titleRect)
{
    look::PortScope scope(WMMenuBarPort());
    look::UseSystemFont();
    short textWidth = 0;
    short commandWidth = 0;
    for (const MenuItemRecord& item : (*menu)->items) {
        textWidth = std::max(textWidth, look::WidthUtf8(item.text));
        if (item.commandKey != 0)
            commandWidth = std::max(commandWidth, look::WidthUtf8(CommandKeyLabel(item.commandKey)));
    }
    short width = kMarkColumn + textWidth + (commandWidth > 0 ? kCommandGap + commandWidth : 0) + kRightPadding;
    width = std::max<short>(width + 2 * kMenuBorder, titleRect.right - titleRect.left);
    PullDownLayout layout;
    short v = kMenuBorder + 2;
    for (const MenuItemRecord& item : (*menu)->items) {
        short h = IsSeparator(item) ? kSeparatorHeight : kItemHeight;
        layout.itemRects.push_back(Rect{v, kMenuBorder, short(v + h), short(width - kMenuBorder)});
        v += h;
    }
    short height = v + 2 + kMenuBorder;
    // Keep the menu on the screen when its title sits near the right edge.
    Rect screen = WMScreenBounds();
    short left = std::min<short>(titleRect.left, screen.right - width);
    layout.bounds = Rect{kMenuBarHeight, std::max<short>(left, 0), short(kMenuBarHeight + height),
                         short(std::max<short>(left, 0) + width)};
    return layout;
}

void DrawPullDown(GrafPtr port, MenuHandle menu, const PullDownLayout& layout, short hilitedItem)
{
    look::PortScope scope(port);
    look::UseSystemFont();
    Rect r = port->portRect;
    look::Fill(r, look::kMenuBack);
    look::Frame(r, look::kShadow);
    const auto& items = (*menu)->items;
    for (size_t i = 0; i < items.size() && i < layout.itemRects.size(); ++i)
        DrawItem(menu, items[i], layout.itemRects[i], short(i + 1) == hilitedItem);
}

}  // namespace menus
