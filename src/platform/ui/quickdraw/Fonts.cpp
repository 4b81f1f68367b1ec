// Font lookup and glyph rendering with fontconfig and FreeType.
#include "platform/ui/quickdraw/Fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

namespace fonts {

namespace {

struct Glyph {
    int left = 0, top = 0, width = 0, height = 0;
    int advance = 0;  // device pixels
    std::vector<UInt8> coverage;
};

// One face at one pixel size, with its glyphs.
struct SizedFace {
    FT_Face face = nullptr;
    int px = 0;
    bool emboldenBySynthesis = false;
    std::map<char32_t, Glyph> glyphs;
    ~SizedFace()
    {
        if (face) FT_Done_Face(face);
    }
};

struct FontLibrary {
    FT_Library ft = nullptr;
    bool fcReady = false;
    std::map<std::tuple<std::string, int, int>, std::unique_ptr<SizedFace>> faces;  // family, style, px
    std::map<std::tuple<std::string, int>, std::string> files;                      // family, style -> path
    std::map<std::pair<std::string, int>, std::unique_ptr<SizedFace>> fallbackFaces;  // path, px
    std::map<char32_t, std::string> fallbackFiles;                                  // character -> path
    std::map<std::string, short> numbersByName;
    std::map<short, std::string> namesByNumber;
    short nextNumber = 1024;

