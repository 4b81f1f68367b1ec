#include "platform/ui/controls/Controls.h"

#include <functional>

#include "ToolboxTestSupport.h"
#include "platform/ui/controls/ScrollBarGeometry.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/harness/DialogHarness.h"

namespace {

int gActionCalls = 0;

// Scrolls by one per arrow step and ten per page, like an application's
// action procedure.
void CountingAction(ControlHandle c, ControlPartCode part)
{
    ++gActionCalls;
    short step = part == kControlUpButtonPart ? -1 : part == kControlDownButtonPart ? 1
               : part == kControlPageUpPart   ? -10
               : part == kControlPageDownPart ? 10
                                              : 0;
    SetControlValue(c, GetControlValue(c) + step);
}

class Controls : public HeadlessToolboxTest {
protected:
    void SetUp() override
    {
        HeadlessToolboxTest::SetUp();
        gActionCalls = 0;
        Rect bounds{100, 100, 400, 500};
        window = NewCWindow(nullptr, &bounds, "Test"_p, true, documentProc, reinterpret_cast<WindowPtr>(-1L),
                            true, 0);
        ASSERT_NE(window, nullptr);
        Rect bar{0, 384, 285, 400};
        scroll = NewControl(window, &bar, ""_p, true, 25, 0, 100, scrollBarProc, 0);
        Rect buttonRect{20, 20, 40, 100};
        button = NewControl(window, &buttonRect, "OK"_p, true, 0, 0, 1, pushButProc, 0);
        harness::RunEvents();
    }
    void TearDown() override
    {
        DisposeWindow(window);
        HeadlessToolboxTest::TearDown();
    }

    // Fetches the scripted mouse-down and tracks it as an application does.
    ControlPartCode TrackScriptedClick(ControlActionUPP action)
    {
        EventRecord ev = NextEventOfKind(mouseDown);
        SetPortWindowPort(window);
        Point local = ev.where;
        GlobalToLocal(&local);
        ControlHandle hit = nullptr;
        ControlPartCode part = FindControl(local, window, &hit);
        if (hit == nullptr)
            return -1;
        lastHit = hit;
        ControlPartCode result = TrackControl(hit, local, action);
        EXPECT_TRUE(part == result || result == 0);
        return result;
    }

