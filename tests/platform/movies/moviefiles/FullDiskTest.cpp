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

int FilesIn(const std::string& folder)
{
    int n = 0;
    for (auto& e : fs::directory_iterator(folder))
        n += e.is_regular_file() ? 1 : 0;
    return n;
}

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

TimeValue FirstTrackOffset(const std::string& path)
{
    short refNum = 0;
    Movie movie = FixtureMovies::Open(path, &refNum);
    TimeValue offset = movie ? GetTrackOffset(GetMovieIndTrack(movie, 1)) : -1;
    DisposeMovie(movie);
    CloseMovieFile(refNum);
    return offset;
}

}  // namespace

TEST(FullDisk, FlattenOntoAFullDiskFailsAndLeavesNothing)
{
    ScratchFolder dir;
    SmallDisk disk(dir / "disk", 64 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << disk.WhyNot();
    short refNum = 0;
    Movie movie = FixtureMovies::Open(FixtureMovies::Path("av.mov"), &refNum);
    ASSERT_NE(movie, nullptr);
    FSSpec location = SpecFor(dir / "disk/flat.mov");
    short resId = movieInDataForkResID;
    FlattenMovie(movie, 0, &location, 'TVOD', -2, createMovieFileDeleteCurFile, &resId, nullptr);
    EXPECT_EQ(GetMoviesError(), dskFulErr);
    EXPECT_EQ(FilesIn(dir / "disk"), 0);
    DisposeMovie(movie);
    CloseMovieFile(refNum);
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
            short sourceRef = 0;
            Movie source = FixtureMovies::Open(path, &sourceRef);
            path = dir / "disk/two.mov";
            SaveAsTwoForkMovie(source, path);
            DisposeMovie(source);
            CloseMovieFile(sourceRef);
        }
        FillDisk(dir / "disk");
        short refNum = 0, resId = 0;
        Movie movie = FixtureMovies::Open(path, &refNum, &resId);
        ASSERT_NE(movie, nullptr);
        SetTrackOffset(GetMovieIndTrack(movie, 1), 600);
        EXPECT_EQ(UpdateMovieResource(movie, refNum, resId, nullptr), dskFulErr);
        EXPECT_TRUE(HasMovieChanged(movie));
        DisposeMovie(movie);
        CloseMovieFile(refNum);
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
