#include <gtest/gtest.h>

#include "TestWindows.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/menus/Menus.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/harness/Harness.h"

namespace {

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start(800, 600);
        ClearResourceTemplates();
        CallLog().clear();
        gQuitFlag = false;
        gClosingWindow = nullptr;
        RegisterMenuBarTemplate(128, MenuBarTemplate{{128, 129}});
        RegisterMenuTemplate(128, MenuTemplate{"Orvo", {{"About", 0, true, 0}}, true});
        RegisterMenuTemplate(129, MenuTemplate{"File", {{"Open", 'O', true, 0}, {"Close", 'W', true, 0},
                                                        {"Gone", 'G', false, 0}}, true});
        engine.LoadMenuBar(128);
    }
    void TearDown() override
    {
        gQuitFlag = false;
        gClosingWindow = nullptr;
    }

    TestWindow* Open(const std::string& name)
    {
        auto* w = new TestWindow(name);
        engine.AddWindow(w);
        harness::RunEvents();  // the new window's activate and update events
        return w;
    }

    std::vector<std::string> Registry() const { return engine.Registry(); }

    EventRecord Event(UInt16 what, unsigned long message = 0, UInt16 modifiers = 0, Point where = {300, 400})
    {
        EventRecord er{};
        er.what = what;
        er.message = message;
        er.modifiers = modifiers;
        er.where = where;
        return er;
    }

    TestEngine engine;
};

TEST_F(EngineTest, RegistryRunsFromNewestToOldestAndSurvivesRemovals)
{
    TestWindow* a = Open("a");
    TestWindow* b = Open("b");
    TestWindow* c = Open("c");
    TestWindow* d = Open("d");
    engine.AddWindow(b);  // a second registration neither moves nor doubles it
    EXPECT_EQ(Registry(), (std::vector<std::string>{"d", "c", "b", "a"}));
    EXPECT_EQ(a->uiRef, &engine);

    TestWindow stranger("stranger");
    engine.RemoveWindow(&stranger);
    EXPECT_EQ(Registry(), (std::vector<std::string>{"d", "c", "b", "a"}));

    delete c;  // middle
    EXPECT_EQ(Registry(), (std::vector<std::string>{"d", "b", "a"}));
    delete d;  // newest
    EXPECT_EQ(Registry(), (std::vector<std::string>{"b", "a"}));
    delete a;  // oldest
    EXPECT_EQ(Registry(), (std::vector<std::string>{"b"}));
    delete b;  // the only one
    EXPECT_TRUE(engine.Empty());
}

TEST_F(EngineTest, WindowsStillOpenAreDeletedWithTheEngineNewestFirst)
{
    int destroyed = 0;
    {
        TestEngine local;
        for (const char* name : {"old", "new"}) {
            auto* w = new TestWindow(name);
            w->destroyedCount = &destroyed;
            local.AddWindow(w);
        }
        CallLog().clear();
    }
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(CallLog(), (std::vector<std::string>{"new.destroyed", "old.destroyed"}));
}

// Without windows, clicks and keys yield nothing; a command key still goes
// through MenuKey to the application, and so does a disabled item's key
// (choice 0) and menu tracking that ends on the desktop (choice 0).
TEST_F(EngineTest, MenuChoicesReachTheApplicationEvenWithoutWindows)
{
    harness::PostEventNow(Event(mouseDown, 0, 0, {300, 400}));
    EXPECT_EQ(engine.Idle(), kDispatchNothing);
    harness::PostEventNow(Event(keyDown, 'x'));
    EXPECT_EQ(engine.Idle(), kDispatchNothing);
    EXPECT_EQ(engine.Idle(), kDispatchNothing);  // null event
    EXPECT_TRUE(engine.appMenuChoices.empty());

    harness::PostEventNow(Event(keyDown, 'w', cmdKey));
    engine.Idle();
    harness::PostEventNow(Event(keyDown, 'g', cmdKey));
    engine.Idle();
    harness::MouseDown({5, 20});
    harness::MouseMove({300, 400});
    harness::MouseUp({300, 400});
    engine.Idle();
    EXPECT_EQ(engine.appMenuChoices, (std::vector<long>{(129L << 16) | 2, 0, 0}));
}

TEST_F(EngineTest, NewestWindowPreHandlesFirstAndAClaimEndsThePass)
{
    Open("old");
    TestWindow* young = Open("young");
    young->claimWith = 42;
    CallLog().clear();
    EXPECT_EQ(engine.Idle(), 42);
    EXPECT_EQ(CallLog(), (std::vector<std::string>{"young.PreHandleEvent"}));

    young->claimWith = -1;
    CallLog().clear();
    engine.Idle();
    EXPECT_EQ(CallLog(), (std::vector<std::string>{"young.PreHandleEvent", "old.PreHandleEvent"}));
}