    WindowPtr window = nullptr;
    ControlHandle scroll = nullptr;
    ControlHandle button = nullptr;
    ControlHandle lastHit = nullptr;
};

// Every scroll-bar part is found; a bar with nothing to scroll, an inactive
// control and a hidden one take no clicks.
TEST_F(Controls, FindControlNamesThePartsOfControlsThatTakeClicks)
{
    SetPortWindowPort(window);
    auto find = [this](ControlHandle c, ControlPartCode part, ControlHandle* hit) {
        Point pt = harness::ControlPartPoint(c, part);
        GlobalToLocal(&pt);
        return FindControl(pt, window, hit);
    };
    ControlHandle hit = nullptr;
    for (ControlPartCode part : {kControlUpButtonPart, kControlDownButtonPart, kControlPageUpPart,
                                 kControlPageDownPart, kControlIndicatorPart}) {
        EXPECT_EQ(find(scroll, part, &hit), part);
        EXPECT_EQ(hit, scroll);
    }
    EXPECT_EQ(find(button, kControlButtonPart, &hit), kControlButtonPart);
    HiliteControl(button, kControlInactivePart);
    EXPECT_EQ(find(button, kControlButtonPart, &hit), 0);
    EXPECT_EQ(hit, nullptr);
    HiliteControl(button, 0);
    HideControl(button);
    EXPECT_EQ(find(button, kControlButtonPart, &hit), 0);
    Point arrow = harness::ControlPartPoint(scroll, kControlDownButtonPart);
    GlobalToLocal(&arrow);
    SetControlMaximum(scroll, 0);
    EXPECT_EQ(FindControl(arrow, window, &hit), 0);
    EXPECT_EQ(hit, nullptr);
}

// Each gesture is scripted on the scroll bar (value 25 of 0 to 100, one per
// arrow step and ten per page) or the push button, then tracked as an
// application does.
TEST_F(Controls, TrackingGestures)
{
    struct Case {
        const char* what;
        std::function<void(ControlHandle scroll, ControlHandle button)> script;
        ControlPartCode result;
        short value;      // the scroll bar's value afterwards
        int actionCalls;  // -1: not checked
    };
    auto point = [](ControlHandle c, ControlPartCode part) { return harness::ControlPartPoint(c, part); };
    const Point away = {150, 150};
    const Case cases[] = {
        {"an arrow click calls the action once",
         [&](ControlHandle s, ControlHandle) { harness::Click(point(s, kControlDownButtonPart)); },
         kControlDownButtonPart, 26, 1},
        {"the page area has its own part", [&](ControlHandle s, ControlHandle) { harness::Click(point(s, kControlPageDownPart)); },
         kControlPageDownPart, 35, 1},
        {"an arrow released outside gives 0; the action ran at the press",
         [&](ControlHandle s, ControlHandle) {
             harness::MouseDown(point(s, kControlDownButtonPart));
             harness::MouseMove(away);
             harness::MouseUp(away);
         },
         0, 26, 1},
        {"holding an arrow repeats until the value's limit",
         [&](ControlHandle s, ControlHandle) {
             harness::MouseDown(point(s, kControlUpButtonPart));
             harness::Pause(600);
             harness::MouseUp(point(s, kControlUpButtonPart));
         },
         kControlUpButtonPart, 0, -1},
        {"the thumb dragged to the end, without the action",
         [&](ControlHandle s, ControlHandle) {
             Point thumb = point(s, kControlIndicatorPart);
             harness::Drag(thumb, Point{short(thumb.v + 200), thumb.h});
         },
         kControlIndicatorPart, 100, 0},
        {"the thumb dropped where it was",
         [&](ControlHandle s, ControlHandle) { harness::Click(point(s, kControlIndicatorPart)); },
         kControlIndicatorPart, 25, 0},
        {"the thumb dragged far from the bar springs back",
         [&](ControlHandle s, ControlHandle) {
             Point thumb = point(s, kControlIndicatorPart);
             harness::Drag(thumb, Point{short(thumb.v + 100), short(thumb.h - 200)});
         },
         0, 25, 0},
        {"a push button released inside", [&](ControlHandle, ControlHandle b) { harness::Click(point(b, kControlButtonPart)); },
         kControlButtonPart, 25, 0},
        {"a push button released outside",
         [&](ControlHandle, ControlHandle b) {
             harness::MouseDown(point(b, kControlButtonPart));
             harness::MouseMove(Point{300, 300});
             harness::MouseUp(Point{300, 300});
         },
         0, 25, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetControlValue(scroll, 25);
        gActionCalls = 0;
        c.script(scroll, button);
        EXPECT_EQ(TrackScriptedClick(CountingAction), c.result);
        EXPECT_EQ(GetControlValue(scroll), c.value);
        if (c.actionCalls >= 0) {
            EXPECT_EQ(gActionCalls, c.actionCalls);
        }
        EXPECT_EQ(harness::GetControlState(lastHit).hilite, 0) << "the part is released";
        harness::RunEvents();
    }
}

// Values stay within the limits, also when the maximum moves below them.
TEST_F(Controls, ValuesStayWithinMinimumAndMaximum)
{
    SetControlValue(scroll, 500);
    EXPECT_EQ(GetControlValue(scroll), 100);
    SetControlValue(scroll, -5);
    EXPECT_EQ(GetControlValue(scroll), 0);
    SetControlValue(scroll, 80);
    SetControlMaximum(scroll, 50);
    EXPECT_EQ(GetControlValue(scroll), 50);
    EXPECT_EQ(GetControlMaximum(scroll), 50);
}

// A missing template or window gives no control rather than a broken one.
TEST_F(Controls, GetNewControlNeedsATemplateAndAWindow)
{
    RegisterControlTemplate(1020, ControlTemplate{Rect{285, 0, 301, 385}, 3, true, 40, 0, scrollBarProc, 77, ""});
    EXPECT_NE(GetNewControl(1020, window), nullptr);
    EXPECT_EQ(GetNewControl(1021, window), nullptr);
    EXPECT_EQ(GetNewControl(1020, nullptr), nullptr);
}

}  // namespace

namespace {

// A vertical bar runs top to bottom, a horizontal one left to right: the
// thumb sits between the arrows and stays inside the track when moved.
TEST(ScrollBarGeometry, ThumbStaysBetweenTheArrows)
{
    for (Rect bounds : {Rect{0, 0, 200, 16}, Rect{0, 0, 16, 300}}) {
        scrollbar::Geometry g = scrollbar::Measure(bounds, 50, 0, 100);
        const bool vertical = bounds.bottom > bounds.right;
        EXPECT_EQ(g.vertical, vertical);
        auto start = [&](const Rect& r) { return vertical ? r.top : r.left; };
        auto end = [&](const Rect& r) { return vertical ? r.bottom : r.right; };
        EXPECT_LT(end(g.upArrow), start(g.thumb));
        EXPECT_LT(end(g.thumb), start(g.downArrow));
        EXPECT_EQ(start(scrollbar::MovedThumb(g, -1000)), start(g.track));
        EXPECT_EQ(end(scrollbar::MovedThumb(g, 1000)), end(g.track));
    }
}

TEST(ScrollBarGeometry, ThumbPositionGivesBackEveryValue)
{
    for (short maximum : {1, 7, 50, 300, 32767}) {
        for (short value : {short(0), short(maximum / 3), short(maximum / 2), maximum}) {
            scrollbar::Geometry g = scrollbar::Measure(Rect{0, 0, 285, 16}, value, 0, maximum);
            short back = scrollbar::ValueForThumb(g, g.thumb.top, 0, maximum);
            // With more values than pixels a pixel stands for several
            // values; the value shown must stay within one pixel's worth.
            long perPixel = maximum / (285 - 32 - 16) + 1;
            EXPECT_LE(std::abs(back - value), perPixel) << "max " << maximum << " value " << value;
            if (maximum < 200) {
                EXPECT_EQ(back, value) << "max " << maximum;
            }
        }
    }
}

}  // namespace
