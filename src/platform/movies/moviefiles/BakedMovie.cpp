#include "platform/movies/moviefiles/BakedMovie.h"

#include <algorithm>

#include "platform/movies/moviefiles/EditRate.h"
#include "platform/movies/model/MovieSeam.h"

OSErr CopyWithBakedTracks(Movie theMovie, const std::vector<FlattenTrack>& tracks, bool dropOthers, Movie* copy)
{
    *copy = nullptr;
    std::vector<UInt8> bytes;
    if (OSErr err = SerializeMovieAtom(theMovie, SerializeOptions{}, &bytes))
        return err;
    if (OSErr err = ParseMovieAtom(bytes, theMovie->source, copy))
        return err;
    std::vector<Track> dropped;
    for (size_t i = 0; i < (*copy)->tracks.size() && i < theMovie->tracks.size(); ++i) {
        TrackRecord& t = *(*copy)->tracks[i];
        const TrackRecord& original = *theMovie->tracks[i];
        // The data references as the movie resolved them (the bytes alone
        // name files relative to where the movie was read from).
        if (t.media && original.media && t.media->dataRefs.size() == original.media->dataRefs.size())
            t.media->dataRefs = original.media->dataRefs;
        auto baked = std::find_if(tracks.begin(), tracks.end(),
                                  [&](const FlattenTrack& k) { return k.track == &original; });
        if (baked == tracks.end()) {
            if (dropOthers)
                dropped.push_back(&t);
            continue;
        }
        // Parsing turned the leading empty edits into an offset; the baked
        // edits are the track's own, which come after its offset.
        t.offset = original.offset;
        t.leadingEmptyAsRead = original.leadingEmptyAsRead;
        t.edits = baked->edits;
        if (t.media) {
            t.media->table = baked->table;
            t.media->timeScale = baked->timeScale;
            t.media->tableChanged = true;
        }
    }
    for (Track t : dropped)
        DisposeMovieTrack(t);
    return noErr;
}

OSErr BakeRatesInPlace(Movie theMovie, Movie* copy)
{
    *copy = nullptr;
    std::vector<FlattenTrack> baked;
    long index = 0;
    for (auto& t : theMovie->tracks) {
        ++index;
        if (!t->media || !PlaysAtOtherRates(*t))
            continue;
        FlattenTrack track;
        if (OSErr err = BakeTrackInPlace(*t, index, &track))
            return err;
        baked.push_back(std::move(track));
    }
    if (baked.empty())
        return noErr;
    OSErr err = CopyWithBakedTracks(theMovie, baked, false, copy);
    if (err && *copy) {
        DisposeMovie(*copy);
        *copy = nullptr;
    }
    return err;
}
