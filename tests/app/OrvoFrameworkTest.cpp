#include <gtest/gtest.h>

#include "AlertScript.h"
#include "app/AppResources.h"
#include "app/OrvoFramework.h"
#include "app/Startup.h"
#include "framework/Window.h"
#include "platform/ui/appleevents/AEDescriptors.h"
#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/system/Gestalt.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/harness/MenuHarness.h"

namespace {

// Posts an Apple event of the core class with an optional list of files.
void PostCoreEvent(AEEventID id, const std::vector<std::string>& paths = {})
{
    AppleEvent event{};
    ASSERT_EQ(AECreateAppleEvent(kCoreEventClass, id, nullptr, kAutoGenerateReturnID, kAnyTransactionID, &event), noErr);
    AEDescList list{};
    AECreateList(nullptr, 0, false, &list);
    for (const std::string& path : paths) {
        FSSpec location{};
        FSPathMakeFSSpec(path.c_str(), &location, nullptr);
        AEPutPtr(&list, 0, typeFSS, &location, sizeof location);
    }
    AEPutParamDesc(&event, keyDirectObject, &list);
    ASSERT_EQ(AEPostAppleEvent(&event), noErr);
    AEDisposeDesc(&list);
    AEDisposeDesc(&event);
}

// Exposes the protected handlers and counts the movie files it is asked to
// load (the viewer window that opens them lands later).
class TestApp : public OrvoFramework {
public:
    using OrvoFramework::HandleMenu;
    using UIEngine::wList;
};

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start(1024, 768);
        ClearResourceTemplates();
        RegisterAppResources();
        ResetGestaltValues();
        gQuitFlag = false;
        gClosingWindow = nullptr;
        InitApp(app);
    }
    void TearDown() override
    {
        harness::SetIdleProc(nullptr);
        while (app.wList != nullptr)
            delete app.wList->win;
        gQuitFlag = false;
        gClosingWindow = nullptr;
    }

    long Choose(short menu, short item, UInt16 modifiers = 0)
    {
        EventRecord er{};
        er.what = mouseDown;
        er.modifiers = modifiers;
        return app.HandleMenu(er, (long(menu) << 16) | item);
    }

    // Runs passes of the main loop until the queue and script are empty.
    std::vector<long> RunLoop(int passes = 20)
    {
        std::vector<long> results;
        for (int i = 0; i < passes; ++i)
            results.push_back(app.Idle());
        return results;
    }

    TestApp app;
};

TEST_F(FrameworkTest, AboutBoxOpensFromTheAppleMenuAndClosesOnTheFirstItemHit)
{
    auto& shown = AnswerDialogsWith(1);
    EXPECT_EQ(Choose(kAppleMenuID, 1), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "About Orvo");
    EXPECT_EQ(harness::FrontDialog(), nullptr);
}

TEST_F(FrameworkTest, AboutBoxThroughTheMenuBar)
{
    auto& shown = AnswerDialogsWith(1);
    harness::ScriptMenuChoice(kAppleMenuID, 1);
    RunLoop(5);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(harness::HilitedMenuID(), 0);  // the title highlight is removed
}

TEST_F(FrameworkTest, CloseWithoutARegisteredFrontWindowNamesNoWindow)
{
    gClosingWindow = reinterpret_cast<Window*>(0x1);  // must be overwritten
    EXPECT_EQ(Choose(kFileMenuID, kFileCloseItem), 2);
    EXPECT_EQ(gClosingWindow, nullptr);
}

TEST_F(FrameworkTest, CloseNamesTheRegisteredFrontWindow)
{
    auto* w = new Window();
    app.AddWindow(w);
    EXPECT_EQ(Choose(kFileMenuID, kFileCloseItem), 2);
    EXPECT_EQ(gClosingWindow, w);
}

