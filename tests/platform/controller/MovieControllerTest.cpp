// The movie controller on the headless backend: the picture drawn is
// exactly the engine's picture for the virtual time, the bar and keys
// operate the movie, resizing fits the movie and tells the filter once,
// and sound reaches the backend in step with the movie.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "../movies/playback/PlaybackTestSupport.h"
#include "ToolboxTestSupport.h"
#include "platform/ui/harness/DialogHarness.h"
#include "platform/controller/MovieControllers.h"
#include "platform/movies/playback/PlaybackEngine.h"
#include "platform/ui/backend/headless/HeadlessBackend.h"

using namespace playbacktest;

namespace {

// The headless backend, keeping the sound source the controller hands it.
class SoundCatcher : public HeadlessBackend {
public:
    SoundCatcher() : HeadlessBackend(800, 600, 1) {}
    void SetAudioSource(AudioSource s) override { source = std::move(s); }
    AudioSource source;
};

// Two seconds of pattern at 25 frames a second, and a sine.
std::string ControllerMovie()
{
    return MakeMovie("ctl.mov", "-f lavfi -i testsrc2=size=160x120:rate=25:duration=2 -f lavfi -i "
                                "sine=frequency=1000:sample_rate=48000:duration=2 -c:v mjpeg -q:v 2 -c:a pcm_s16le");
}

int gSizeChanges = 0;
Boolean CountSizeChanges(MovieController, short action, void*, long)
{
    if (action == mcActionControllerSizeChanged)
        ++gSizeChanges;
    return false;
}

class MovieControllerTest : public ToolboxTest {
protected:
    void SetUp() override
    {
        auto backend = std::make_unique<SoundCatcher>();
        catcher = backend.get();
        UIUseBackend(std::move(backend));
        window = MakeWindow("movie", R(40, 60, 200, 196));
        SetPortWindowPort(window);
        path = ControllerMovie();
        movie = OpenMovie(path);
        scale = GetMovieTimeScale(movie);
        Rect box = R(0, 0, 160, 120);
        mc = NewMovieController(movie, &box, mcTopLeftMovie);
        ASSERT_NE(mc, nullptr);
        Rect screen{0, 0, 600, 800};
        MCDoAction(mc, mcActionSetGrowBoxBounds, &screen);
        MCDoAction(mc, mcActionSetKeysEnabled, reinterpret_cast<void*>(1));
        gSizeChanges = 0;
        MCSetActionFilterWithRefCon(mc, CountSizeChanges, 0);
        MCDoAction(mc, mcActionDraw, nullptr);
    }
    void TearDown() override
    {
        DisposeMovieController(mc);
        DisposeMovie(movie);
        ToolboxTest::TearDown();
    }

    // Hands every event to the controller until the script is done and a
    // null event came.
    void Pump()
    {
        for (int i = 0; i < 200; ++i) {
            EventRecord ev;
            WaitNextEvent(everyEvent, &ev, 0, nullptr);
            MCIsPlayerEvent(mc, &ev);
            if (ev.what == updateEvt) {  // as the viewer's Refresh answers it
                BeginUpdate(window);
                MCDoAction(mc, mcActionDraw, nullptr);
                EndUpdate(window);
            }
            if (ev.what == nullEvent && harness::ScriptEmpty())
                break;
        }
    }
    Point BarPoint(short h) { return ContentPoint(h, 128); }
    Point ContentPoint(short h, short v) { return harness::ContentPoint(window, h, v); }
    double Seconds() { return double(GetMovieTime(movie, nullptr)) / scale; }

    // The port shows exactly the engine's picture at the movie's time.
    bool ShowsPictureAt(double movieTime)
    {
        PlaybackEngine engine(TakeMovieSnapshot(movie));
        PlaybackImage image;
        engine.Compose(movieTime, 160, 120, &image);
        for (short y : {5, 60, 110})
            for (short x : {5, 80, 150})
                if (harness::PortPixel(GetWindowPort(window), x, y) != image.pixels[size_t(y) * 160 + x])
                    return false;
        return true;
    }

    SoundCatcher* catcher = nullptr;
    WindowPtr window = nullptr;
    std::string path;
    Movie movie = nullptr;
    TimeScale scale = 600;
    MovieController mc = nullptr;
};

}  // namespace

