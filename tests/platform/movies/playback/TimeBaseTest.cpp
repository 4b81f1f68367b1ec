// The movie's time base on a clock the test moves: stopped at rate 0,
// running at the rate, stopping at either end, clamped when set.
#include <gtest/gtest.h>

#include "PlaybackTestSupport.h"
#include "platform/movies/MovieClock.h"

using namespace playbacktest;

struct TimeBaseStep {
    enum Op { SetRate, SetTime, Wait } op;
    double value;        // rate, seconds of movie time, or seconds of clock
    double expectTime;   // seconds of movie time after the step
    double expectRate;
};

struct TimeBaseCase {
    const char* name;
    std::vector<TimeBaseStep> steps;
};

class TimeBaseFollowsClock : public testing::TestWithParam<TimeBaseCase> {};

TEST_P(TimeBaseFollowsClock, StepByStep)
{
    std::string path = MakeMovie("clock.mov", "-f lavfi -i testsrc2=size=64x48:rate=25:duration=2 -c:v mjpeg");
    ASSERT_FALSE(path.empty());
    double clock = 100;
    SetMoviesClock([&] { return clock; });
    Movie movie = OpenMovie(path);
    TimeScale scale = GetMovieTimeScale(movie);
    ASSERT_EQ(GetMovieDuration(movie), 2 * scale);
    EXPECT_EQ(GetMovieRate(movie), 0);
    int n = 0;
    for (const TimeBaseStep& step : GetParam().steps) {
        switch (step.op) {
        case TimeBaseStep::SetRate: SetMovieRate(movie, X2Fix(step.value)); break;
        case TimeBaseStep::SetTime: SetMovieTimeValue(movie, TimeValue(step.value * scale)); break;
        case TimeBaseStep::Wait: clock += step.value; break;
        }
        ++n;
        EXPECT_NEAR(GetMovieTime(movie, nullptr), step.expectTime * scale, 1) << "step " << n;
        EXPECT_EQ(GetMovieRate(movie), X2Fix(step.expectRate)) << "step " << n;
    }
    DisposeMovie(movie);
    SetMoviesClock(nullptr);
}

constexpr auto kRate = TimeBaseStep::SetRate, kTime = TimeBaseStep::SetTime, kWait = TimeBaseStep::Wait;

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeBaseFollowsClock,
    testing::Values(
        TimeBaseCase{"stopped", {{kWait, 1, 0, 0}, {kTime, 0.5, 0.5, 0}, {kWait, 1, 0.5, 0}}},
        TimeBaseCase{"plays_and_stops_at_end", {{kRate, 1, 0, 1}, {kWait, 0.75, 0.75, 1}, {kRate, 0, 0.75, 0},
                                                {kWait, 1, 0.75, 0}, {kRate, 2, 0.75, 2}, {kWait, 0.25, 1.25, 2},
                                                {kWait, 5, 2, 0}}},
        TimeBaseCase{"backwards_stops_at_start",
                     {{kTime, 1.5, 1.5, 0}, {kRate, -1, 1.5, -1}, {kWait, 0.5, 1, -1}, {kWait, 3, 0, 0}}},
        TimeBaseCase{"set_while_playing_and_clamped", {{kRate, 1, 0, 1}, {kTime, 1, 1, 1}, {kWait, 0.5, 1.5, 1},
                                                       {kRate, 0, 1.5, 0}, {kTime, -3, 0, 0}, {kTime, 9, 2, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });
