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

class SmallDisk {
public:
    SmallDisk(const std::string& folder, std::uint64_t bytes) : fPath(folder)
    {
        fs::create_directories(folder);
        std::string options = "size=" + std::to_string(bytes);
        if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0)
            fMounted = true;
        else
            fWhyNot = std::string("cannot mount a tmpfs here (") + std::strerror(errno) +
                      "); the full-disk tests need root or CAP_SYS_ADMIN";
    }
    ~SmallDisk()
    {
        if (fMounted)
            umount(fPath.c_str());
    }
    bool Mounted() const { return fMounted; }
    const std::string& WhyNot() const { return fWhyNot; }

private:
    std::string fPath;
    std::string fWhyNot;
    bool fMounted = false;
};

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
    if (!disk.Mounted())
        GTEST_SKIP() << disk.WhyNot();
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
        if (!disk.Mounted())
            GTEST_SKIP() << disk.WhyNot();
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
    if (!disk.Mounted())
        GTEST_SKIP() << disk.WhyNot();
    WriteFileBytes(dir / "disk/m.mov", {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
    if (mount("tmpfs", (dir / "disk").c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "cannot remount the tmpfs read-only (" << std::strerror(errno) << ")";
    FSSpec location = SpecFor(dir / "disk/m.mov");
    short refNum = 0;
    EXPECT_EQ(OpenMovieFile(&location, &refNum, fsRdWrPerm), wrPermErr);
    ASSERT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr);
    CloseMovieFile(refNum);
}
