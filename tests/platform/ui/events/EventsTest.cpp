#include "ToolboxTestSupport.h"

namespace {

class EventsTest : public ToolboxTest {};

TEST_F(EventsTest, NullEventCarriesMousePositionAndModifiers)
{
    harness::MouseMove(Pt(123, 234));
    harness::SetModifiers(shiftKey);
    DrainEvents();
    EventRecord ev;
    EXPECT_FALSE(WaitNextEvent(everyEvent, &ev, 10, nullptr));
    EXPECT_EQ(ev.what, nullEvent);
    EXPECT_EQ(ev.where.h, 123);
    EXPECT_EQ(ev.where.v, 234);
    EXPECT_TRUE(ev.modifiers & shiftKey);
    EXPECT_TRUE(ev.modifiers & btnState);  // the button is up
}

TEST_F(EventsTest, WaitNextEventAdvancesTheVirtualClockBySleepWhenIdle)
{
    UInt32 before = TickCount();
    EventRecord ev;
    WaitNextEvent(everyEvent, &ev, 10, nullptr);
    EXPECT_EQ(TickCount() - before, 10u);
}

TEST_F(EventsTest, MouseAndKeyEventsArriveInOrderWithTheirFields)
{
    harness::Click(Pt(50, 60), cmdKey);
    harness::Key('a', 0, 0x00);
    EventRecord ev;
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    EXPECT_EQ(ev.what, mouseDown);
    EXPECT_EQ(ev.where.h, 50);
    EXPECT_EQ(ev.where.v, 60);
    EXPECT_TRUE(ev.modifiers & cmdKey);
    EXPECT_FALSE(ev.modifiers & btnState);
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    EXPECT_EQ(ev.what, mouseUp);
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    EXPECT_EQ(ev.what, keyDown);
    EXPECT_EQ(ev.message & charCodeMask, UInt32('a'));
    EXPECT_EQ(GetEventText(ev), "a");
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    EXPECT_EQ(ev.what, keyUp);
}

TEST_F(EventsTest, KeyCodeTravelsInTheSecondByteOfTheMessage)
{
    harness::KeyDown(kReturnCharCode, 0x24);
    EventRecord ev;
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    EXPECT_EQ(ev.message & charCodeMask, UInt32(kReturnCharCode));
    EXPECT_EQ((ev.message & keyCodeMask) >> 8, 0x24u);
}

TEST_F(EventsTest, NonAsciiTextArrivesAsOneKeyDownPerCharacterWithItsText)
{
    harness::Type("é€a");
    std::vector<EventRecord> evs = DrainEvents();
    ASSERT_EQ(evs.size(), 3u);
    EXPECT_EQ(evs[0].message & charCodeMask, 0u);
    EXPECT_EQ(GetEventText(evs[0]), "é");
    EXPECT_EQ(evs[1].message & charCodeMask, 0u);
    EXPECT_EQ(GetEventText(evs[1]), "€");
    EXPECT_EQ(evs[2].message & charCodeMask, UInt32('a'));
    EXPECT_EQ(GetEventText(evs[2]), "a");
}

TEST_F(EventsTest, MaskLeavesOtherEventsQueued)
{
    harness::Key('x');
    harness::Click(Pt(10, 30));
    EventRecord ev;
    // Hand out the whole script first.
    for (int i = 0; i < 8; ++i) EventAvail(0, &ev);
    ASSERT_TRUE(GetNextEvent(mDownMask, &ev));
    EXPECT_EQ(ev.what, mouseDown);
    ASSERT_TRUE(GetNextEvent(keyDownMask, &ev));
    EXPECT_EQ(ev.what, keyDown);
}

TEST_F(EventsTest, EventAvailDoesNotRemove)
{
    PostEvent(keyDown, 'q');
    EventRecord ev;
    ASSERT_TRUE(EventAvail(everyEvent, &ev));
    ASSERT_TRUE(GetNextEvent(everyEvent, &ev));
    EXPECT_EQ(ev.what, keyDown);
    EXPECT_FALSE(GetNextEvent(everyEvent, &ev));
}

TEST_F(EventsTest, HighLevelEventsComeAfterUpdates)
{
    WindowPtr w = MakeWindow("w", R(50, 50, 150, 150));
    PostEvent(kHighLevelEvent, 77);
    std::vector<EventRecord> evs = DrainEvents();
    ASSERT_GE(evs.size(), 3u);
    EXPECT_EQ(evs[0].what, activateEvt);
    EXPECT_EQ(evs[1].what, updateEvt);
    EXPECT_EQ(WindowFromEventMessage(evs[1].message), w);
    EXPECT_EQ(evs[2].what, kHighLevelEvent);
    EXPECT_EQ(evs[2].message, 77u);
}

TEST_F(EventsTest, UnansweredUpdateDoesNotStarveInput)
{
    MakeWindow("never drawn", R(50, 50, 150, 150));
    harness::Key('k');
    EventRecord ev{};
    int passes = 0;
    while (ev.what != keyDown && ++passes < 50) WaitNextEvent(everyEvent, &ev, 10, nullptr);
    EXPECT_EQ(ev.what, keyDown);
}

TEST_F(EventsTest, FlushEventsStopsAtAStopKind)
{
    PostEvent(keyDown, 'a');
    PostEvent(mouseDown, 0);
    PostEvent(keyDown, 'b');
    FlushEvents(keyDownMask, mDownMask);
    EventRecord ev;
    ASSERT_TRUE(GetNextEvent(everyEvent, &ev));
    EXPECT_EQ(ev.what, mouseDown);
    ASSERT_TRUE(GetNextEvent(everyEvent, &ev));
    EXPECT_EQ(ev.message, UInt32('b'));
}

TEST_F(EventsTest, StillDownFollowsTheScriptOneStepAtATime)
{
    harness::MouseDown(Pt(10, 30));
    harness::MouseMove(Pt(20, 30));
    harness::MouseMove(Pt(30, 30));
    harness::MouseUp(Pt(30, 30));
    EventRecord ev;
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    ASSERT_EQ(ev.what, mouseDown);
    std::vector<short> seen;
    while (StillDown()) {
        Point p;
        GetMouse(&p);
        seen.push_back(p.h);
    }
    EXPECT_EQ(seen, (std::vector<short>{20, 30}));
    EXPECT_FALSE(WaitMouseUp());
    EXPECT_FALSE(GetNextEvent(mUpMask, &ev));  // WaitMouseUp took it
}

TEST_F(EventsTest, TickCountIsMonotonicAndDelayAdvancesIt)
{
    UInt32 a = TickCount();
    unsigned long final = 0;
    Delay(8, &final);
    EXPECT_EQ(final, a + 8);
    EXPECT_GE(TickCount(), final);
}

TEST_F(EventsTest, PauseDelaysTheRestOfTheScript)
{
    UInt32 start = TickCount();
    harness::Pause(30);
    harness::Key('z');
    EventRecord ev;
    do {
        WaitNextEvent(everyEvent, &ev, 5, nullptr);
    } while (ev.what != keyDown && TickCount() - start < 100);
    EXPECT_EQ(ev.what, keyDown);
    EXPECT_GE(ev.when - start, 30u);
}

}  // namespace
