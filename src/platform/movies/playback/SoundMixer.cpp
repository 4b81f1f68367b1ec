#include "platform/movies/playback/SoundMixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// The ring holds about a sixth of a second: enough to ride out a slow
// packet or a busy processor, little enough that a pause or a jump is
// heard at once (the ring is emptied then anyway).
constexpr size_t kRingFrames = 8192;
constexpr int kBlockFrames = 1024;
// Blocks mixed before the sound starts, so that the device's first pulls
// (1024 frames each) find sound waiting rather than an empty ring while the
// mixer thread wakes.
constexpr int kPrimeBlocks = 2;

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

SoundMixer::SoundMixer(std::shared_ptr<PlaybackEngine> e, bool t) : engine(std::move(e)), threaded(t)
{
    if (threaded) {
        ring.assign(kRingFrames * 2, 0);
        mixer = std::thread([this] { Run(); });
    }
}

SoundMixer::~SoundMixer()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    wake.notify_all();
    if (mixer.joinable())
        mixer.join();
}

void SoundMixer::Play(double position, double r)
{
    // Threaded, the first blocks are mixed here and now, so that the device
    // never starts on an empty ring while the mixer thread wakes. The engine
    // is the mixer's meanwhile; the ring stays free for the device.
    std::unique_lock<std::mutex> mixing(engineLock, std::defer_lock);
    int primed = 0;
    if (threaded && r != 0) {
        mixing.lock();
        primed = kPrimeBlocks * kBlockFrames;
        primeBlock.resize(size_t(primed) * 2);
        Resample(*engine, position, r, primed, primeBlock.data(), &primeScratch);
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        rate = r;
        mixPosition = frontPosition = position;
        ringFront = ringFrames = 0;
        ++generation;
        for (int at = 0; at < primed; at += kBlockFrames)
            Append(primeBlock.data() + size_t(at) * 2);
        mixPosition += r * primed;
    }
    {
        std::lock_guard<std::mutex> guard(clockLock);
        pulledPosition = position;
        pulledRate = r;
        pulledCount = 0;
    }
    wake.notify_all();
}

void SoundMixer::Resample(PlaybackEngine& engine, double start, double r, int count, SInt16* out,
                          std::vector<SInt16>* scratch)
{
    if (r == 0 || count <= 0) {
        std::fill(out, out + size_t(std::max(count, 0)) * 2, SInt16(0));
        return;
    }
    // The engine mixes forwards; the frames this pull passes over are mixed
    // as one run and read at the rate, backwards for a negative one.
    SInt64 first = 0;
    int span = 0;
    if (r > 0) {
        first = SInt64(std::floor(start));
        span = int(std::ceil(start - double(first) + r * count)) + 2;
    } else {
        first = SInt64(std::floor(start + r * (count - 1)));
        span = int(std::ceil(start - double(first))) + 2;
    }
    scratch->resize(size_t(span) * 2);
    engine.MixSound(first, span, scratch->data());
    const SInt16* s = scratch->data();
    for (int i = 0; i < count; ++i) {
        double f = start - double(first) + r * i;
        int j = int(f);
        double frac = f - j;
        for (int c = 0; c < 2; ++c)
            out[i * 2 + c] = SInt16(std::lround(s[size_t(j) * 2 + c] * (1 - frac) + s[size_t(j + 1) * 2 + c] * frac));
    }
}

void SoundMixer::Pull(SInt16* out, int count)
{
    if (count <= 0)
        return;
    if (threaded)
        PullFromRing(out, count);
    else
        PullInStep(out, count);
}

void SoundMixer::NotePull(double position, int count)
{
    std::lock_guard<std::mutex> guard(clockLock);
    pulledPosition = position;
    pulledCount = count;
    pulledAt = Now();
}

void SoundMixer::PullInStep(SInt16* out, int count)
{
    double start = 0, r = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        start = mixPosition;
        r = rate;
        mixPosition = start + r * count;
    }
    Resample(*engine, start, r, count, out, &scratch);
    NotePull(start, count);
}

// Copies what the mixer made; frames it has not made yet are silence, and
// the clock waits for them rather than running ahead of the sound.
void SoundMixer::PullFromRing(SInt16* out, int count)
{
    size_t taken = 0;
    double position = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        position = frontPosition;
        taken = std::min(ringFrames, size_t(count));
        for (size_t done = 0; done < taken;) {
            size_t run = std::min(taken - done, kRingFrames - ringFront);
            std::copy_n(ring.data() + ringFront * 2, run * 2, out + done * 2);
            ringFront = (ringFront + run) % kRingFrames;
            done += run;
        }
        ringFrames -= taken;
        frontPosition += rate * double(taken);
        if (rate != 0 && taken < size_t(count))
            underruns += long(size_t(count) - taken);
    }
    std::fill(out + taken * 2, out + size_t(count) * 2, SInt16(0));
    NotePull(position, int(taken));
    if (taken > 0)
        wake.notify_one();
}

// Adds a block at the ring's back (under the lock).
void SoundMixer::Append(const SInt16* block)
{
    size_t back = (ringFront + ringFrames) % kRingFrames;
    for (size_t done = 0; done < size_t(kBlockFrames);) {
        size_t run = std::min(size_t(kBlockFrames) - done, kRingFrames - back);
        std::copy_n(block + done * 2, run * 2, ring.data() + back * 2);
        back = (back + run) % kRingFrames;
        done += run;
    }
    ringFrames += kBlockFrames;
}

// The mixer thread: keeps the ring full while the sound moves, and sleeps
// while it is full or still.
void SoundMixer::Run()
{
    std::vector<SInt16> block(size_t(kBlockFrames) * 2);
    std::unique_lock<std::mutex> guard(lock);
    while (!stopping) {
        if (rate == 0 || ringFrames + kBlockFrames > kRingFrames) {
            wake.wait(guard);
            continue;
        }
        double position = mixPosition, r = rate;
        unsigned made = generation;
        guard.unlock();
        {
            std::lock_guard<std::mutex> mixing(engineLock);
            Resample(*engine, position, r, kBlockFrames, block.data(), &scratch);
        }
        guard.lock();
        if (made != generation)
            continue;  // moved meanwhile: that block is not wanted
        Append(block.data());
        mixPosition = position + r * kBlockFrames;
    }
}

double SoundMixer::Position() const
{
    if (!threaded) {
        std::lock_guard<std::mutex> guard(lock);
        return mixPosition;  // in step, the sound is where the last pull left it
    }
    std::lock_guard<std::mutex> guard(clockLock);
    if (pulledAt < 0)
        return pulledPosition;
    // Between pulls the sound moves on at its rate, up to the end of what
    // the device was given.
    double played = std::clamp((Now() - pulledAt) * PlaybackEngine::kSoundRate, 0.0, double(pulledCount));
    return pulledPosition + pulledRate * played;
}

bool SoundMixer::Flowing() const
{
    std::lock_guard<std::mutex> guard(clockLock);
    return pulledRate != 0 && pulledAt >= 0 && Now() - pulledAt < 0.2;
}
