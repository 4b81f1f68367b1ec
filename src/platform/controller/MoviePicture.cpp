#include "platform/controller/MoviePicture.h"

#include <chrono>
#include <algorithm>
#include <cmath>

namespace {

constexpr size_t kQueueLength = 4;
constexpr double kLookAheadSeconds = 0.25;
// A wake-up that the event loop answered without taking the picture (its
// clock a little behind the worker's guess) is repeated this often.
constexpr double kWakeAgainSeconds = 0.004;
constexpr double kNever = 1e300;
// Playing backwards, the pictures held (the group showing and the one
// before it) take at most this many bytes, and a group at most half.
constexpr size_t kBackwardBytes = size_t(64) << 20;

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Where the group before one starting at `first` is to be composed; -1 at
// the start of the movie.
double GroupBefore(const PlaybackEngine& engine, double first)
{
    return first > 1e-9 ? engine.PreviousPictureChange(first) : -1;
}

}  // namespace

MoviePicture::MoviePicture(std::shared_ptr<PlaybackEngine> e, bool t, std::function<void()> wake)
    : engine(std::move(e)), threaded(t), wakeProc(std::move(wake))
{
    if (threaded)
        worker = std::thread([this] { Run(); });
}

MoviePicture::~MoviePicture()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    wake.notify_all();
    if (worker.joinable())
        worker.join();
}

bool MoviePicture::Covers(const PlaybackImage& image, double t) const
{
    return t >= image.movieTime && t < engine->NextPictureChange(image.movieTime);
}

// Whether the picture has come due (or gone) at t, for the direction played.
bool MoviePicture::Due(const PlaybackImage& image, double t) const
{
    if (wantRate >= 0)
        return image.movieTime <= t + 1e-9;
    return t < engine->NextPictureChange(image.movieTime) - 1e-9;
}

size_t MoviePicture::GroupLimit(int width, int height) const
{
    size_t bytes = std::max<size_t>(1, size_t(std::max(width, 1)) * size_t(std::max(height, 1)) * 4);
    return std::max<size_t>(2, kBackwardBytes / 2 / bytes);
}

// The pictures from the start of the group that the picture at t is decoded
// from up to that picture, composed forward (the decoders never go back),
// the latest `most` of them, latest first. Pixels come from `pool`.
std::vector<std::unique_ptr<PlaybackImage>> MoviePicture::ComposeGroup(double t, int width, int height,
                                                                     size_t most,
                                                                     std::vector<std::unique_ptr<PlaybackImage>>& pool)
{
    std::deque<double> times;
    for (double s = engine->GroupStart(t); s <= t; s = engine->NextPictureChange(s)) {
        times.push_back(s);
        if (times.size() > most)
            times.pop_front();
    }
    if (times.empty())
        times.push_back(t);
    std::vector<std::unique_ptr<PlaybackImage>> group;
    for (double s : times) {
        std::unique_ptr<PlaybackImage> image;
        if (pool.empty()) {
            image = std::make_unique<PlaybackImage>();
        } else {
            image = std::move(pool.back());
            pool.pop_back();
        }
        engine->Compose(s, width, height, image.get());
        group.push_back(std::move(image));
    }
    std::reverse(group.begin(), group.end());
    return group;
}

