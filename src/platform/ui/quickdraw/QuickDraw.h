// The QuickDraw subset: ports, pen, rectangles, regions, colours and text.
//
// Every port owns an offscreen buffer of 32-bit pixels (0xAARRGGBB). Drawing
// happens in the port's local coordinates; the window manager composes the
// buffers onto the screen. On a high-density screen a port's buffer holds
// `scale` device pixels per point, and every call below still speaks points:
// the scaling stays inside QuickDraw.
#pragma once

#include <string>
#include <vector>

#include "platform/core/MacTypes.h"

// ---------------------------------------------------------------- regions

// A region is a list of disjoint rectangles. RgnHandle is opaque; use the
// calls below to build and read regions.
struct MacRegion;
typedef MacRegion* RgnPtr;
typedef RgnPtr* RgnHandle;

RgnHandle NewRgn();
void DisposeRgn(RgnHandle rgn);
void CopyRgn(RgnHandle srcRgn, RgnHandle dstRgn);
void SetEmptyRgn(RgnHandle rgn);
void SetRectRgn(RgnHandle rgn, short left, short top, short right, short bottom);
void RectRgn(RgnHandle rgn, const Rect* r);
void OffsetRgn(RgnHandle rgn, short dh, short dv);
void InsetRgn(RgnHandle rgn, short dh, short dv);
void SectRgn(RgnHandle srcRgnA, RgnHandle srcRgnB, RgnHandle dstRgn);
void UnionRgn(RgnHandle srcRgnA, RgnHandle srcRgnB, RgnHandle dstRgn);
void DiffRgn(RgnHandle srcRgnA, RgnHandle srcRgnB, RgnHandle dstRgn);
void XorRgn(RgnHandle srcRgnA, RgnHandle srcRgnB, RgnHandle dstRgn);
Boolean EmptyRgn(RgnHandle rgn);
Boolean EqualRgn(RgnHandle rgnA, RgnHandle rgnB);
Boolean PtInRgn(Point pt, RgnHandle rgn);
Boolean RectInRgn(const Rect* r, RgnHandle rgn);
Rect* GetRegionBounds(RgnHandle region, Rect* bounds);
Boolean IsRegionRectangular(RgnHandle region);
// Orvo: the rectangles of a region (disjoint, sorted top to bottom, then left
// to right), for tests and for code that walks a region.
std::vector<Rect> GetRegionRects(RgnHandle region);

// ---------------------------------------------------------------- rectangles and points

void SetRect(Rect* r, short left, short top, short right, short bottom);
void OffsetRect(Rect* r, short dh, short dv);
void InsetRect(Rect* r, short dh, short dv);
// Intersection; false (and an empty dstRect) when they do not meet.
Boolean SectRect(const Rect* src1, const Rect* src2, Rect* dstRect);
void UnionRect(const Rect* src1, const Rect* src2, Rect* dstRect);
Boolean PtInRect(Point pt, const Rect* r);
Boolean EqualRect(const Rect* rect1, const Rect* rect2);
Boolean EmptyRect(const Rect* r);
void Pt2Rect(Point pt1, Point pt2, Rect* dstRect);
void SetPt(Point* pt, short h, short v);
void AddPt(Point src, Point* dst);
void SubPt(Point src, Point* dst);
Boolean EqualPt(Point pt1, Point pt2);

// ---------------------------------------------------------------- ports

struct Pattern {
    UInt8 pat[8];
};
typedef const Pattern* ConstPatternParam;

typedef unsigned char Style;
enum : unsigned char {
    normal = 0,
    bold = 1,
    italic = 2,
    underline = 4,
    outline = 8,
    shadow = 16,
    condense = 32,
    extend = 64,
};

