// One movie file open twice, as two viewers of it: each saves its own movie
// in place, the other goes on playing the same pictures, and the file holds
// whichever movie was saved last.
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/playback/PlaybackEngine.h"

namespace {

using Frames = std::vector<std::vector<UInt32>>;

// A viewer of the file: its own open file and movie.
struct Opener : OpenMovie {
    using OpenMovie::OpenMovie;
    OSErr SaveWithRate(double rate)
    {
        SetMoviePreferredRate(movie, X2Fix(rate));
        return UpdateMovieResource(movie, refNum, resId, nullptr);
    }
};

// Every frame of the movie's two seconds.
Frames Pictures(PlaybackEngine& engine)
{
    const MovieSnapshot& s = engine.Snapshot();
    Frames frames(50);
    for (int i = 0; i < 50; ++i) {
        PlaybackImage image;
        engine.Compose((i + 0.5) / 25.0 * s.timeScale, s.NaturalWidth(), s.NaturalHeight(), &image);
        frames[i] = image.pixels;
    }
    return frames;
}

// The same by a new engine, whose readers open the files afresh.
Frames Pictures(Movie movie)
{
    PlaybackEngine engine(TakeMovieSnapshot(movie));
    return Pictures(engine);
}

// The file only grew, and the only bytes that changed are the types of
// retired movie atoms: no sample moved under the other opener.
void ExpectOnlyAppended(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after)
{
    ASSERT_GT(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i]) {
            EXPECT_EQ(std::string(before.begin() + long(i), before.begin() + long(i) + 4) + " to " +
                          std::string(after.begin() + long(i), after.begin() + long(i) + 4),
                      "moov to free")
                << "byte " << i;
            i += 3;
        }
}

struct Case {
    const char* name;
    const char* fixture;
    // Makes the file opened twice from a copy of the fixture.
    std::function<std::string(const std::string& copy)> make;
    bool appendsInPlace;    // the data fork only grows (no rewrite, no resource fork)
    bool firstClosesEarly;  // the first opener closes before the second saves
};

std::string Same(const std::string& copy) { return copy; }

// Its old movie atom, now free space, lies where a lone save would write.
std::string SavedBefore(const std::string& copy)
{
    EXPECT_EQ(Opener(copy).SaveWithRate(0.75), noErr);
    return copy;
}

std::string TwoForkReference(const std::string& copy)
{
    std::string path = copy + ".ref.mov";
    SaveAsTwoForkMovie(Opener(copy).movie, path);
    return path;
}

const Case kCases[] = {
    {"self-contained, movie at the end", "av.mov", Same, true, false},
    {"movie at the start, first closed early", "faststart.mp4", Same, true, true},
    {"with free space from an earlier save", "av.mov", SavedBefore, true, false},
    {"fragmented, rewritten by the first save", "fragmented.mp4", Same, false, false},
    {"two-fork reference, first closed early", "av.mov", TwoForkReference, false, true},
};

}  // namespace

TEST(SameFileTwice, EachSavesItsOwnMovieAndTheOtherPlaysOn)
{
    for (const Case& c : kCases)
        for (bool secondSavesFirst : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (secondSavesFirst ? ", reverse order" : ""));
            ScratchFolder dir;
            std::string path = c.make(FixtureMovies::CopyTo(c.fixture, dir.Path()));
            Opener a(path), b(path);
            ASSERT_TRUE(a.movie && b.movie && a.refNum != b.refNum);
            Opener& first = secondSavesFirst ? b : a;
            Opener& second = secondSavesFirst ? a : b;
            // The other opener plays on with the files its engine has open
            // and with new ones.
            PlaybackEngine playing(TakeMovieSnapshot(second.movie));
            Frames pictures = Pictures(playing);
            ASSERT_EQ(pictures.back().size(), 160u * 120u);
            ASSERT_NE(pictures.front(), pictures.back());

            auto before = ReadFileBytes(path);
            ASSERT_EQ(first.SaveWithRate(0.5), noErr);
            if (c.appendsInPlace)
                ExpectOnlyAppended(before, ReadFileBytes(path));
            EXPECT_TRUE(Pictures(playing) == pictures) << "playing on after the first save";
            EXPECT_TRUE(Pictures(second.movie) == pictures) << "played anew after the first save";
            if (c.firstClosesEarly)
                first.Close();

            ASSERT_EQ(second.SaveWithRate(2.0), noErr);
            first.Close();
            second.Close();
            Opener again(path);
            EXPECT_EQ(Fix2X(GetMoviePreferredRate(again.movie)), 2.0) << "the movie saved last";
            EXPECT_TRUE(Pictures(again.movie) == pictures) << "the movie saved last";
        }
}

// Replaced by another program, the open file has no name left; renamed, it
// has, and the save follows it.
TEST(SameFileTwice, SaveIntoAFileThatLostItsNameIsRefused)
{
    ScratchFolder dir;
    std::string path = FixtureMovies::CopyTo("av.mov", dir.Path());
    std::string other = FixtureMovies::CopyTo("faststart.mp4", dir.Path());
    Opener replaced(path), renamed(other);
    std::filesystem::rename(other, path);
    auto bytes = ReadFileBytes(path);
    EXPECT_EQ(replaced.SaveWithRate(0.5), fnfErr);
    EXPECT_EQ(renamed.SaveWithRate(0.5), noErr);
    renamed.Close();
    EXPECT_NE(ReadFileBytes(path), bytes);
    EXPECT_EQ(Fix2X(GetMoviePreferredRate(Opener(path).movie)), 0.5);
}
