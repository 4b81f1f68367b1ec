#include <gtest/gtest.h>

#include <string>

#include "platform/core/PascalStrings.h"
#include "platform/movies/Movies.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/events/Events.h"
#include "platform/controller/MovieProgressWindow.h"
#include "platform/ui/harness/Harness.h"

namespace {

constexpr UInt32 kFill = 0xFF3A6ED8;

// The checks find the bar and the Stop button by looking at the window, as a
// person would, so that moving them around does not break the tests.
class MovieProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override { harness::Start(800, 600); }

    static Rect Content()
    {
        Rect r;
        GetWindowBounds(MovieProgressWindow(), kWindowContentRgn, &r);
        return r;
    }

    // How many pixels of the window show the bar's fill colour.
    static int FilledPixels()
    {
        WindowPtr w = MovieProgressWindow();
        Rect r;
        GetWindowPortBounds(w, &r);
        int n = 0;
        for (short v = r.top; v < r.bottom; ++v)
            for (short h = r.left; h < r.right; ++h)
                n += harness::PortPixel(w, h, v) == kFill;
        return n;
    }

    // A point of the window, in global coordinates, over the control titled
    // `title`; with a null title, over no control at all.
    static Point PointOver(const char* title)
    {
        WindowPtr w = MovieProgressWindow();
        Rect r = Content();
        for (short v = 0; v < r.bottom - r.top; ++v)
            for (short h = 0; h < r.right - r.left; ++h) {
                ControlHandle c = nullptr;
                FindControl(Point{v, h}, w, &c);
                Str255 t{};
                if (c != nullptr)
                    GetControlTitle(c, t);
                if (title == nullptr ? c == nullptr : c != nullptr && pstr::ToStd(t) == title)
                    return Point{short(r.top + v), short(r.left + h)};
            }
        ADD_FAILURE() << "nothing found for " << (title ? title : "no control");
        return Point{0, 0};
    }
};

TEST_F(MovieProgressWindowTest, ShowsTheBarAsFarAsTheOperationGotAndGoesAway)
{
    EXPECT_EQ(MovieProgressWindowProc(nullptr, movieProgressOpen, progressOpFlatten, 0, 0), noErr);
    ASSERT_NE(MovieProgressWindow(), nullptr);
    EXPECT_EQ(FilledPixels(), 0);
    EXPECT_EQ(MovieProgressWindowProc(nullptr, movieProgressUpdatePercent, progressOpFlatten, fixed1 / 2, 0), noErr);
    int half = FilledPixels();
    EXPECT_GT(half, 0);
    MovieProgressWindowProc(nullptr, movieProgressUpdatePercent, progressOpFlatten, fixed1, 0);
    EXPECT_NEAR(FilledPixels(), 2 * half, half / 20 + 20);  // a rounding column either way
    EXPECT_EQ(MovieProgressWindowProc(nullptr, movieProgressClose, progressOpFlatten, fixed1, 0), noErr);
    EXPECT_EQ(MovieProgressWindow(), nullptr);
}

// Input is looked at on each update, so a request to stop is answered
// within a few updates of the operation.
bool CancelledWithinFewUpdates()
{
    for (int update = 1; update <= 5; ++update)
        if (MovieProgressWindowProc(nullptr, movieProgressUpdatePercent, progressOpFlatten, fixed1 / 8 * update, 0) ==
            userCanceledErr)
            return true;
    return false;
}

TEST_F(MovieProgressWindowTest, EscapeCommandPeriodOrTheStopButtonCancels)
{
    MovieProgressWindowProc(nullptr, movieProgressOpen, progressOpFlatten, 0, 0);
    harness::Key(kEscapeCharCode);
    EXPECT_TRUE(CancelledWithinFewUpdates());
    harness::Key('.', cmdKey);
    EXPECT_TRUE(CancelledWithinFewUpdates());
    harness::Click(PointOver("Stop"));
    EXPECT_TRUE(CancelledWithinFewUpdates());

    // A click elsewhere and other keys go on.
    harness::Click(PointOver(nullptr));
    harness::Key('x');
    harness::Key('.');
    EXPECT_FALSE(CancelledWithinFewUpdates());
    MovieProgressWindowProc(nullptr, movieProgressClose, progressOpFlatten, fixed1, 0);
}

}  // namespace
