// The clock that movie time bases run on. A playing movie's time is worked
// out from this clock whenever it is asked for, as the classic time base
// did. It is the monotonic clock unless the user-interface layer chooses
// another (its virtual clock in tests), so the movie toolbox needs nothing
// of that layer.
#pragma once

#include <functional>

// Seconds since some fixed moment.
double MoviesClockSeconds();
// nil restores the monotonic clock.
void SetMoviesClock(std::function<double()> clock);

struct MovieRecord;
// Brings a movie's current time up to the clock: a playing movie stops (its
// rate becomes 0) at its end, or at its start when playing backwards.
void AdvanceMovieTime(MovieRecord& movie);
// Makes the current time and the clock now the base the time runs on from.
void AnchorMovieTime(MovieRecord& movie);
