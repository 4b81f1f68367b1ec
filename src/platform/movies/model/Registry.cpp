#include "platform/movies/model/Registry.h"

#include <unordered_set>

namespace {

std::unordered_set<const void*>& Live()
{
    static std::unordered_set<const void*> live;
    return live;
}

}  // namespace

void RegisterMedia(MediaRecord* media)
{
    if (media)
        Live().insert(media);
}

void RegisterTrack(TrackRecord* track)
{
    Live().insert(track);
    RegisterMedia(track->media.get());
}

void UnregisterMedia(MediaRecord* media) { Live().erase(media); }

void UnregisterTrack(TrackRecord* track)
{
    UnregisterMedia(track->media.get());
    Live().erase(track);
}

// Registered whole or not at all: a movie that runs out of memory on the way
// is unregistered again and deleted with its unique_ptr.
Movie AdoptMovie(std::unique_ptr<MovieRecord> movie)
{
    try {
        Live().insert(movie.get());
        for (auto& t : movie->tracks)
            RegisterTrack(t.get());
    } catch (...) {
        for (auto& t : movie->tracks)
            UnregisterTrack(t.get());
        Live().erase(movie.get());
        throw;
    }
    return movie.release();
}

void DestroyMovie(MovieRecord* movie)
{
    for (auto& t : movie->tracks)
        UnregisterTrack(t.get());
    Live().erase(movie);
    delete movie;
}

MovieRecord* CheckMovie(Movie m)
{
    if (!m || !Live().count(m)) {
        SetMoviesError(invalidMovie);
        return nullptr;
    }
    return m;
}

TrackRecord* CheckTrack(Track t)
{
    if (!t || !Live().count(t)) {
        SetMoviesError(invalidTrack);
        return nullptr;
    }
    return t;
}

MediaRecord* CheckMedia(Media m)
{
    if (!m || !Live().count(m)) {
        SetMoviesError(invalidMedia);
        return nullptr;
    }
    return m;
}
