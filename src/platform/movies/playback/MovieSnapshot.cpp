#include "platform/movies/playback/MovieSnapshot.h"

#include <algorithm>
#include <cmath>

#include "platform/movies/model/Registry.h"
#include "platform/movies/moviefiles/AliasRecord.h"

namespace {

double FixedToDouble(Fixed v) { return double(v) / 65536.0; }

// The data reference that a sample description names (its bytes 14-15).
UInt16 DataRefIndexOf(const std::vector<UInt8>& description)
{
    return description.size() >= 16 ? UInt16((description[14] << 8) | description[15]) : 1;
}

// The file a data reference names: the alias record's file name, the last
// part of a URL, else the path found for it.
std::string NameOf(const DataRefEntry& ref)
{
    if (!ref.resolvedPath.empty())
        return ref.resolvedPath;
    AliasRecordInfo alias;
    if (ref.type == 'alis' && DecodeAliasRecord(ref.data, &alias) == noErr)
        return !alias.posixPath.empty() ? alias.posixPath : alias.fileName;
    if (ref.type == 'url ') {
        std::string url(ref.data.begin(), ref.data.end());
        url = url.substr(0, url.find('\0'));
        return url.substr(url.find_last_of('/') + 1);
    }
    return "?";
}

std::shared_ptr<const SnapshotTrack> SnapshotOf(const TrackRecord& t)
{
    auto s = std::make_shared<SnapshotTrack>();
    s->id = t.id;
    s->enabled = t.enabled;
    s->layer = t.layer;
    s->volume = t.volume;
    s->matrix = t.matrix;
    s->width = FixedToDouble(t.width);
    s->height = FixedToDouble(t.height);
    s->offset = t.offset;
    s->edits = t.edits;
    if (const MediaRecord* m = t.media.get()) {
        s->mediaType = m->type;
        s->mediaScale = m->timeScale > 0 ? m->timeScale : 600;
        s->sampleDescriptions = m->sampleDescriptions;
        for (const DataRefEntry& ref : m->dataRefs) {
            s->dataFiles.push_back(ref.resolvedPath);
            s->dataNames.push_back(NameOf(ref));
        }
        // A copy of the runs; the size, sync and offset arrays stay shared.
        s->table = m->table;
        // The table builds its lookup indexes on first use; build them now,
        // while only this thread sees the copy, so later lookups only read.
        SampleVisit visit;
        s->table.LookUpSample(1, &visit);
        s->table.SampleAtTime(0);
    }
    return s;
}

void AddCorners(MovieSnapshot& snap, bool& any, const SnapshotTrack& t)
{
    auto f = [](Fixed v) { return FixedToDouble(v); };
    const auto& m = t.matrix.matrix;
    for (double x : {0.0, t.width})
        for (double y : {0.0, t.height}) {
            double px = f(m[0][0]) * x + f(m[1][0]) * y + f(m[2][0]);
            double py = f(m[0][1]) * x + f(m[1][1]) * y + f(m[2][1]);
            if (!any) {
                snap.left = snap.right = px;
                snap.top = snap.bottom = py;
                any = true;
            }
            snap.left = std::min(snap.left, px);
            snap.right = std::max(snap.right, px);
            snap.top = std::min(snap.top, py);
            snap.bottom = std::max(snap.bottom, py);
        }
}

}  // namespace

std::string SnapshotTrack::FileForDescription(UInt32 descriptionIndex) const
{
    UInt16 ref = 1;
    if (descriptionIndex >= 1 && descriptionIndex <= sampleDescriptions.size())
        ref = DataRefIndexOf(sampleDescriptions[descriptionIndex - 1]);
    if (ref < 1 || ref > dataFiles.size())
        return {};
    return dataFiles[ref - 1];
}

std::string SnapshotTrack::NameForDescription(UInt32 descriptionIndex) const
{
    UInt16 ref = 1;
    if (descriptionIndex >= 1 && descriptionIndex <= sampleDescriptions.size())
        ref = DataRefIndexOf(sampleDescriptions[descriptionIndex - 1]);
    return ref >= 1 && ref <= dataNames.size() ? dataNames[ref - 1] : std::string("?");
}

std::shared_ptr<const MovieSnapshot> TakeMovieSnapshot(Movie theMovie)
{
    MovieRecord* m = CheckMovie(theMovie);
    if (!m)
        return nullptr;
    auto snap = std::make_shared<MovieSnapshot>();
    snap->timeScale = m->timeScale > 0 ? m->timeScale : 600;
    snap->duration = m->Duration();
    snap->preferredRate = m->preferredRate;
    snap->volume = m->volume;
    bool any = false;
    for (const auto& t : m->tracks) {
        auto s = SnapshotOf(*t);
        if (s->enabled && s->IsVisual())
            AddCorners(*snap, any, *s);
        snap->tracks.push_back(std::move(s));
    }
    return snap;
}

MediaPosition MapMovieTime(const SnapshotTrack& track, TimeScale movieScale, double t)
{
    MediaPosition pos;
    double trackTime = t - double(track.offset);
    if (trackTime < 0)
        return pos;
    SInt64 editStart = 0;
    for (const Edit& e : track.edits) {
        SInt64 editEnd = editStart + e.duration;
        if (trackTime < double(editEnd)) {
            pos.editStart = track.offset + editStart;
            pos.editEnd = track.offset + editEnd;
            if (e.IsEmpty())
                return pos;
            pos.rate = FixedToDouble(e.rate);
            pos.mediaTime = double(e.mediaTime) +
                            (trackTime - double(editStart)) * pos.rate * double(track.mediaScale) / double(movieScale);
            pos.inMedia = true;
            return pos;
        }
        editStart = editEnd;
    }
    return pos;
}
