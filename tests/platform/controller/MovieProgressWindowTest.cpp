#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/filesystem/Files.h"
#include "platform/movies/Movies.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/ui/events/Events.h"
#include "platform/controller/MovieProgressWindow.h"
#include "platform/ui/harness/Harness.h"

namespace fs = std::filesystem;

namespace {

constexpr UInt32 kFill = 0xFF3A6ED8;

class MovieProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override { harness::Start(800, 600); }

    // The bar's pixel at a fraction of its width, in screen coordinates.
    UInt32 BarPixel(double fraction)
    {
        Rect r;
        GetWindowBounds(MovieProgressWindow(), kWindowContentRgn, &r);
        return harness::ScreenPixel(short(r.left + 21 + fraction * 298), short(r.top + 51));
    }
};

TEST_F(MovieProgressWindowTest, ShowsTheBarAsFarAsTheOperationGotAndGoesAway)
{
    EXPECT_EQ(MovieProgressWindowProc(nullptr, movieProgressOpen, progressOpFlatten, 0, 0), noErr);
    ASSERT_NE(MovieProgressWindow(), nullptr);
    EXPECT_NE(BarPixel(0.25), kFill);
    EXPECT_EQ(MovieProgressWindowProc(nullptr, movieProgressUpdatePercent, progressOpFlatten, fixed1 / 2, 0), noErr);
    EXPECT_EQ(BarPixel(0.25), kFill);
    EXPECT_NE(BarPixel(0.75), kFill);
    EXPECT_EQ(MovieProgressWindowProc(nullptr, movieProgressClose, progressOpFlatten, fixed1, 0), noErr);
    EXPECT_EQ(MovieProgressWindow(), nullptr);
}

// Input is looked at on each update, so a request to stop is answered
// within a few updates of the operation.
bool CancelledWithinFewUpdates()
{
    for (int update = 1; update <= 5; ++update)
        if (MovieProgressWindowProc(nullptr, movieProgressUpdatePercent, progressOpFlatten, fixed1 / 8 * update, 0) ==
            userCanceledErr)
            return true;
    return false;
}

TEST_F(MovieProgressWindowTest, EscapeOrTheStopButtonCancels)
{
    MovieProgressWindowProc(nullptr, movieProgressOpen, progressOpFlatten, 0, 0);
    harness::Key(kEscapeCharCode);
    EXPECT_TRUE(CancelledWithinFewUpdates());

    Rect r;
    GetWindowBounds(MovieProgressWindow(), kWindowContentRgn, &r);
    harness::Click(Point{short(r.top + 82), short(r.left + 285)});
    EXPECT_TRUE(CancelledWithinFewUpdates());

    // A click elsewhere and other keys go on.
    harness::Click(Point{short(r.top + 20), short(r.left + 20)});
    harness::Key('x');
    EXPECT_FALSE(CancelledWithinFewUpdates());
    MovieProgressWindowProc(nullptr, movieProgressClose, progressOpFlatten, fixed1, 0);
}

TEST_F(MovieProgressWindowTest, StoppingAFlattenLeavesNoFile)
{
    InstallMovieProgressWindow();
    std::string source = std::string(ORVO_CORPUS_DIR) + "/wellformed/exiv2-sample_640x360.mov";
    fs::path dir = fs::temp_directory_path() / ("orvo-progress-" + std::to_string(getpid()));
    fs::create_directories(dir);
    FSSpec in{}, out{};
    FSPathMakeFSSpec(source.c_str(), &in, nullptr);
    FSPathMakeFSSpec((dir / "flat.mov").c_str(), &out, nullptr);
    short refNum = 0;
    ASSERT_EQ(OpenMovieFile(&in, &refNum, fsRdPerm), noErr);
    Movie movie = nullptr;
    ASSERT_EQ(NewMovieFromFile(&movie, refNum, nullptr, nullptr, newMovieActive, nullptr), noErr);
    SetMovieProgressProc(movie, kDefaultMovieProgressProc, 0);

    harness::Key(kEscapeCharCode);
    short resId = movieInDataForkResID;
    FlattenMovie(movie, flattenAddMovieToDataFork, &out, 'TVOD', -2, createMovieFileDeleteCurFile, &resId, nullptr);
    EXPECT_EQ(GetMoviesError(), userCanceledErr);
    EXPECT_FALSE(fs::exists(dir / "flat.mov"));
    EXPECT_EQ(MovieProgressWindow(), nullptr);  // closed on the way out

    DisposeMovie(movie);
    CloseMovieFile(refNum);
    fs::remove_all(dir);
}

}  // namespace
