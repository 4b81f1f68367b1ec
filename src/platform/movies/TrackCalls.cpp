// Track calls: identity, geometry, offset, enabled state, creation and the
// settings copied between tracks.
#include <cstring>

#include "platform/movies/Movies.h"
#include "platform/movies/atoms/AtomFactory.h"
#include "platform/movies/model/AtomBuilders.h"
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/Registry.h"
#include "platform/movies/model/TimeMath.h"

long GetTrackID(Track theTrack) { return ValueOf(theTrack, [](TrackRecord& t) { return long(t.id); }); }

void GetTrackDimensions(Track theTrack, Fixed* width, Fixed* height)
{
    TrackRecord* t = CheckTrack(theTrack);
    if (!t)
        return;
    if (width)
        *width = t->width;
    if (height)
        *height = t->height;
    SetMoviesError(noErr);
}

void SetTrackDimensions(Track theTrack, Fixed width, Fixed height)
{
    if (TrackRecord* t = CheckTrack(theTrack)) {
        t->movie->SetIfChanged(t->width, width);
        t->movie->SetIfChanged(t->height, height);
        SetMoviesError(noErr);
    }
}

void GetTrackMatrix(Track theTrack, MatrixRecord* matrix)
{
    TrackRecord* t = CheckTrack(theTrack);
    if (!t)
        return;
    if (matrix)
        *matrix = t->matrix;
    SetMoviesError(noErr);
}

void SetTrackMatrix(Track theTrack, const MatrixRecord* matrix)
{
    TrackRecord* t = CheckTrack(theTrack);
    if (!t)
        return;
    MatrixRecord value = matrix ? *matrix : IdentityMatrix();
    if (std::memcmp(&value, &t->matrix, sizeof value) != 0) {
        t->matrix = value;
        t->movie->MarkChanged();
    }
    SetMoviesError(noErr);
}

TimeValue GetTrackDuration(Track theTrack)
{
    return ValueOf(theTrack, [](TrackRecord& t) { return NarrowTime(t.Duration()); });
}

TimeValue GetTrackOffset(Track theTrack)
{
    return ValueOf(theTrack, [](TrackRecord& t) { return NarrowTime(t.offset); });
}

void SetTrackOffset(Track theTrack, TimeValue movieOffsetTime)
{
    TrackRecord* t = CheckTrack(theTrack);
    if (!t)
        return;
    if (movieOffsetTime < 0) {
        SetMoviesError(paramErr);
        return;
    }
    t->movie->SetIfChanged(t->offset, SInt64(movieOffsetTime));
    SetMoviesError(noErr);
}

Boolean GetTrackEnabled(Track theTrack) { return ValueOf(theTrack, &TrackRecord::enabled); }

void SetTrackEnabled(Track theTrack, Boolean isEnabled)
{
    if (TrackRecord* t = CheckTrack(theTrack)) {
        t->movie->SetIfChanged(t->enabled, isEnabled != 0);
        SetMoviesError(noErr);
    }
}

short GetTrackVolume(Track theTrack) { return ValueOf(theTrack, &TrackRecord::volume); }

void SetTrackVolume(Track theTrack, short volume)
{
    if (TrackRecord* t = CheckTrack(theTrack)) {
        t->movie->SetIfChanged(t->volume, SInt16(volume));
        SetMoviesError(noErr);
    }
}

short GetTrackLayer(Track theTrack) { return ValueOf(theTrack, &TrackRecord::layer); }

void SetTrackLayer(Track theTrack, short layer)
{
    if (TrackRecord* t = CheckTrack(theTrack)) {
        t->movie->SetIfChanged(t->layer, SInt16(layer));
        SetMoviesError(noErr);
    }
}

Media GetTrackMedia(Track theTrack)
{
    TrackRecord* t = CheckTrack(theTrack);
    if (!t)
        return nullptr;
    // A track made by NewMovieTrack has no media until NewTrackMedia.
    SetMoviesError(t->media ? OSErr(noErr) : OSErr(invalidMedia));
    return t->media.get();
}

Movie GetTrackMovie(Track theTrack) { return ValueOf(theTrack, &TrackRecord::movie); }

// The track is made whole and registered before the movie takes it, with
// room reserved for it, so that running out of memory leaves the movie as it
// was.
Track NewMovieTrack(Movie theMovie, Fixed width, Fixed height, short trackVolume)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return nullptr;
    return GuardMemoryValue([&] {
        UInt32 id = std::max<UInt32>(m->nextTrackIDAsRead, 1);
        for (auto& t : m->tracks)
            id = std::max(id, t->id + 1);
        auto track = std::make_unique<TrackRecord>();
        track->movie = m;
        track->id = id;
        track->width = width;
        track->height = height;
        track->volume = trackVolume;
        track->matrix = IdentityMatrix();
        track->editsFromFile = false;
        track->createdHere = true;
        auto trak = BuildTrackAtom(id);
        m->moov->children.reserve(m->moov->children.size() + 1);
        m->tracks.reserve(m->tracks.size() + 1);
        RegisterTrack(track.get());
        track->trak = static_cast<ContainerAtom*>(m->moov->InsertAfter(std::move(trak), {'mvhd', 'trak'}));
        m->tracks.push_back(std::move(track));
        m->MarkChanged();
        SetMoviesError(noErr);
        return m->tracks.back().get();
    });
}

void DisposeMovieTrack(Track theTrack)
{
    TrackRecord* t = CheckTrack(theTrack);
    if (!t)
        return;
    MovieRecord* m = t->movie;
    UnregisterTrack(t);
    m->moov->Remove(t->trak);
    std::erase_if(m->tracks, [&](const std::unique_ptr<TrackRecord>& p) { return p.get() == t; });
    m->MarkChanged();
    SetMoviesError(noErr);
}

// Copies what a track looks and sounds like: matrix, dimensions, volume,
// layer, alternate group and user data. Its timing and media stay its own.
// The user data is copied before anything changes.
OSErr CopyTrackSettings(Track srcTrack, Track dstTrack)
{
    TrackRecord* src = CheckTrack(srcTrack);
    TrackRecord* dst = src ? CheckTrack(dstTrack) : nullptr;
    if (!src || !dst)
        return GetMoviesError();
    return GuardMemory([&] {
        Atom* udta = src->trak->Find('udta');
        std::unique_ptr<Atom> copy = udta ? CloneAtom(*udta) : nullptr;
        dst->trak->children.reserve(dst->trak->children.size() + 1);
        SetTrackMatrix(dst, &src->matrix);
        dst->movie->SetIfChanged(dst->width, src->width);
        dst->movie->SetIfChanged(dst->height, src->height);
        dst->movie->SetIfChanged(dst->volume, src->volume);
        dst->movie->SetIfChanged(dst->layer, src->layer);
        dst->movie->SetIfChanged(dst->alternateGroup, src->alternateGroup);
        if (udta) {
            if (Atom* old = dst->trak->Find('udta'))
                dst->trak->Remove(old);
            if (copy)
                dst->trak->children.push_back(std::move(copy));
            dst->movie->MarkChanged();
        }
        return MoviesResult(noErr);
    });
}
