// One movie file open twice, as two viewers of it: each saves its own movie
// in place, the other goes on playing the same pictures, and the file holds
// whichever movie was saved last.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/playback/PlaybackEngine.h"

namespace {

namespace fs = std::filesystem;

struct Opener {
    short refNum = 0, resId = 0;
    Movie movie = nullptr;

    explicit Opener(const std::string& path) { movie = FixtureMovies::Open(path, &refNum, &resId); }
    ~Opener() { Close(); }
    void Close()
    {
        if (movie)
            DisposeMovie(movie);
        if (refNum)
            CloseMovieFile(refNum);
        movie = nullptr;
        refNum = 0;
    }
    OSErr SaveWithRate(double rate)
    {
        SetMoviePreferredRate(movie, X2Fix(rate));
        return UpdateMovieResource(movie, refNum, resId, nullptr);
    }
};

// Every frame of the movie's first two seconds.
std::vector<std::vector<UInt32>> Pictures(PlaybackEngine& engine)
{
    const MovieSnapshot& s = engine.Snapshot();
    std::vector<std::vector<UInt32>> frames;
    for (int frame = 0; frame < 50; ++frame) {
        PlaybackImage image;
        engine.Compose((frame + 0.5) / 25.0 * s.timeScale, s.NaturalWidth(), s.NaturalHeight(), &image);
        frames.push_back(image.pixels);
    }
    return frames;
}

// The same by a new engine, whose readers open the files afresh.
std::vector<std::vector<UInt32>> Pictures(Movie movie)
{
    PlaybackEngine engine(TakeMovieSnapshot(movie));
    return Pictures(engine);
}

double PreferredRateIn(const std::string& path)
{
    short refNum = 0;
    Movie movie = FixtureMovies::Open(path, &refNum);
    double rate = movie ? Fix2X(GetMoviePreferredRate(movie)) : -1;
    if (movie)
        DisposeMovie(movie);
    CloseMovieFile(refNum);
    return rate;
}

int FramesThatDiffer(const std::vector<std::vector<UInt32>>& a, const std::vector<std::vector<UInt32>>& b)
{
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        n += a[i] != b[i] || a[i].empty();
    return n + int(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

// The file only grew, and the only bytes that changed are the types of
// retired movie atoms: no sample moved under the other opener.
void ExpectOnlyAppended(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after)
{
    ASSERT_GT(after.size(), before.size());
    auto text = [](const std::vector<std::uint8_t>& bytes, size_t at) {
        return std::string(bytes.begin() + long(at), bytes.begin() + long(std::min(at + 4, bytes.size())));
    };
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i]) {
            EXPECT_EQ(text(before, i) + " to " + text(after, i), "moov to free") << "byte " << i;
            i += 3;
        }
}

std::string SingleForkReference(const std::string& source, const std::string& path)
{
    Opener original(source);
    FSSpec location = SpecFor(path);
    short refNum = 0, resId = movieInDataForkResID;
    EXPECT_EQ(CreateMovieFile(&location, 'TVOD', -2, createMovieFileDontCreateMovie | createMovieFileDontCreateResFile,
                              &refNum, nullptr),
              noErr);
    EXPECT_EQ(AddMovieResource(original.movie, refNum, &resId, nullptr), noErr);
    CloseMovieFile(refNum);
    return path;
}

std::string TwoForkReference(const std::string& source, const std::string& path)
{
    Opener original(source);
    SaveAsTwoForkMovie(original.movie, path);
    return path;
}

// A copy already saved in place once: its old movie atom, now free space,
// lies between the samples and the new one, where a lone save would write.
std::string SavedBefore(const std::string& path)
{
    Opener alone(path);
    EXPECT_EQ(alone.SaveWithRate(0.75), noErr);
    return path;
}

struct Case {
    const char* name;
    const char* fixture;
    std::function<std::string(const std::string& copy, const ScratchFolder& dir)> make;
    bool appendsInPlace;      // the data fork only grows (no rewrite, no resource fork)
    bool firstClosesEarly;    // the first opener closes before the second saves
};

const Case kCases[] = {
    {"self-contained, movie at the end", "av.mov", nullptr, true, false},
    {"movie at the start, first closed early", "faststart.mp4", nullptr, true, true},
    {"with free space from earlier saves", "av.mov", [](auto& copy, auto&) { return SavedBefore(copy); }, true, false},
    {"fragmented (rewritten on save)", "fragmented.mp4", nullptr, false, false},
    {"single-fork reference", "av.mov",
     [](auto& copy, auto& dir) { return SingleForkReference(copy, dir / "ref.mov"); }, true, false},
    {"two-fork reference, first closed early", "av.mov",
     [](auto& copy, auto& dir) { return TwoForkReference(copy, dir / "ref2.mov"); }, false, true},
};

}  // namespace

TEST(SameFileTwice, EachSavesItsOwnMovieAndTheOtherPlaysOn)
{
    for (const Case& c : kCases)
        for (bool secondSavesFirst : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (secondSavesFirst ? ", reverse order" : ""));
            ScratchFolder dir;
            std::string path = FixtureMovies::CopyTo(c.fixture, dir.Path());
            if (c.make)
                path = c.make(path, dir);
            Opener a(path), b(path);
            ASSERT_NE(a.movie, nullptr);
            ASSERT_NE(b.movie, nullptr);
            ASSERT_NE(a.refNum, b.refNum);
            Opener& first = secondSavesFirst ? b : a;
            Opener& second = secondSavesFirst ? a : b;
            // The other opener plays on, with the files its engine has open
            // and with new ones.
            PlaybackEngine playing(TakeMovieSnapshot(second.movie));
            auto pictures = Pictures(playing);
            ASSERT_FALSE(pictures.front().empty());

            auto before = ReadFileBytes(path);
            ASSERT_EQ(first.SaveWithRate(0.5), noErr);
            if (c.appendsInPlace)
                ExpectOnlyAppended(before, ReadFileBytes(path));
            EXPECT_EQ(FramesThatDiffer(Pictures(playing), pictures), 0) << "playing on after the first save";
            EXPECT_EQ(FramesThatDiffer(Pictures(second.movie), pictures), 0) << "played anew after the first save";
            if (c.firstClosesEarly)
                first.Close();

            ASSERT_EQ(second.SaveWithRate(2.0), noErr);
            first.Close();
            second.Close();
            EXPECT_EQ(PreferredRateIn(path), 2.0);
            Opener again(path);
            EXPECT_EQ(FramesThatDiffer(Pictures(again.movie), pictures), 0) << "the movie saved last";
        }
}

TEST(SameFileTwice, SaveIntoAFileThatLostItsNameIsRefused)
{
    ScratchFolder dir;
    std::string path = FixtureMovies::CopyTo("av.mov", dir.Path());
    Opener opener(path);
    // Another program writes a new file under the same name.
    fs::copy_file(FixtureMovies::Path("faststart.mp4"), dir / "other.mp4");
    fs::rename(dir / "other.mp4", path);
    auto replaced = ReadFileBytes(path);
    EXPECT_EQ(opener.SaveWithRate(0.5), fnfErr);
    EXPECT_EQ(ReadFileBytes(path), replaced);
    // Renamed instead, the file keeps its name: the save follows it there.
    std::string other = dir / "other.mov";
    fs::copy_file(FixtureMovies::Path("av.mov"), other);
    Opener moved(other);
    fs::rename(other, dir / "moved.mov");
    EXPECT_EQ(moved.SaveWithRate(0.5), noErr);
    moved.Close();
    EXPECT_EQ(PreferredRateIn(dir / "moved.mov"), 0.5);
}
