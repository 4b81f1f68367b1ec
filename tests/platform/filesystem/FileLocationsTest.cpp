#include <gtest/gtest.h>

#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "platform/core/PascalStrings.h"
#include "platform/filesystem/Files.h"
#include "FileContents.h"

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
    FSSpec location{};
    location.parID = 0x12345678;
    SInt32 raw;
    std::memcpy(&raw, reinterpret_cast<const unsigned char*>(&location) + 2, sizeof raw);
    EXPECT_EQ(raw, 0x12345678);
    long asLong = location.parID;
    EXPECT_EQ(asLong, 0x12345678);
}

TEST(FSPathMakeFSSpec, ExistingFileGivesItsDirectoryAndNameAndPathBack)
{
    ScratchFolder dir;
    std::string path = dir.MakeFile("clip.mov");
    FSSpec location;
    Boolean isDir = true;
    ASSERT_EQ(FSPathMakeFSSpec(path.c_str(), &location, &isDir), noErr);
    EXPECT_FALSE(isDir);
    EXPECT_EQ(location.vRefNum, kOrvoVolumeRefNum);
    EXPECT_EQ(pstr::ToStd(location.name), "clip.mov");
    EXPECT_EQ(FSDirectoryPath(location.parID), dir.Path());
    EXPECT_EQ(FSSpecPath(location), path);
}

TEST(FSPathMakeFSSpec, FilesInOneDirectoryShareTheDirectoryID)
{
    ScratchFolder dir;
    FSSpec a, b;
    ASSERT_EQ(FSPathMakeFSSpec(dir.MakeFile("a").c_str(), &a, nil), noErr);
    ASSERT_EQ(FSPathMakeFSSpec(dir.MakeFile("b").c_str(), &b, nil), noErr);
    EXPECT_EQ(a.parID, b.parID);
    ScratchFolder other;
    FSSpec c;
    ASSERT_EQ(FSPathMakeFSSpec(other.MakeFile("a").c_str(), &c, nil), noErr);
    EXPECT_NE(a.parID, c.parID);
}

TEST(FSPathMakeFSSpec, MissingFileInExistingDirectoryIsFnfErrWithSpecFilled)
{
    ScratchFolder dir;
    FSSpec location{};
    EXPECT_EQ(FSPathMakeFSSpec((dir / "new.mov").c_str(), &location, nil), fnfErr);
    EXPECT_EQ(pstr::ToStd(location.name), "new.mov");
    EXPECT_EQ(FSSpecPath(location), dir / "new.mov");
}

TEST(FSPathMakeFSSpec, MissingDirectoryIsDirNFErr)
{
    ScratchFolder dir;
    FSSpec location{};
    EXPECT_EQ(FSPathMakeFSSpec((dir / "nowhere/new.mov").c_str(), &location, nil), dirNFErr);
    EXPECT_EQ(FSSpecPath(location), dir / "nowhere/new.mov");
}

TEST(FSPathMakeFSSpec, DirectoryReportsIsDirectory)
{
    ScratchFolder dir;
    FSSpec location;
    Boolean isDir = false;
    ASSERT_EQ(FSPathMakeFSSpec(dir.Path().c_str(), &location, &isDir), noErr);
    EXPECT_TRUE(isDir);
}

TEST(FSPathMakeFSSpec, NormalisesDotsAndDoubleSlashes)
{
    ScratchFolder dir;
    std::string path = dir.MakeFile("x.mov");
    FSSpec location;
    std::string messy = dir.Path() + "//./sub/../x.mov";
    ASSERT_EQ(FSPathMakeFSSpec(messy.c_str(), &location, nil), noErr);
    EXPECT_EQ(FSSpecPath(location), path);
}

