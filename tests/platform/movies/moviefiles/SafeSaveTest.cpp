// Saving a real movie in place, with the process killed at every write:
// reopening always gives the old movie or the new one, and ffmpeg still
// decodes the file.
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/filesystem/FileWriteLayer.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/model/MovieSeam.h"

namespace fs = std::filesystem;

namespace {

constexpr TimeValue kNewOffset = 900;

// Opens, moves the first track, saves in place with `fault` injected; the
// number of writes the save made.
long SaveWithOffset(const std::string& path, const WriteFault& fault)
{
    OpenMovie open(path);
    if (!open.movie)
        return 0;
    SetTrackOffset(GetMovieIndTrack(open.movie, 1), kNewOffset);
    FileWriteLayer::InjectWriteFault(fault);
    EXPECT_EQ(UpdateMovieResource(open.movie, open.refNum, open.resId, nullptr), noErr);
    long operations = FileWriteLayer::OperationCount();
    FileWriteLayer::ClearWriteFault();
    return operations;
}

// A copy of a fixture saved in place `times` times already, so that the
// next save finds the free space the earlier ones left.
std::string SavedBefore(const char* fixture, const std::string& folder, int times)
{
    std::string path = folder + "/saved-" + fixture;
    fs::copy_file(FixtureMovies::Path(fixture), path, fs::copy_options::overwrite_existing);
    for (int i = 0; i < times; ++i) {
        OpenMovie open(path);
        if (!open.movie)
            break;
        SetMoviePreferredRate(open.movie, i % 2 ? fixed1 : fixed1 / 2);
        UpdateMovieResource(open.movie, open.refNum, open.resId, nullptr);
    }
    return path;
}

// The movie file to save, made in folder from the fixtures, and the file
// whose bytes a save changes (the movie's own or its companion).
struct Case {
    const char* name;
    std::function<std::string(const std::string& folder)> make;
    const char* written = nullptr;  // nil: the movie file itself
};

}  // namespace

TEST(SafeSave, KilledAtAnyWriteReopensOldOrNew)
{
    const Case cases[] = {
        {"movie at the end", [](const std::string& f) { return FixtureMovies::CopyTo("av.mov", f); }},
        {"movie at the start", [](const std::string& f) { return FixtureMovies::CopyTo("faststart.mp4", f); }},
        {"fragmented", [](const std::string& f) { return FixtureMovies::CopyTo("fragmented.mp4", f); }},
        {"saved before", [](const std::string& f) { return SavedBefore("av.mov", f, 2); }},
        // The companion is written to a temporary file, flushed, renamed
        // over the old one, and its folder flushed: each can be cut.
        {"two forks",
         [](const std::string& f) {
             SaveAsTwoForkMovie(OpenMovie(FixtureMovies::Path("av.mov")).movie, f + "/two.mov");
             return f + "/two.mov";
         },
         "._two.mov"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder dir;
        std::string path = c.make(dir.Path());
        std::string written = c.written ? dir / c.written : path;
        auto original = ReadFileBytes(written);
        long operations = SaveWithOffset(path, WriteFault{});
        ASSERT_GE(operations, 3);
        ASSERT_EQ(FirstTrackOffset(path), kNewOffset);
        if (!c.written) {
            EXPECT_EQ(VideoPackets(path), 50) << "every sample read once (fragments retired)";
        }
        for (long k = 1; k <= operations; ++k) {
            WriteFileBytes(written, original);
            RunKilledAtWrite(k, [&](const WriteFault& fault) { SaveWithOffset(path, fault); });
            TimeValue offset = FirstTrackOffset(path);
            EXPECT_TRUE(offset == 0 || offset == kNewOffset) << "killed at " << k << ": offset " << offset;
            if (!c.written) {
                EXPECT_EQ(DecodeErrors(path), "") << k;
            }
        }
    }
}

TEST(SafeSave, RepeatedSavesKeepTheFileSizeBounded)
{
    ScratchFolder dir;
    std::string path = SavedBefore("av.mov", dir.Path(), 12);
    auto grown = fs::file_size(path) - fs::file_size(FixtureMovies::Path("av.mov"));
    std::vector<TopLevelAtom> atoms;
    ASSERT_EQ(ScanTopLevelAtoms(ReadFileBytes(path), &atoms), noErr);
    std::uint64_t movieSize = 0;
    for (const auto& a : atoms)
        movieSize = a.type == 'moov' ? a.size : movieSize;
    ASSERT_GT(movieSize, 0u);
    // Twelve saves leave at most about two movie atoms of free space, not
    // twelve.
    EXPECT_LT(grown, 3 * movieSize);
    EXPECT_EQ(DecodeErrors(path), "");
    OpenMovie back(path);
    ASSERT_NE(back.movie, nullptr);
    EXPECT_EQ(GetMoviePreferredRate(back.movie), fixed1);
}
