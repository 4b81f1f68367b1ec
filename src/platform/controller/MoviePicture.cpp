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

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
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

void MoviePicture::Follow(double movieTime, double unitsPerSecond, int width, int height)
{
    if (!threaded) {
        wantTime = movieTime;
        wantWidth = width;
        wantHeight = height;
        return;
    }
    std::lock_guard<std::mutex> guard(lock);
    bool sizeChanged = width != wantWidth || height != wantHeight;
    bool rateChanged = unitsPerSecond != wantRate;
    if (!sizeChanged && !rateChanged && unitsPerSecond == 0 && movieTime == wantTime && generation != 0)
        return;  // still, and its picture is made or on its way
    // Playing forward keeps the queue while the time moves on as expected
    // (give or take the small steps by which it follows the sound, back as
    // well as forward); a jump, or a worker that fell half a second behind,
    // starts again at the time now (late pictures are dropped rather than
    // piling up).
    double slack = 0.5 * unitsPerSecond;
    bool onCourse = !sizeChanged && !rateChanged && unitsPerSecond > 0 && nextTime >= 0 &&
                    std::fabs(movieTime - wantTime) <= slack && nextTime >= movieTime - slack;
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

// When the event loop is to be woken to show the first picture waiting,
// by the movie's time as last followed; never while nothing waits or the
// movie stands still (a still picture wakes it when it is made).
double MoviePicture::WakeTime() const
{
    if (ready.empty() || wantRate <= 0 || !wakeProc)
        return kNever;
    double dueAt = wantAt + (ready.front()->movieTime - wantTime) / wantRate;
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
    if (lastShown < 0 || shown.movieTime <= lastShown)
        return;
    double t = engine->NextPictureChange(lastShown);
    for (int guard = 0; guard < 10000 && t < shown.movieTime - 1e-6; ++guard) {
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
        engine->Compose(movieTime, wantWidth, wantHeight, &shown);
        double last = shownTime;
        shownTime = movieTime;
        shownUntil = engine->NextPictureChange(movieTime);
        Count(last, movieTime);
        return true;
    }
    std::lock_guard<std::mutex> guard(lock);
    bool took = false;
    // The newest picture that is due; older ones are dropped unseen. The
    // picture given up goes back to the worker for its pixels.
    while (!ready.empty() && (ready.front()->movieTime <= movieTime + 1e-9 || (!took && shownTime < 0))) {
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
