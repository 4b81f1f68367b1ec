// What the tracks window paints around its text: a separator line under
// every block and the selected block in the highlight colour, both across
// the whole window, however far the text has scrolled sideways.
#include "ViewerTestSupport.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "support/RunCommand.h"
#include "tracks/OrvoTracksWindow.h"

namespace {

constexpr UInt32 kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;
constexpr short kBlock = 56, kBar = 15;

using TracksWindowDrawing = AppTest;

TEST_F(TracksWindowDrawing, SeparatorsAndHighlightSpanTheWindow)
{
    // Three tracks (a picture and two sounds); a click selects the second.
    std::string path = Path("three.mov");
    ASSERT_EQ(RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=10 -f lavfi -i sine -f lavfi -i "
               "sine=frequency=500 -map 0 -map 1 -map 2 -t 1 -c:v mpeg4 -c:a pcm_s16le " + Quote(path)), 0);
    OpenByAppleEvent({path});
    ASSERT_NE(FrontViewer(), nullptr);
    auto* tracks = static_cast<OrvoTracksWindow*>(FrontViewer()->tracksWin);
    ASSERT_NE(tracks, nullptr);
    SelectWindow(*tracks);
    harness::Click(harness::ContentPoint(*tracks, 100, kBlock + 20));
    RunLoop();
    ASSERT_EQ(tracks->SelectedTrack(), tracks->TrackList()->next);
    RGBColor hl;
    LMGetHiliteRGB(&hl);
    const UInt32 highlight = kBlack | UInt32(hl.red >> 8) << 16 | UInt32(hl.green >> 8) << 8 | UInt32(hl.blue >> 8);

    // Not scrolled, and then, in a window too narrow for the text, scrolled
    // sideways by the scroll bar's right arrow, which moves what is drawn
    // and draws only the strip it uncovers.
    for (bool scrolled : {false, true}) {
        SCOPED_TRACE(scrolled);
        if (scrolled) {
            const short width = 300, height = 3 * kBlock + kBar;
            tracks->ResizeWindow(width, height);
            for (int i = 0; i < 20; ++i) {
                harness::Click(harness::ContentPoint(*tracks, width - 20, height - 8));
                RunLoop(2);
            }
            ASSERT_GE(GetControlValue(tracks->XScroll()), 40);
        }
        Rect port;
        GetPortBounds(GetWindowPort(*tracks), &port);
        auto at = [&](short h, short v) { return harness::PortPixel(GetWindowPort(*tracks), h, v); };
        // Left of the first column, and just left of the outline that the
        // grow icon draws beside the vertical scroll bar.
        for (short h : {short(port.left), short(port.left + 2), short(port.right - kBar - 2)}) {
            SCOPED_TRACE(h);
            EXPECT_EQ(at(h, kBlock - 1), kWhite) << "first block, unselected";
            EXPECT_EQ(at(h, kBlock), kBlack) << "separator under the first block";
            EXPECT_EQ(at(h, kBlock + 1), highlight) << "top of the selected block";
            EXPECT_EQ(at(h, 2 * kBlock - 1), highlight) << "bottom of the selected block";
            EXPECT_EQ(at(h, 2 * kBlock), kBlack) << "separator under the selected block";
            EXPECT_EQ(at(h, 2 * kBlock + 1), kWhite) << "third block, unselected";
        }
    }
}

}  // namespace
