// The menu bar: which menus it holds, command keys and the title highlight.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/core/Memory.h"
#include "platform/ui/menus/MenuDrawing.h"
#include "platform/ui/menus/MenuInternal.h"
#include "platform/ui/resources/Resources.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

struct MenuBarState {
    std::vector<MenuHandle> menus;
    MenuID hilited = 0;
};

MenuBarState& Bar()
{
    static MenuBarState bar;
    return bar;
}

// A menu list handle: a long count, then the menu handles.
Handle NewMenuList(const std::vector<MenuHandle>& menus)
{
    long count = static_cast<long>(menus.size());
    Handle h = NewHandle(sizeof count + sizeof(MenuHandle) * menus.size());
    if (h == nil)
        return nil;
    std::memcpy(*h, &count, sizeof count);
    if (count > 0)
        std::memcpy(*h + sizeof count, menus.data(), sizeof(MenuHandle) * menus.size());
    return h;
}

std::vector<MenuHandle> ReadMenuList(Handle list)
{
    if (list == nil || *list == nil || size_t(GetHandleSize(list)) < sizeof(long))
        return {};
    long count = 0;
    std::memcpy(&count, *list, sizeof count);
    if (count < 0 || size_t(GetHandleSize(list)) != sizeof count + sizeof(MenuHandle) * count)
        return {};
    std::vector<MenuHandle> menus(count);
    if (count > 0)
        std::memcpy(menus.data(), *list + sizeof count, sizeof(MenuHandle) * count);
    return menus;
}

}  // namespace

namespace menus {

const std::vector<MenuHandle>& BarMenus() { return Bar().menus; }
MenuID HilitedMenu() { return Bar().hilited; }
void SetHilitedMenu(MenuID menuID) { Bar().hilited = menuID; }

void ResetMenuBar()
{
    Bar() = MenuBarState{};
    ForgetLoadedMenus();
}

}  // namespace menus

Handle GetNewMBar(short menuBarID)
{
    const MenuBarTemplate* t = LookupMenuBarTemplate(menuBarID);
    if (t == nil)
        return nil;
    // Each menu bar is built afresh from the templates: a program loads its
    // bar once, and a test that loads it again must not inherit the items
    // an earlier run deleted.
    std::vector<MenuHandle> menus;
    for (short id : t->menuIDs) {
        if (MenuHandle m = menus::BuildMenu(id))
            menus.push_back(m);
    }
    return NewMenuList(menus);
}

void SetMenuBar(Handle menuList)
{
    Bar().menus = ReadMenuList(menuList);
    Bar().hilited = 0;
}

Handle GetMenuBar() { return NewMenuList(Bar().menus); }

void ClearMenuBar()
{
    Bar().menus.clear();
    Bar().hilited = 0;
}

void DrawMenuBar() { menus::DrawBar(); }

short GetMBarHeight() { return kMenuBarHeight; }
void InvalMenuBar() { menus::DrawBar(); }

void InsertMenu(MenuHandle theMenu, MenuID beforeID)
{
    if (theMenu == nil || *theMenu == nil || GetMenuHandle((*theMenu)->menuID) != nil)
        return;
    auto& list = Bar().menus;
    auto at = std::find_if(list.begin(), list.end(), [beforeID](MenuHandle m) { return (*m)->menuID == beforeID; });
    list.insert(beforeID == 0 ? list.end() : at, theMenu);
}

void DeleteMenu(MenuID menuID)
{
    auto& list = Bar().menus;
    list.erase(std::remove_if(list.begin(), list.end(), [menuID](MenuHandle m) { return (*m)->menuID == menuID; }),
               list.end());
    if (Bar().hilited == menuID)
        Bar().hilited = 0;
}

MenuHandle GetMenuHandle(MenuID menuID)
{
    for (MenuHandle m : Bar().menus) {
        if ((*m)->menuID == menuID)
            return m;
    }
    return nil;
}

long MenuKey(CharParameter ch)
{
    const int wanted = std::tolower(ch & 0xFF);
    for (MenuHandle m : Bar().menus) {
        if (!(*m)->enabled)
            continue;
        for (size_t i = 0; i < (*m)->items.size(); ++i) {
            const MenuItemRecord& item = (*m)->items[i];
            if (item.commandKey == 0 || std::tolower(static_cast<unsigned char>(item.commandKey)) != wanted)
                continue;
            if (!menus::IsChoosable(m, short(i + 1)))
                continue;
            HiliteMenu((*m)->menuID);
            return (long((*m)->menuID) << 16) | long(i + 1);
        }
    }
    return 0;
}

void HiliteMenu(MenuID menuID)
{
    if (Bar().hilited == menuID)
        return;
    Bar().hilited = menuID;
    menus::DrawBar();
}

void FlashMenuBar(MenuID menuID)
{
    HiliteMenu(Bar().hilited == menuID ? 0 : menuID);
}
