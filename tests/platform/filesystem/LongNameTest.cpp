#include <gtest/gtest.h>

#include "FileContents.h"

namespace {

// 66 three-byte characters (198 bytes) plus ".mov": 202 bytes of UTF-8, so
// any cut at a fixed byte count risks splitting a character.
std::string LongUtf8Name(const std::string& tag = "")
{
    std::string name;
    for (int i = 0; i < 66; ++i)
        name += "\xE6\x98\xA0";  // 映
    return name + tag + ".mov";
}

// No character is cut: every lead byte has all its continuation bytes.
bool IsWholeUtf8(const std::string& s)
{
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        for (size_t k = 1; len && k < len; ++k)
            len = i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80 ? len : 0;
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

}  // namespace

// The location's name is cut at a character boundary, keeps the extension,
// and leads back to the real file whether given to FSMakeFSSpec as the
// short name or as the long one.
TEST(LongNames, LocationNameIsAShortNameForTheRealFile)
{
    ScratchFolder dir;
    std::string longName = LongUtf8Name();
    ASSERT_GT(longName.size(), 200u);
    std::string path = dir.MakeFile(longName, "contents");
    FSSpec location;
    ASSERT_EQ(FSPathMakeFSSpec(path.c_str(), &location, nil), noErr);
    std::string shortName = pstr::ToStd(location.name);
    EXPECT_LE(shortName.size(), 63u);
    EXPECT_TRUE(IsWholeUtf8(shortName)) << shortName;
    EXPECT_EQ(shortName.substr(shortName.size() - 4), ".mov");
    EXPECT_NE(shortName.find('#'), std::string::npos);
    EXPECT_EQ(FSSpecPath(location), path);
    EXPECT_EQ(FSSpecRealName(location), longName);

    FSSpec byShort, byLong;
    ASSERT_EQ(FSMakeFSSpec(location.vRefNum, location.parID, location.name, &byShort), noErr);
    EXPECT_TRUE(pstr::Equal(location.name, byShort.name));
    EXPECT_EQ(ReadWholeFile(FSSpecPath(byShort)), "contents");
    ASSERT_EQ(FSMakeFSSpec(location.vRefNum, location.parID, P(longName), &byLong), noErr);
    EXPECT_TRUE(pstr::Equal(location.name, byLong.name));
}

// Short names differ for long names sharing their start, and avoid a file
// already called what the short name would be (learnt in a folder of its
// own).
TEST(LongNames, ShortNamesAreUniqueInTheirFolder)
{
    ScratchFolder dir, probe;
    std::string wouldBe = pstr::ToStd(SpecFor(probe.MakeFile(LongUtf8Name())).name);
    dir.MakeFile(wouldBe, "squatter");
    FSSpec real = SpecFor(dir.MakeFile(LongUtf8Name(), "real"));
    FSSpec a = SpecFor(dir.MakeFile(LongUtf8Name("a"), "A")), b = SpecFor(dir.MakeFile(LongUtf8Name("b"), "B"));
    EXPECT_NE(pstr::ToStd(real.name), wouldBe);
    EXPECT_FALSE(pstr::Equal(a.name, b.name));
    EXPECT_EQ(ReadWholeFile(FSSpecPath(real)), "real");
    EXPECT_EQ(ReadWholeFile(FSSpecPath(a)), "A");
    EXPECT_EQ(ReadWholeFile(FSSpecPath(b)), "B");
}

TEST(LongNames, SavingUnderALongNameCreatesTheRealFile)
{
    ScratchFolder dir;
    std::string longName = LongUtf8Name();
    FSSpec location;
    ASSERT_EQ(FSMakeFSSpec(kOrvoVolumeRefNum, FSDirectoryID(dir.Path()), P(longName), &location), fnfErr);
    EXPECT_LE(location.name[0], 63);
    ASSERT_EQ(FSpCreate(&location, 'TVOD', 'MooV', 0), noErr);
    EXPECT_TRUE(PathExists(dir / longName));
    FInfo info;
    ASSERT_EQ(FSpGetFInfo(&location, &info), noErr);
    EXPECT_EQ(info.fdType, OSType('MooV'));
}
