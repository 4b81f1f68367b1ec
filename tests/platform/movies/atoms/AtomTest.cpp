// Atoms read and written: every kind comes back byte for byte, bytes that a
// fixed layout leaves are kept and reported, sizes and counts are checked
// before anything is allocated, and failures say what and where.
#include <functional>
#include <gtest/gtest.h>

#include "AtomBytes.h"
#include "platform/movies/MoviesError.h"
#include "platform/movies/atoms/AtomFactory.h"
#include "platform/movies/atoms/ChunkOffsetAtom.h"
#include "platform/movies/atoms/ContainerAtom.h"
#include "platform/movies/atoms/DrefAtom.h"
#include "platform/movies/atoms/ElstAtom.h"
#include "platform/movies/atoms/FragmentAtoms.h"
#include "platform/movies/atoms/HdlrAtom.h"
#include "platform/movies/atoms/RawAtom.h"
#include "platform/movies/atoms/SampleTableAtoms.h"
#include "platform/movies/atoms/StsdAtom.h"
#include "platform/movies/atoms/StszAtom.h"
#include "platform/movies/atoms/Stz2Atom.h"

namespace {

struct Reading {
    std::unique_ptr<Atom> atom;
    AtomStatus status;
    std::vector<AtomStatus> warnings;
};

Reading Read(const AtomBytes& b)
{
    AtomReader r(b.bytes, 0, "");
    Reading out;
    out.atom = ReadAtom(r);
    out.status = r.Status();
    out.warnings = r.Warnings();
    return out;
}

template <class T> T* As(const Reading& r) { return dynamic_cast<T*>(r.atom.get()); }

std::vector<UInt8> Write(const Atom& a)
{
    std::vector<UInt8> out;
    ByteWriter w(out);
    a.Write(w);
    return out;
}

AtomBytes HdlrBody(const char* componentType, const AtomBytes& name)
{
    AtomBytes b;
    componentType ? b.Code(componentType) : b.U32(0);
    return b.Code("vide").U32(0).U32(0).U32(0).Add(name);
}

AtomBytes Mvhd(size_t extra)
{
    return AtomBytes::Full("mvhd", 0, 0, AtomBytes().U32(0).U32(0).U32(600).U32(1200).U32(0x10000).U16(0x100)
                                             .Zeros(10 + 36 + 24).U32(2).Zeros(extra));
}

struct RoundTrip {
    const char* name;
    AtomBytes bytes;
    size_t warnings = 0;
    // What the fields must read as (nil: only the round trip).
    std::function<void(const Reading&)> fields = nullptr;
};

}  // namespace