TEST_F(FrameworkTest, QuitCommandKeyClosesEveryWindowAndEndsTheLoop)
{
    app.AddWindow(new Window());
    app.AddWindow(new Window());
    harness::Key('q', cmdKey);
    std::vector<long> results = RunLoop(10);
    EXPECT_NE(std::find(results.begin(), results.end(), 1), results.end());
    EXPECT_EQ(app.wList, nullptr);
}

TEST_F(FrameworkTest, OtherMenusDoNothingAndEveryChoiceRemovesTheHighlight)
{
    HiliteMenu(kFileMenuID);
    EXPECT_EQ(Choose(kAppleMenuID, 2), 0);
    EXPECT_EQ(harness::HilitedMenuID(), 0);
    HiliteMenu(kTimeMenuID);
    EXPECT_EQ(Choose(kTimeMenuID, 1), 0);
    EXPECT_EQ(harness::HilitedMenuID(), 0);
    EXPECT_EQ(Choose(0, 0), 0);
}

TEST_F(FrameworkTest, OpenApplicationReopenAndPrintDoNothing)
{
    AEPostOpenApplication();
    PostCoreEvent(kAEReopenApplication);
    PostCoreEvent(kAEPrintDocuments, {"/nonexistent/a.mov"});
    for (long r : RunLoop(5))
        EXPECT_EQ(r, 0);
    EXPECT_EQ(app.wList, nullptr);
    EXPECT_FALSE(gQuitFlag);
}

TEST_F(FrameworkTest, OpenDocumentsWithAnEmptyListOpensNothing)
{
    AEPostOpenDocuments({});
    for (long r : RunLoop(3))
        EXPECT_EQ(r, 0);
    EXPECT_EQ(app.wList, nullptr);
}

TEST_F(FrameworkTest, QuitAppleEventAsksEveryWindowInTheSamePass)
{
    app.AddWindow(new Window());
    harness::RunEvents();  // the new window's activate and update events
    AEPostQuitApplication();
    std::vector<long> results = RunLoop(3);
    EXPECT_TRUE(gQuitFlag);
    EXPECT_EQ(results.front(), 1);  // the event's own pass closes and quits
    EXPECT_EQ(app.wList, nullptr);
}

TEST_F(FrameworkTest, CommandKeysOfTheMenus)
{
    struct Key {
        char key;
        short menu;
        short item;
    };
    // Enable everything so each key can be matched.
    for (short menu : {kFileMenuID, kSizeMenuID, kTimeMenuID, kTrackMenuID}) {
        EnableMenuItem(GetMenuHandle(menu), 0);
        for (short item = 1; item <= CountMenuItems(GetMenuHandle(menu)); ++item)
            EnableMenuItem(GetMenuHandle(menu), item);
    }
    const Key keys[] = {{'o', kFileMenuID, 1},  {'w', kFileMenuID, 2},  {'s', kFileMenuID, 3},
                        {'q', kFileMenuID, 6},  {'1', kSizeMenuID, 2},  {'2', kSizeMenuID, 3},
                        {'r', kTimeMenuID, 1},  {'l', kTimeMenuID, 2},  {'t', kTrackMenuID, 1},
                        {'d', kTrackMenuID, 2}, {'i', kTrackMenuID, 3}, {'e', kTrackMenuID, 5}};
    for (const Key& k : keys)
        EXPECT_EQ(MenuKey(k.key), (long(k.menu) << 16) | k.item) << k.key;
}

TEST_F(FrameworkTest, WindowCommandsStartDisabled)
{
    auto menus = harness::MenuBarState();
    ASSERT_EQ(menus.size(), 5u);
    EXPECT_TRUE(menus[1].items[0].enabled);
    EXPECT_FALSE(menus[1].items[1].enabled);
    EXPECT_FALSE(menus[1].items[2].enabled);
    EXPECT_FALSE(menus[1].items[3].enabled);
    EXPECT_TRUE(menus[1].items[5].enabled);
    EXPECT_FALSE(menus[2].enabled);
    EXPECT_FALSE(menus[3].enabled);
    EXPECT_FALSE(menus[4].enabled);
}

}  // namespace
