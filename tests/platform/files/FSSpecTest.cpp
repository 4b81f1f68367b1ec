#include <gtest/gtest.h>

#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "platform/core/PascalStrings.h"
#include "platform/files/Files.h"
#include "TempDirectory.h"

namespace {

Str255 gName;
ConstStr255Param P(const std::string& s)
{
    pstr::FromStd(s, gName);
    return gName;
}

}  // namespace

TEST(FSSpecLayout, KeepsTheClassicSeventyByteRecord)
{
    EXPECT_EQ(sizeof(FSSpec), 70u);
    EXPECT_EQ(offsetof(FSSpec, vRefNum), 0u);
    EXPECT_EQ(offsetof(FSSpec, parID), 2u);
    EXPECT_EQ(offsetof(FSSpec, name), 6u);
}

TEST(FSSpecLayout, ParentIDSitsRightAfterTheVolumeInHostOrder)
{
    FSSpec spec{};
    spec.parID = 0x12345678;
    SInt32 raw;
    std::memcpy(&raw, reinterpret_cast<const unsigned char*>(&spec) + 2, sizeof raw);
    EXPECT_EQ(raw, 0x12345678);
    long asLong = spec.parID;
    EXPECT_EQ(asLong, 0x12345678);
}

TEST(FSPathMakeFSSpec, ExistingFileGivesItsDirectoryAndNameAndPathBack)
{
    TempDirectory dir;
    std::string path = dir.MakeFile("clip.mov");
    FSSpec spec;
    Boolean isDir = true;
    ASSERT_EQ(FSPathMakeFSSpec(path.c_str(), &spec, &isDir), noErr);
    EXPECT_FALSE(isDir);
    EXPECT_EQ(spec.vRefNum, kOrvoVolumeRefNum);
    EXPECT_EQ(pstr::ToStd(spec.name), "clip.mov");
    EXPECT_EQ(FSDirectoryPath(spec.parID), dir.Path());
    EXPECT_EQ(FSSpecPath(spec), path);
}

TEST(FSPathMakeFSSpec, FilesInOneDirectoryShareTheDirectoryID)
{
    TempDirectory dir;
    FSSpec a, b;
    ASSERT_EQ(FSPathMakeFSSpec(dir.MakeFile("a").c_str(), &a, nil), noErr);
    ASSERT_EQ(FSPathMakeFSSpec(dir.MakeFile("b").c_str(), &b, nil), noErr);
    EXPECT_EQ(a.parID, b.parID);
    TempDirectory other;
    FSSpec c;
    ASSERT_EQ(FSPathMakeFSSpec(other.MakeFile("a").c_str(), &c, nil), noErr);
    EXPECT_NE(a.parID, c.parID);
}

TEST(FSPathMakeFSSpec, MissingFileInExistingDirectoryIsFnfErrWithSpecFilled)
{
    TempDirectory dir;
    FSSpec spec{};
    EXPECT_EQ(FSPathMakeFSSpec((dir / "new.mov").c_str(), &spec, nil), fnfErr);
    EXPECT_EQ(pstr::ToStd(spec.name), "new.mov");
    EXPECT_EQ(FSSpecPath(spec), dir / "new.mov");
}

TEST(FSPathMakeFSSpec, MissingDirectoryIsDirNFErr)
{
    TempDirectory dir;
    FSSpec spec{};
    EXPECT_EQ(FSPathMakeFSSpec((dir / "nowhere/new.mov").c_str(), &spec, nil), dirNFErr);
    EXPECT_EQ(FSSpecPath(spec), dir / "nowhere/new.mov");
}

TEST(FSPathMakeFSSpec, DirectoryReportsIsDirectory)
{
    TempDirectory dir;
    FSSpec spec;
    Boolean isDir = false;
    ASSERT_EQ(FSPathMakeFSSpec(dir.Path().c_str(), &spec, &isDir), noErr);
    EXPECT_TRUE(isDir);
}

TEST(FSPathMakeFSSpec, NormalisesDotsAndDoubleSlashes)
{
    TempDirectory dir;
    std::string path = dir.MakeFile("x.mov");
    FSSpec spec;
    std::string messy = dir.Path() + "//./sub/../x.mov";
    ASSERT_EQ(FSPathMakeFSSpec(messy.c_str(), &spec, nil), noErr);
    EXPECT_EQ(FSSpecPath(spec), path);
}

