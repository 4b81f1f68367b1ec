// A real full disk: a small tmpfs mounted for the test (needs the right to
// mount; skipped otherwise).
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
    explicit SmallDisk(const std::string& folder, std::uint64_t bytes) : fPath(folder)
    {
        std::string options = "size=" + std::to_string(bytes);
        fMounted = mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallDisk()
    {
        if (fMounted)
            umount(fPath.c_str());
    }
    bool Mounted() const { return fMounted; }

private:
    std::string fPath;
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

}  // namespace

TEST(FullDisk, FlattenOntoAFullDiskFailsAndLeavesNothing)
{
    ScratchFolder dir;
    fs::create_directories(dir / "disk");
    SmallDisk disk(dir / "disk", 64 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
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

TEST(FullDisk, InPlaceUpdateOnAFullDiskKeepsTheOldMovie)
{
    ScratchFolder dir;
    fs::create_directories(dir / "disk");
    SmallDisk disk(dir / "disk", 2 * 1024 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    std::string path = FixtureMovies::CopyTo("av.mov", dir / "disk");
    FillDisk(dir / "disk");
    short refNum = 0, resId = 0;
    Movie movie = FixtureMovies::Open(path, &refNum, &resId);
    ASSERT_NE(movie, nullptr);
    SetTrackOffset(GetMovieIndTrack(movie, 1), 600);
    EXPECT_EQ(UpdateMovieResource(movie, refNum, resId, nullptr), dskFulErr);
    EXPECT_TRUE(HasMovieChanged(movie));
    DisposeMovie(movie);
    CloseMovieFile(refNum);

    Movie back = FixtureMovies::Open(path, &refNum);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(GetTrackOffset(GetMovieIndTrack(back, 1)), 0);
    DisposeMovie(back);
    CloseMovieFile(refNum);
}

TEST(ReadOnlyVolume, WritePermissionIsRefusedWithWrPermErr)
{
    ScratchFolder dir;
    fs::create_directories(dir / "disk");
    SmallDisk disk(dir / "disk", 1024 * 1024);
    if (!disk.Mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    WriteWholeFile(dir / "disk/m.mov", {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
    if (mount("tmpfs", (dir / "disk").c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "cannot remount read-only here";
    FSSpec location = SpecFor(dir / "disk/m.mov");
    short refNum = 0;
    EXPECT_EQ(OpenMovieFile(&location, &refNum, fsRdWrPerm), wrPermErr);
    ASSERT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr);
    CloseMovieFile(refNum);
}
