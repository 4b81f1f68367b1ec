// The sound of a playing movie for a device that pulls frames from a thread
// of its own: 48 kHz stereo at a movie position moving at the movie's rate,
// forwards or backwards.
//
// Threaded, a mixer thread decodes and mixes ahead into a ring of about a
// sixth of a second, and the device's pull only copies from the ring under
// a short lock, so neither decoding nor mixing can make the device wait.
// In step (the headless backend), the pull mixes what it asks for at once,
// so the same script always records the same sound.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/movies/playback/PlaybackEngine.h"

class SoundMixer {
public:
    SoundMixer(std::shared_ptr<PlaybackEngine> engine, bool threaded);
    ~SoundMixer();
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    // The sound starts (again) at `position`, in 48 kHz frames of movie
    // time, moving `rate` movie frames per frame played: 1 forwards at
    // normal speed, negative backwards, 0 silent.
    void Play(double position, double rate);

    // The device's pull, from its own thread: count stereo frames.
    void Pull(SInt16* out, int count);

    // The movie position of the sound heard now, and whether sound is
    // really flowing (moving, and pulled by a device lately) so that it can
    // be the clock the picture follows.
    double Position() const;
    bool Flowing() const;
    // Frames the device asked for that the mixer had not made in time.
    long Underruns() const { return underruns.load(); }

    // Mixes count frames from `position` at `rate` into out: the engine's
    // mix resampled to the rate, read backwards for a negative one.
    static void Resample(PlaybackEngine& engine, double position, double rate, int count, SInt16* out,
                         std::vector<SInt16>* scratch);

private:
    void Run();
    void PullInStep(SInt16* out, int count);
    void PullFromRing(SInt16* out, int count);
    void NotePull(double position, int count);
    void Append(const SInt16* block);

    std::shared_ptr<PlaybackEngine> engine;
    bool threaded;
    std::vector<SInt16> scratch;         // the puller's (in step) or the mixer's (threaded)
    // The engine's sound side, mixed by the mixer thread or by Play priming
    // the ring; neither holds `lock` while mixing.
    std::mutex engineLock;
    std::vector<SInt16> primeBlock, primeScratch;  // Play's, under engineLock
    std::atomic<long> underruns{0};

    // What the device heard last, for the clock: the position of the first
    // frame of its latest pull and when that pull came.
    mutable std::mutex clockLock;
    double pulledPosition = 0, pulledRate = 0, pulledAt = -1;
    int pulledCount = 0;

    // The sound wanted, and the ring, under `lock`.
    mutable std::mutex lock;
    std::condition_variable wake;
    double rate = 0;
    double mixPosition = 0;              // the movie position of the next frame the mixer makes
    double frontPosition = 0;            // the movie position of the ring's first frame
    unsigned generation = 0;
    std::vector<SInt16> ring;            // interleaved stereo
    size_t ringFront = 0, ringFrames = 0;
    bool stopping = false;
    std::thread mixer;
};
