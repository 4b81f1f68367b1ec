#include "ToolboxTestSupport.h"

namespace {

class EventsTest : public ToolboxTest {};

// With nothing to do, WaitNextEvent gives a null event carrying the mouse
// and the modifiers, after the virtual clock has run for the sleep.
TEST_F(EventsTest, NullEventCarriesMousePositionAndModifiersAfterTheSleep)
{
    harness::MouseMove(Pt(123, 234));
    harness::SetModifiers(shiftKey);
    DrainEvents();
    UInt32 before = TickCount();
    EventRecord ev;
    EXPECT_FALSE(WaitNextEvent(everyEvent, &ev, 10, nullptr));
    EXPECT_EQ(TickCount() - before, 10u);
    EXPECT_EQ(ev.what, nullEvent);
    EXPECT_EQ(ev.where.h, 123);
    EXPECT_EQ(ev.where.v, 234);
    EXPECT_TRUE(ev.modifiers & shiftKey);
    EXPECT_TRUE(ev.modifiers & btnState);  // the button is up
}

// Mouse and key events in script order, with their fields; text that is
// not ASCII comes as one key-down per character with character code 0.
TEST_F(EventsTest, MouseAndKeyEventsArriveInOrderWithTheirFields)
{
    harness::Click(Pt(50, 60), cmdKey);
    harness::Key('a', 0, 0x00);
    harness::KeyDown(kReturnCharCode, 0x24);
    harness::Type("é€");
    std::vector<EventRecord> evs = DrainEvents();
    ASSERT_EQ(evs.size(), 7u);
    EXPECT_EQ(evs[0].what, mouseDown);
    EXPECT_EQ(evs[0].where.h, 50);
    EXPECT_EQ(evs[0].where.v, 60);
    EXPECT_TRUE(evs[0].modifiers & cmdKey);
    EXPECT_FALSE(evs[0].modifiers & btnState);
    EXPECT_EQ(evs[1].what, mouseUp);
    EXPECT_EQ(evs[2].what, keyDown);
    EXPECT_EQ(evs[2].message & charCodeMask, UInt32('a'));
    EXPECT_EQ(GetEventText(evs[2]), "a");
    EXPECT_EQ(evs[3].what, keyUp);
    EXPECT_EQ(evs[4].message & charCodeMask, UInt32(kReturnCharCode));
    EXPECT_EQ((evs[4].message & keyCodeMask) >> 8, 0x24u);
    EXPECT_EQ(evs[5].message & charCodeMask, 0u);
    EXPECT_EQ(GetEventText(evs[5]), "é");
    EXPECT_EQ(GetEventText(evs[6]), "€");
}

// A mask leaves other events queued, EventAvail takes nothing, and
// FlushEvents removes the kinds it names up to the first of a stop kind.
TEST_F(EventsTest, MasksAvailAndFlushLeaveTheRestQueued)
{
    harness::Key('x');
    harness::Click(Pt(10, 30));
    EventRecord ev;
    for (int i = 0; i < 8; ++i) EventAvail(0, &ev);  // hand out the whole script first
    ASSERT_TRUE(GetNextEvent(mDownMask, &ev));
    EXPECT_EQ(ev.what, mouseDown);
    ASSERT_TRUE(GetNextEvent(keyDownMask, &ev));
    EXPECT_EQ(ev.what, keyDown);
    FlushEvents(everyEvent, 0);

    PostEvent(keyDown, 'a');
    PostEvent(mouseDown, 0);
    PostEvent(keyDown, 'b');
    ASSERT_TRUE(EventAvail(everyEvent, &ev));
    EXPECT_EQ(ev.message, UInt32('a'));
    FlushEvents(keyDownMask, mDownMask);
    ASSERT_TRUE(GetNextEvent(everyEvent, &ev));
    EXPECT_EQ(ev.what, mouseDown);
    ASSERT_TRUE(GetNextEvent(everyEvent, &ev));
    EXPECT_EQ(ev.message, UInt32('b'));
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

}  // namespace