// Every kind is read as the file means it and written back byte for byte.
TEST(Atoms, EveryKindIsReadAndWrittenBackByteForByte)
{
    AtomBytes deep = AtomBytes::Atom("free");
    for (int i = 0; i < 200; ++i)
        deep = AtomBytes::Atom("trak", deep);
    AtomBytes e1, e2;
    e1.U32(16).Code("avc1").Zeros(6).U16(1);
    e2.U32(20).Code("hvc1").Zeros(6).U16(2).U32(0xABCD);
    const RoundTrip cases[] = {
        {"elst without entries", AtomBytes::Full("elst", 0, 0, AtomBytes().U32(0))},
        {"elst version 1", AtomBytes::Full("elst", 1, 0, AtomBytes().U32(1).U64(5'000'000'000ull).U64(UInt64(-1))
                                                             .U32(0x10000)), 0,
         [](const Reading& r) {
             EXPECT_EQ(As<ElstAtom>(r)->entries[0].duration, 5'000'000'000ull);
             EXPECT_EQ(As<ElstAtom>(r)->entries[0].mediaTime, -1);
         }},
        {"stts", AtomBytes::Full("stts", 0, 0, AtomBytes().U32(2).U32(3).U32(100).U32(1).U32(50))},
        {"ctts negative", AtomBytes::Full("ctts", 1, 0, AtomBytes().U32(1).U32(4).U32(UInt32(-512))), 0,
         [](const Reading& r) { EXPECT_EQ(As<CttsAtom>(r)->entries[0].offset, -512); }},
        {"stsc", AtomBytes::Full("stsc", 0, 0, AtomBytes().U32(1).U32(1).U32(5).U32(1))},
        {"stss", AtomBytes::Full("stss", 0, 0, AtomBytes().U32(2).U32(1).U32(25))},
        {"stss with stripped bytes after", AtomBytes::Full("stss", 0, 0, AtomBytes().U32(1).U32(1).U16(0xABCD)), 1},
        {"mvhd with bytes after its fields", Mvhd(6), 1},
        // No table for a billion equal samples.
        {"stsz with one size", AtomBytes::Full("stsz", 0, 0, AtomBytes().U32(2).U32(1'000'000'000)), 0,
         [](const Reading& r) { EXPECT_EQ(As<StszAtom>(r)->table, nullptr); }},
        {"stz2 4-bit", AtomBytes::Full("stz2", 0, 0, AtomBytes().U24(0).U8(4).U32(3).U8(0x12).U8(0xF0)), 0,
         [](const Reading& r) {
             EXPECT_EQ(As<Stz2Atom>(r)->WidenedSizes(), (std::vector<UInt8>{0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 15}));
         }},
        {"co64", AtomBytes::Full("co64", 0, 0, AtomBytes().U32(2).U64(0x1'2345'6789ull).U64(8)), 0,
         [](const Reading& r) { EXPECT_EQ((*As<ChunkOffsetAtom>(r)->offsets)[0], 0x1'2345'6789ull); }},
        {"stsd with two entries", AtomBytes::Full("stsd", 0, 0, AtomBytes().U32(2).Add(e1).Add(e2))},
        {"dref", AtomBytes::Full("dref", 0, 0, AtomBytes().U32(2).Add(AtomBytes::Full("alis", 0, 1))
                                                 .Add(AtomBytes::Full("alis", 0, 0, AtomBytes().Text("a")))), 0,
         [](const Reading& r) {
             EXPECT_TRUE(As<DrefAtom>(r)->entries[0].IsSelf());
             EXPECT_FALSE(As<DrefAtom>(r)->entries[1].IsSelf());
         }},
        {"dref url", AtomBytes::Full("dref", 0, 0, AtomBytes().U32(1).Add(AtomBytes::Full("url ", 0, 0, AtomBytes().Text("file:///x"))))},
        {"hdlr counted name", AtomBytes::Full("hdlr", 0, 0, HdlrBody("mhlr", AtomBytes().U8(5).Text("Video")))},
        {"trun", AtomBytes::Full("trun", 0, 0x1 | 0x4 | 0x200 | 0x800,
                                 AtomBytes().U32(2).U32(100).U32(0x02000000).U32(50).U32(10).U32(60).U32(0))},
        {"tfhd", AtomBytes::Full("tfhd", 0, 0x1 | 0x10 | 0x20000, AtomBytes().U32(7).U64(4096).U32(33)), 0,
         [](const Reading& r) {
             EXPECT_EQ(As<TfhdAtom>(r)->baseDataOffset, 4096u);
             EXPECT_EQ(As<TfhdAtom>(r)->defaultSize, 33u);
         }},
        {"64-bit size", AtomBytes::LargeAtom("free", AtomBytes().U32(0xDEADBEEF))},
        {"size 0 to the end", AtomBytes::Atom("moov", AtomBytes::LyingAtom("free", 0, AtomBytes().U32(1).U32(2)))},
        {"unknown atoms", AtomBytes::Atom("moov", AtomBytes::Atom("zzzz", AtomBytes().Text("anything"))
                                                      .Add(AtomBytes::Atom("udta", AtomBytes().U32(0))))},
        {"container with a terminator", AtomBytes::Atom("trak", AtomBytes::Atom("free").U32(0))},
        {"deep nesting", deep},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reading r = Read(c.bytes);
        ASSERT_NE(r.atom, nullptr) << r.status.Describe();
        EXPECT_EQ(Write(*r.atom), c.bytes.bytes);
        EXPECT_EQ(r.warnings.size(), c.warnings);
        if (c.fields)
            c.fields(r);
    }
}

TEST(Atoms, BytesLeftAfterFixedFieldsAreReportedWithTheirPlace)
{
    Reading r = Read(AtomBytes::Atom("moov", Mvhd(6)));
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0].path, "moov/mvhd");
    EXPECT_EQ(r.warnings[0].offset, 8u + 108);
    EXPECT_NE(r.warnings[0].Describe().find("6 bytes after the fields"), std::string::npos);
}

TEST(Atoms, DamagedAtomsFailSayingWhatAndWhere)
{
    struct Case {
        const char* name;
        AtomBytes bytes;
        const char* what;
        const char* path;
    } cases[] = {
        {"huge entry count", AtomBytes::Full("stts", 0, 0, AtomBytes().U32(0x7FFFFFFF).U32(1).U32(1)),
         "stts entry count 2147483647", "stts"},
        // 0x40000001 * 4 overflows 32 bits to 4: a multiplication would pass.
        {"count overflow", AtomBytes::Full("stsz", 0, 0, AtomBytes().U32(0).U32(0x40000001).U32(9)), "count", "stsz"},
        {"64-bit size below the header", AtomBytes().U32(1).Code("free").U64(8), "does not fit", ""},
        {"size past the parent", AtomBytes::Atom("moov", AtomBytes::Atom("trak", AtomBytes::LyingAtom("tkhd", 500))),
         "'tkhd'", "moov/trak"},
        {"shorter than its fields", AtomBytes::Full("mvhd", 0, 0, AtomBytes().Zeros(20)), "past the end", "mvhd"},
        {"header cut short", AtomBytes().U32(100).U16(0x6D6F), "header", ""},
        {"stz2 odd field size", AtomBytes::Full("stz2", 0, 0, AtomBytes().U24(0).U8(12).U32(1).U16(5)),
         "field size 12", "stz2"},
        {"stz2 count", AtomBytes::Full("stz2", 0, 0, AtomBytes().U24(0).U8(16).U32(0xFFFFFFFF).U16(5)), "count",
         "stz2"},
        {"dref entry too large", AtomBytes::Full("dref", 0, 0, AtomBytes().U32(1).U32(4000).Code("alis").U32(1)),
         "dref entry", "dref"},
        {"trun count", AtomBytes::Full("trun", 0, 0, AtomBytes().U32(0xFFFFFFFF)), "", "trun"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reading r = Read(c.bytes);
        EXPECT_EQ(r.atom, nullptr);
        EXPECT_EQ(r.status.code, badPublicMovieAtom);
        EXPECT_NE(r.status.what.find(c.what), std::string::npos) << r.status.what;
        EXPECT_EQ(r.status.path, c.path);
    }
}

TEST(Atoms, HandlerNamesKeepTheirStyle)
{
    auto qt = Read(AtomBytes::Full("hdlr", 0, 0, HdlrBody("mhlr", AtomBytes().U8(200).Text("abc"))));
    EXPECT_EQ(As<HdlrAtom>(qt)->Name(), "abc");  // a count past the atom is cut
    auto iso = Read(AtomBytes::Full("hdlr", 0, 0, HdlrBody(nullptr, AtomBytes().Text("VideoHandler").U8(0))));
    auto* hdlr = As<HdlrAtom>(iso);
    EXPECT_EQ(hdlr->Name(), "VideoHandler");
    hdlr->SetName("Other");
    EXPECT_EQ(hdlr->nameBytes, (std::vector<UInt8>{'O', 't', 'h', 'e', 'r', 0}));
    EXPECT_EQ(hdlr->Size(), 8u + 24 + 6);
}

TEST(Atoms, ElstMovesToVersionOneWhenADurationNeedsIt)
{
    ElstAtom elst('elst');
    elst.SetEntries({{0x1'0000'0000ull, 0, 0x10000}});
    EXPECT_EQ(elst.version, 1);
    auto back = CloneAtom(elst);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(dynamic_cast<ElstAtom*>(back.get())->entries[0].duration, 0x1'0000'0000ull);
}