TEST_F(EngineTest, CommandAutoKeyGoesToTheFrontWindowNotTheMenus)
{
    TestWindow* w = Open("w");
    harness::PostEventNow(Event(autoKey, 'w', cmdKey));
    engine.Idle();
    EXPECT_TRUE(engine.appMenuChoices.empty());
    EXPECT_EQ(w->lastEventKind, autoKey);
}

TEST_F(EngineTest, FrontWindowThatStopsAMenuChoiceKeepsItFromTheApplication)
{
    TestWindow* w = Open("w");
    w->continueMenus = false;
    w->menuResult = 7;
    harness::PostEventNow(Event(keyDown, 'o', cmdKey));
    EXPECT_EQ(engine.Idle(), 7);
    EXPECT_EQ(w->lastMenuChoice, (129L << 16) | 1);
    EXPECT_TRUE(engine.appMenuChoices.empty());

    w->continueMenus = true;
    engine.appMenuResult = 5;
    harness::PostEventNow(Event(keyDown, 'o', cmdKey));
    EXPECT_EQ(engine.Idle(), 5);  // the window's own result is dropped
    EXPECT_EQ(engine.appMenuChoices.size(), 1u);
}

// An activate event reaches the window it names, even one behind; an
// update comes once for what was invalidated.
TEST_F(EngineTest, ActivateAndUpdateReachTheWindowTheyName)
{
    TestWindow* back = Open("back");
    TestWindow* front = Open("front");
    int activations = back->activations, refreshes = front->refreshCount;
    harness::PostEventNow(Event(activateEvt, reinterpret_cast<unsigned long>(back->Platform()), activeFlag));
    EXPECT_EQ(engine.Idle(), kDispatchNothing);
    EXPECT_EQ(back->activations, activations + 1);
    Rect r = {0, 0, 10, 10};
    InvalWindowRect(front->Platform(), &r);
    engine.Idle();
    engine.Idle();
    EXPECT_EQ(front->refreshCount, refreshes + 1);
}

// A viewer and its tracks window, the one family of windows that close
// each other, are closed and quit every way in tracks.cases.
TEST_F(EngineTest, DeferredCloseDeletesTheWindowOrLeavesARefusingOneNamed)
{
    TestWindow* keeps = Open("keeps");
    keeps->agreeToClose = false;
    keeps->claimWith = kDispatchCloseWindow;
    gClosingWindow = keeps;
    EXPECT_EQ(engine.Idle(), kDispatchCloseWindow);
    EXPECT_EQ(Registry(), (std::vector<std::string>{"keeps"}));
    EXPECT_EQ(gClosingWindow, keeps);

    keeps->agreeToClose = true;
    EXPECT_EQ(engine.Idle(), kDispatchCloseWindow);
    EXPECT_TRUE(engine.Empty());
    EXPECT_EQ(gClosingWindow, nullptr);  // never left naming a deleted window
}

TEST_F(EngineTest, AWindowRefusingToQuitStopsThePassAndTheQuitFlagAsksAgain)
{
    Open("agrees");
    TestWindow* stubborn = Open("stubborn");
    stubborn->agreeToClose = false;
    gQuitFlag = true;
    EXPECT_EQ(engine.Idle(), kDispatchNothing);
    EXPECT_EQ(Registry(), (std::vector<std::string>{"stubborn", "agrees"}));
    CallLog().clear();
    EXPECT_EQ(engine.Idle(), kDispatchNothing);  // asked again on the next pass
    EXPECT_EQ(CallLog().back(), "stubborn.CloseWindow");
    stubborn->agreeToClose = true;
    EXPECT_EQ(engine.Idle(), kDispatchQuit);
    EXPECT_TRUE(engine.Empty());
}

TEST_F(EngineTest, HighLevelEventsGoToTheApplicationWithItsResult)
{
    Open("w")->claimWith = -1;
    engine.appMenuResult = kDispatchQuit;
    harness::PostEventNow(Event(kHighLevelEvent));
    EXPECT_EQ(engine.Idle(), kDispatchQuit);
    EXPECT_EQ(engine.highLevelEvents, 1);
    EXPECT_TRUE(engine.Empty()) << "a quit result closes every window";
}

TEST_F(EngineTest, RefreshWindowIgnoresUnregisteredWindows)
{
    engine.RefreshWindow(static_cast<Window*>(nullptr));
    TestWindow stranger("stranger");
    engine.RefreshWindow(static_cast<WindowPtr>(stranger));
    EXPECT_EQ(stranger.refreshCount, 0);
    TestWindow* w = Open("w");
    engine.RefreshWindow(w->Platform());
    EXPECT_EQ(w->refreshCount, 1);
}

}  // namespace
