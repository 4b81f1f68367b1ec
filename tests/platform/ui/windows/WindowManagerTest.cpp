#include "ToolboxTestSupport.h"

#include "platform/ui/windows/WindowFrames.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

class WindowManagerTest : public ToolboxTest {
protected:
    // A document window with its content at (100,100)-(300,250).
    WindowPtr Document(const std::string& title = "Doc", short procID = zoomDocProc)
    {
        WindowPtr w = MakeWindow(title, R(100, 100, 300, 250), procID);
        DrainEvents();
        return w;
    }

    static Rect Structure(WindowPtr w)
    {
        Rect r;
        GetWindowBounds(w, kWindowStructureRgn, &r);
        return r;
    }
};

// One window with its content at (100,100)-(300,250); the title bar above.
// The close box is at the left of the title bar, the zoom box at its right.
TEST_F(WindowManagerTest, FindWindowNamesEveryPartOfEachKindOfWindow)
{
    struct Case {
        short procID;
        bool goAway;
        Point where;  // a title-bar v of -1 means the middle of the title bar
        short part;
    };
    const Case cases[] = {
        {zoomDocProc, true, Pt(10, 5), inMenuBar},      {zoomDocProc, true, Pt(500, 500), inDesk},
        {zoomDocProc, true, Pt(150, 150), inContent},   {zoomDocProc, true, Pt(200, 90), inDrag},
        {zoomDocProc, true, Pt(295, 245), inGrow},      {zoomDocProc, true, Pt(112, -1), inGoAway},
        {zoomDocProc, true, Pt(288, -1), inZoomOut},
        // Without a size box or close box those areas are content and title bar.
        {noGrowDocProc, false, Pt(295, 245), inContent}, {noGrowDocProc, false, Pt(112, -1), inDrag},
        // A modal box has no title bar.
        {dBoxProc, false, Pt(150, 90), inDesk},         {dBoxProc, false, Pt(150, 150), inContent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "proc " << c.procID << " at " << c.where.h << "," << c.where.v);
        WindowPtr w = MakeWindow("w", R(100, 100, 300, 250), c.procID, c.goAway);
        Point where = c.where;
        if (where.v == -1)
            where.v = short((Structure(w).top + 100) / 2);
        WindowPtr found = nullptr;
        EXPECT_EQ(FindWindow(where, &found), c.part);
        EXPECT_EQ(found, c.part == inMenuBar || c.part == inDesk ? nullptr : w);
        DisposeWindow(w);
    }
}

TEST_F(WindowManagerTest, ZoomBoxAnswersZoomInOnceZoomedOut)
{
    WindowPtr w = Document();
    ZoomWindow(w, inZoomOut, false);
    Rect s = Structure(w), c;
    GetWindowBounds(w, kWindowContentRgn, &c);
    WindowPtr found = nullptr;
    EXPECT_EQ(FindWindow(Pt(short(c.right - 12), short((s.top + c.top) / 2)), &found), inZoomIn);
    ZoomWindow(w, inZoomIn, false);
    GetWindowBounds(w, kWindowContentRgn, &c);
    EXPECT_EQ(c.left, 100);
    EXPECT_EQ(c.right, 300);
}

// Selecting a window deactivates the front one, then activates it (again
// for the front window: nothing); disposing the front window activates the
// next, and its pointer no longer names a window.
TEST_F(WindowManagerTest, SelectingAndDisposingMoveTheActivation)
{
    WindowPtr a = MakeWindow("a", R(50, 50, 150, 150));
    WindowPtr b = MakeWindow("b", R(200, 50, 300, 150));
    DrainEvents();
    EXPECT_EQ(FrontWindow(), b);
    SelectWindow(a);
    EXPECT_EQ(FrontWindow(), a);
    std::vector<EventRecord> evs = DrainEvents();
    ASSERT_EQ(evs.size(), 2u);
    EXPECT_EQ(evs[0].what, activateEvt);
    EXPECT_EQ(WindowFromEventMessage(evs[0].message), b);
    EXPECT_FALSE(evs[0].modifiers & activeFlag);
    EXPECT_EQ(evs[1].what, activateEvt);
    EXPECT_EQ(WindowFromEventMessage(evs[1].message), a);
    EXPECT_TRUE(evs[1].modifiers & activeFlag);
    SelectWindow(a);
    EXPECT_TRUE(DrainEvents().empty());
    DisposeWindow(a);
    evs = DrainEvents();
    ASSERT_EQ(evs.size(), 1u);
    EXPECT_EQ(evs[0].what, activateEvt);
    EXPECT_EQ(WindowFromEventMessage(evs[0].message), b);
    EXPECT_TRUE(evs[0].modifiers & activeFlag);
    EXPECT_EQ(WindowFromEventMessage(reinterpret_cast<unsigned long>(a)), nullptr);
}

