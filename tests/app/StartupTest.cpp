#include <gtest/gtest.h>

#include <cstdlib>

#include "AlertScript.h"
#include "app/AppResources.h"
#include "app/OrvoFramework.h"
#include "app/Startup.h"
#include "platform/ui/system/Gestalt.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/harness/MenuHarness.h"

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start(1024, 768);
        ClearResourceTemplates();
        RegisterAppResources();
        ResetGestaltValues();
        gQuitFlag = false;
        gOSX = false;
    }
    void TearDown() override
    {
        ResetGestaltValues();
        harness::SetIdleProc(nullptr);
        gQuitFlag = false;
        gOSX = false;
    }
};

TEST_F(StartupTest, AllServicesPresentShowNoAlert)
{
    auto& shown = AnswerDialogsWith(2);
    EXPECT_TRUE(CheckServices());
    EXPECT_TRUE(shown.empty());
}

TEST_F(StartupTest, MissingAppearanceManagerIsReportedAndStopsTheChecks)
{
    DeleteGestaltValue(gestaltAppearanceAttr);
    DeleteGestaltValue(gestaltQuickTime);  // would be a second alert if tested
    auto& shown = AnswerDialogsWith(2);
    EXPECT_FALSE(CheckServices());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].texts[0], "Appearance Manager is not available");
    EXPECT_EQ(shown[0].texts[1], "Error Code: -1");
}

TEST_F(StartupTest, QuickTimeResponseOfZeroOrBelowCountsAsMissing)
{
    for (SInt32 response : {0, -5}) {
        SetGestaltValue(gestaltQuickTime, response);
        auto& shown = AnswerDialogsWith(2);
        EXPECT_FALSE(CheckServices());
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].texts[0], "QuickTime is not available");
    }
}

TEST_F(StartupTest, ClassicSystemKeepsEveryFileMenuItem)
{
    OrvoFramework app;
    InitApp(app);
    auto menus = harness::MenuBarState();
    ASSERT_EQ(menus.size(), 5u);
    EXPECT_EQ(menus[1].menuID, kFileMenuID);
    EXPECT_EQ(menus[1].items.size(), 6u);
    EXPECT_FALSE(gOSX);
}

TEST_F(StartupTest, SystemTenLosesTheQuitItemAndItsSeparator)
{
    SetGestaltValue(gestaltSystemVersion, 0x1000);
    OrvoFramework app;
    InitApp(app);
    auto menus = harness::MenuBarState();
    ASSERT_EQ(menus[1].items.size(), 4u);
    EXPECT_EQ(menus[1].items[3].text, "Save As\xE2\x80\xA6");
    EXPECT_TRUE(gOSX);
}

TEST_F(StartupTest, FailedSystemVersionQueryIsReportedAndKeepsTheMenu)
{
    DeleteGestaltValue(gestaltSystemVersion);
    auto& shown = AnswerDialogsWith(2);
    OrvoFramework app;
    app.LoadMenuBar(kMenuBarID);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].texts[0], "Gestalt(gestaltSystemVersion)");
    EXPECT_EQ(harness::MenuBarState()[1].items.size(), 6u);
    EXPECT_FALSE(gOSX);
}

TEST_F(StartupTest, MainLoopEndsWithStatusZeroOnTheQuitCommandKey)
{
    harness::Key('q', cmdKey);
    EXPECT_EQ(OrvoMain(), 0);
}

TEST(StartupDeathTest, ProcessExitsWithStatusZeroAfterANormalQuit)
{
    EXPECT_EXIT(
        {
            harness::Start(1024, 768);
            harness::Key('q', cmdKey);
            std::exit(OrvoMain());
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(StartupDeathTest, QuitChoiceInAStartupAlertEndsTheProcessAtOnce)
{
    EXPECT_EXIT(
        {
            harness::Start(1024, 768);
            DeleteGestaltValue(gestaltAppearanceAttr);
            AnswerDialogsWith(1);
            OrvoMain();
            std::exit(3);  // never reached
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
