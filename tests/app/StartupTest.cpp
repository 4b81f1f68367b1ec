#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

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

// The checks stop at the first missing service: one alert at most.
TEST_F(StartupTest, AMissingServiceIsReportedOnceAndFailsTheChecks)
{
    struct Case {
        OSType selector;
        std::optional<SInt32> answer;  // none: the selector is unknown
        const char* alert;             // null: no alert, the checks pass
    };
    const Case cases[] = {
        {gestaltQuickTime, 0x06008000, nullptr},
        {gestaltAppearanceAttr, std::nullopt, "Appearance Manager is not available"},
        {gestaltQuickTime, 0, "QuickTime is not available"},
        {gestaltQuickTime, -5, "QuickTime is not available"},
        {gestaltQuickTime, std::nullopt, "QuickTime is not available"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alert ? c.alert : "all present");
        ResetGestaltValues();
        if (c.answer)
            SetGestaltValue(c.selector, *c.answer);
        else
            DeleteGestaltValue(c.selector);
        if (c.selector == gestaltAppearanceAttr)
            DeleteGestaltValue(gestaltQuickTime);  // would be a second alert if tested
        auto& shown = AnswerDialogsWith(2);
        EXPECT_EQ(CheckServices(), c.alert == nullptr);
        ASSERT_EQ(shown.size(), c.alert ? 1u : 0u);
        if (c.alert == nullptr)
            continue;
        EXPECT_EQ(shown[0].texts[0], c.alert);
        EXPECT_EQ(shown[0].texts[1], "Error Code: -1");
    }
}

// On system 10 Quit lives in the application menu, so the File menu loses it
// and the separator above it; an unknown version counts as classic.
TEST_F(StartupTest, SystemVersionDecidesWhetherTheFileMenuKeepsQuit)
{
    struct Case {
        std::optional<SInt32> version;
        size_t fileItems;
        bool osx;
        bool alert;
    };
    const Case cases[] = {
        {0x0922, 6, false, false},
        {0x1000, 4, true, false},
        {std::nullopt, 6, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version ? *c.version : -1);
        ResetGestaltValues();
        gOSX = false;
        if (c.version)
            SetGestaltValue(gestaltSystemVersion, *c.version);
        else
            DeleteGestaltValue(gestaltSystemVersion);
        auto& shown = AnswerDialogsWith(2);
        OrvoFramework app;
        app.LoadMenuBar(kMenuBarID);
        auto file = harness::MenuBarState()[1];
        ASSERT_EQ(file.items.size(), c.fileItems);
        EXPECT_EQ(file.items.back().text, c.osx ? "Save As\xE2\x80\xA6" : "Quit");
        EXPECT_EQ(gOSX, c.osx);
        ASSERT_EQ(shown.size(), c.alert ? 1u : 0u);
        if (c.alert) {
            EXPECT_EQ(shown[0].texts[0], "Gestalt(gestaltSystemVersion)");
        }
    }
}

TEST_F(StartupTest, MainLoopEndsWithStatusZeroOnTheQuitCommandKey)
{
    harness::Key('q', cmdKey);
    EXPECT_EQ(OrvoMain(), 0);
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