    FontLibrary()
    {
        FT_Init_FreeType(&ft);
        fcReady = FcInit();
    }
    ~FontLibrary()
    {
        // Faces belong to the library and must go before it.
        faces.clear();
        fallbackFaces.clear();
        if (ft) FT_Done_FreeType(ft);
        // Frees fontconfig's parsed configuration too, so that leak checkers
        // see a clean exit.
        if (fcReady) FcFini();
    }
};

std::unique_ptr<FontLibrary>& LibrarySlot()
{
    static std::unique_ptr<FontLibrary> lib;
    return lib;
}

FontLibrary& Library()
{
    auto& slot = LibrarySlot();
    if (!slot) slot = std::make_unique<FontLibrary>();
    return *slot;
}

// Coverage is lifted a little so that small grey text reads as dark as the
// one-bit text people expect from these fonts.
const std::array<UInt8, 256>& CoverageCurve()
{
    static std::array<UInt8, 256> curve = [] {
        std::array<UInt8, 256> c{};
        for (int i = 0; i < 256; ++i) c[size_t(i)] = UInt8(std::lround(255.0 * std::pow(i / 255.0, 0.75)));
        return c;
    }();
    return curve;
}

std::string FamilyOf(short number)
{
    switch (number) {
    case systemFont:
    case applFont:
    case kFontIDGeneva:
    case kFontIDHelvetica: return "sans-serif";
    case kFontIDMonaco:
    case kFontIDCourier: return "monospace";
    case kFontIDNewYork:
    case kFontIDTimes: return "serif";
    default: break;
    }
    auto& names = Library().namesByNumber;
    auto it = names.find(number);
    return it == names.end() ? "sans-serif" : it->second;
}

int StyleBits(Style face) { return face & (bold | italic); }

std::string FindFile(const std::string& family, int style)
{
    FontLibrary& lib = Library();
    auto key = std::make_tuple(family, style);
    auto it = lib.files.find(key);
    if (it != lib.files.end()) return it->second;
    std::string path;
    if (lib.fcReady) {
        FcPattern* pat = FcPatternCreate();
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pat, FC_WEIGHT, (style & bold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pat, FC_SLANT, (style & italic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(nullptr, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pat, &result);
        FcChar8* file = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<char*>(file);
        if (match) FcPatternDestroy(match);
        FcPatternDestroy(pat);
    }
    lib.files[key] = path;
    return path;
}

SizedFace* FaceFor(const FontChoice& choice, int scale)
{
    FontLibrary& lib = Library();
    std::string family = FamilyOf(choice.font);
    int style = StyleBits(choice.face);
    int px = std::max(1, (choice.size > 0 ? choice.size : 12) * scale);
    auto key = std::make_tuple(family, style, px);
    auto it = lib.faces.find(key);
    if (it != lib.faces.end()) return it->second.get();
    auto sized = std::make_unique<SizedFace>();
    std::string path = FindFile(family, style);
    sized->px = px;
    if (!path.empty() && FT_New_Face(lib.ft, path.c_str(), 0, &sized->face) == 0) {
        FT_Set_Pixel_Sizes(sized->face, 0, FT_UInt(px));
        sized->emboldenBySynthesis = (style & bold) && !(sized->face->style_flags & FT_STYLE_FLAG_BOLD);
    } else {
        sized->face = nullptr;
    }
    SizedFace* raw = sized.get();
    lib.faces[key] = std::move(sized);
    return raw;
}

// A font that has the character, for text the chosen face cannot show
// (CJK titles, symbols); "" when no installed font has it.
std::string FallbackFile(char32_t cp)
{
    FontLibrary& lib = Library();
    auto it = lib.fallbackFiles.find(cp);
    if (it != lib.fallbackFiles.end()) return it->second;
    std::string path;
    if (lib.fcReady) {
        FcPattern* pat = FcPatternCreate();
        FcCharSet* wanted = FcCharSetCreate();
        FcCharSetAddChar(wanted, FcChar32(cp));
        FcPatternAddCharSet(pat, FC_CHARSET, wanted);
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
        FcConfigSubstitute(nullptr, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pat, &result);
        FcCharSet* has = nullptr;
        FcChar8* file = nullptr;
        if (match && FcPatternGetCharSet(match, FC_CHARSET, 0, &has) == FcResultMatch &&
            FcCharSetHasChar(has, FcChar32(cp)) && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
            path = reinterpret_cast<char*>(file);
        if (match) FcPatternDestroy(match);
        FcCharSetDestroy(wanted);
        FcPatternDestroy(pat);
    }
    lib.fallbackFiles[cp] = path;
    return path;
}

SizedFace* FallbackFace(char32_t cp, int px)
{
    std::string path = FallbackFile(cp);
    if (path.empty()) return nullptr;
    FontLibrary& lib = Library();
    auto key = std::make_pair(path, px);
    auto it = lib.fallbackFaces.find(key);
    if (it != lib.fallbackFaces.end()) return it->second->face ? it->second.get() : nullptr;
    auto sized = std::make_unique<SizedFace>();
    sized->px = px;
    if (FT_New_Face(lib.ft, path.c_str(), 0, &sized->face) == 0)
        FT_Set_Pixel_Sizes(sized->face, 0, FT_UInt(px));
    else
        sized->face = nullptr;
    SizedFace* raw = sized->face ? sized.get() : nullptr;
    lib.fallbackFaces[key] = std::move(sized);
    return raw;
}

Glyph Render(SizedFace& sf, FT_UInt index)
{
    Glyph g;
    if (FT_Load_Glyph(sf.face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) return g;
    if (sf.emboldenBySynthesis) FT_GlyphSlot_Embolden(sf.face->glyph);
    if (FT_Render_Glyph(sf.face->glyph, FT_RENDER_MODE_NORMAL) != 0) return g;
    FT_GlyphSlot slot = sf.face->glyph;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = int(slot->bitmap.width);
    g.height = int(slot->bitmap.rows);
    g.advance = int((slot->advance.x + 32) >> 6);
    g.coverage.resize(size_t(g.width) * g.height);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            g.coverage[size_t(y) * g.width + x] = CoverageCurve()[slot->bitmap.buffer[y * slot->bitmap.pitch + x]];
    return g;
}

const Glyph& GlyphFor(SizedFace& sf, char32_t cp)
{
    auto it = sf.glyphs.find(cp);
    if (it != sf.glyphs.end()) return it->second;
    Glyph g;
    FT_UInt index = FT_Get_Char_Index(sf.face, FT_ULong(cp));
    SizedFace* fallback = index == 0 && cp >= 0x80 ? FallbackFace(cp, sf.px) : nullptr;
    if (index != 0)
        g = Render(sf, index);
    else if (fallback)
        g = Render(*fallback, FT_Get_Char_Index(fallback->face, FT_ULong(cp)));
    else
        g = Render(sf, FT_Get_Char_Index(sf.face, 0xFFFD));
    return sf.glyphs.emplace(cp, std::move(g)).first->second;
}

inline UInt32 Blend(UInt32 dst, UInt32 color, int a)
{
    auto mix = [&](int shift) {
        int d = int((dst >> shift) & 0xFF), c = int((color >> shift) & 0xFF);
        return UInt32((d * (255 - a) + c * a + 127) / 255) << shift;
    };
    return 0xFF000000u | mix(16) | mix(8) | mix(0);
}

void BlitGlyph(QDPixels& bits, const qd::DevRect& clip, int x, int y, const Glyph& g, UInt32 color)
{
    qd::DevRect box{x + g.left, y - g.top, x + g.left + g.width, y - g.top + g.height};
    qd::DevRect r = qd::Intersect(qd::Intersect(box, clip), qd::DevRect{0, 0, bits.width, bits.height});
    for (int py = r.y0; py < r.y1; ++py) {
        const UInt8* cov = &g.coverage[size_t(py - box.y0) * g.width];
        UInt32* row = &bits.pixels[size_t(py) * bits.width];
        for (int px = r.x0; px < r.x1; ++px) {
            int a = cov[px - box.x0];
            if (a == 255)
                row[px] = color;
            else if (a)
                row[px] = Blend(row[px], color, a);
        }
    }
}

}  // namespace

char32_t NextCodePoint(std::string_view text, size_t& i)
{
    unsigned char b = static_cast<unsigned char>(text[i]);
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra == 0) {
        ++i;
        return b;
    }
    if (extra < 0 || i + size_t(extra) >= text.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char c = static_cast<unsigned char>(text[i + size_t(k)]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += size_t(extra) + 1;
    return cp;
}

FontChoice ChoiceOf(const GrafPort* port)
{
    FontChoice choice;
    choice.font = port->txFont;
    choice.size = port->txSize > 0 ? port->txSize : 12;
    choice.face = port->txFace;
    return choice;
}

Metrics GetMetrics(const FontChoice& choice, int scale)
{
    Metrics m;
    SizedFace* sf = FaceFor(choice, scale);
    if (!sf || !sf->face) return m;
    const FT_Size_Metrics& sm = sf->face->size->metrics;
    m.ascent = int((sm.ascender + 63) >> 6);
    m.descent = int((-sm.descender + 63) >> 6);
    m.leading = std::max(0, int((sm.height + 32) >> 6) - m.ascent - m.descent);
    m.widMax = int((sm.max_advance + 32) >> 6);
    return m;
}

int TextAdvance(const FontChoice& choice, int scale, std::string_view utf8)
{
    SizedFace* sf = FaceFor(choice, scale);
    if (!sf || !sf->face) return 0;
    int advance = 0;
    for (size_t i = 0; i < utf8.size();) advance += GlyphFor(*sf, NextCodePoint(utf8, i)).advance;
    return advance;
}

int DrawText(QDPixels& bits, const std::vector<qd::DevRect>& clip, int x, int y, const FontChoice& choice, int scale,
             std::string_view utf8, UInt32 color)
{
    SizedFace* sf = FaceFor(choice, scale);
    if (!sf || !sf->face) return 0;
    int pen = x;
    for (size_t i = 0; i < utf8.size();) {
        const Glyph& g = GlyphFor(*sf, NextCodePoint(utf8, i));
        for (const qd::DevRect& c : clip) BlitGlyph(bits, c, pen, y, g, color);
        pen += g.advance;
    }
    if (choice.face & underline) {
        qd::Paint line;
        line.fg = color;
        int thickness = std::max(1, scale);
        qd::PaintDevice(bits, clip, qd::DevRect{x, y + scale, pen, y + scale + thickness}, line, short(scale));
    }
    return pen - x;
}

short FontNumber(const std::string& name)
{
    static const std::map<std::string, short> classic = {
        {"system", systemFont}, {"chicago", systemFont}, {"charcoal", systemFont}, {"geneva", kFontIDGeneva},
        {"new york", kFontIDNewYork}, {"monaco", kFontIDMonaco}, {"times", kFontIDTimes},
        {"helvetica", kFontIDHelvetica}, {"courier", kFontIDCourier}, {"application", applFont}};
    std::string lower;
    for (char c : name) lower += char(std::tolower(static_cast<unsigned char>(c)));
    auto it = classic.find(lower);
    if (it != classic.end()) return it->second;
    FontLibrary& lib = Library();
    auto known = lib.numbersByName.find(lower);
    if (known != lib.numbersByName.end()) return known->second;
    short number = lib.nextNumber++;
    lib.numbersByName[lower] = number;
    lib.namesByNumber[number] = name;
    return number;
}

std::string FontName(short number)
{
    switch (number) {
    case systemFont: return "Chicago";
    case applFont:
    case kFontIDGeneva: return "Geneva";
    case kFontIDNewYork: return "New York";
    case kFontIDMonaco: return "Monaco";
    case kFontIDTimes: return "Times";
    case kFontIDHelvetica: return "Helvetica";
    case kFontIDCourier: return "Courier";
    default: break;
    }
    auto& names = Library().namesByNumber;
    auto it = names.find(number);
    return it == names.end() ? std::string() : it->second;
}

void Reset() { LibrarySlot().reset(); }

}  // namespace fonts
