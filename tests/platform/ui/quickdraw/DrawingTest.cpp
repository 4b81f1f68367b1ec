#include "ToolboxTestSupport.h"

#include <functional>

namespace {

class DrawingTest : public ToolboxTest {
protected:
    void SetUp() override
    {
        ToolboxTest::SetUp();
        window = MakeWindow("canvas", R(50, 50, 250, 200));
        DrainEvents();
        SetPortWindowPort(window);
    }

    UInt32 At(short h, short v) { return harness::PortPixel(window, h, v); }

    // Counts pixels in a local rectangle darker than mid-grey.
    int DarkPixels(Rect r)
    {
        int n = 0;
        for (short v = r.top; v < r.bottom; ++v)
            for (short h = r.left; h < r.right; ++h) {
                UInt32 p = At(h, v);
                if (((p >> 16) & 0xFF) < 0x80 && ((p >> 8) & 0xFF) < 0x80 && (p & 0xFF) < 0x80) ++n;
            }
        return n;
    }

    WindowPtr window = nullptr;
};

// Each case draws on a white window with the pen in black, then checks
// pixels just inside and just outside what it drew.
TEST_F(DrawingTest, ShapesPaintExactlyTheirPixels)
{
    constexpr UInt32 kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;
    struct Pixel {
        short h, v;
        UInt32 colour;
    };
    struct Case {
        const char* what;
        std::function<void()> draw;
        std::vector<Pixel> pixels;
    };
    const Case cases[] = {
        {"PaintRect uses the foreground colour and stays inside",
         [] {
             RGBColor red{0xFFFF, 0, 0};
             RGBForeColor(&red);
             Rect r = R(10, 10, 20, 30);
             PaintRect(&r);
         },
         {{10, 10, 0xFFFF0000u}, {19, 29, 0xFFFF0000u}, {20, 10, kWhite}, {10, 30, kWhite}, {9, 10, kWhite}}},
        {"EraseRect uses the background colour",
         [] {
             Rect all = R(0, 0, 200, 150);
             PaintRect(&all);
             RGBColor blue{0, 0, 0xFFFF};
             RGBBackColor(&blue);
             Rect r = R(5, 5, 10, 10);
             EraseRect(&r);
         },
         {{5, 5, 0xFF0000FFu}, {10, 10, kBlack}}},
        {"InvertRect inverts", [] { Rect r = R(0, 0, 10, 10); InvertRect(&r); }, {{3, 3, kBlack}, {10, 10, kWhite}}},
        {"and twice restores",
         [] {
             Rect r = R(0, 0, 10, 10);
             InvertRect(&r);
             InvertRect(&r);
         },
         {{3, 3, kWhite}}},
        {"FrameRect draws only the border, inside the rectangle",
         [] { Rect r = R(10, 10, 30, 30); FrameRect(&r); },
         {{10, 10, kBlack}, {29, 29, kBlack}, {20, 20, kWhite}, {30, 30, kWhite}}},
        {"LineTo draws both ends",
         [] {
             MoveTo(5, 5);
             LineTo(15, 10);
         },
         {{5, 5, kBlack}, {15, 10, kBlack}}},
        {"ClipRect limits drawing",
         [] {
             Rect clip = R(0, 0, 10, 10);
             ClipRect(&clip);
             Rect r = R(0, 0, 50, 50);
             PaintRect(&r);
         },
         {{5, 5, kBlack}, {20, 20, kWhite}}},
        {"PaintRoundRect leaves the corners alone", [] { Rect r = R(10, 10, 60, 40); PaintRoundRect(&r, 16, 16); },
         {{10, 10, kWhite}, {35, 25, kBlack}, {35, 10, kBlack}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rect all = R(0, 0, 200, 150);
        Rect wide = R(-1000, -1000, 1000, 1000);
        ClipRect(&wide);
        ForeColor(blackColor);
        BackColor(whiteColor);
        EraseRect(&all);
        c.draw();
        for (const Pixel& p : c.pixels)
            EXPECT_EQ(At(p.h, p.v), p.colour) << p.h << "," << p.v;
        ClipRect(&wide);
        ForeColor(blackColor);
        BackColor(whiteColor);
    }
    Point pen;
    GetPen(&pen);
    EXPECT_EQ(pen.h, 15) << "LineTo moved the pen";
    EXPECT_EQ(pen.v, 10);
}

// In hilite mode painting swaps the background and highlight colours and
// leaves others; a cleared hilite bit makes the next inversion do the same,
// once.
TEST_F(DrawingTest, HiliteSwapsBackgroundAndHighlightColours)
{
    RGBColor hl;
    LMGetHiliteRGB(&hl);
    UInt32 hiliteColour = 0xFF000000u | (UInt32(hl.red >> 8) << 16) | (UInt32(hl.green >> 8) << 8) | (hl.blue >> 8);
    Rect black = R(20, 0, 30, 10);
    PaintRect(&black);
    Rect area = R(0, 0, 40, 10);
    PenMode(hilite);
    PaintRect(&area);
    EXPECT_EQ(At(5, 5), hiliteColour);
    EXPECT_EQ(At(25, 5), 0xFF000000u);
    PaintRect(&area);
    EXPECT_EQ(At(5, 5), 0xFFFFFFFFu);
    PenNormal();

    Rect r = R(0, 0, 10, 10);
    LMSetHiliteMode(UInt8(LMGetHiliteMode() & 0x7F));
    InvertRect(&r);
    EXPECT_EQ(At(3, 3), hiliteColour);
    EXPECT_TRUE(LMGetHiliteMode() & 0x80);
    InvertRect(&r);  // a plain inversion again
    EXPECT_NE(At(3, 3), 0xFFFFFFFFu);
}

TEST_F(DrawingTest, ScrollRectMovesPixelsAndReturnsTheUncoveredArea)
{
    Rect mark = R(10, 10, 12, 12);
    PaintRect(&mark);
    Rect area = R(0, 0, 100, 100);
    RgnHandle uncovered = NewRgn();
    ScrollRect(&area, 0, -5, uncovered);
    EXPECT_EQ(At(10, 5), 0xFF000000u);
    EXPECT_EQ(At(10, 11), 0xFFFFFFFFu);
    std::vector<Rect> rects = GetRegionRects(uncovered);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].top, 95);
    EXPECT_EQ(rects[0].bottom, 100);
    EXPECT_EQ(rects[0].left, 0);
    EXPECT_EQ(rects[0].right, 100);

    ScrollRect(&area, 7, 0, uncovered);
    EXPECT_EQ(At(17, 5), 0xFF000000u);
    rects = GetRegionRects(uncovered);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].left, 0);
    EXPECT_EQ(rects[0].right, 7);
    DisposeRgn(uncovered);
}

