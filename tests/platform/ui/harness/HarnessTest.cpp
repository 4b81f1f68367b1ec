#include "ToolboxTestSupport.h"

#include "platform/ui/backend/Backend.h"
#include "platform/ui/events/Clipboard.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

class HarnessTest : public ToolboxTest {};

TEST_F(HarnessTest, WaitLimitAbortsTheTestByDefault)
{
    EXPECT_DEATH(
        {
            harness::SetWaitLimit(60);
            EventRecord ev;
            for (;;) WaitNextEvent(everyEvent, &ev, 10, nullptr);
        },
        "waited 60 ticks");
}

// The screen shows the desktop, the white menu bar and the windows front
// to back; a window moved or hidden leaves the desktop behind.
TEST_F(HarnessTest, ScreenShowsDesktopMenuBarAndWindowsInOrder)
{
    UInt32 desktop = harness::ScreenPixel(150, 150);
    EXPECT_NE(desktop, 0xFFFFFFFFu);
    EXPECT_EQ(harness::ScreenPixel(500, 5), 0xFFFFFFFFu);
    WindowPtr back = MakeWindow("back", R(100, 100, 300, 300));
    WindowPtr front = MakeWindow("front", R(200, 200, 400, 400));
    DrainEvents();
    RGBColor red{0xFFFF, 0, 0};
    SetPortWindowPort(back);
    RGBForeColor(&red);
    Rect all = R(0, 0, 200, 200);
    PaintRect(&all);
    EXPECT_EQ(harness::ScreenPixel(150, 150), 0xFFFF0000u);
    EXPECT_EQ(harness::ScreenPixel(250, 250), 0xFFFFFFFFu);  // front's white content
    SelectWindow(back);
    EXPECT_EQ(harness::ScreenPixel(250, 250), 0xFFFF0000u);
    MoveWindow(back, 450, 100, false);
    EXPECT_EQ(harness::ScreenPixel(150, 150), desktop);
    HideWindow(front);
    EXPECT_EQ(harness::ScreenPixel(350, 350), desktop);
}

TEST_F(HarnessTest, OverlaysAppearAboveEverythingUntilHidden)
{
    CGrafPtr menu = WMNewPort(50, 50);
    SetPort(menu);
    Rect r = R(0, 0, 50, 50);
    PaintRect(&r);
    WMShowOverlay(menu, Pt(10, 10));
    EXPECT_EQ(harness::ScreenPixel(20, 15), 0xFF000000u);  // over the menu bar
    WMHideOverlay(menu);
    EXPECT_EQ(harness::ScreenPixel(20, 15), 0xFFFFFFFFu);
    WMDisposePort(menu);
}

int gResetHookCalls = 0;
void CountReset() { ++gResetHookCalls; }

// Reset runs each registered hook once and forgets windows and events; the
// clipboard is kept in memory meanwhile.
TEST_F(HarnessTest, ResetRunsTheHooksOnceAndForgetsWindowsAndEvents)
{
    SetClipboardText("01:02.5 – ok");
    EXPECT_EQ(GetClipboardText(), "01:02.5 – ok");
    UIAddResetHook(CountReset);
    UIAddResetHook(CountReset);
    gResetHookCalls = 0;
    MakeWindow("w", R(100, 100, 200, 200));
    PostEvent(keyDown, 'a');
    harness::Reset();
    EXPECT_EQ(gResetHookCalls, 1);
    harness::Start(800, 600, 1);
    EXPECT_TRUE(harness::Windows().empty());
    EventRecord ev;
    EXPECT_FALSE(GetNextEvent(everyEvent, &ev));
    EXPECT_EQ(TickCount(), 1u);  // GetNextEvent's one empty pump
}

}  // namespace