void MoviePicture::Follow(double movieTime, double unitsPerSecond, int width, int height)
{
    if (!threaded) {
        wantTime = movieTime;
        wantRate = unitsPerSecond;
        wantWidth = width;
        wantHeight = height;
        return;
    }
    std::lock_guard<std::mutex> guard(lock);
    bool sizeChanged = width != wantWidth || height != wantHeight;
    bool rateChanged = unitsPerSecond != wantRate;
    if (!sizeChanged && !rateChanged && unitsPerSecond == 0 && movieTime == wantTime && generation != 0)
        return;  // still, and its picture is made or on its way
    // Playing keeps the queue while the time moves on as expected (give or
    // take the small steps by which it follows the sound, back as well as
    // forward); a jump, or a worker that fell half a second behind, starts
    // again at the time now (late pictures are dropped rather than piling
    // up). Backwards, a worker that reached the start is never behind.
    double slack = 0.5 * std::fabs(unitsPerSecond);
    bool ahead = unitsPerSecond > 0 ? nextTime >= 0 && nextTime >= movieTime - slack
                                    : nextTime < 0 || nextTime <= movieTime + slack;
    bool onCourse = !sizeChanged && !rateChanged && unitsPerSecond != 0 && ahead &&
                    std::fabs(movieTime - wantTime) <= slack;
    wantTime = movieTime;
    wantAt = Now();
    wantRate = unitsPerSecond;
    wantWidth = width;
    wantHeight = height;
    if (!onCourse) {
        bool same = !sizeChanged && unitsPerSecond == 0 && !ready.empty() && Covers(*ready.back(), movieTime);
        if (!same) {
            for (auto& image : ready)
                spare.push_back(std::move(image));
            ready.clear();
            // Backwards pictures held no longer; forward needs only a few.
            if (unitsPerSecond >= 0 && spare.size() > kQueueLength + 1)
                spare.resize(kQueueLength + 1);
            nextTime = movieTime;
            ++generation;
        }
    }
    wake.notify_all();
}

std::unique_ptr<PlaybackImage> MoviePicture::SpareImage()
{
    if (spare.empty())
        return std::make_unique<PlaybackImage>();
    auto image = std::move(spare.back());
    spare.pop_back();
    return image;
}

// Composes the next picture when one is wanted; false when none is.
bool MoviePicture::Compose(std::unique_lock<std::mutex>& guard)
{
    if (wantRate < 0)
        return ComposeBackward(guard);
    double limit = wantTime + std::max(wantRate, 0.0) * kLookAheadSeconds;
    bool due = nextTime >= 0 && ready.size() < kQueueLength && nextTime <= limit &&
               nextTime < double(engine->Snapshot().duration) + (ready.empty() ? 1 : 0);
    if (!due)
        return false;
    double t = nextTime;
    if (wantRate > 0) {
        // A picture that will be over before it could be shown is passed
        // over (the decoder still reads through it): falling behind, the
        // picture catches up with the sound instead of trailing it.
        double next = engine->NextPictureChange(t);
        double clock = wantTime + (Now() - wantAt) * wantRate;
        if (next <= clock && next < double(engine->Snapshot().duration)) {
            nextTime = next;
            return true;
        }
    }
    int w = wantWidth, h = wantHeight;
    unsigned gen = generation;
    auto image = SpareImage();
    guard.unlock();
    engine->Compose(t, w, h, image.get());
    double next = engine->NextPictureChange(t);
    guard.lock();
    if (gen != generation) {
        spare.push_back(std::move(image));
        return true;
    }
    ready.push_back(std::move(image));
    nextTime = wantRate > 0 ? next : -1;  // a still movie needs one picture
    if (wantRate <= 0 && wakeProc)
        wakeProc();
    return true;
}

// Backwards: the group before the pictures waiting, while no more than
// one group waits.
bool MoviePicture::ComposeBackward(std::unique_lock<std::mutex>& guard)
{
    int w = wantWidth, h = wantHeight;
    size_t most = GroupLimit(w, h);
    if (nextTime < 0 || ready.size() > most)
        return false;
    double t = nextTime;
    unsigned gen = generation;
    std::vector<std::unique_ptr<PlaybackImage>> pool;
    while (!spare.empty() && pool.size() < most) {
        pool.push_back(std::move(spare.back()));
        spare.pop_back();
    }
    guard.unlock();
    auto group = ComposeGroup(t, w, h, most, pool);
    double before = GroupBefore(*engine, group.back()->movieTime);
    guard.lock();
    for (auto& image : pool)
        spare.push_back(std::move(image));
    if (gen != generation) {
        for (auto& image : group)
            spare.push_back(std::move(image));
        return true;
    }
    for (auto& image : group)
        ready.push_back(std::move(image));
    nextTime = before;
    return true;
}

