#include "platform/ui/harness/MenuHarness.h"

#include "platform/ui/menus/MenuDrawing.h"
#include "platform/ui/menus/MenuInternal.h"
#include "platform/ui/harness/Harness.h"

namespace harness {

namespace {

Point Middle(const Rect& r) { return Point{short((r.top + r.bottom) / 2), short((r.left + r.right) / 2)}; }

int IndexOf(MenuID menuID)
{
    const auto& bar = menus::BarMenus();
    for (size_t i = 0; i < bar.size(); ++i) {
        if ((*bar[i])->menuID == menuID)
            return int(i);
    }
    return -1;
}

}  // namespace

std::vector<MenuState> MenuBarState()
{
    std::vector<MenuState> states;
    std::vector<Rect> titles = menus::TitleRects();
    const auto& bar = menus::BarMenus();
    for (size_t i = 0; i < bar.size(); ++i) {
        MenuState s;
        s.menuID = (*bar[i])->menuID;
        s.title = (*bar[i])->title;
        s.enabled = (*bar[i])->enabled;
        s.titleRect = titles[i];
        for (const MenuItemRecord& item : (*bar[i])->items)
            s.items.push_back(MenuItemState{item.text, item.enabled, item.commandKey, item.mark});
        states.push_back(std::move(s));
    }
    return states;
}

MenuID HilitedMenuID() { return menus::HilitedMenu(); }

Point MenuTitlePoint(MenuID menuID)
{
    int index = IndexOf(menuID);
    if (index < 0)
        return Point{-1, -1};
    return Middle(menus::TitleRects()[index]);
}

Point MenuItemPoint(MenuID menuID, short item)
{
    int index = IndexOf(menuID);
    if (index < 0)
        return Point{-1, -1};
    MenuHandle menu = menus::BarMenus()[index];
    menus::PullDownLayout layout = menus::LayoutPullDown(menu, menus::TitleRects()[index]);
    if (item < 1 || size_t(item) > layout.itemRects.size())
        return Point{-1, -1};
    Point p = Middle(layout.itemRects[item - 1]);
    return Point{short(p.v + layout.bounds.top), short(p.h + layout.bounds.left)};
}

void ScriptMenuChoice(MenuID menuID, short item, UInt16 modifiers)
{
    Point title = MenuTitlePoint(menuID);
    Point target = MenuItemPoint(menuID, item);
    MouseDown(title, modifiers);
    MouseMove(Point{short(title.v + 10), title.h});
    MouseMove(target);
    MouseUp(target, modifiers);
}

void ResetMenus() { menus::ResetMenuBar(); }

}  // namespace harness