TEST(FSPathMakeFSSpec, RelativePathStartsAtTheCurrentDirectory)
{
    TempDirectory dir;
    dir.MakeFile("rel.mov");
    std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    FSSpec spec;
    OSErr err = FSPathMakeFSSpec("rel.mov", &spec, nil);
    std::string path = FSSpecPath(spec);
    ASSERT_EQ(chdir(saved.c_str()), 0);
    EXPECT_EQ(err, noErr);
    EXPECT_EQ(path, dir / "rel.mov");
}

TEST(FSPathMakeFSSpec, RootIsTheVolumeSpec)
{
    FSSpec spec;
    ASSERT_EQ(FSPathMakeFSSpec("/", &spec, nil), noErr);
    EXPECT_EQ(spec.parID, fsRtParID);
    EXPECT_EQ(FSSpecPath(spec), "/");
    FSSpec inRoot;
    ASSERT_EQ(FSPathMakeFSSpec("/tmp", &inRoot, nil), noErr);
    EXPECT_EQ(inRoot.parID, fsRtDirID);
}

TEST(FSPathMakeFSSpec, RejectsEmptyPathAndNilArguments)
{
    FSSpec spec;
    EXPECT_EQ(FSPathMakeFSSpec("", &spec, nil), bdNamErr);
    EXPECT_EQ(FSPathMakeFSSpec(nil, &spec, nil), paramErr);
    EXPECT_EQ(FSPathMakeFSSpec("/tmp", nil, nil), paramErr);
}

TEST(FSMakeFSSpec, NameInKnownDirectoryMatchesThePathSpec)
{
    TempDirectory dir;
    FSSpec fromPath, fromID;
    ASSERT_EQ(FSPathMakeFSSpec(dir.MakeFile("one.mov").c_str(), &fromPath, nil), noErr);
    ASSERT_EQ(FSMakeFSSpec(fromPath.vRefNum, fromPath.parID, P("one.mov"), &fromID), noErr);
    EXPECT_EQ(fromID.parID, fromPath.parID);
    EXPECT_TRUE(pstr::Equal(fromID.name, fromPath.name));
    EXPECT_EQ(FSMakeFSSpec(0, fromPath.parID, P("two.mov"), &fromID), fnfErr);
    EXPECT_EQ(FSSpecPath(fromID), dir / "two.mov");
}

TEST(FSMakeFSSpec, DirectoryIDZeroIsTheCurrentDirectory)
{
    TempDirectory dir;
    dir.MakeFile("here.mov");
    std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    FSSpec spec;
    OSErr err = FSMakeFSSpec(0, 0, P("here.mov"), &spec);
    ASSERT_EQ(chdir(saved.c_str()), 0);
    EXPECT_EQ(err, noErr);
    EXPECT_EQ(FSSpecPath(spec), dir / "here.mov");
}

TEST(FSMakeFSSpec, EmptyNameNamesTheDirectoryItself)
{
    TempDirectory dir;
    SInt32 dirID = FSDirectoryID(dir.Path());
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpec(kOrvoVolumeRefNum, dirID, P(""), &spec), noErr);
    EXPECT_EQ(FSSpecPath(spec), dir.Path());
    EXPECT_NE(spec.parID, dirID);
}

TEST(FSMakeFSSpec, FullPathNameIgnoresTheDirectoryID)
{
    TempDirectory dir;
    std::string path = dir.MakeFile("full.mov");
    FSSpec spec;
    ASSERT_EQ(FSMakeFSSpec(0, 12345678, P(path), &spec), noErr);
    EXPECT_EQ(FSSpecPath(spec), path);
}

TEST(FSMakeFSSpec, ReportsBadVolumeDirectoryAndNames)
{
    TempDirectory dir;
    SInt32 dirID = FSDirectoryID(dir.Path());
    FSSpec spec;
    EXPECT_EQ(FSMakeFSSpec(3, dirID, P("a"), &spec), nsvErr);
    EXPECT_EQ(FSMakeFSSpec(-1, 987654321, P("a"), &spec), dirNFErr);
    EXPECT_EQ(FSMakeFSSpec(-1, dirID, P("a/b"), &spec), bdNamErr);
    EXPECT_EQ(FSMakeFSSpec(-1, dirID, P(".."), &spec), bdNamErr);
    EXPECT_EQ(FSMakeFSSpec(-1, dirID, P("a"), nil), paramErr);
}

TEST(FSSpecPath, UnknownDirectoryOrEscapingNameGivesNoPath)
{
    FSSpec spec{};
    spec.parID = 987654321;
    pstr::FromStd("x", spec.name, 63);
    EXPECT_EQ(FSSpecPath(spec), "");
    spec.parID = FSDirectoryID("/tmp");
    pstr::FromStd("../etc", spec.name, 63);
    EXPECT_EQ(FSSpecPath(spec), "");
}