// Transfer modes. patCopy/srcCopy paint with the foreground colour, patXor
// and srcXor invert, patBic and srcBic paint with the background colour.
// hilite (50) swaps the background colour with the highlight colour.
enum : short {
    srcCopy = 0,
    srcOr = 1,
    srcXor = 2,
    srcBic = 3,
    notSrcCopy = 4,
    notSrcOr = 5,
    notSrcXor = 6,
    notSrcBic = 7,
    patCopy = 8,
    patOr = 9,
    patXor = 10,
    patBic = 11,
    notPatCopy = 12,
    notPatOr = 13,
    notPatXor = 14,
    notPatBic = 15,
    hilite = 50,
};

// The classic eight colours for ForeColor/BackColor.
enum : long {
    whiteColor = 30,
    blackColor = 33,
    yellowColor = 69,
    magentaColor = 137,
    redColor = 205,
    cyanColor = 273,
    greenColor = 341,
    blueColor = 409,
};

// Font numbers. The system font (0) and Geneva map to a sans-serif face,
// Monaco and Courier to a monospaced one, Times to a serif one.
enum : short {
    systemFont = 0,
    applFont = 1,
    kFontIDNewYork = 2,
    kFontIDGeneva = 3,
    kFontIDMonaco = 4,
    kFontIDTimes = 20,
    kFontIDHelvetica = 21,
    kFontIDCourier = 22,
};

struct FontInfo {
    short ascent;
    short descent;
    short widMax;
    short leading;
};

struct PenState {
    Point pnLoc;
    Point pnSize;
    short pnMode;
    Pattern pnPat;
};

// Device pixels of a port (or of the screen): width x height, row by row.
struct QDPixels {
    int width = 0;
    int height = 0;
    std::vector<UInt32> pixels;  // 0xAARRGGBB
};

// A drawing port. Fields keep their classic names; code outside QuickDraw
// should treat them as read-only and use the calls below.
struct GrafPort {
    Rect portRect{};         // local bounds; top-left is (0,0) unless SetOrigin moved it
    Point portGlobal{};      // global position of portRect's top-left corner
    short scale = 1;         // device pixels per point in `bits`
    QDPixels bits;           // the offscreen buffer, portRect size x scale

