// The classic toolbox's basic types, shared by every platform module.
//
// The application is written against the classic interfaces, so these keep
// their classic names and layouts. `long` stays the C++ long: the values the
// application keeps in it (dispatch results, menu choices, sizes) fit 32 bits.
#pragma once

#include <cstddef>
#include <cstdint>

typedef std::uint8_t UInt8;
typedef std::int8_t SInt8;
typedef std::uint16_t UInt16;
typedef std::int16_t SInt16;
typedef std::uint32_t UInt32;
typedef std::int32_t SInt32;
typedef std::uint64_t UInt64;
typedef std::int64_t SInt64;

typedef unsigned char Boolean;
typedef SInt16 OSErr;
typedef SInt32 OSStatus;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef FourCharCode ResType;
typedef FourCharCode DescType;
typedef long Size;
typedef char* Ptr;
typedef Ptr* Handle;
typedef SInt16 ScriptCode;
typedef UInt32 UniChar32;

// 16.16 fixed point: rates, track dimensions.
typedef SInt32 Fixed;
typedef Fixed* FixedPtr;
typedef SInt32 Fract;

// Length-prefixed ("Pascal") strings: one length byte, then the bytes.
// Orvo stores UTF-8 in them.
typedef unsigned char Str255[256];
typedef unsigned char Str63[64];
typedef unsigned char Str32[33];
typedef unsigned char Str31[32];
typedef unsigned char Str27[28];
typedef unsigned char Str15[16];
typedef unsigned char* StringPtr;
typedef StringPtr* StringHandle;
typedef const unsigned char* ConstStringPtr;
typedef const unsigned char* ConstStr255Param;
typedef const unsigned char* ConstStr63Param;
typedef const unsigned char* ConstStr31Param;

struct Point {
    short v;
    short h;
};
typedef Point* PointPtr;

struct Rect {
    short top;
    short left;
    short bottom;
    short right;
};
typedef Rect* RectPtr;

struct RGBColor {
    unsigned short red;
    unsigned short green;
    unsigned short blue;
};

// The event record every event handler receives.
// `message` is pointer-wide (unsigned long, as classic headers declare it):
// update and activate events carry the WindowPtr there.
struct EventRecord {
    UInt16 what;
    unsigned long message;
    UInt32 when;
    Point where;
    UInt16 modifiers;
};
typedef SInt16 EventKind;
typedef UInt16 EventModifiers;

enum {
    noErr = 0,
    paramErr = -50,
    memFullErr = -108,
    nilHandleErr = -109,
    memWZErr = -111,
    userCanceledErr = -128,
    resNotFound = -192,
    unimpErr = -4,
};

#ifndef nil
#define nil nullptr
#endif

enum { kNilOptions = 0 };

// Builds a four-character code from a C string such as "moov"; for places
// where a multi-character literal would be unclear.
constexpr FourCharCode FOUR_CHAR_CODE(const char (&s)[5])
{
    return (FourCharCode(UInt8(s[0])) << 24) | (FourCharCode(UInt8(s[1])) << 16) |
           (FourCharCode(UInt8(s[2])) << 8) | FourCharCode(UInt8(s[3]));
}

inline Fixed Long2Fix(long x) { return Fixed(x << 16); }
inline long Fix2Long(Fixed x) { return long(x >> 16); }
inline double Fix2X(Fixed x) { return double(x) / 65536.0; }
inline Fixed X2Fix(double x) { return Fixed(x * 65536.0 + (x < 0 ? -0.5 : 0.5)); }
enum : Fixed { fixed1 = 0x00010000 };
