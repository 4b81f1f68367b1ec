#include <gtest/gtest.h>

#include <optional>
#include <type_traits>

#include "TestWindows.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/harness/Harness.h"

namespace {

// A copy would dispose of the same platform window twice.
static_assert(!std::is_copy_constructible_v<Window> && !std::is_copy_assignable_v<Window>);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start(800, 600);
        ClearResourceTemplates();
        gClosingWindow = nullptr;
    }
    void TearDown() override { gClosingWindow = nullptr; }

    template <typename W = TestWindow>
    W* Open(const std::string& name)
    {
        auto* w = new W(name);
        engine.AddWindow(w);
        harness::RunEvents();  // first activate and update
        return w;
    }

    // A point of the window where FindWindow answers `part`.
    std::optional<Point> PointOf(WindowPtr w, short part)
    {
        Rect s;
        GetWindowBounds(w, kWindowStructureRgn, &s);
        for (short v = s.top; v < s.bottom; ++v)
            for (short h = s.left; h < s.right; ++h) {
                WindowPtr hit = nullptr;
                if (FindWindow(Point{v, h}, &hit) == part && hit == w)
                    return Point{v, h};
            }
        return std::nullopt;
    }

    // Delivers a mouse-down to the window the way the engine does.
    long Press(TestWindow* w, Point where, UInt16 modifiers = 0)
    {
        EventRecord er{};
        er.what = mouseDown;
        er.where = where;
        er.modifiers = modifiers;
        return w->HandleEvent(er);
    }

    // Takes the next scripted mouse-down from the queue and hands it to the
    // window, so that the tracking that follows sees the scripted moves.
    static long PressScripted(Window* w)
    {
        EventRecord er{};
        for (int i = 0; i < 100; ++i)
            if (WaitNextEvent(everyEvent, &er, 0, nullptr) && er.what == mouseDown)
                return w->HandleEvent(er);
        ADD_FAILURE() << "no mouse-down was scripted";
        return -1;
    }

    TestEngine engine;
};

TEST_F(WindowTest, DefaultWindowIsAVisibleUntitledDocumentWindowNamingItsObject)
{
    TestWindow* w = Open("w");
    auto states = harness::Windows();
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0].title, "Untitled Window");
    EXPECT_TRUE(states[0].visible);
    EXPECT_EQ(reinterpret_cast<Window*>(GetWRefCon(w->Platform())), w);
    EXPECT_FALSE(PointOf(w->Platform(), inGrow).has_value());
    EXPECT_TRUE(PointOf(w->Platform(), inGoAway).has_value());
}

TEST_F(WindowTest, AClickInABackgroundWindowOnlyBringsItToTheFront)
{
    for (short part : {inContent, inGoAway}) {
        SCOPED_TRACE(part);
        TestWindow* back = Open("back");
        TestWindow* front = Open("front");
        MoveWindow(front->Platform(), 400, 300, false);
        harness::RunEvents();
        auto where = PointOf(back->Platform(), part);
        ASSERT_TRUE(where);
        harness::Click(*where);
        EXPECT_EQ(PressScripted(back), kDispatchNothing);
        EXPECT_TRUE(back->contentClicks.empty());
        EXPECT_EQ(gClosingWindow, nullptr);
        EXPECT_EQ(FrontWindow(), back->Platform());
        delete back;
        delete front;
    }
}

// The front window gets its content clicks in local coordinates (its
// content's top-left is (60, 40)); a click that is inside another window
// goes to neither.
TEST_F(WindowTest, ContentClickOfTheFrontWindowArrivesInLocalCoordinates)
{
    TestWindow* a = Open("a");
    EXPECT_EQ(Press(a, Point{100, 100}), kDispatchNothing);
    ASSERT_EQ(a->contentClicks.size(), 1u);
    EXPECT_EQ(a->contentClicks[0], (long(100 - 60) << 16) | (100 - 40));
    TestWindow* b = Open("b");
    MoveWindow(b->Platform(), 400, 300, false);
    harness::RunEvents();
    EXPECT_EQ(Press(a, Point{320, 420}), kDispatchNothing);  // inside b
    EXPECT_EQ(a->contentClicks.size(), 1u);
    EXPECT_TRUE(b->contentClicks.empty());
}

