// Movie calls: creation, rates and volumes, the changed flag, progress, the
// settings that travel between movies, and finding tracks.
#include "platform/movies/Movies.h"
#include "platform/movies/atoms/AtomFactory.h"
#include "platform/movies/model/AtomBuilders.h"
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/Registry.h"
#include "platform/movies/MovieClock.h"
#include "platform/movies/model/TimeMath.h"

OSErr EnterMovies()
{
    return MoviesResult(noErr);
}

void ExitMovies() {}

Movie NewMovie(long flags)
{
    return GuardMemoryValue([&] {
        auto movie = std::make_unique<MovieRecord>();
        movie->moov = BuildEmptyMovieAtom(600);
        movie->matrix = IdentityMatrix();
        movie->active = (flags & newMovieActive) != 0;
        movie->timeBase.movie = movie.get();
        Movie adopted = AdoptMovie(std::move(movie));
        SetMoviesError(noErr);
        return adopted;
    });
}

void DisposeMovie(Movie theMovie)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        DestroyMovie(m);
        SetMoviesError(noErr);
    }
}

Fixed GetMovieRate(Movie theMovie)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return 0;
    AdvanceMovieTime(*m);  // a movie that has reached its end has stopped
    SetMoviesError(noErr);
    return m->rate;
}

// The current rate belongs to playback, not to the movie's content: the
// time runs on from where it is now, at the new rate (0 stops it).
void SetMovieRate(Movie theMovie, Fixed rate)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        AdvanceMovieTime(*m);
        m->rate = rate;
        AnchorMovieTime(*m);
        SetMoviesError(noErr);
    }
}

Fixed GetMoviePreferredRate(Movie theMovie) { return ValueOf(theMovie, &MovieRecord::preferredRate); }

void SetMoviePreferredRate(Movie theMovie, Fixed rate)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        m->SetIfChanged(m->preferredRate, rate);
        SetMoviesError(noErr);
    }
}

short GetMovieVolume(Movie theMovie) { return ValueOf(theMovie, &MovieRecord::volume); }

void SetMovieVolume(Movie theMovie, short volume)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        m->volume = volume;
        SetMoviesError(noErr);
    }
}

short GetMoviePreferredVolume(Movie theMovie) { return ValueOf(theMovie, &MovieRecord::preferredVolume); }

void SetMoviePreferredVolume(Movie theMovie, short volume)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        m->SetIfChanged(m->preferredVolume, SInt16(volume));
        SetMoviesError(noErr);
    }
}

Boolean GetMovieActive(Movie theMovie) { return ValueOf(theMovie, &MovieRecord::active); }

void SetMovieActive(Movie theMovie, Boolean active)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        m->active = active != 0;
        SetMoviesError(noErr);
    }
}

Boolean HasMovieChanged(Movie theMovie) { return ValueOf(theMovie, &MovieRecord::changed); }

void ClearMovieChanged(Movie theMovie)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        m->changed = false;
        SetMoviesError(noErr);
    }
}

void SetMovieProgressProc(Movie theMovie, MovieProgressUPP proc, long refcon)
{
    if (MovieRecord* m = CheckMovie(theMovie)) {
        m->progressProc = proc;
        m->progressRefcon = refcon;
        SetMoviesError(noErr);
    }
}

void GetMovieProgressProc(Movie theMovie, MovieProgressUPP* proc, long* refcon)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (proc)
        *proc = m ? m->progressProc : nullptr;
    if (refcon)
        *refcon = m ? m->progressRefcon : 0;
    if (m)
        SetMoviesError(noErr);
}

// Copies the preferred rate and volume, the matrix, the poster, preview and
// selection times and the user data. A movie that has no tracks yet also
// takes the time scale, so that tracks copied into it keep their timing
// exactly. The user data is copied before anything changes.
OSErr CopyMovieSettings(Movie srcMovie, Movie dstMovie)
{
    MovieRecord* src = CheckMovie(srcMovie);
    MovieRecord* dst = src ? CheckMovie(dstMovie) : nullptr;
    if (!src || !dst)
        return GetMoviesError();
    return GuardMemory([&] {
        Atom* udta = src->moov->Find('udta');
        std::unique_ptr<Atom> copy = udta ? CloneAtom(*udta) : nullptr;
        dst->moov->children.reserve(dst->moov->children.size() + 1);
        if (dst->tracks.empty())
            dst->SetIfChanged(dst->timeScale, src->timeScale);
        dst->SetIfChanged(dst->preferredRate, src->preferredRate);
        dst->SetIfChanged(dst->preferredVolume, src->preferredVolume);
        for (int i = 0; i < 9; ++i)
            dst->SetIfChanged(dst->matrix.matrix[i / 3][i % 3], src->matrix.matrix[i / 3][i % 3]);
        for (auto [s, d] : {std::pair{&src->posterTime, &dst->posterTime}, {&src->previewTime, &dst->previewTime},
                            {&src->previewDuration, &dst->previewDuration}, {&src->selectionTime, &dst->selectionTime},
                            {&src->selectionDuration, &dst->selectionDuration}})
            dst->SetIfChanged(*d, ConvertTime(*s, dst->timeScale, src->timeScale));
        if (udta) {
            if (Atom* old = dst->moov->Find('udta'))
                dst->moov->Remove(old);
            if (copy)
                dst->moov->children.push_back(std::move(copy));
            dst->MarkChanged();
        }
        return MoviesResult(noErr);
    });
}

long GetMovieTrackCount(Movie theMovie)
{
    return ValueOf(theMovie, [](MovieRecord& m) { return long(m.tracks.size()); });
}

Track GetMovieIndTrack(Movie theMovie, long index)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return nullptr;
    if (index < 1 || size_t(index) > m->tracks.size()) {
        SetMoviesError(badTrackIndex);
        return nullptr;
    }
    SetMoviesError(noErr);
    return m->tracks[size_t(index - 1)].get();
}

Track GetMovieTrack(Movie theMovie, long trackID)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return nullptr;
    for (auto& t : m->tracks)
        if (long(t->id) == trackID) {
            SetMoviesError(noErr);
            return t.get();
        }
    SetMoviesError(trackIDNotFound);
    return nullptr;
}