TEST_F(MovieControllerTest, PlaysOnEveryEventAndShowsTheFrameDue)
{
    Rect bounds;
    MCGetControllerBoundsRect(mc, &bounds);
    EXPECT_EQ(bounds.bottom, 120 + kControllerBarHeight);
    EXPECT_TRUE(ShowsPictureAt(0));
    UInt32 started = harness::Now();
    harness::Key(' ');
    Pump();
    EXPECT_EQ(GetMovieRate(movie), fixed1);
    for (UInt32 ticks : {7u, 23u, 31u}) {
        harness::AdvanceTicks(ticks);
        Pump();
        EXPECT_TRUE(ShowsPictureAt(GetMovieTime(movie, nullptr))) << Seconds();
    }
    // The virtual clock alone gives the time: one tick more for each pump's null event.
    EXPECT_NEAR(Seconds(), (harness::Now() - started) / 60.0, 0.002);
    EXPECT_NEAR(Seconds(), 65 / 60.0, 0.002);
    harness::AdvanceTicks(120);
    Pump();
    EXPECT_EQ(GetMovieRate(movie), 0);
    EXPECT_DOUBLE_EQ(Seconds(), 2.0);
}

// Backwards through groups of pictures with B pictures among them, every
// picture shows while it is due, each once and latest first.
TEST_F(MovieControllerTest, PlaysBackwardsShowingEveryPictureOnce)
{
    DisposeMovieController(mc);
    DisposeMovie(movie);
    movie = OpenMovie(MakeMovie("groups.mp4", "-f lavfi -i testsrc2=size=160x120:rate=25:duration=2 "
                                              "-c:v libx264 -g 12 -bf 2 -pix_fmt yuv420p"));
    Rect box = R(0, 0, 160, 120);
    mc = NewMovieController(movie, &box, mcTopLeftMovie);
    MCDoAction(mc, mcActionSetKeysEnabled, reinterpret_cast<void*>(1));
    SetMovieTimeValue(movie, GetMovieDuration(movie));
    SetMoviePreferredRate(movie, -fixed1);
    harness::Key(' ');
    Pump();
    MCMovieChanged(mc, movie);  // counts from the first picture back
    while (GetMovieRate(movie) != 0) {
        harness::AdvanceTicks(1);
        Pump();
        ASSERT_TRUE(ShowsPictureAt(GetMovieTime(movie, nullptr))) << Seconds();
    }
    MCPlaybackStatistics stats;
    MCGetPlaybackStatistics(mc, &stats);
    EXPECT_EQ(stats.framesShown, 50);
    EXPECT_EQ(stats.framesDropped, 0);
}

// The bar's parts and the keys, one table: what each does to the time.
TEST_F(MovieControllerTest, BarAndKeysMoveTheTime)
{
    struct Action {
        const char* what;
        std::function<void()> act;
        double seconds;
    };
    Rect bounds;
    MCGetControllerBoundsRect(mc, &bounds);
    short stepForward = short(bounds.right - 16 - 8), stepBack = short(bounds.right - 16 - 24);
    short sliderMiddle = short(16 + 6 + (bounds.right - 16 - 32 - 16 - 12) / 2);
    std::vector<Action> actions = {
        {"step forward", [&] { harness::Click(BarPoint(stepForward)); }, 0.04},
        {"right arrow", [&] { harness::Key(0x1D); }, 0.08},
        {"step back", [&] { harness::Click(BarPoint(stepBack)); }, 0.04},
        {"option right arrow", [&] { harness::Key(0x1D, optionKey); }, 2.0},
        {"left arrow", [&] { harness::Key(0x1C); }, 1.96},
        {"option left arrow", [&] { harness::Key(0x1C, optionKey); }, 0.0},
        {"slider middle", [&] { harness::Click(BarPoint(sliderMiddle)); }, 1.0},
    };
    for (const Action& a : actions) {
        a.act();
        Pump();
        EXPECT_NEAR(Seconds(), a.seconds, 0.03) << a.what;
        EXPECT_TRUE(ShowsPictureAt(GetMovieTime(movie, nullptr))) << a.what;
    }
    harness::Click(BarPoint(8));  // play
    Pump();
    EXPECT_NE(GetMovieRate(movie), 0);
    harness::Click(BarPoint(8));  // pause
    Pump();
    EXPECT_EQ(GetMovieRate(movie), 0);
}