TEST_F(DrawingTest, TextDrawsDarkPixelsInsideItsBoxAndAdvancesThePen)
{
    TextFont(kFontIDGeneva);
    TextSize(10);
    Str255 s;
    pstr::FromStd("Hello, track 1", s);
    short width = StringWidth(s);
    EXPECT_GT(width, 40);
    EXPECT_LT(width, 120);
    FontInfo info;
    GetFontInfo(&info);
    EXPECT_GE(info.ascent, 7);
    EXPECT_LE(info.ascent, 12);
    MoveTo(10, 30);
    DrawString(s);
    Point pen;
    GetPen(&pen);
    EXPECT_EQ(pen.h, 10 + width);
    Rect box = R(10, short(30 - info.ascent), short(10 + width), short(30 + info.descent));
    EXPECT_GT(DarkPixels(box), 30);
    Rect outside = R(short(12 + width), 0, 200, 150);
    EXPECT_EQ(DarkPixels(outside), 0);
}

// Widths count UTF-8 characters, not bytes, and bold is wider; characters
// missing from the font still show (from another font or as the
// replacement glyph); a cut sequence is drawn without reading past it.
TEST_F(DrawingTest, TextWidthsAndCharactersTheFontLacks)
{
    TextFont(systemFont);
    TextSize(12);
    EXPECT_GT(TextWidth("é", 0, 2), 0);
    EXPECT_EQ(TextWidth("éé", 0, 4), 2 * TextWidth("é", 0, 2));
    Str255 s;
    pstr::FromStd("Movie duration", s);
    short plain = StringWidth(s);
    TextFace(bold);
    EXPECT_GT(StringWidth(s), plain);
    TextFace(normal);

    pstr::FromStd("映画", s);
    short width = StringWidth(s);
    EXPECT_GT(width, 8);
    MoveTo(10, 30);
    DrawString(s);
    EXPECT_GT(DarkPixels(R(10, 18, short(10 + width), 34)), 10);

    const char bad[] = {'A', char(0xE2), char(0x82)};
    EXPECT_GT(TextWidth(bad, 0, 3), TextWidth(bad, 0, 1));
    DrawText(bad, 0, 3);
}

TEST_F(DrawingTest, HugeWindowsKeepABoundedBufferAndDrawSafely)
{
    SizeWindow(window, 30000, 30000, false);
    Rect r;
    GetPortBounds(window, &r);
    EXPECT_EQ(r.right, 30000);
    EXPECT_LE(size_t(window->bits.width) * window->bits.height, size_t(4096) * 4096);
    Rect all = R(0, 0, 30000, 30000);
    PaintRect(&all);
    RgnHandle uncovered = NewRgn();
    ScrollRect(&all, 100, 100, uncovered);
    EXPECT_FALSE(EmptyRgn(uncovered));
    EXPECT_EQ(At(200, 200), 0xFF000000u);
    DisposeRgn(uncovered);
}

TEST(DrawingAtScale2, PortsHoldTwoDevicePixelsPerPoint)
{
    harness::Start(400, 300, 2);
    Rect b = R(50, 50, 150, 150);
    Str255 t;
    pstr::FromStd("x2", t);
    WindowPtr w = NewCWindow(nullptr, &b, t, true, documentProc, reinterpret_cast<WindowPtr>(-1), true, 0);
    SetPortWindowPort(w);
    EXPECT_EQ(w->bits.width, 200);
    Rect r = R(10, 10, 11, 11);
    PaintRect(&r);
    EXPECT_EQ(w->bits.pixels[size_t(21) * 200 + 21], 0xFF000000u);
    EXPECT_EQ(w->bits.pixels[size_t(22) * 200 + 22], 0xFFFFFFFFu);
    EXPECT_EQ(harness::ScreenPixel(60, 60), 0xFF000000u);
    harness::Reset();
}

}  // namespace
