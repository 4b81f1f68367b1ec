#include <gtest/gtest.h>

#include <cstdlib>

#include "../app/DialogScript.h"
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

// One alert per failure, in order, naming the label and the kind of
// failure; a zero code and non-nil values show nothing.
TEST_F(MyErrorTest, EachFailureShowsItsLabelAndKind)
{
    DialogScript script;
    char byte = 0;
    Handle h = NewHandle(1);
    FailErr(0, "GetTrackOffset()"_p);
    FailNil(h, "NewHandle()"_p);
    FailNil(&byte, "NewPtr()"_p);
    DisposeHandle(h);
    FailErr(-43, "GetTrackOffset()"_p);
    FailNil(static_cast<Ptr>(nullptr), "Failed to create main window"_p);
    FailNil(static_cast<Handle>(nullptr), "GetResource()"_p);
    const std::pair<const char*, const char*> expected[] = {{"GetTrackOffset()", "Error Code: -43"},
                                                            {"Failed to create main window", "Nil Pointer "},
                                                            {"GetResource()", "Nil Handle "}};
    ASSERT_EQ(script.unexpected.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(script.unexpected[i].texts[0], expected[i].first);
        EXPECT_EQ(script.unexpected[i].texts[1], expected[i].second);
    }
    EXPECT_EQ(harness::FrontDialog(), nullptr);  // disposed after continuing
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
