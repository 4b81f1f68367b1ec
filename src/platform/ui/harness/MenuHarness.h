// Harness helpers for menus: reading the menu bar and choosing items the
// way a person does, with the mouse.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/menus/Menus.h"

namespace harness {

struct MenuItemState {
    std::string text;
    bool enabled = false;      // the item's own flag
    char commandKey = 0;
    UInt16 mark = 0;
};

struct MenuState {
    MenuID menuID = 0;
    std::string title;
    bool enabled = false;      // the whole menu
    Rect titleRect{};          // global
    std::vector<MenuItemState> items;
};

// The menus of the bar, left to right.
std::vector<MenuState> MenuBarState();
// The menu whose title is highlighted (0: none).
MenuID HilitedMenuID();

// Global points a script can click: the middle of a title, and the middle
// of an item in the menu as it pulls down.
Point MenuTitlePoint(MenuID menuID);
Point MenuItemPoint(MenuID menuID, short item);

// Scripts a press on the title, a move to the item and a release there,
// holding the modifier keys given.
void ScriptMenuChoice(MenuID menuID, short item, UInt16 modifiers = 0);

// Empties the menu bar and forgets loaded menus' highlight; tests call it
// after Start.
void ResetMenus();

}  // namespace harness
