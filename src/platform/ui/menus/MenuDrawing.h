// How the menu bar and a pulled-down menu look, and where their parts are.
#pragma once

#include <vector>

#include "platform/ui/menus/Menus.h"
#include "platform/ui/quickdraw/QuickDraw.h"

namespace menus {

// Redraws the whole bar into the window manager's menu-bar port.
void DrawBar();

// The titles' rectangles in global coordinates, one per menu of the bar.
std::vector<Rect> TitleRects();

// A pulled-down menu: its place on the screen and its items' rectangles in
// the menu's own port (top-left 0,0).
struct PullDownLayout {
    Rect bounds{};                 // global
    std::vector<Rect> itemRects;   // one per item
};
PullDownLayout LayoutPullDown(MenuHandle menu, const Rect& titleRect);

// Draws the menu into port (sized like layout.bounds); hilitedItem (0: none)
// is drawn selected.
void DrawPullDown(GrafPtr port, MenuHandle menu, const PullDownLayout& layout, short hilitedItem);

}  // namespace menus