// When the event loop is to be woken to show the first picture waiting,
// by the movie's time as last followed; never while nothing waits or the
// movie stands still (a still picture wakes it when it is made).
double MoviePicture::WakeTime() const
{
    if (ready.empty() || wantRate == 0 || !wakeProc)
        return kNever;
    // Backwards a picture comes due when the time falls below its end.
    double at = wantRate > 0 ? ready.front()->movieTime : engine->NextPictureChange(ready.front()->movieTime);
    double dueAt = wantAt + (at - wantTime) / wantRate;
    return std::max(dueAt, wokeAt + kWakeAgainSeconds);
}

// The worker: wakes the event loop when a picture comes due, composes
// ahead while there is room, and otherwise sleeps until the next picture
// is due or it is told of a change.
void MoviePicture::Run()
{
    std::unique_lock<std::mutex> guard(lock);
    while (!stopping) {
        double now = Now(), wakeAt = WakeTime();
        if (wakeAt <= now) {
            wokeAt = now;
            wakeProc();
            continue;
        }
        if (Compose(guard))
            continue;
        if (wakeAt == kNever)
            wake.wait(guard);
        else
            wake.wait_for(guard, std::chrono::duration<double>(wakeAt - now));
    }
}

// Every picture between the last one shown and this one was missed.
void MoviePicture::Count(double lastShown, double movieTime)
{
    ++shownCount;
    // A picture is on time while the movie's time lies within its span.
    double end = engine->NextPictureChange(shown.movieTime);
    double lag = movieTime < shown.movieTime ? shown.movieTime - movieTime : movieTime >= end ? movieTime - end : 0;
    worstLag = std::max(worstLag, lag);
    if (lastShown < 0 || shown.movieTime == lastShown)
        return;
    // Either way, the pictures that began and ended between the two were
    // missed (in step the times shown lie anywhere within their pictures).
    double from = std::min(lastShown, shown.movieTime), to = std::max(lastShown, shown.movieTime);
    double t = engine->NextPictureChange(from);
    for (int guard = 0; guard < 10000 && engine->NextPictureChange(t) <= to + 1e-6; ++guard) {
        ++droppedCount;
        t = engine->NextPictureChange(t);
    }
}

bool MoviePicture::TakeDue(double movieTime, const PlaybackImage** image)
{
    *image = &shown;
    if (!threaded) {
        if (shownTime >= 0 && movieTime >= shownTime && movieTime < shownUntil && shown.width == wantWidth &&
            shown.height == wantHeight)
            return false;
        double last = shownTime;
        if (wantRate < 0) {
            TakeBackwardInStep(movieTime);
        } else {
            engine->Compose(movieTime, wantWidth, wantHeight, &shown);
            shownTime = movieTime;
        }
        shownUntil = engine->NextPictureChange(shownTime);
        Count(last, movieTime);
        return true;
    }
    std::lock_guard<std::mutex> guard(lock);
    bool took = false;
    // The newest picture that is due; older ones are dropped unseen. The
    // picture given up goes back to the worker for its pixels.
    while (!ready.empty() && (Due(*ready.front(), movieTime) || (!took && shownTime < 0))) {
        std::swap(shown, *ready.front());
        spare.push_back(std::move(ready.front()));
        ready.pop_front();
        took = true;
    }
    if (took) {
        double last = shownTime;
        shownTime = shown.movieTime;
        Count(last, movieTime);
        wake.notify_all();
    }
    return took;
}

// In step backwards: the picture at movieTime from the group held, which
// is composed again only when the time leaves it.
void MoviePicture::TakeBackwardInStep(double movieTime)
{
    while (!ready.empty() && ready.front()->movieTime > movieTime) {
        spare.push_back(std::move(ready.front()));
        ready.pop_front();
    }
    bool held = !ready.empty() && Covers(*ready.front(), movieTime) && ready.front()->width == wantWidth &&
                ready.front()->height == wantHeight;
    if (!held) {
        for (auto& image : ready)
            spare.push_back(std::move(image));
        ready.clear();
        for (auto& image : ComposeGroup(movieTime, wantWidth, wantHeight, GroupLimit(wantWidth, wantHeight), spare))
            ready.push_back(std::move(image));
    }
    std::swap(shown, *ready.front());
    spare.push_back(std::move(ready.front()));
    ready.pop_front();
    shownTime = shown.movieTime;
}
