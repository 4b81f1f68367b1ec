#include <gtest/gtest.h>

#include <cstdlib>

#include "../app/AlertScript.h"
#include "app/AppResources.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/core/Memory.h"
#include "platform/ui/events/Events.h"
#include "util/MyError.h"

namespace {

class MyErrorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start(1024, 768);
        ClearResourceTemplates();
        RegisterAppResources();
    }
    void TearDown() override { harness::SetIdleProc(nullptr); }
};

TEST_F(MyErrorTest, ZeroCodeAndNonNilValuesShowNothing)
{
    auto& shown = AnswerDialogsWith(2);
    FailErr(0, "GetTrackOffset()"_p);
    char byte = 0;
    Handle h = NewHandle(1);
    FailNil(h, "NewHandle()"_p);
    FailNil(&byte, "NewPtr()"_p);
    DisposeHandle(h);
    EXPECT_TRUE(shown.empty());
}

TEST_F(MyErrorTest, ErrorCodeShowsLabelKindAndCodeWithItsSign)
{
    auto& shown = AnswerDialogsWith(2);
    FailErr(-43, "GetTrackOffset()"_p);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].texts[0], "GetTrackOffset()");
    EXPECT_EQ(shown[0].texts[1], "Error Code: -43");
    EXPECT_EQ(harness::FrontDialog(), nullptr);  // disposed after continuing
}

TEST_F(MyErrorTest, NilChecksShowTheirKindWithoutACode)
{
    auto& shown = AnswerDialogsWith(2);
    FailNil(static_cast<Ptr>(nullptr), "Failed to create main window"_p);
    FailNil(static_cast<Handle>(nullptr), "GetResource()"_p);
    ASSERT_EQ(shown.size(), 2u);  // two failures, two alerts, in order
    EXPECT_EQ(shown[0].texts[0], "Failed to create main window");
    EXPECT_EQ(shown[0].texts[1], "Nil Pointer ");
    EXPECT_EQ(shown[1].texts[0], "GetResource()");
    EXPECT_EQ(shown[1].texts[1], "Nil Handle ");
}

TEST_F(MyErrorTest, ReturnAndEscapeContinueRatherThanQuit)
{
    int alerts = 0;
    harness::SetIdleProc([&alerts]() {
        if (harness::FrontDialog() == nullptr)
            return;
        ++alerts;
        harness::Key(alerts == 1 ? kReturnCharCode : kEscapeCharCode);
    });
    FailErr(-36, "Read()"_p);
    FailErr(-36, "Write()"_p);
    EXPECT_EQ(alerts, 2);
}

TEST_F(MyErrorTest, MissingAlertResourceNeitherHangsNorCrashes)
{
    UnregisterResourceTemplate('DLOG', kErrorAlertID);
    testing::internal::CaptureStderr();
    FailErr(-108, "NewHandle()"_p);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("NewHandle()"), std::string::npos);
}

TEST(MyErrorDeathTest, FirstItemEndsTheProcessEvenInsideAnotherDialog)
{
    EXPECT_EXIT(
        {
            harness::Start(1024, 768);
            ClearResourceTemplates();
            RegisterAppResources();
            // The About box is up; an alert raised from inside its modal
            // loop (by its filter) is answered with item 1.
            harness::SetIdleProc([]() {
                DialogPtr d = harness::FrontDialog();
                if (d != nullptr && harness::GetDialogState(d).title != "About Orvo")
                    harness::ClickDialogItem(d, 1);
            });
            auto raiseAlert = [](DialogPtr, EventRecord*, DialogItemIndex*) -> Boolean {
                FailErr(-1, "Nested()"_p);
                return false;
            };
            DialogPtr about = GetNewDialog(kAboutDialogID, nullptr, reinterpret_cast<WindowPtr>(-1L));
            DialogItemIndex item = 0;
            ModalDialog(NewModalFilterUPP(raiseAlert), &item);
            DisposeDialog(about);
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