TEST_F(WindowManagerTest, UpdateEventsComeOnlyForInvalidatedAreas)
{
    WindowPtr w = MakeWindow("w", R(50, 50, 250, 250));
    // First showing: one update for the whole window.
    EventRecord ev;
    WaitNextEvent(everyEvent, &ev, 0, nullptr);  // activate
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    ASSERT_EQ(ev.what, updateEvt);
    BeginUpdate(w);
    RgnHandle vis = NewRgn();
    GetPortVisibleRegion(w, vis);
    Rect b;
    GetRegionBounds(vis, &b);
    EXPECT_EQ(b.right, 200);
    EXPECT_EQ(b.bottom, 200);
    EndUpdate(w);
    DisposeRgn(vis);
    EXPECT_TRUE(DrainEvents().empty());

    // Covering and uncovering it by another window needs no update, nor
    // does an area invalidated and validated again.
    WindowPtr other = MakeWindow("other", R(60, 60, 200, 200));
    DrainEvents();
    DisposeWindow(other);
    Rect all = R(0, 0, 200, 200);
    InvalWindowRect(w, &all);
    ValidWindowRect(w, &all);
    for (const EventRecord& e : DrainEvents()) EXPECT_NE(e.what, updateEvt);

    // An invalidated rectangle comes back, and drawing is clipped to it.
    Rect bad = R(10, 10, 30, 20);
    InvalWindowRect(w, &bad);
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    ASSERT_EQ(ev.what, updateEvt);
    BeginUpdate(w);
    SetPortWindowPort(w);
    PaintRect(&all);
    EndUpdate(w);
    EXPECT_EQ(harness::PortPixel(w, 15, 15), 0xFF000000u);
    EXPECT_EQ(harness::PortPixel(w, 50, 50), 0xFFFFFFFFu);
    EXPECT_TRUE(DrainEvents().empty());
}

// A size of 0 by 0 keeps the window as it is.
TEST_F(WindowManagerTest, ResizeUpdatesOnlyTheUncoveredArea)
{
    WindowPtr w = Document();
    SizeWindow(w, 0, 0, true);
    SizeWindow(w, 250, 150, true);
    EventRecord ev;
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    ASSERT_EQ(ev.what, updateEvt);
    std::vector<Rect> rects = GetRegionRects(w->updateRgn);
    ASSERT_EQ(rects.size(), 1u);
    Rect uncovered = R(200, 0, 250, 150);
    EXPECT_TRUE(EqualRect(&rects[0], &uncovered));
}

// GrowWindow answers the new size with the height in the high half and the
// width in the low half, kept within the limits; the window base class's
// tests (tests/framework) grow and drag windows by their other gestures.
TEST_F(WindowManagerTest, GrowWindowKeepsWithinTheLimits)
{
    WindowPtr w = Document();
    harness::Drag(Pt(295, 245), Pt(600, 500));
    EventRecord ev;
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    Rect limits = R(100, 80, 220, 160);
    long size = GrowWindow(w, ev.where, &limits);
    EXPECT_EQ(size & 0xFFFF, 220);
    EXPECT_EQ((size >> 16) & 0xFFFF, 160);
}

TEST_F(WindowManagerTest, DraggedTitleBarNeverGoesUnderTheMenuBar)
{
    WindowPtr w = Document();
    harness::Drag(Pt(200, 90), Pt(200, 0));
    EventRecord ev;
    ASSERT_TRUE(WaitNextEvent(everyEvent, &ev, 0, nullptr));
    BitMap screen;
    GetQDGlobalsScreenBits(&screen);
    DragWindow(w, ev.where, &screen.bounds);
    Rect content;
    GetWindowBounds(w, kWindowContentRgn, &content);
    EXPECT_EQ(content.left, 100);
    EXPECT_GE(Structure(w).top, kMenuBarHeight);
}

TEST_F(WindowManagerTest, AlignWindowKeepsThePlaceAndTheOrder)
{
    WindowPtr back = MakeWindow("back", R(100, 100, 300, 250));
    WindowPtr front = MakeWindow("front", R(400, 300, 500, 400));
    AlignWindow(back, false, nullptr, nullptr);
    EXPECT_EQ(FrontWindow(), front);
    Rect c;
    GetWindowBounds(back, kWindowContentRgn, &c);
    EXPECT_EQ(c.left, 100);
    EXPECT_EQ(c.top, 100);
}

// Titles are UTF-8 both ways; a long one is cut after a whole character
// and ends in an ellipsis.
TEST_F(WindowManagerTest, TitlesAreUtf8AndLongOnesAreCutAfterAWholeCharacter)
{
    WindowPtr w = MakeWindow("Spur für „Film“ – 日本", R(50, 50, 150, 150));
    Str255 t;
    GetWTitle(w, t);
    EXPECT_EQ(pstr::ToStd(t), "Spur für „Film“ – 日本");
    pstr::FromStd("Ω", t);
    SetWTitle(w, t);
    EXPECT_EQ(harness::Windows()[0].title, "Ω");

    std::string title = "Spur für „Film“ – 日本語のタイトル, ein sehr langer Name";
    EXPECT_EQ(frames::FitTitle("Short", 200, 1), "Short");
    for (short room : {40, 60, 90, 130}) {
        std::string fitted = frames::FitTitle(title, room, 1);
        ASSERT_GE(fitted.size(), 3u);
        EXPECT_EQ(fitted.substr(fitted.size() - 3), "\xE2\x80\xA6");
        std::string kept = fitted.substr(0, fitted.size() - 3);
        EXPECT_EQ(title.compare(0, kept.size(), kept), 0);
        // The cut never leaves half a character behind.
        if (kept.size() < title.size()) {
            EXPECT_NE(static_cast<unsigned char>(title[kept.size()]) & 0xC0, 0x80) << room;
        }
    }
}

}  // namespace