TEST_F(MovieControllerTest, ResizingFitsTheMovieAndTellsTheFilterOnlyOfRealChanges)
{
    Rect bigger = R(0, 0, 320, 240 + kControllerBarHeight);
    MCSetControllerBoundsRect(mc, &bigger);
    Rect box;
    GetMovieBox(movie, &box);
    EXPECT_TRUE(EqualRect(&box, &(const Rect&)R(0, 0, 320, 240)));
    EXPECT_EQ(gSizeChanges, 0);
    MCSetControllerBoundsRect(mc, &(const Rect&)R(0, 0, 160, 136));
    Point grow = BarPoint(152);
    harness::Click(grow);  // no movement: no change
    Pump();
    EXPECT_EQ(gSizeChanges, 0);
    harness::Drag(grow, Point{short(grow.v + 40), short(grow.h + 60)});
    Pump();
    EXPECT_EQ(gSizeChanges, 1);
    Rect bounds;
    MCGetControllerBoundsRect(mc, &bounds);
    EXPECT_EQ(bounds.right, 220);
    EXPECT_EQ(bounds.bottom, 176);
    GetMovieBox(movie, &box);
    EXPECT_EQ(box.bottom, 160);
}

// A change to the movie plays at once; the time stays where it still exists.
TEST_F(MovieControllerTest, MovieChangedReadsTheMovieAgainAndKeepsTheTime)
{
    SetMovieTimeValue(movie, scale);
    Track video = GetMovieIndTrack(movie, 1);
    SetTrackOffset(video, scale / 2);
    MCMovieChanged(mc, movie);
    EXPECT_DOUBLE_EQ(Seconds(), 1.0);
    EXPECT_TRUE(ShowsPictureAt(scale));
    SetMovieTimeValue(movie, 5 * scale / 2);
    SetTrackOffset(video, 0);
    MCMovieChanged(mc, movie);
    EXPECT_DOUBLE_EQ(Seconds(), 2.0);
}

// The sound the backend pulls starts where the movie is and follows the
// edits, a sound track half a second late: forwards it is heard half a
// second in; backwards from the end it is loud at once and silent from
// where the track begins. Pausing takes the source away.
TEST_F(MovieControllerTest, SoundFollowsTheMovieEitherWay)
{
    struct Case {
        Fixed rate;
        size_t frames;  // pulled
        long firstLoud, lastLoud;
    };
    for (const Case& c : {Case{fixed1, 96000, 24000, 95999}, Case{-fixed1, 120000, 0, 96000}}) {
        SCOPED_TRACE(c.rate);
        SetMovieTimeValue(movie, 0);
        SetTrackOffset(GetMovieIndTrack(movie, 2), scale / 2);
        SetMoviePreferredRate(movie, c.rate);
        MCMovieChanged(mc, movie);
        EXPECT_FALSE(catcher->source);
        harness::Key(' ');
        Pump();
        ASSERT_TRUE(catcher->source);
        std::vector<SInt16> pulled(c.frames * 2);
        for (size_t at = 0; at < pulled.size(); at += 1600)
            catcher->source(pulled.data() + at, 800);
        EXPECT_NEAR(FirstLoudFrame(pulled), c.firstLoud, 48);
        EXPECT_NEAR(LastLoudFrame(pulled), c.lastLoud, 48);
        harness::Key(' ');
        Pump();
        EXPECT_FALSE(catcher->source);
    }
}

// A missing file is told once, to the application that asks for it.
TEST(MovieControllerProblems, ToldOnce)
{
    harness::Start(800, 600, 1);
    std::string path = ControllerMovie();
    std::string copy = Folder() + "/gone.mov";
    std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
    Movie movie = OpenMovie(copy);
    std::filesystem::remove(copy);
    Rect box = R(0, 0, 160, 120);
    MovieController asked = NewMovieController(movie, &box, mcTopLeftMovie);
    Str255 message;
    EXPECT_TRUE(MCTakePlaybackProblem(asked, message));
    EXPECT_NE(pstr::ToStd(message).find("gone.mov"), std::string::npos) << pstr::ToStd(message);
    EXPECT_FALSE(MCTakePlaybackProblem(asked, message));
    MCMovieChanged(asked, movie);
    EXPECT_FALSE(MCTakePlaybackProblem(asked, message));
    DisposeMovieController(asked);

    DisposeMovie(movie);
    harness::Reset();
}