TEST_F(WindowTest, CommandDragMovesABackgroundWindowWithoutSelectingIt)
{
    TestWindow* back = Open("back");
    TestWindow* front = Open("front");
    MoveWindow(front->Platform(), 400, 300, false);
    harness::RunEvents();
    auto title = PointOf(back->Platform(), inDrag);
    ASSERT_TRUE(title);

    harness::Drag(*title, Point{short(title->v + 50), short(title->h + 30)}, cmdKey);
    EXPECT_EQ(PressScripted(back), kDispatchDragged);
    EXPECT_EQ(FrontWindow(), front->Platform());
    Rect r;
    GetWindowBounds(back->Platform(), kWindowContentRgn, &r);
    EXPECT_EQ(r.top, 110);
    EXPECT_EQ(r.left, 70);
}

TEST_F(WindowTest, CloseBoxClosesOnlyWhenReleasedInside)
{
    TestWindow* w = Open("w");
    auto box = PointOf(w->Platform(), inGoAway);
    ASSERT_TRUE(box);

    harness::Drag(*box, Point{300, 600});
    EXPECT_EQ(PressScripted(w), kDispatchNothing);
    EXPECT_EQ(gClosingWindow, nullptr);

    harness::Click(*box);
    EXPECT_EQ(PressScripted(w), kDispatchCloseWindow);
    EXPECT_EQ(gClosingWindow, w);
}

TEST_F(WindowTest, GrowThatChangesNothingResizesToZeroByZero)
{
    RegisterWindowTemplate(300, WindowTemplate{Rect{80, 80, 280, 380}, documentProc, true, true, 0, "Grow"});
    class ResWindow : public Window {
    public:
        ResWindow() : Window(short(300)) {}
        void ResizeWindow(short x, short y) override { sizes.emplace_back(x, y); }
        WindowPtr Platform() const { return win; }
        std::vector<std::pair<short, short>> sizes;
    };
    auto* rw = new ResWindow();
    engine.AddWindow(rw);
    harness::RunEvents();
    auto grow = PointOf(rw->Platform(), inGrow);
    ASSERT_TRUE(grow);

    harness::Click(*grow);
    EXPECT_EQ(PressScripted(rw), kDispatchNothing);
    ASSERT_EQ(rw->sizes.size(), 1u);
    EXPECT_EQ(rw->sizes[0], (std::pair<short, short>{0, 0}));

    Point to = {short(grow->v + 40), short(grow->h + 25)};
    harness::Drag(*grow, to);
    PressScripted(rw);
    ASSERT_EQ(rw->sizes.size(), 2u);
    EXPECT_EQ(rw->sizes[1], (std::pair<short, short>{325, 240}));
}

TEST_F(WindowTest, MissingWindowResourceLeavesAnEmptyShellThatIsSafeToUse)
{
    // The nil-pointer alert needs its dialog; without one the alert reports
    // on stderr and construction goes on.
    class ResWindow : public Window {
    public:
        ResWindow() : Window(short(999)) {}
        WindowPtr Platform() const { return win; }
    };
    auto* w = new ResWindow();
    engine.AddWindow(w);
    EXPECT_EQ(w->Platform(), nullptr);
    w->Refresh();
    w->SetAsPort();
    EventRecord er{};
    er.what = mouseDown;
    er.where = {100, 100};
    EXPECT_EQ(w->HandleEvent(er), kDispatchNothing);
    EXPECT_TRUE(w->CloseWindow());
    delete w;
    EXPECT_TRUE(engine.Empty());
}

}  // namespace