    Point pnLoc{};
    Point pnSize{1, 1};
    short pnMode = patCopy;
    Pattern pnPat{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
    RGBColor rgbFgColor{0, 0, 0};
    RGBColor rgbBkColor{0xFFFF, 0xFFFF, 0xFFFF};
    short txFont = systemFont;
    Style txFace = normal;
    short txSize = 0;        // 0: the font's standard size (12 for the system font)
    RgnHandle clipRgn = nullptr;  // set by ClipRect/SetClip; "wide open" by default
    RgnHandle visRgn = nullptr;   // the update region between BeginUpdate/EndUpdate, else nil
    bool isWindow = false;   // the port is the first part of a WindowRecord

    GrafPort() = default;
    // A port owns its regions and buffer; it is never copied.
    GrafPort(const GrafPort&) = delete;
    GrafPort& operator=(const GrafPort&) = delete;
    virtual ~GrafPort();
};
typedef GrafPort* GrafPtr;
typedef GrafPort CGrafPort;
typedef GrafPtr CGrafPtr;

// The screen, as the classic BitMap: bounds is (0,0)-(width,height) in points.
struct BitMap {
    Ptr baseAddr;
    short rowBytes;
    Rect bounds;
};

void SetPort(GrafPtr port);
void GetPort(GrafPtr* port);
Rect* GetPortBounds(CGrafPtr port, Rect* rect);
void SetOrigin(short h, short v);
void GlobalToLocal(Point* pt);
void LocalToGlobal(Point* pt);
void ClipRect(const Rect* r);
void SetClip(RgnHandle rgn);
void GetClip(RgnHandle rgn);
RgnHandle GetPortClipRegion(CGrafPtr port, RgnHandle clipRgn);
RgnHandle GetPortVisibleRegion(CGrafPtr port, RgnHandle visRgn);
BitMap* GetQDGlobalsScreenBits(BitMap* screenBits);
Pattern* GetQDGlobalsBlack(Pattern* black);
Pattern* GetQDGlobalsWhite(Pattern* white);
Pattern* GetQDGlobalsGray(Pattern* gray);
Pattern* GetQDGlobalsLightGray(Pattern* ltGray);
Pattern* GetQDGlobalsDarkGray(Pattern* dkGray);
// Presents what was drawn into the port now (drawing is otherwise shown at
// the next WaitNextEvent).
void QDFlushPortBuffer(CGrafPtr port, RgnHandle region);

// ---------------------------------------------------------------- pen and colours

void MoveTo(short h, short v);
void Move(short dh, short dv);
void LineTo(short h, short v);
void Line(short dh, short dv);
void GetPen(Point* pt);
void PenSize(short width, short height);
void PenMode(short mode);
void PenPat(const Pattern* pat);
void PenNormal();
void GetPenState(PenState* pnState);
void SetPenState(const PenState* pnState);
void ForeColor(long color);
void BackColor(long color);
void RGBForeColor(const RGBColor* color);
void RGBBackColor(const RGBColor* color);
void GetForeColor(RGBColor* color);
void GetBackColor(RGBColor* color);
// The highlight colour used by pen mode hilite (50) and InvertRect.
void LMGetHiliteRGB(RGBColor* hiliteRGBValue);
void LMSetHiliteRGB(const RGBColor* hiliteRGBValue);
// Clearing the high bit (LMSetHiliteMode(LMGetHiliteMode() & 0x7F)) makes
// the next InvertRect/InvertRgn/InvertRoundRect highlight instead of invert.
UInt8 LMGetHiliteMode();
void LMSetHiliteMode(UInt8 value);

// ---------------------------------------------------------------- shapes

void FrameRect(const Rect* r);
void PaintRect(const Rect* r);
void EraseRect(const Rect* r);
void InvertRect(const Rect* r);
void FillRect(const Rect* r, const Pattern* pat);
// Orvo: fills with a colour, leaving the port's colours as they were.
void FillCRect(const Rect* r, const RGBColor* color);
void FrameRoundRect(const Rect* r, short ovalWidth, short ovalHeight);
void PaintRoundRect(const Rect* r, short ovalWidth, short ovalHeight);
void EraseRoundRect(const Rect* r, short ovalWidth, short ovalHeight);
void InvertRoundRect(const Rect* r, short ovalWidth, short ovalHeight);
void FillRoundRect(const Rect* r, short ovalWidth, short ovalHeight, const Pattern* pat);
void FrameOval(const Rect* r);
void PaintOval(const Rect* r);
void EraseOval(const Rect* r);
void InvertOval(const Rect* r);
void FrameRgn(RgnHandle rgn);
void PaintRgn(RgnHandle rgn);
void EraseRgn(RgnHandle rgn);
void InvertRgn(RgnHandle rgn);
void FillRgn(RgnHandle rgn, const Pattern* pat);

// Shifts the pixels inside r by (dh, dv) and fills the area left behind with
// the background colour. updateRgn (if not nil) receives that area.
void ScrollRect(const Rect* r, short dh, short dv, RgnHandle updateRgn);

// Orvo: draws 32-bit pixels (0xAARRGGBB rows of `rowPixels`) of a
// width x height image scaled into dstRect of the current port; the movie
// controller shows video frames with it.
void QDDrawPixels(const Rect* dstRect, const UInt32* argb, int width, int height, int rowPixels);

// ---------------------------------------------------------------- text (UTF-8)

void TextFont(short font);
void TextFace(Style face);
void TextSize(short size);
void TextMode(short mode);
void GetFNum(ConstStr255Param name, short* familyID);
void GetFontName(short familyID, Str255 name);
void DrawString(ConstStr255Param s);
void DrawText(const void* textBuf, short firstByte, short byteCount);
void DrawChar(short ch);
short StringWidth(ConstStr255Param s);
short TextWidth(const void* textBuf, short firstByte, short byteCount);
short CharWidth(short ch);
void GetFontInfo(FontInfo* info);

// ---------------------------------------------------------------- cursor

void InitCursor();
void ObscureCursor();
void ShowCursor();
void HideCursor();
