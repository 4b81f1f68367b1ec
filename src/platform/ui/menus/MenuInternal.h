// What the menu files share: the menus in the bar and the highlighted title.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/menus/Menus.h"

namespace menus {

// The menus of the bar, left to right.
const std::vector<MenuHandle>& BarMenus();
MenuID HilitedMenu();
void SetHilitedMenu(MenuID menuID);
// Empties the bar and forgets the menus GetMenu loaded, so that the next
// GetMenu builds them afresh from their templates (tests start from a
// known state).
void ResetMenuBar();
void ForgetLoadedMenus();

// The item record, or nil for an item number out of range.
MenuItemRecord* ItemOf(MenuHandle menu, short item);
bool IsSeparator(const MenuItemRecord& item);
// An item can be chosen when it and its menu are enabled and it is not a
// separator.
bool IsChoosable(MenuHandle menu, short item);

// A new menu from its template, which GetMenu answers from then on; nil
// when there is no template.
MenuHandle BuildMenu(short resourceID);

// Parses one item of AppendMenu's description language.
MenuItemRecord ParseItem(std::string_view description);

// The text drawn for a command key: "Ctrl+X", in the font the bar uses.
std::string CommandKeyLabel(char commandKey);
// The text drawn for a mark: a check for checkMark, else the mark itself.
std::string MarkLabel(UInt16 mark);

}  // namespace menus
