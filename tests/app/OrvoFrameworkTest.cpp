#include <gtest/gtest.h>

#include "DialogScript.h"
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

// Exposes the menu handler and the registry.
class TestApp : public OrvoFramework {
public:
    using OrvoFramework::HandleMenu;
    bool NoWindows() const { return windows.empty(); }
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

// The About box, the menus' highlight and quitting are end to end in
// tests/scenarios (about.scn, menus.cases, quit.cases).

// Close names the registered front window, or none (never a stale one).
TEST_F(FrameworkTest, CloseNamesTheRegisteredFrontWindowOrNone)
{
    gClosingWindow = reinterpret_cast<Window*>(0x1);
    EXPECT_EQ(Choose(kFileMenuID, kFileCloseItem), kDispatchCloseWindow);
    EXPECT_EQ(gClosingWindow, nullptr);
    auto* w = new Window();
    app.AddWindow(w);
    EXPECT_EQ(Choose(kFileMenuID, kFileCloseItem), kDispatchCloseWindow);
    EXPECT_EQ(gClosingWindow, w);
}

// Every required event has a handler (a missing one would raise the error
// alert); these open no window and do not quit.
TEST_F(FrameworkTest, RequiredAppleEventsThatOpenNothingAreHandledQuietly)
{
    DialogScript script;
    AEPostOpenApplication();
    PostCoreEvent(kAEReopenApplication);
    PostCoreEvent(kAEPrintDocuments, {"/nonexistent/a.mov"});
    AEPostOpenDocuments({});
    for (long r : RunLoop(6))
        EXPECT_EQ(r, kDispatchNothing);
    EXPECT_TRUE(script.unexpected.empty());
    EXPECT_TRUE(app.NoWindows());
    EXPECT_FALSE(gQuitFlag);
}

}  // namespace
