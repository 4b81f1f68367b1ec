// The mixer that feeds the sound device: backwards it plays the movie's
// sound reversed, and on its own thread it hands the device exactly what
// mixing in step would, from a ring the device only copies from.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "PlaybackTestSupport.h"
#include "platform/movies/playback/SoundMixer.h"

using namespace playbacktest;

namespace {

// Two seconds of a rising tone, so that backwards differs from forwards.
std::shared_ptr<PlaybackEngine> SweepEngine(Movie* movie, const std::string& codec = "aac")
{
    std::string path = MakeMovie("sweep-" + codec + ".mov",
                                 "-f lavfi -i testsrc2=size=160x120:rate=25:duration=2 -f lavfi -i "
                                 "'aevalsrc=sin(2*PI*(200+400*t)*t):s=48000:d=2' -c:v mjpeg -c:a " + codec);
    *movie = OpenMovie(path);
    return std::make_shared<PlaybackEngine>(TakeMovieSnapshot(*movie));
}

// What a device pulling 800 frames at a time hears; `pace` lets real time
// pass between pulls, as a device does.
std::vector<SInt16> Pulled(SoundMixer& mixer, int frames, bool pace = false)
{
    std::vector<SInt16> out(size_t(frames) * 2);
    for (int at = 0; at < frames; at += 800) {
        mixer.Pull(out.data() + size_t(at) * 2, std::min(800, frames - at));
        if (pace)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return out;
}

}  // namespace

// Backwards from 1.5 s, frame k heard is the frame 1.5 s - k of the forward
// mix, with no seam where the decoder starts again further back.
TEST(SoundMixer, BackwardsPlaysTheSoundReversed)
{
    Movie movie = nullptr;
    auto engine = SweepEngine(&movie);
    std::vector<SInt16> forward(size_t(72001) * 2);
    engine->MixSound(0, 72001, forward.data());
    SoundMixer mixer(engine, false);
    mixer.Play(72000, -1);
    std::vector<SInt16> backward = Pulled(mixer, 48000);
    long wrong = 0;
    for (size_t k = 0; k < 48000; ++k)
        wrong += backward[k * 2] != forward[(72000 - k) * 2];
    EXPECT_EQ(wrong, 0);
    EXPECT_NEAR(mixer.Position(), 24000, 1);
    DisposeMovie(movie);
}

// Threaded, the device gets the same frames as in step (within the
// rounding of where the mixer's blocks start) from its first pull on, with
// no frame missing at the start, and nothing while the sound stands still.
TEST(SoundMixer, RingHandsOutWhatMixingInStepMakes)
{
    Movie movie = nullptr;
    auto engine = SweepEngine(&movie, "pcm_s16le");
    SoundMixer inStep(std::make_shared<PlaybackEngine>(TakeMovieSnapshot(movie)), false);
    SoundMixer threaded(engine, true);
    for (double rate : {1.0, -1.0, 0.5}) {
        SCOPED_TRACE(rate);
        inStep.Play(48000, rate);
        threaded.Play(48000, rate);
        // The device's first two pulls at once, then, once the mixer has had
        // a moment, more than the ring holds, so that it wraps round.
        std::vector<SInt16> ring = Pulled(threaded, 1600), mixed = Pulled(inStep, 20000);
        EXPECT_EQ(threaded.Underruns(), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::vector<SInt16> rest = Pulled(threaded, 18400, true);
        ring.insert(ring.end(), rest.begin(), rest.end());
        int worst = 0;
        for (size_t i = 0; i < ring.size(); ++i)
            worst = std::max(worst, std::abs(ring[i] - mixed[i]));
        EXPECT_LE(worst, 1);
        EXPECT_GT(FirstLoudFrame(ring), -1);
        EXPECT_EQ(threaded.Underruns(), 0);
        EXPECT_TRUE(threaded.Flowing());
    }
    threaded.Play(48000, 0);
    std::vector<SInt16> still = Pulled(threaded, 4000);
    EXPECT_EQ(FirstLoudFrame(still, 0), -1);
    EXPECT_FALSE(threaded.Flowing());
    DisposeMovie(movie);
}
