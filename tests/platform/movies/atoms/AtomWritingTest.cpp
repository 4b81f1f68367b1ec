// Writing atoms: sizes computed from the fields, handler names in both
// styles, data references and sample descriptions kept whole.
#include <gtest/gtest.h>

#include "AtomBytes.h"
#include "platform/movies/atoms/AtomFactory.h"
#include "platform/movies/atoms/ChunkOffsetAtom.h"
#include "platform/movies/atoms/DrefAtom.h"
#include "platform/movies/atoms/FragmentAtoms.h"
#include "platform/movies/atoms/HdlrAtom.h"
#include "platform/movies/atoms/StsdAtom.h"

namespace {

template <class T> std::unique_ptr<T> ReadAs(const AtomBytes& b)
{
    AtomReader r(b.bytes, 0, "");
    auto atom = ReadAtom(r);
    return std::unique_ptr<T>(dynamic_cast<T*>(atom.release()));
}

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
    if (componentType)
        b.Code(componentType);
    else
        b.U32(0);
    return b.Code("vide").U32(0).U32(0).U32(0).Add(name);
}

}  // namespace

TEST(AtomWriting, QuickTimeHandlerNameIsACountedString)
{
    auto b = AtomBytes::Full("hdlr", 0, 0, HdlrBody("mhlr", AtomBytes().U8(5).Text("Video")));
    auto hdlr = ReadAs<HdlrAtom>(b);
    ASSERT_NE(hdlr, nullptr);
    EXPECT_EQ(hdlr->Name(), "Video");
    EXPECT_EQ(hdlr->componentSubtype, FourCharCode('vide'));
    EXPECT_EQ(Write(*hdlr), b.bytes);
}

TEST(AtomWriting, IsoHandlerNameIsNullTerminated)
{
    auto b = AtomBytes::Full("hdlr", 0, 0, HdlrBody(nullptr, AtomBytes().Text("VideoHandler").U8(0)));
    auto hdlr = ReadAs<HdlrAtom>(b);
    ASSERT_NE(hdlr, nullptr);
    EXPECT_EQ(hdlr->Name(), "VideoHandler");
    hdlr->SetName("Other");
    EXPECT_EQ(hdlr->nameBytes, (std::vector<UInt8>{'O', 't', 'h', 'e', 'r', 0}));
    EXPECT_EQ(hdlr->Size(), 8u + 24 + 6);
}

TEST(AtomWriting, CountedNameLongerThanTheAtomIsCut)
{
    auto b = AtomBytes::Full("hdlr", 0, 0, HdlrBody("mhlr", AtomBytes().U8(200).Text("abc")));
    auto hdlr = ReadAs<HdlrAtom>(b);
    ASSERT_NE(hdlr, nullptr);
    EXPECT_EQ(hdlr->Name(), "abc");
}

TEST(AtomWriting, DataReferencesKeepTheirBytes)
{
    AtomBytes entries;
    entries.Add(AtomBytes::Full("alis", 0, 1));
    entries.Add(AtomBytes::Full("url ", 0, 0, AtomBytes().Text("file:///x.mov").U8(0)));
    entries.Add(AtomBytes::Full("alis", 0, 0, AtomBytes().Text("some alias record")));
    auto b = AtomBytes::Full("dref", 0, 0, AtomBytes().U32(3).Add(entries));
    auto dref = ReadAs<DrefAtom>(b);
    ASSERT_NE(dref, nullptr);
    ASSERT_EQ(dref->entries.size(), 3u);
    EXPECT_TRUE(dref->entries[0].IsSelf());
    EXPECT_EQ(dref->entries[1].type, FourCharCode('url '));
    EXPECT_FALSE(dref->entries[2].IsSelf());
    EXPECT_EQ(Write(*dref), b.bytes);
}

TEST(AtomWriting, DataReferenceEntryLargerThanTheAtomFails)
{
    auto b = AtomBytes::Full("dref", 0, 0, AtomBytes().U32(1).U32(4000).Code("alis").U32(1));
    EXPECT_EQ(ReadAs<DrefAtom>(b), nullptr);
}

TEST(AtomWriting, SeveralSampleDescriptionsAreKept)
{
    AtomBytes e1, e2;
    e1.U32(16).Code("avc1").Zeros(6).U16(1);
    e2.U32(20).Code("hvc1").Zeros(6).U16(2).U32(0xABCD);
    auto b = AtomBytes::Full("stsd", 0, 0, AtomBytes().U32(2).Add(e1).Add(e2));
    auto stsd = ReadAs<StsdAtom>(b);
    ASSERT_NE(stsd, nullptr);
    ASSERT_EQ(stsd->entries.size(), 2u);
    EXPECT_EQ(StsdAtom::EntryFormat(stsd->entries[1]), FourCharCode('hvc1'));
    EXPECT_EQ(StsdAtom::EntryDataRefIndex(stsd->entries[1]), 2);
    EXPECT_EQ(Write(*stsd), b.bytes);
}

TEST(AtomWriting, Co64KeepsOffsetsPastFourGigabytes)
{
    auto b = AtomBytes::Full("co64", 0, 0, AtomBytes().U32(2).U64(0x1'2345'6789ull).U64(8));
    auto co64 = ReadAs<ChunkOffsetAtom>(b);
    ASSERT_NE(co64, nullptr);
    EXPECT_EQ((*co64->offsets)[0], 0x1'2345'6789ull);
    EXPECT_EQ(Write(*co64), b.bytes);
}

TEST(AtomWriting, TrunWithOptionalFieldsRoundTrips)
{
    auto b = AtomBytes::Full("trun", 0, 0x1 | 0x4 | 0x200 | 0x800,
                             AtomBytes().U32(2).U32(100).U32(0x02000000).U32(50).U32(10).U32(60).U32(0));
    auto trun = ReadAs<TrunAtom>(b);
    ASSERT_NE(trun, nullptr);
    ASSERT_EQ(trun->samples.size(), 2u);
    EXPECT_EQ(trun->dataOffset, 100);
    EXPECT_EQ(trun->samples[1].size, 60u);
    EXPECT_EQ(Write(*trun), b.bytes);
}

TEST(AtomWriting, TrunWithoutPerSampleFieldsRejectsAnAbsurdCount)
{
    auto b = AtomBytes::Full("trun", 0, 0, AtomBytes().U32(0xFFFFFFFF));
    EXPECT_EQ(ReadAs<TrunAtom>(b), nullptr);
}

TEST(AtomWriting, TfhdReadsOnlyTheFieldsItsFlagsAnnounce)
{
    auto b = AtomBytes::Full("tfhd", 0, 0x1 | 0x10 | 0x20000, AtomBytes().U32(7).U64(4096).U32(33));
    auto tfhd = ReadAs<TfhdAtom>(b);
    ASSERT_NE(tfhd, nullptr);
    EXPECT_EQ(tfhd->trackID, 7u);
    EXPECT_EQ(tfhd->baseDataOffset, 4096u);
    EXPECT_EQ(tfhd->defaultSize, 33u);
    EXPECT_EQ(Write(*tfhd), b.bytes);
}
