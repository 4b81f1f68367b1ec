// The Menu Manager subset: a menu bar of pull-down menus, command keys, and
// tracking a click in the bar.
//
// Menu choices are longs with the menu ID in the high 16 bits and the item
// number (from 1) in the low 16 bits; 0 means no choice. Item 0 in the
// enabling calls stands for the whole menu. Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

#include "platform/core/MacTypes.h"

struct MenuItemRecord {
    std::string text;          // "-" is a separator line
    char commandKey = 0;       // 0: none
    bool enabled = true;
    UInt16 mark = 0;           // 0: none
    unsigned char style = 0;
};

struct MenuInfo {
    short menuID = 0;
    std::string title;
    bool enabled = true;       // the whole menu
    std::vector<MenuItemRecord> items;
};
typedef MenuInfo* MenuPtr;
typedef MenuPtr* MenuHandle;
typedef MenuHandle MenuRef;
typedef SInt16 MenuID;
typedef UInt16 MenuItemIndex;
typedef UInt16 CharParameter;

enum {
    noMark = 0,
    checkMark = 0x12,
    diamondMark = 0x13,
    hMenuCmd = 0x1B,
};

// Menus and menu lists from the resource registry.
MenuHandle GetMenu(short resourceID);
Handle GetNewMBar(short menuBarID);

// The menu bar: SetMenuBar installs a menu list (from GetNewMBar or
// GetMenuBar); the caller keeps the list and may dispose of it.
void SetMenuBar(Handle menuList);
Handle GetMenuBar();
void ClearMenuBar();
void DrawMenuBar();
// The height of the menu bar at the top of the screen.
short GetMBarHeight();
void InvalMenuBar();
// beforeID 0 appends at the right; a menu already in the bar stays where it is.
void InsertMenu(MenuHandle theMenu, MenuID beforeID);
void DeleteMenu(MenuID menuID);
MenuHandle GetMenuHandle(MenuID menuID);
#define GetMHandle GetMenuHandle

// Menus built in code.
MenuHandle NewMenu(MenuID menuID, ConstStr255Param menuTitle);
void DisposeMenu(MenuHandle theMenu);
// Appends items from a description with the classic metacharacters:
// ';' separates items, '(' disables, '/x' gives command key x, '!c' a mark,
// '<' a style, '^' an icon (ignored). "(-" is a separator line.
void AppendMenu(MenuHandle menu, ConstStr255Param data);
void InsertMenuItem(MenuHandle theMenu, ConstStr255Param itemString, short afterItem);
// Desk accessories do not exist here: 'DRVR' (or any other type) adds nothing.
void AppendResMenu(MenuHandle theMenu, ResType theType);
void DeleteMenuItem(MenuHandle theMenu, short item);
short CountMenuItems(MenuHandle theMenu);
#define CountMItems CountMenuItems

void EnableMenuItem(MenuHandle theMenu, MenuItemIndex item);
void DisableMenuItem(MenuHandle theMenu, MenuItemIndex item);
#define EnableItem EnableMenuItem
#define DisableItem DisableMenuItem
Boolean IsMenuItemEnabled(MenuHandle menu, MenuItemIndex item);

void SetMenuItemText(MenuHandle theMenu, short item, ConstStr255Param itemString);
void GetMenuItemText(MenuHandle theMenu, short item, Str255 itemString);
#define SetItem SetMenuItemText
#define GetItem GetMenuItemText
void CheckMenuItem(MenuHandle theMenu, short item, Boolean checked);
#define CheckItem CheckMenuItem
void SetItemMark(MenuHandle theMenu, short item, CharParameter markChar);
void GetItemMark(MenuHandle theMenu, short item, CharParameter* markChar);
void SetItemCmd(MenuHandle theMenu, short item, CharParameter cmdChar);
void GetItemCmd(MenuHandle theMenu, short item, CharParameter* cmdChar);
void SetMenuTitle(MenuHandle theMenu, ConstStr255Param title);
MenuID GetMenuID(MenuHandle menu);

// Tracks the mouse from a mouse-down at startPt (global) through the
// pulled-down menus until the button is released. The chosen title stays
// highlighted until HiliteMenu(0).
long MenuSelect(Point startPt);
// The enabled item of an enabled menu in the bar whose command key is ch,
// without regard to case; its title is highlighted. 0 when none.
long MenuKey(CharParameter ch);
// Highlights the title of menuID (0: none).
void HiliteMenu(MenuID menuID);
void FlashMenuBar(MenuID menuID);
