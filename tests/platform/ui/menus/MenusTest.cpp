#include "platform/ui/menus/Menus.h"

#include <algorithm>
#include <functional>

#include "ToolboxTestSupport.h"
#include "platform/core/Memory.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/menus/MenuDrawing.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

// The darkest pixel of a rectangle of a port: text drawn in black reaches
// (almost) black, grey text does not.
UInt32 DarkestLevel(GrafPtr port, const Rect& r)
{
    UInt32 darkest = 255;
    for (short v = r.top; v < r.bottom; ++v) {
        for (short h = r.left; h < r.right; ++h) {
            UInt32 p = harness::PortPixel(port, h, v);
            UInt32 level = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
            darkest = std::min(darkest, level / 3);
        }
    }
    return darkest;
}

class Menus : public HeadlessToolboxTest {
protected:
    void SetUp() override
    {
        HeadlessToolboxTest::SetUp();
        RegisterMenuBarTemplate(128, MenuBarTemplate{{128, 129, 133}});
        RegisterMenuTemplate(128, MenuTemplate{"Orvo", {{"About Orvo", 0, true, 0}}, true});
        RegisterMenuTemplate(129, MenuTemplate{"File",
                                               {{"Open", 'O', true, 0},
                                                {"Close", 'W', true, 0},
                                                {"Save", 'S', false, 0},
                                                {"Save As", 0, true, 0},
                                                {"-", 0, false, 0},
                                                {"Quit", 'Q', true, 0}},
                                               true});
        RegisterMenuTemplate(133, MenuTemplate{"Track", {{"Set Offset", 'T', true, 0}, {"Timing", 'D', true, 0}}, false});
        Handle bar = GetNewMBar(128);
        ASSERT_NE(bar, nullptr);
        SetMenuBar(bar);
        DisposeHandle(bar);
        DrawMenuBar();
    }

    static std::string ItemText(MenuHandle m, short item)
    {
        Str255 text;
        GetMenuItemText(m, item, text);
        return pstr::ToStd(text);
    }
};

// MenuKey finds enabled items of enabled menus, whatever the case, and
// highlights the menu that answered; item 0 stands for the whole menu.
TEST_F(Menus, MenuKeyFindsEnabledItemsOfEnabledMenus)
{
    MenuHandle file = GetMenuHandle(129);
    struct Case {
        std::function<void()> before;
        char key;
        long choice;
    };
    const Case cases[] = {
        {[] {}, 'q', (129L << 16) | 6},
        {[] {}, 'O', (129L << 16) | 1},
        {[] {}, 's', 0},  // Save is disabled
        {[] {}, 't', 0},  // the whole Track menu is disabled
        {[] {}, 'z', 0},
        {[] { EnableMenuItem(GetMenuHandle(133), 0); }, 't', (133L << 16) | 1},
        {[file] { DisableMenuItem(file, 0); }, 'o', 0},
        {[file] { EnableMenuItem(file, 0); }, 'o', (129L << 16) | 1},
    };
    for (const Case& c : cases) {
        c.before();
        EXPECT_EQ(MenuKey(c.key), c.choice) << c.key;
        EXPECT_EQ(harness::HilitedMenuID(), c.choice >> 16) << c.key;
        HiliteMenu(0);
    }
    DisableMenuItem(file, 0);
    EXPECT_FALSE(IsMenuItemEnabled(file, 0));
    EXPECT_TRUE(IsMenuItemEnabled(file, 1)) << "items keep their own flags";
}

// A disabled menu's title greys at once, and so do disabled items.
TEST_F(Menus, DisabledTitlesAndItemsDrawGrey)
{
    Rect title = harness::MenuBarState()[1].titleRect;
    GrafPtr bar = WMMenuBarPort();
    EXPECT_LT(DarkestLevel(bar, title), 0x40u);
    MenuHandle file = GetMenuHandle(129);
    menus::PullDownLayout layout = menus::LayoutPullDown(file, menus::TitleRects()[1]);
    CGrafPtr port = WMNewPort(layout.bounds.right - layout.bounds.left, layout.bounds.bottom - layout.bounds.top);
    menus::DrawPullDown(port, file, layout, 0);
    EXPECT_LT(DarkestLevel(port, layout.itemRects[0]), 0x40u) << "Open is enabled";
    EXPECT_GT(DarkestLevel(port, layout.itemRects[2]), 0x60u) << "Save is disabled";
    WMDisposePort(port);
    DisableMenuItem(file, 0);
    EXPECT_GT(DarkestLevel(bar, title), 0x60u);
}

// Deleting renumbers the items below; loading the bar again starts from
// the templates.
TEST_F(Menus, DeleteMenuItemRenumbersUntilTheBarIsLoadedAgain)
{
    MenuHandle file = GetMenuHandle(129);
    DeleteMenuItem(file, 6);
    DeleteMenuItem(file, 5);
    EXPECT_EQ(CountMenuItems(file), 4);
    EXPECT_EQ(ItemText(file, 4), "Save As");
    EXPECT_EQ(MenuKey('q'), 0) << "Quit is gone";
    DeleteMenuItem(file, 1);
    EXPECT_EQ(ItemText(file, 1), "Close");
    EXPECT_EQ(MenuKey('w'), (129L << 16) | 1);
    DeleteMenuItem(file, 9);  // out of range: nothing happens
    EXPECT_EQ(CountMenuItems(file), 3);
    Handle bar = GetNewMBar(128);
    SetMenuBar(bar);
    DisposeHandle(bar);
    EXPECT_EQ(CountMenuItems(GetMenuHandle(129)), 6);
    EXPECT_EQ(GetMenu(129), GetMenuHandle(129)) << "GetMenu answers the menu of the bar";
    EXPECT_EQ(GetMenuHandle(130), nullptr);
    EXPECT_EQ(GetNewMBar(999), nullptr);
    EXPECT_EQ(GetMenu(999), nullptr);
}

