// Reading atoms: sizes, bounds and counts checked before anything is
// allocated, failures that say what and where, unknown atoms kept.
#include <gtest/gtest.h>

#include "AtomBytes.h"
#include "platform/movies/MoviesError.h"
#include "platform/movies/atoms/AtomFactory.h"
#include "platform/movies/atoms/ContainerAtom.h"
#include "platform/movies/atoms/ElstAtom.h"
#include "platform/movies/atoms/RawAtom.h"
#include "platform/movies/atoms/SampleTableAtoms.h"
#include "platform/movies/atoms/StszAtom.h"
#include "platform/movies/atoms/Stz2Atom.h"

namespace {

std::unique_ptr<Atom> Read(const AtomBytes& b, AtomStatus* status = nullptr)
{
    AtomReader r(b.bytes, 0, "");
    auto atom = ReadAtom(r);
    if (status)
        *status = r.Status();
    return atom;
}

std::vector<UInt8> Write(const Atom& a)
{
    std::vector<UInt8> out;
    ByteWriter w(out);
    a.Write(w);
    return out;
}

}  // namespace

TEST(AtomReading, ReadElstWithZeroEntries)
{
    auto b = AtomBytes::Full("elst", 0, 0, AtomBytes().U32(0));
    auto atom = Read(b);
    ASSERT_NE(atom, nullptr);
    auto* elst = dynamic_cast<ElstAtom*>(atom.get());
    ASSERT_NE(elst, nullptr);
    EXPECT_TRUE(elst->entries.empty());
    EXPECT_EQ(Write(*elst), b.bytes);
}

