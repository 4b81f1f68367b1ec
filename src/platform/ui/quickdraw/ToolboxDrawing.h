// Drawing helpers the Menu, Control and Dialog Managers share: UTF-8 text,
// the colours of the standard look, and keeping the caller's port.
#pragma once

#include <string_view>

#include "platform/ui/quickdraw/QuickDraw.h"

namespace look {

// Greys and accents of the standard look.
inline constexpr RGBColor kBlack{0, 0, 0};
inline constexpr RGBColor kWhite{0xFFFF, 0xFFFF, 0xFFFF};
inline constexpr RGBColor kDisabledText{0x9000, 0x9000, 0x9000};
inline constexpr RGBColor kFace{0xEEEE, 0xEEEE, 0xEEEE};       // button face
inline constexpr RGBColor kFacePressed{0xBBBB, 0xBBBB, 0xBBBB};
inline constexpr RGBColor kLight{0xFFFF, 0xFFFF, 0xFFFF};      // raised edge
inline constexpr RGBColor kShadow{0x8888, 0x8888, 0x8888};     // sunken edge
inline constexpr RGBColor kFrame{0x4444, 0x4444, 0x4444};
inline constexpr RGBColor kTrack{0xDDDD, 0xDDDD, 0xDDDD};      // scroll bar track
inline constexpr RGBColor kSelection{0x3800, 0x7500, 0xD700};  // menu highlight
inline constexpr RGBColor kTextSelection{0xB400, 0xD500, 0xFF00};
inline constexpr RGBColor kMenuBack{0xF6F6, 0xF6F6, 0xF6F6};

// Text of the standard look: the system font at 12 points.
void UseSystemFont();
void DrawUtf8(std::string_view text);
short WidthUtf8(std::string_view text);
// Ascent + descent + leading of the current font.
short LineHeight();
short Ascent();

// Draws text so that its box is centred in r (vertically by its ascent).
void DrawCentered(std::string_view text, const Rect& r);

void Fill(const Rect& r, const RGBColor& color);
void Frame(const Rect& r, const RGBColor& color);
// A one-point line in the given colour, pen and colours restored after.
void Line(short h1, short v1, short h2, short v2, const RGBColor& color);
// Raised (or pressed-in) bevel inside r.
void Bevel(const Rect& r, bool pressed);

// Sets the port for a scope and restores the caller's port, pen, font and
// colours when it ends.
class PortScope {
public:
    explicit PortScope(GrafPtr port);
    ~PortScope();
    PortScope(const PortScope&) = delete;
    PortScope& operator=(const PortScope&) = delete;

private:
    GrafPtr saved = nullptr;
    GrafPtr port = nullptr;
    PenState pen{};
    RGBColor fore{}, back{};
    short font = 0, size = 0;
    Style face = 0;
};

}  // namespace look