TEST_F(Menus, AppendMenuReadsTheMetacharactersAndSetItemTextDoesNot)
{
    MenuHandle m = NewMenu(200, "Edit"_p);
    AppendMenu(m, "Undo/Z;(-;Cut/X;(Copy;Paste!\x12"_p);
    ASSERT_EQ(CountMenuItems(m), 5);
    EXPECT_EQ(ItemText(m, 1), "Undo");
    CharParameter key = 0;
    GetItemCmd(m, 1, &key);
    EXPECT_EQ(key, 'Z');
    EXPECT_FALSE(IsMenuItemEnabled(m, 2));
    EXPECT_EQ(ItemText(m, 2), "-");
    EXPECT_FALSE(IsMenuItemEnabled(m, 4));
    CharParameter mark = 0;
    GetItemMark(m, 5, &mark);
    EXPECT_EQ(mark, checkMark);
    InsertMenuItem(m, "Redo"_p, 1);
    EXPECT_EQ(ItemText(m, 2), "Redo");
    DisposeMenu(m);
    // Set afterwards, text keeps its metacharacters and a key is found.
    MenuHandle file = GetMenuHandle(129);
    SetMenuItemText(file, 4, "Sauver\xE2\x80\xA6!"_p);
    EXPECT_EQ(ItemText(file, 4), "Sauver\xE2\x80\xA6!");
    SetItemCmd(file, 4, 'K');
    EXPECT_EQ(MenuKey('k'), (129L << 16) | 4);
}

// Each gesture is scripted, then MenuSelect runs on its first mouse-down.
// The chosen menu's title stays highlighted; a gesture that chooses nothing
// gives 0 and leaves no title highlighted.
TEST_F(Menus, MenuSelectGestures)
{
    const Point elsewhere = {400, 400};
    struct Gesture {
        const char* what;
        std::function<void()> script;
        long choice;
    };
    const Gesture gestures[] = {
        {"press on a title, move along the bar and down to an item",
         [] {
             harness::MouseDown(harness::MenuTitlePoint(128));
             harness::MouseMove(harness::MenuTitlePoint(129));
             harness::MouseMove(harness::MenuItemPoint(129, 4));
             harness::MouseUp(harness::MenuItemPoint(129, 4));
         },
         (129L << 16) | 4},
        {"click a title, then click an item",
         [] {
             harness::Click(harness::MenuTitlePoint(129));
             harness::MouseMove(harness::MenuItemPoint(129, 4));
             harness::Click(harness::MenuItemPoint(129, 4));
         },
         (129L << 16) | 4},
        {"arrow keys and Return",
         [] {
             harness::Click(harness::MenuTitlePoint(128));
             harness::Key(0x1D);  // right: the File menu
             harness::Key(0x1F);  // down: Open
             harness::Key(0x1F);  // down: Close
             harness::Key(0x1F);  // down: Save is disabled, Save As
             harness::Key(0x0D);
         },
         (129L << 16) | 4},
        {"up from nothing to the last item, Enter",
         [] {
             harness::Click(harness::MenuTitlePoint(129));
             harness::Key(0x1E);
             harness::Key(0x03);
         },
         (129L << 16) | 6},
        {"a disabled item", [] { harness::ScriptMenuChoice(129, 3); }, 0},
        {"a separator", [] { harness::ScriptMenuChoice(129, 5); }, 0},
        {"an item of a disabled menu", [] { harness::ScriptMenuChoice(133, 1); }, 0},
        {"released outside the menus",
         [elsewhere] {
             harness::MouseDown(harness::MenuTitlePoint(129));
             harness::MouseMove(elsewhere);
             harness::MouseUp(elsewhere);
         },
         0},
        {"open menu, click elsewhere",
         [elsewhere] {
             harness::Click(harness::MenuTitlePoint(129));
             harness::Click(elsewhere);
         },
         0},
        {"open menu, hover an item, click elsewhere",
         [elsewhere] {
             harness::Click(harness::MenuTitlePoint(129));
             harness::MouseMove(harness::MenuItemPoint(129, 2));
             harness::Click(elsewhere);
         },
         0},
        {"open menu, hover an item, Escape",
         [] {
             harness::Click(harness::MenuTitlePoint(129));
             harness::MouseMove(harness::MenuItemPoint(129, 2));
             harness::Key(0x1B);
         },
         0},
        {"open menu, click a disabled item",
         [] {
             harness::Click(harness::MenuTitlePoint(129));
             harness::Click(harness::MenuItemPoint(129, 3));
         },
         0},
        {"open menu left alone", [] { harness::Click(harness::MenuTitlePoint(129)); }, 0},
    };
    for (const Gesture& g : gestures) {
        SCOPED_TRACE(g.what);
        g.script();
        EventRecord ev = NextEventOfKind(mouseDown);
        EXPECT_EQ(MenuSelect(ev.where), g.choice);
        EXPECT_EQ(harness::HilitedMenuID(), g.choice >> 16);
        HiliteMenu(0);
        harness::RunEvents();  // what is left of the gesture
    }
}

}  // namespace
