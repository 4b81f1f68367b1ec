// Saving a real movie in place, with the process killed at every write:
// reopening always gives the old movie or the new one, and ffmpeg still
// decodes the file.
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/filesystem/FileWriteLayer.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/model/MovieSeam.h"

namespace {

constexpr TimeValue kNewOffset = 900;

// Opens, moves the first track, saves in place; with a fault when asked.
void SaveWithOffset(const std::string& path, const WriteFault& fault)
{
    short refNum = 0, resId = 0;
    Movie movie = FixtureMovies::Open(path, &refNum, &resId);
    if (!movie)
        return;
    SetTrackOffset(GetMovieIndTrack(movie, 1), kNewOffset);
    FileWriteLayer::InjectWriteFault(fault);
    UpdateMovieResource(movie, refNum, resId, nullptr);
    FileWriteLayer::ClearWriteFault();
    DisposeMovie(movie);
    CloseMovieFile(refNum);
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

// A copy of a fixture saved in place `times` times already, so that the
// next save finds the free space the earlier ones left.
std::string SavedBefore(const char* fixture, const ScratchFolder& dir, int times)
{
    std::string path = dir / (std::string("saved-") + fixture);
    std::filesystem::copy_file(FixtureMovies::Path(fixture), path, std::filesystem::copy_options::overwrite_existing);
    for (int i = 0; i < times; ++i) {
        short refNum = 0, resId = 0;
        Movie movie = FixtureMovies::Open(path, &refNum, &resId);
        if (!movie)
            break;
        SetTrackOffset(GetMovieIndTrack(movie, 1), 0);
        SetMoviePreferredRate(movie, i % 2 ? fixed1 : fixed1 / 2);
        UpdateMovieResource(movie, refNum, resId, nullptr);
        DisposeMovie(movie);
        CloseMovieFile(refNum);
    }
    return path;
}

void CheckKilledSaves(const std::string& original)
{
    ScratchFolder dir;
    std::string path = dir / "m.mov";
    std::filesystem::copy_file(original, path);
    SaveWithOffset(path, WriteFault{});
    long operations = 0;
    {
        // Count the writes of one save.
        std::filesystem::copy_file(original, path, std::filesystem::copy_options::overwrite_existing);
        short refNum = 0, resId = 0;
        Movie movie = FixtureMovies::Open(path, &refNum, &resId);
        ASSERT_NE(movie, nullptr);
        SetTrackOffset(GetMovieIndTrack(movie, 1), kNewOffset);
        FileWriteLayer::InjectWriteFault(WriteFault{});
        ASSERT_EQ(UpdateMovieResource(movie, refNum, resId, nullptr), noErr);
        operations = FileWriteLayer::OperationCount();
        DisposeMovie(movie);
        CloseMovieFile(refNum);
    }
    ASSERT_EQ(FirstTrackOffset(path), kNewOffset);
    for (long k = 1; k <= operations; ++k) {
        std::filesystem::copy_file(original, path, std::filesystem::copy_options::overwrite_existing);
        pid_t child = fork();
        if (child == 0) {
            SaveWithOffset(path, {WriteFault::killProcess, k, 0, false});
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << k;
        EXPECT_EQ(WEXITSTATUS(status), 77) << "the save did not reach write " << k;
        TimeValue offset = FirstTrackOffset(path);
        EXPECT_TRUE(offset == 0 || offset == kNewOffset) << "killed at " << k << ": offset " << offset;
        std::string errors;
        EXPECT_EQ(RunCommand("ffmpeg -nostdin -v error -i " + Quote(path) + " -f null -", &errors), 0) << k;
        EXPECT_EQ(errors, "") << k;
    }
}

}  // namespace

TEST(SafeSave, MovieAtTheEndKilledAtAnyWriteReopensOldOrNew) { CheckKilledSaves(FixtureMovies::Path("av.mov")); }

TEST(SafeSave, MovieAtTheStartKilledAtAnyWriteReopensOldOrNew)
{
    CheckKilledSaves(FixtureMovies::Path("faststart.mp4"));
}

TEST(SafeSave, FragmentedMovieKilledAtAnyWriteReopensOldOrNew)
{
    CheckKilledSaves(FixtureMovies::Path("fragmented.mp4"));
}

TEST(SafeSave, MovieSavedBeforeKilledAtAnyWriteReopensOldOrNew)
{
    ScratchFolder dir;
    CheckKilledSaves(SavedBefore("av.mov", dir, 2));
}

TEST(SafeSave, RepeatedSavesKeepTheFileSizeBounded)
{
    ScratchFolder dir;
    std::string original = FixtureMovies::Path("av.mov");
    std::string path = SavedBefore("av.mov", dir, 12);
    auto grown = std::filesystem::file_size(path) - std::filesystem::file_size(original);
    std::vector<TopLevelAtom> atoms;
    ASSERT_EQ(ScanTopLevelAtoms(ReadFileBytes(path), &atoms), noErr);
    std::uint64_t movieSize = 0;
    for (const auto& a : atoms)
        movieSize = a.type == 'moov' ? a.size : movieSize;
    ASSERT_GT(movieSize, 0u);
    // Twelve saves leave at most about two movie atoms of free space, not
    // twelve.
    EXPECT_LT(grown, 3 * movieSize);
    std::string errors;
    EXPECT_EQ(RunCommand("ffmpeg -nostdin -v error -i " + Quote(path) + " -f null -", &errors), 0);
    EXPECT_EQ(errors, "");
    short refNum = 0;
    Movie movie = FixtureMovies::Open(path, &refNum);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(GetMoviePreferredRate(movie), fixed1);
    DisposeMovie(movie);
    CloseMovieFile(refNum);
}

TEST(SafeSave, TwoForkMovieKilledAtAnyWriteReopensOldOrNew)
{
    ScratchFolder dir;
    std::string path = dir / "two.mov";
    {
        short sourceRef = 0;
        Movie source = FixtureMovies::Open(FixtureMovies::Path("av.mov"), &sourceRef);
        ASSERT_NE(source, nullptr);
        SaveAsTwoForkMovie(source, path);
        DisposeMovie(source);
        CloseMovieFile(sourceRef);
    }
    std::string companion = dir / "._two.mov";
    auto original = ReadFileBytes(companion);
    long operations = 0;
    {
        short refNum = 0, resId = 0;
        Movie movie = FixtureMovies::Open(path, &refNum, &resId);
        ASSERT_NE(movie, nullptr);
        EXPECT_EQ(resId, 128);
        SetTrackOffset(GetMovieIndTrack(movie, 1), kNewOffset);
        FileWriteLayer::InjectWriteFault(WriteFault{});
        ASSERT_EQ(UpdateMovieResource(movie, refNum, resId, nullptr), noErr);
        operations = FileWriteLayer::OperationCount();
        DisposeMovie(movie);
        CloseMovieFile(refNum);
    }
    // The companion is written to a temporary file, flushed, renamed over
    // the old one, and its folder flushed: every one of those can be cut.
    ASSERT_GE(operations, 4);
    for (long k = 1; k <= operations; ++k) {
        WriteFileBytes(companion, original);
        pid_t child = fork();
        if (child == 0) {
            SaveWithOffset(path, {WriteFault::killProcess, k, 0, false});
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << k;
        EXPECT_EQ(WEXITSTATUS(status), 77) << "the save did not reach write " << k;
        TimeValue offset = FirstTrackOffset(path);
        EXPECT_TRUE(offset == 0 || offset == kNewOffset) << "killed at " << k << ": offset " << offset;
    }
}
