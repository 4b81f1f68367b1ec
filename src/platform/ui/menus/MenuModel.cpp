// Menus as data: creating them, their items and item attributes.
#include <algorithm>
#include <cctype>
#include <map>

#include "platform/core/PascalStrings.h"
#include "platform/ui/menus/MenuDrawing.h"
#include "platform/ui/menus/MenuInternal.h"
#include "platform/ui/resources/ResourceTemplates.h"

namespace {

// GetMenu hands out one menu per resource number, as the classic call did:
// asking twice gives the same menu, with whatever was changed in it.
std::map<short, MenuHandle>& LoadedMenus()
{
    static std::map<short, MenuHandle> loaded;
    return loaded;
}

// Every menu built from a template, so that a reset can free them all.
std::vector<MenuHandle>& BuiltMenus()
{
    static std::vector<MenuHandle> built;
    return built;
}

void FreeMenu(MenuHandle menu)
{
    delete *menu;
    delete menu;
}

MenuHandle NewMenuHandle(MenuID menuID, std::string title)
{
    auto* info = new MenuInfo;
    info->menuID = menuID;
    info->title = std::move(title);
    return new MenuPtr(info);
}

// Item descriptions are separated by ';' or a return.
std::vector<std::string_view> SplitItems(std::string_view data)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= data.size(); ++i) {
        if (i == data.size() || data[i] == ';' || data[i] == '\r') {
            parts.push_back(data.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

}  // namespace

namespace menus {

void ForgetLoadedMenus()
{
    LoadedMenus().clear();
    for (MenuHandle m : BuiltMenus())
        FreeMenu(m);
    BuiltMenus().clear();
}

MenuItemRecord* ItemOf(MenuHandle menu, short item)
{
    if (menu == nil || *menu == nil || item < 1 || size_t(item) > (*menu)->items.size())
        return nil;
    return &(*menu)->items[item - 1];
}

bool IsSeparator(const MenuItemRecord& item) { return item.text == "-"; }

bool IsChoosable(MenuHandle menu, short item)
{
    const MenuItemRecord* rec = ItemOf(menu, item);
    return rec != nil && (*menu)->enabled && rec->enabled && !IsSeparator(*rec);
}

MenuItemRecord ParseItem(std::string_view description)
{
    MenuItemRecord item;
    for (size_t i = 0; i < description.size(); ++i) {
        char c = description[i];
        bool hasArgument = i + 1 < description.size();
        if (c == '(') {
            item.enabled = false;
        } else if (c == '/' && hasArgument) {
            item.commandKey = description[++i];
        } else if (c == '!' && hasArgument) {
            item.mark = static_cast<unsigned char>(description[++i]);
        } else if (c == '<' && hasArgument) {
            ++i;  // styles are not drawn
        } else if (c == '^' && hasArgument) {
            ++i;  // nor icons
        } else {
            item.text += c;
        }
    }
    if (IsSeparator(item))
        item.enabled = false;
    return item;
}

std::string CommandKeyLabel(char commandKey)
{
    if (commandKey == 0)
        return {};
    // The command key is Ctrl on this host, so that is what the menus say.
    return std::string("Ctrl+") + static_cast<char>(std::toupper(static_cast<unsigned char>(commandKey)));
}

std::string MarkLabel(UInt16 mark)
{
    if (mark == noMark)
        return {};
    if (mark == checkMark)
        return "\xE2\x9C\x93";  // U+2713 CHECK MARK
    if (mark == diamondMark)
        return "\xE2\x97\x86";  // U+25C6 BLACK DIAMOND
    return std::string(1, static_cast<char>(mark));
}

}  // namespace menus

namespace menus {

MenuHandle BuildMenu(short resourceID)
{
    const MenuTemplate* t = LookupMenuTemplate(resourceID);
    if (t == nil)
        return nil;
    MenuHandle menu = NewMenuHandle(resourceID, t->title);
    (*menu)->enabled = t->enabled;
    for (const MenuItemTemplate& it : t->items) {
        MenuItemRecord rec{it.text, it.commandKey, it.enabled, it.mark, 0};
        if (IsSeparator(rec))
            rec.enabled = false;
        (*menu)->items.push_back(rec);
    }
    LoadedMenus()[resourceID] = menu;
    BuiltMenus().push_back(menu);
    return menu;
}

}  // namespace menus

MenuHandle GetMenu(short resourceID)
{
    auto& loaded = LoadedMenus();
    if (auto it = loaded.find(resourceID); it != loaded.end())
        return it->second;
    return menus::BuildMenu(resourceID);
}

MenuHandle NewMenu(MenuID menuID, ConstStr255Param menuTitle)
{
    return NewMenuHandle(menuID, pstr::ToStd(menuTitle));
}

void DisposeMenu(MenuHandle theMenu)
{
    if (theMenu == nil)
        return;
    DeleteMenu((*theMenu)->menuID);
    auto& loaded = LoadedMenus();
    for (auto it = loaded.begin(); it != loaded.end();) {
        it = it->second == theMenu ? loaded.erase(it) : std::next(it);
    }
    auto& built = BuiltMenus();
    built.erase(std::remove(built.begin(), built.end(), theMenu), built.end());
    FreeMenu(theMenu);
}

void AppendMenu(MenuHandle menu, ConstStr255Param data)
{
    InsertMenuItem(menu, data, CountMenuItems(menu));
}

void InsertMenuItem(MenuHandle theMenu, ConstStr255Param itemString, short afterItem)
{
    if (theMenu == nil || *theMenu == nil)
        return;
    auto& items = (*theMenu)->items;
    size_t at = std::clamp<long>(afterItem, 0, long(items.size()));
    const std::string description = pstr::ToStd(itemString);
    for (std::string_view part : SplitItems(description))
        items.insert(items.begin() + at++, menus::ParseItem(part));
}

void AppendResMenu(MenuHandle theMenu, ResType theType) {}

void DeleteMenuItem(MenuHandle theMenu, short item)
{
    if (menus::ItemOf(theMenu, item) != nil)
        (*theMenu)->items.erase((*theMenu)->items.begin() + (item - 1));
}

short CountMenuItems(MenuHandle theMenu)
{
    if (theMenu == nil || *theMenu == nil)
        return 0;
    return static_cast<short>((*theMenu)->items.size());
}

static void SetItemEnabled(MenuHandle theMenu, MenuItemIndex item, bool enabled)
{
    if (theMenu == nil || *theMenu == nil)
        return;
    if (item == 0) {
        // The title of a menu in the bar shows its state at once, so that
        // no caller can forget to redraw it.
        bool changed = (*theMenu)->enabled != enabled;
        (*theMenu)->enabled = enabled;
        if (changed && GetMenuHandle((*theMenu)->menuID) == theMenu)
            menus::DrawBar();
        return;
    }
    if (MenuItemRecord* rec = menus::ItemOf(theMenu, item))
        rec->enabled = enabled;
}

void EnableMenuItem(MenuHandle theMenu, MenuItemIndex item) { SetItemEnabled(theMenu, item, true); }
void DisableMenuItem(MenuHandle theMenu, MenuItemIndex item) { SetItemEnabled(theMenu, item, false); }

Boolean IsMenuItemEnabled(MenuHandle menu, MenuItemIndex item)
{
    if (menu == nil || *menu == nil)
        return false;
    if (item == 0)
        return (*menu)->enabled;
    const MenuItemRecord* rec = menus::ItemOf(menu, item);
    return rec != nil && rec->enabled;
}

void SetMenuItemText(MenuHandle theMenu, short item, ConstStr255Param itemString)
{
    if (MenuItemRecord* rec = menus::ItemOf(theMenu, item))
        rec->text = pstr::ToStd(itemString);
}

void GetMenuItemText(MenuHandle theMenu, short item, Str255 itemString)
{
    const MenuItemRecord* rec = menus::ItemOf(theMenu, item);
    pstr::FromStd(rec != nil ? rec->text : std::string(), itemString);
}

void CheckMenuItem(MenuHandle theMenu, short item, Boolean checked)
{
    SetItemMark(theMenu, item, checked ? checkMark : noMark);
}

void SetItemMark(MenuHandle theMenu, short item, CharParameter markChar)
{
    if (MenuItemRecord* rec = menus::ItemOf(theMenu, item))
        rec->mark = markChar;
}

void GetItemMark(MenuHandle theMenu, short item, CharParameter* markChar)
{
    const MenuItemRecord* rec = menus::ItemOf(theMenu, item);
    if (markChar != nil)
        *markChar = rec != nil ? rec->mark : UInt16(noMark);
}

void SetItemCmd(MenuHandle theMenu, short item, CharParameter cmdChar)
{
    if (MenuItemRecord* rec = menus::ItemOf(theMenu, item))
        rec->commandKey = static_cast<char>(cmdChar);
}

void GetItemCmd(MenuHandle theMenu, short item, CharParameter* cmdChar)
{
    const MenuItemRecord* rec = menus::ItemOf(theMenu, item);
    if (cmdChar != nil)
        *cmdChar = rec != nil ? static_cast<unsigned char>(rec->commandKey) : 0;
}

void SetMenuTitle(MenuHandle theMenu, ConstStr255Param title)
{
    if (theMenu != nil && *theMenu != nil)
        (*theMenu)->title = pstr::ToStd(title);
}

MenuID GetMenuID(MenuHandle menu)
{
    return menu != nil && *menu != nil ? (*menu)->menuID : 0;
}
