#include "ToolboxTestSupport.h"

#include <cstdio>
#include <fstream>

#include "platform/ui/backend/Backend.h"
#include "platform/ui/events/Clipboard.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

class HarnessTest : public ToolboxTest {};

TEST_F(HarnessTest, IdleProcScriptsANestedLoop)
{
    int calls = 0;
    harness::SetIdleProc([&] {
        if (++calls == 1) harness::Key('y');
    });
    // A loop that waits for a key, as a modal dialog would.
    EventRecord ev{};
    int passes = 0;
    while (ev.what != keyDown && ++passes < 100) WaitNextEvent(everyEvent, &ev, 10, nullptr);
    EXPECT_EQ(ev.what, keyDown);
    EXPECT_EQ(ev.message & charCodeMask, UInt32('y'));
    harness::SetIdleProc(nullptr);
}

TEST_F(HarnessTest, IdleProcMayPostEventsDirectly)
{
    harness::SetIdleProc([] {
        EventRecord ev{};
        ev.what = kHighLevelEvent;
        ev.message = 5;
        harness::PostEventNow(ev);
    });
    EventRecord ev;
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 10, nullptr));
    EXPECT_EQ(ev.what, kHighLevelEvent);
    harness::SetIdleProc(nullptr);
}

TEST_F(HarnessTest, LoopWaitingForeverIsStoppedWithAMessage)
{
    std::string message;
    harness::SetWaitLimit(600);
    harness::SetWaitLimitProc([&](const std::string& m) { message = m; });
    EventRecord ev;
    for (int i = 0; i < 100 && message.empty(); ++i) WaitNextEvent(everyEvent, &ev, 10, nullptr);
    EXPECT_NE(message.find("waited"), std::string::npos);
}

TEST_F(HarnessTest, WaitLimitCountsOnlyTimeWithNothingToDo)
{
    bool fired = false;
    harness::SetWaitLimit(100);
    harness::SetWaitLimitProc([&](const std::string&) { fired = true; });
    EventRecord ev;
    for (int i = 0; i < 20; ++i) {
        harness::Key('k');
        for (int j = 0; j < 8; ++j) WaitNextEvent(everyEvent, &ev, 10, nullptr);
    }
    // 20 rounds of ~60 idle ticks each, never 100 in a row.
    EXPECT_FALSE(fired);
}

TEST_F(HarnessTest, SleepingForEverStillRunsTheIdleProcedure)
{
    int calls = 0;
    harness::SetIdleProc([&] {
        if (++calls == 3) harness::Key('s');
    });
    EventRecord ev;
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0x7FFFFFFF, nullptr));
    EXPECT_EQ(ev.what, keyDown);
    EXPECT_LT(TickCount(), 1000u);
    harness::SetIdleProc(nullptr);
}

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

TEST_F(HarnessTest, ScreenSavesAsPng)
{
    MakeWindow("Screenshot", R(40, 60, 300, 200));
    DrainEvents();
    std::string path = std::string(ORVO_BINARY_DIR) + "/ui_core_screen.png";
    ASSERT_TRUE(harness::SaveScreenPNG(path));
    std::ifstream in(path, std::ios::binary);
    char magic[8] = {};
    in.read(magic, 8);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
}

TEST_F(HarnessTest, ScreenShowsDesktopMenuBarAndWindows)
{
    MakeWindow("w", R(100, 100, 200, 200));
    DrainEvents();
    UInt32 desktop = harness::ScreenPixel(500, 400);
    EXPECT_NE(desktop, 0xFFFFFFFFu);
    EXPECT_EQ(harness::ScreenPixel(500, 5), 0xFFFFFFFFu);   // menu bar
    EXPECT_EQ(harness::ScreenPixel(150, 150), 0xFFFFFFFFu);  // window content
}

TEST_F(HarnessTest, FrontWindowCoversTheOneBehindOnScreen)
{
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
    (void)front;
}

TEST_F(HarnessTest, MovedWindowLeavesDesktopBehind)
{
    UInt32 desktop = harness::ScreenPixel(150, 150);
    WindowPtr w = MakeWindow("w", R(100, 100, 200, 200));
    DrainEvents();
    EXPECT_NE(harness::ScreenPixel(150, 150), desktop);
    MoveWindow(w, 400, 300, false);
    EXPECT_EQ(harness::ScreenPixel(150, 150), desktop);
    EXPECT_EQ(harness::ScreenPixel(450, 350), 0xFFFFFFFFu);
    HideWindow(w);
    EXPECT_EQ(harness::ScreenPixel(450, 350), desktop);
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

TEST_F(HarnessTest, ClipboardIsKeptInMemory)
{
    SetClipboardText("01:02.5 – ok");
    EXPECT_EQ(GetClipboardText(), "01:02.5 – ok");
}

int gResetHookCalls = 0;
void CountReset() { ++gResetHookCalls; }

TEST_F(HarnessTest, ResetRunsTheRegisteredHooksOnce)
{
    UIAddResetHook(CountReset);
    UIAddResetHook(CountReset);
    gResetHookCalls = 0;
    harness::Reset();
    EXPECT_EQ(gResetHookCalls, 1);
    harness::Start(800, 600, 1);
}

TEST_F(HarnessTest, ResetForgetsWindowsAndEvents)
{
    MakeWindow("w", R(100, 100, 200, 200));
    PostEvent(keyDown, 'a');
    harness::Reset();
    harness::Start(800, 600, 1);
    EXPECT_TRUE(harness::Windows().empty());
    EventRecord ev;
    EXPECT_FALSE(GetNextEvent(everyEvent, &ev));
    EXPECT_EQ(TickCount(), 1u);  // GetNextEvent's one empty pump
}

}  // namespace