TEST(AtomReading, ElstVersionOneKeepsSixtyFourBitFields)
{
    auto b = AtomBytes::Full("elst", 1, 0, AtomBytes().U32(2).U64(5'000'000'000ull).U64(UInt64(-1)).U32(0x10000)
                                               .U64(7).U64(3).U32(0x8000));
    auto atom = Read(b);
    auto* elst = dynamic_cast<ElstAtom*>(atom.get());
    ASSERT_NE(elst, nullptr);
    ASSERT_EQ(elst->entries.size(), 2u);
    EXPECT_EQ(elst->entries[0].duration, 5'000'000'000ull);
    EXPECT_EQ(elst->entries[0].mediaTime, -1);
    EXPECT_EQ(elst->entries[1].mediaRate, 0x8000);
    EXPECT_EQ(Write(*elst), b.bytes);
}

TEST(AtomReading, ElstMovesToVersionOneWhenADurationNeedsIt)
{
    ElstAtom elst('elst');
    elst.SetEntries({{0x1'0000'0000ull, 0, 0x10000}});
    EXPECT_EQ(elst.version, 1);
    auto bytes = Write(elst);
    AtomReader r(bytes, 0, "");
    auto back = ReadAtom(r);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(dynamic_cast<ElstAtom*>(back.get())->entries[0].duration, 0x1'0000'0000ull);
}

TEST(AtomReading, HugeEntryCountInSmallAtomFailsWithoutAllocating)
{
    auto b = AtomBytes::Full("stts", 0, 0, AtomBytes().U32(0x7FFFFFFF).U32(1).U32(1));
    AtomStatus status;
    EXPECT_EQ(Read(b, &status), nullptr);
    EXPECT_EQ(status.code, badPublicMovieAtom);
    EXPECT_NE(status.what.find("stts entry count 2147483647"), std::string::npos) << status.what;
    EXPECT_EQ(status.path, "stts");
}

TEST(AtomReading, StszCountOverflowIsRejected)
{
    // 0x40000001 * 4 overflows 32 bits to 4: a multiplication check would pass.
    auto b = AtomBytes::Full("stsz", 0, 0, AtomBytes().U32(0).U32(0x40000001).U32(9));
    AtomStatus status;
    EXPECT_EQ(Read(b, &status), nullptr);
    EXPECT_EQ(status.code, badPublicMovieAtom);
}

TEST(AtomReading, StszWithOneSizeKeepsNoTable)
{
    auto b = AtomBytes::Full("stsz", 0, 0, AtomBytes().U32(2).U32(1'000'000'000));
    auto atom = Read(b);
    auto* stsz = dynamic_cast<StszAtom*>(atom.get());
    ASSERT_NE(stsz, nullptr);
    EXPECT_EQ(stsz->sampleCount, 1'000'000'000u);
    EXPECT_EQ(stsz->table, nullptr);
    EXPECT_EQ(Write(*stsz), b.bytes);
}

TEST(AtomReading, SixtyFourBitSizeIsReadAndWrittenBack)
{
    auto b = AtomBytes::LargeAtom("free", AtomBytes().U32(0xDEADBEEF));
    auto atom = Read(b);
    ASSERT_NE(atom, nullptr);
    EXPECT_TRUE(atom->largeSize);
    EXPECT_EQ(atom->Size(), 20u);
    EXPECT_EQ(Write(*atom), b.bytes);
}

TEST(AtomReading, SixtyFourBitSizeBelowHeaderIsRejected)
{
    AtomBytes b;
    b.U32(1).Code("free").U64(8);
    AtomStatus status;
    EXPECT_EQ(Read(b, &status), nullptr);
    EXPECT_EQ(status.code, badPublicMovieAtom);
}

TEST(AtomReading, SizeZeroRunsToTheEndOfTheParent)
{
    auto inner = AtomBytes::LyingAtom("free", 0, AtomBytes().U32(1).U32(2));
    auto b = AtomBytes::Atom("moov", inner);
    auto atom = Read(b);
    ASSERT_NE(atom, nullptr);
    auto* moov = dynamic_cast<ContainerAtom*>(atom.get());
    ASSERT_EQ(moov->children.size(), 1u);
    EXPECT_EQ(moov->children[0]->Size(), 16u);
    EXPECT_EQ(Write(*moov), b.bytes);
}

TEST(AtomReading, NestedSizeOverrunNamesTheAtomPath)
{
    auto tkhd = AtomBytes::LyingAtom("tkhd", 500, AtomBytes().Zeros(12));
    auto b = AtomBytes::Atom("moov", AtomBytes::Atom("trak", tkhd));
    AtomStatus status;
    EXPECT_EQ(Read(b, &status), nullptr);
    EXPECT_EQ(status.code, badPublicMovieAtom);
    EXPECT_EQ(status.path, "moov/trak");
    EXPECT_EQ(status.offset, 16u);
    EXPECT_NE(status.Describe().find("tkhd"), std::string::npos);
}

TEST(AtomReading, AtomShorterThanItsFieldsFails)
{
    auto b = AtomBytes::Full("mvhd", 0, 0, AtomBytes().Zeros(20));
    AtomStatus status;
    EXPECT_EQ(Read(b, &status), nullptr);
    EXPECT_EQ(status.code, badPublicMovieAtom);
    EXPECT_EQ(status.path, "mvhd");
}

TEST(AtomReading, UnknownAtomsAreKeptByteForByte)
{
    auto b = AtomBytes::Atom("moov", AtomBytes::Atom("zzzz", AtomBytes().Text("anything at all"))
                                         .Add(AtomBytes::Atom("udta", AtomBytes().U32(0))));
    auto atom = Read(b);
    ASSERT_NE(atom, nullptr);
    auto* moov = dynamic_cast<ContainerAtom*>(atom.get());
    ASSERT_EQ(moov->children.size(), 2u);
    EXPECT_NE(dynamic_cast<RawAtom*>(moov->children[0].get()), nullptr);
    EXPECT_EQ(Write(*moov), b.bytes);
}

TEST(AtomReading, ContainerKeepsATrailingTerminator)
{
    auto b = AtomBytes::Atom("trak", AtomBytes::Atom("free").U32(0));
    auto atom = Read(b);
    ASSERT_NE(atom, nullptr);
    EXPECT_EQ(dynamic_cast<ContainerAtom*>(atom.get())->trailing.size(), 4u);
    EXPECT_EQ(Write(*atom), b.bytes);
}

TEST(AtomReading, DeepNestingIsBoundedAndKept)
{
    AtomBytes b = AtomBytes::Atom("free");
    for (int i = 0; i < 200; ++i)
        b = AtomBytes::Atom("trak", b);
    auto atom = Read(b);
    ASSERT_NE(atom, nullptr);
    EXPECT_EQ(Write(*atom), b.bytes);
}

TEST(AtomReading, HeaderCutShortFails)
{
    AtomBytes b;
    b.U32(100).U16(0x6D6F);
    AtomStatus status;
    EXPECT_EQ(Read(b, &status), nullptr);
    EXPECT_FALSE(status.Ok());
}

TEST(AtomReading, CompactSampleSizesAreWidened)
{
    auto b = AtomBytes::Full("stz2", 0, 0, AtomBytes().U24(0).U8(4).U32(3).U8(0x12).U8(0xF0));
    auto atom = Read(b);
    ASSERT_NE(atom, nullptr);
    auto* stz2 = dynamic_cast<Stz2Atom*>(atom.get());
    ASSERT_NE(stz2, nullptr);
    EXPECT_EQ(stz2->WidenedSizes(), (std::vector<UInt8>{0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 15}));
    EXPECT_EQ(Write(*stz2), b.bytes);
}

TEST(AtomReading, CompactSampleSizesWithAnOddFieldSizeFail)
{
    auto b = AtomBytes::Full("stz2", 0, 0, AtomBytes().U24(0).U8(12).U32(1).U16(5));
    AtomStatus status;
    EXPECT_EQ(Read(b, &status), nullptr);
    EXPECT_NE(status.what.find("field size 12"), std::string::npos);
}

TEST(AtomReading, CompactSampleSizeCountBeyondTheAtomFails)
{
    auto b = AtomBytes::Full("stz2", 0, 0, AtomBytes().U24(0).U8(16).U32(0xFFFFFFFF).U16(5));
    EXPECT_EQ(Read(b), nullptr);
}
