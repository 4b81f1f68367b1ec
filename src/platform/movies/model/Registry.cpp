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

Movie AdoptMovie(std::unique_ptr<MovieRecord> movie)
{
    MovieRecord* m = movie.release();
    Live().insert(m);
    for (auto& t : m->tracks)
        RegisterTrack(t.get());
    return m;
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
