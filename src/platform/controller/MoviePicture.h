// The pictures a movie controller shows. In step with the clock (the
// headless backend), the picture due at a time is composed when it is asked
// for, so the same script always shows the same frames. Otherwise a worker
// thread composes ahead of the clock into a small queue, and the controller
// takes the newest picture that is due, dropping older ones: decoding never
// holds up the event loop.
//
// Playing backwards, pictures are composed a group at a time: forward from
// the sync picture the group is decoded from, kept, and shown latest first.
// Threaded, the group before the one showing is made while it shows, so
// stepping back never waits for a group to be decoded again and again.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/movies/playback/PlaybackEngine.h"

class MoviePicture {
public:
    // wake (threaded only) is called from the worker when a picture comes
    // due, so that the event loop, which otherwise sleeps, comes round to
    // show it.
    MoviePicture(std::shared_ptr<PlaybackEngine> engine, bool threaded, std::function<void()> wake = nullptr);
    ~MoviePicture();
    MoviePicture(const MoviePicture&) = delete;
    MoviePicture& operator=(const MoviePicture&) = delete;

    // The movie is at movieTime, moving at unitsPerSecond (0: still), and is
    // shown width x height device pixels. A jump elsewhere starts again there.
    void Follow(double movieTime, double unitsPerSecond, int width, int height);
    // The newest picture due at movieTime; false when it is the one taken
    // last time (nothing to draw) or none is ready yet.
    bool TakeDue(double movieTime, const PlaybackImage** image);
    // Forgets the picture shown, so the next TakeDue gives one again.
    void Invalidate() { shownTime = -1; }

    // Pictures shown, pictures that came due but were never shown, and the
    // largest gap in movie units between a picture shown and the time it
    // was shown at.
    long Shown() const { return shownCount; }
    long Dropped() const { return droppedCount; }
    double WorstLag() const { return worstLag; }

private:
    void Run();
    bool Compose(std::unique_lock<std::mutex>& guard);
    double WakeTime() const;
    bool Covers(const PlaybackImage& image, double t) const;
    bool Due(const PlaybackImage& image, double t) const;
    bool ComposeBackward(std::unique_lock<std::mutex>& guard);
    std::vector<std::unique_ptr<PlaybackImage>> ComposeGroup(double t, int width, int height, size_t most,
                                                            std::vector<std::unique_ptr<PlaybackImage>>& pool);
    size_t GroupLimit(int width, int height) const;
    void TakeBackwardInStep(double movieTime);
    std::unique_ptr<PlaybackImage> SpareImage();

    std::shared_ptr<PlaybackEngine> engine;
    bool threaded;
    PlaybackImage shown;
    double shownTime = -1;       // movie time of the picture last handed out
    double shownUntil = -1;      // when that picture stops being due
    long shownCount = 0, droppedCount = 0;
    double worstLag = 0;
    void Count(double lastShown, double movieTime);
    // Worker state, under `lock`.
    std::mutex lock;
    std::condition_variable wake;
    // Pictures to show in the order they come due (latest first backwards;
    // in step, the group held while playing backwards).
    std::deque<std::unique_ptr<PlaybackImage>> ready;
    // Pictures already shown, kept so that their pixels need not be
    // allocated (and faulted in) again for every frame.
    std::vector<std::unique_ptr<PlaybackImage>> spare;
    double wantTime = 0, wantRate = 0;
    double wantAt = 0;           // monotonic seconds at which the movie was at wantTime
    double wokeAt = -1;          // when the worker last woke the event loop
    int wantWidth = 0, wantHeight = 0;
    // The next picture the worker composes; backwards, the group that
    // shows at this time is the next to compose. -1: none.
    double nextTime = -1;
    unsigned generation = 0;
    bool stopping = false;
    std::function<void()> wakeProc;
    std::thread worker;
};