TEST(FSPathMakeFSSpec, RelativePathStartsAtTheCurrentDirectory)
{
    ScratchFolder dir;
    dir.MakeFile("rel.mov");
    std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    FSSpec location;
    OSErr err = FSPathMakeFSSpec("rel.mov", &location, nil);
    std::string path = FSSpecPath(location);
    ASSERT_EQ(chdir(saved.c_str()), 0);
    EXPECT_EQ(err, noErr);
    EXPECT_EQ(path, dir / "rel.mov");
}

TEST(FSPathMakeFSSpec, RootIsTheVolumeSpec)
{
    FSSpec location;
    ASSERT_EQ(FSPathMakeFSSpec("/", &location, nil), noErr);
    EXPECT_EQ(location.parID, fsRtParID);
    EXPECT_EQ(FSSpecPath(location), "/");
    FSSpec inRoot;
    ASSERT_EQ(FSPathMakeFSSpec("/tmp", &inRoot, nil), noErr);
    EXPECT_EQ(inRoot.parID, fsRtDirID);
}

TEST(FSPathMakeFSSpec, RejectsEmptyPathAndNilArguments)
{
    FSSpec location;
    EXPECT_EQ(FSPathMakeFSSpec("", &location, nil), bdNamErr);
    EXPECT_EQ(FSPathMakeFSSpec(nil, &location, nil), paramErr);
    EXPECT_EQ(FSPathMakeFSSpec("/tmp", nil, nil), paramErr);
}

TEST(FSMakeFSSpec, NameInKnownDirectoryMatchesThePathSpec)
{
    ScratchFolder dir;
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
    ScratchFolder dir;
    dir.MakeFile("here.mov");
    std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    FSSpec location;
    OSErr err = FSMakeFSSpec(0, 0, P("here.mov"), &location);
    ASSERT_EQ(chdir(saved.c_str()), 0);
    EXPECT_EQ(err, noErr);
    EXPECT_EQ(FSSpecPath(location), dir / "here.mov");
}

TEST(FSMakeFSSpec, EmptyNameNamesTheDirectoryItself)
{
    ScratchFolder dir;
    SInt32 dirID = FSDirectoryID(dir.Path());
    FSSpec location;
    ASSERT_EQ(FSMakeFSSpec(kOrvoVolumeRefNum, dirID, P(""), &location), noErr);
    EXPECT_EQ(FSSpecPath(location), dir.Path());
    EXPECT_NE(location.parID, dirID);
}

TEST(FSMakeFSSpec, FullPathNameIgnoresTheDirectoryID)
{
    ScratchFolder dir;
    std::string path = dir.MakeFile("full.mov");
    FSSpec location;
    ASSERT_EQ(FSMakeFSSpec(0, 12345678, P(path), &location), noErr);
    EXPECT_EQ(FSSpecPath(location), path);
}

TEST(FSMakeFSSpec, ReportsBadVolumeDirectoryAndNames)
{
    ScratchFolder dir;
    SInt32 dirID = FSDirectoryID(dir.Path());
    FSSpec location;
    EXPECT_EQ(FSMakeFSSpec(3, dirID, P("a"), &location), nsvErr);
    EXPECT_EQ(FSMakeFSSpec(-1, 987654321, P("a"), &location), dirNFErr);
    EXPECT_EQ(FSMakeFSSpec(-1, dirID, P("a/b"), &location), bdNamErr);
    EXPECT_EQ(FSMakeFSSpec(-1, dirID, P(".."), &location), bdNamErr);
    EXPECT_EQ(FSMakeFSSpec(-1, dirID, P("a"), nil), paramErr);
}

TEST(FSSpecPath, UnknownDirectoryOrEscapingNameGivesNoPath)
{
    FSSpec location{};
    location.parID = 987654321;
    pstr::FromStd("x", location.name, 63);
    EXPECT_EQ(FSSpecPath(location), "");
    location.parID = FSDirectoryID("/tmp");
    pstr::FromStd("../etc", location.name, 63);
    EXPECT_EQ(FSSpecPath(location), "");
}
