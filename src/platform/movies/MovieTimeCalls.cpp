// Movie time: the time scale and everything counted in it (durations,
// current, poster, preview and selection times), and scaling a stretch of
// the whole movie.
#include <algorithm>

#include <chrono>
#include <cmath>

#include "platform/movies/MovieClock.h"
#include "platform/movies/Movies.h"
#include "platform/movies/model/EditList.h"
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/Registry.h"
#include "platform/movies/model/TimeMath.h"

namespace {

std::function<double()>& ClockSlot()
{
    static std::function<double()> clock;
    return clock;
}

}  // namespace

double MoviesClockSeconds()
{
    if (ClockSlot())
        return ClockSlot()();
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SetMoviesClock(std::function<double()> clock) { ClockSlot() = std::move(clock); }

void AnchorMovieTime(MovieRecord& m)
{
    m.timeBase.anchorTime = m.currentTime;
    m.timeBase.anchorClock = MoviesClockSeconds();
}

void AdvanceMovieTime(MovieRecord& m)
{
    if (m.rate == 0) {
        m.currentTime = std::clamp<SInt64>(m.currentTime, 0, m.Duration());  // edits may have shortened it
        return;
    }
    double elapsed = MoviesClockSeconds() - m.timeBase.anchorClock;
    double t = double(m.timeBase.anchorTime) + elapsed * Fix2X(m.rate) * double(m.timeScale);
    SInt64 duration = m.Duration();
    if (t >= double(duration) && m.rate > 0) {
        m.currentTime = duration;
        m.rate = 0;
    } else if (t <= 0 && m.rate < 0) {
        m.currentTime = 0;
        m.rate = 0;
    } else {
        m.currentTime = std::clamp<SInt64>(SInt64(std::floor(t)), 0, duration);
    }
}

TimeScale GetMovieTimeScale(Movie theMovie) { return ValueOf(theMovie, &MovieRecord::timeScale); }

// Every movie-time value moves to the new scale. Edit boundaries are
// converted rather than each duration, so a track's duration is its old
// duration converted, not a sum of separately rounded parts.
void SetMovieTimeScale(Movie theMovie, TimeScale timeScale)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return;
    if (timeScale <= 0) {
        SetMoviesError(paramErr);
        return;
    }
    SetMoviesError(noErr);
    if (timeScale == m->timeScale)
        return;
    const SInt64 from = m->timeScale, to = timeScale;
    auto conv = [&](SInt64 v) { return ConvertTime(v, to, from); };
    for (auto& t : m->tracks) {
        SInt64 start = t->offset;
        SInt64 newStart = conv(start);
        t->offset = newStart;
        for (auto& e : t->edits) {
            SInt64 end = AddTimes(start, e.duration);
            SInt64 newEnd = conv(end);
            e.duration = newEnd - newStart;
            start = end;
            newStart = newEnd;
        }
    }
    AdvanceMovieTime(*m);
    for (SInt64* v : {&m->previewTime, &m->previewDuration, &m->posterTime, &m->selectionTime,
                      &m->selectionDuration, &m->currentTime})
        *v = conv(*v);
    m->timeScale = timeScale;
    AnchorMovieTime(*m);
    m->MarkChanged();
}

TimeBase GetMovieTimeBase(Movie theMovie) { return ValueOf(theMovie, [](MovieRecord& m) { return &m.timeBase; }); }

TimeValue GetMovieDuration(Movie theMovie)
{
    return ValueOf(theMovie, [](MovieRecord& m) { return NarrowTime(m.Duration()); });
}

TimeValue GetMovieTime(Movie theMovie, TimeRecord* currentTime)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return 0;
    SetMoviesError(noErr);
    AdvanceMovieTime(*m);
    if (currentTime) {
        currentTime->value.hi = SInt32(m->currentTime >> 32);
        currentTime->value.lo = UInt32(m->currentTime);
        currentTime->scale = m->timeScale;
        currentTime->base = &m->timeBase;
    }
    return NarrowTime(m->currentTime);
}

void SetMovieTimeValue(Movie theMovie, TimeValue newTime)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        m->currentTime = std::clamp<SInt64>(newTime, 0, m->Duration());
        AnchorMovieTime(*m);
        SetMoviesError(noErr);
    }
}

TimeValue GetMoviePosterTime(Movie theMovie)
{
    return ValueOf(theMovie, [](MovieRecord& m) { return NarrowTime(m.posterTime); });
}

void SetMoviePosterTime(Movie theMovie, TimeValue posterTime)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        m->SetIfChanged(m->posterTime, SInt64(posterTime));
        SetMoviesError(noErr);
    }
}

void GetMovieSelection(Movie theMovie, TimeValue* selectionTime, TimeValue* selectionDuration)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return;
    SetMoviesError(noErr);
    if (selectionTime)
        *selectionTime = NarrowTime(m->selectionTime);
    if (selectionDuration)
        *selectionDuration = NarrowTime(m->selectionDuration);
}

void SetMovieSelection(Movie theMovie, TimeValue selectionTime, TimeValue selectionDuration)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        m->SetIfChanged(m->selectionTime, SInt64(selectionTime));
        m->SetIfChanged(m->selectionDuration, SInt64(selectionDuration));
        SetMoviesError(noErr);
    }
}

void GetMoviePreviewTime(Movie theMovie, TimeValue* previewTime, TimeValue* previewDuration)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return;
    SetMoviesError(noErr);
    if (previewTime)
        *previewTime = NarrowTime(m->previewTime);
    if (previewDuration)
        *previewDuration = NarrowTime(m->previewDuration);
}

void SetMoviePreviewTime(Movie theMovie, TimeValue previewTime, TimeValue previewDuration)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        m->SetIfChanged(m->previewTime, SInt64(previewTime));
        m->SetIfChanged(m->previewDuration, SInt64(previewDuration));
        SetMoviesError(noErr);
    }
}

// Every track's new edits are made before any track takes them, so that
// running out of memory half-way leaves the movie as it was.
OSErr ScaleMovieSegment(Movie theMovie, TimeValue startTime, TimeValue oldDuration, TimeValue newDuration)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return GetMoviesError();
    if (startTime < 0 || oldDuration <= 0 || newDuration <= 0)
        return MoviesResult(paramErr);
    if (oldDuration == newDuration)
        return MoviesResult(noErr);
    return GuardMemory([&] {
        std::vector<std::pair<std::vector<Edit>, SInt64>> scaled;
        for (auto& t : m->tracks) {
            std::vector<Edit> edits = t->edits;
            EditScales scales{m->timeScale, t->media ? t->media->timeScale : m->timeScale};
            SInt64 offset = ScaleEditSegment(edits, t->offset, startTime, oldDuration, newDuration, scales);
            scaled.emplace_back(std::move(edits), offset);
        }
        for (size_t i = 0; i < scaled.size(); ++i) {
            TrackRecord& t = *m->tracks[i];
            if (scaled[i].first != t.edits || scaled[i].second != t.offset) {
                t.edits.swap(scaled[i].first);
                t.offset = scaled[i].second;
                m->MarkChanged();
            }
        }
        return MoviesResult(noErr);
    });
}
