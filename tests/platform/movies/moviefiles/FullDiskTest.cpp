// A real full disk and a real read-only volume: a small tmpfs mounted for
// the test. Mounting needs root (or CAP_SYS_ADMIN); without it the tests say
// so and are skipped.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace fs = std::filesystem;

namespace {

// A tmpfs of `bytes` mounted on folder while it lives.
struct SmallDisk {
    std::string path;
    bool mounted;
    SmallDisk(const std::string& folder, std::uint64_t bytes) : path(folder)
    {
        fs::create_directories(folder);
        mounted = mount("tmpfs", folder.c_str(), "tmpfs", 0, ("size=" + std::to_string(bytes)).c_str()) == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            umount(path.c_str());
    }
};

#define SKIP_UNLESS_MOUNTED(disk)                                                                     \
    if (!disk.mounted)                                                                                \
    GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno) << "); the full-disk tests " \
                 << "need root or CAP_SYS_ADMIN"

// Fills the disk holding `folder` with a file until a write fails.
void FillDisk(const std::string& folder)
{
    std::vector<std::uint8_t> block(4096, 0xAA);
    FILE* f = fopen((folder + "/filler").c_str(), "wb");
    if (!f)
        return;
    while (fwrite(block.data(), 1, block.size(), f) == block.size() && fflush(f) == 0) {
    }
    fclose(f);
}

}  // namespace

TEST(FullDisk, FlattenOntoAFullDiskFailsAndLeavesNothing)
{
    ScratchFolder dir;
    SmallDisk disk(dir / "disk", 64 * 1024);
    SKIP_UNLESS_MOUNTED(disk);
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    EXPECT_EQ(FlattenMovieTo(src.movie, dir / "disk/flat.mov"), dskFulErr);
    EXPECT_EQ(FilesIn(dir / "disk"), 0);
}

// Saving in place onto a full disk, with the movie in the data fork and in
// the companion's resource fork: the save reports dskFulErr and the file
// still holds the old movie.
TEST(FullDisk, SaveInPlaceOnAFullDiskKeepsTheOldMovie)
{
    for (bool twoForks : {false, true}) {
        SCOPED_TRACE(twoForks ? "two forks" : "data fork");
        ScratchFolder dir;
        SmallDisk disk(dir / "disk", 2 * 1024 * 1024);
        SKIP_UNLESS_MOUNTED(disk);
        std::string path = FixtureMovies::CopyTo("av.mov", dir / "disk");
        if (twoForks) {
            SaveAsTwoForkMovie(OpenMovie(path).movie, dir / "disk/two.mov");
            path = dir / "disk/two.mov";
        }
        FillDisk(dir / "disk");
        {
            OpenMovie open(path);
            ASSERT_NE(open.movie, nullptr);
            SetTrackOffset(GetMovieIndTrack(open.movie, 1), 600);
            EXPECT_EQ(UpdateMovieResource(open.movie, open.refNum, open.resId, nullptr), dskFulErr);
            EXPECT_TRUE(HasMovieChanged(open.movie));
        }
        EXPECT_EQ(FirstTrackOffset(path), 0);
    }
}

TEST(ReadOnlyVolume, WritePermissionIsRefusedWithWrPermErr)
{
    ScratchFolder dir;
    SmallDisk disk(dir / "disk", 1024 * 1024);
    SKIP_UNLESS_MOUNTED(disk);
    WriteFileBytes(dir / "disk/m.mov", {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
    if (mount("tmpfs", (dir / "disk").c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "cannot remount the tmpfs read-only (" << std::strerror(errno) << ")";
    FSSpec location = SpecFor(dir / "disk/m.mov");
    short refNum = 0;
    EXPECT_EQ(OpenMovieFile(&location, &refNum, fsRdWrPerm), wrPermErr);
    ASSERT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr);
    CloseMovieFile(refNum);
}
