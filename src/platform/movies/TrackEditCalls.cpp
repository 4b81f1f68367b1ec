// Editing a track's time line: empty segments, segments of other tracks
// (of this movie or another), scaling and deleting. Times are track times:
// movie units from the start of the track's own edits, after its offset.
#include <type_traits>

#include "platform/movies/Movies.h"
#include "platform/movies/atoms/HdlrAtom.h"
#include "platform/movies/atoms/StsdAtom.h"
#include "platform/movies/model/EditList.h"
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/Registry.h"
#include "platform/movies/model/TimeMath.h"

namespace {

EditScales ScalesOf(const TrackRecord& t)
{
    return {t.movie->timeScale, t.media ? t.media->timeScale : t.movie->timeScale};
}

// Replaces the track's edits, marking the movie changed only when they differ.
void SetEdits(TrackRecord& t, std::vector<Edit> edits)
{
    if (edits != t.edits) {
        t.edits = std::move(edits);
        t.movie->MarkChanged();
    }
}

// The data reference among refs that reaches the same samples as ref, added
// when there is none yet; from 1.
UInt16 MatchingDataRef(std::vector<DataRefEntry>& refs, const DataRefEntry& ref)
{
    for (size_t i = 0; i < refs.size(); ++i) {
        const DataRefEntry& d = refs[i];
        bool samePlace = !ref.resolvedPath.empty() ? d.resolvedPath == ref.resolvedPath : d.SameEntryAs(ref);
        if (samePlace)
            return UInt16(i + 1);
    }
    refs.push_back(ref);
    return UInt16(refs.size());
}

// A media's samples with another media's added: made whole beside the media
// and only then put in its place, so that an import refused or out of
// memory on the way leaves the media as it was.
struct ImportedSamples {
    SInt64 start = 0;    // the media time at which the added samples start
    bool added = false;  // false: they were there already
    SampleTable table;
    std::vector<DataRefEntry> dataRefs;
    std::vector<std::vector<UInt8>> sampleDescriptions;
    std::map<UInt64, SInt64> appendedMedia;
    std::vector<UInt8> handlerName;  // for a media that had no samples
};

// Makes src's samples part of dst (once) in *out, without changing dst. The
// samples stay where they are: dst refers to them through its own data
// references. False when the combined table would be too large.
bool PrepareImport(const MediaRecord& dst, const MediaRecord& src, ImportedSamples* out)
{
    if (auto it = dst.appendedMedia.find(src.serial); it != dst.appendedMedia.end()) {
        out->start = it->second;
        return true;
    }
    out->start = dst.table.TotalDuration();
    out->table = dst.table;
    if (!out->table.Append(src.table, UInt32(dst.sampleDescriptions.size())))
        return false;
    out->dataRefs = dst.dataRefs;
    std::vector<UInt16> refMap;
    for (auto& ref : src.dataRefs)
        refMap.push_back(MatchingDataRef(out->dataRefs, ref));
    out->sampleDescriptions = dst.sampleDescriptions;
    for (auto entry : src.sampleDescriptions) {
        UInt16 index = StsdAtom::EntryDataRefIndex(entry);
        StsdAtom::SetEntryDataRefIndex(entry, index >= 1 && index <= refMap.size() ? refMap[index - 1] : 1);
        out->sampleDescriptions.push_back(std::move(entry));
    }
    out->appendedMedia = dst.appendedMedia;
    out->appendedMedia[src.serial] = out->start;
    auto* from = src.mdia->FindAs<HdlrAtom>('hdlr');
    auto* to = dst.mdia->FindAs<HdlrAtom>('hdlr');
    if (dst.table.Empty() && from && to)
        out->handlerName = to->NameBytesFor(from->Name());
    out->added = true;
    return true;
}

// Puts what PrepareImport made in place; nothing here can fail.
void CommitImport(MediaRecord& dst, const MediaRecord& src, ImportedSamples& in)
{
    static_assert(std::is_nothrow_move_assignable_v<SampleTable>);
    if (!in.added)
        return;
    if (dst.table.Empty()) {
        dst.language = src.language;
        if (auto* to = dst.mdia->FindAs<HdlrAtom>('hdlr'); to && !in.handlerName.empty())
            to->nameBytes.swap(in.handlerName);
    }
    dst.table = std::move(in.table);
    dst.dataRefs.swap(in.dataRefs);
    dst.sampleDescriptions.swap(in.sampleDescriptions);
    dst.appendedMedia.swap(in.appendedMedia);
    dst.tableChanged = true;
    dst.track->movie->MarkChanged();
}

// Durations from one movie's scale to another's, converting boundaries so
// that the pieces sum to the converted whole.
void ConvertDurations(std::vector<Edit>& edits, SInt64 toScale, SInt64 fromScale)
{
    SInt64 start = 0, newStart = 0;
    for (auto& e : edits) {
        SInt64 end = start + e.duration;
        SInt64 newEnd = ConvertTime(end, toScale, fromScale);
        e.duration = newEnd - newStart;
        start = end;
        newStart = newEnd;
    }
}

OSErr InsertEmptySegment(TrackRecord& t, TimeValue dstIn, TimeValue dstDuration)
{
    if (dstIn < 0 || dstDuration < 0)
        return MoviesResult(paramErr);
    if (dstDuration > 0) {
        std::vector<Edit> edits = t.edits;
        InsertEdits(edits, dstIn, {Edit{dstDuration, -1, fixed1}}, ScalesOf(t));
        SetEdits(t, std::move(edits));
    }
    return MoviesResult(noErr);
}

// Everything the insertion changes is made first (the destination's new
// samples and edits); only then is any of it put in place.
OSErr InsertSegment(TrackRecord& src, TrackRecord& dst, TimeValue srcIn, TimeValue srcDuration, TimeValue dstIn)
{
    if (srcIn < 0 || srcDuration < 0 || dstIn < 0)
        return MoviesResult(paramErr);
    if (!src.media || !dst.media)
        return MoviesResult(invalidMedia);
    if (srcIn > src.Duration())
        return MoviesResult(invalidTime);
    if (srcDuration == 0)
        return MoviesResult(noErr);
    MediaRecord& from = *src.media;
    MediaRecord& to = *dst.media;
    const bool otherMedia = &from != &to;
    if (otherMedia && (from.type != to.type || from.timeScale != to.timeScale))
        return MoviesResult(mediaTypesDontMatch);
    SInt64 length = std::min<SInt64>(srcDuration, src.Duration() - srcIn);
    std::vector<Edit> pieces = EditsInRange(src.edits, srcIn, length, ScalesOf(src));
    ImportedSamples imported;
    if (otherMedia) {
        if (!PrepareImport(to, from, &imported))
            return MoviesResult(memFullErr);
        // The imported samples start where the media ended; a media whose
        // claimed length leaves no room after it cannot take them.
        for (auto& e : pieces)
            if (!e.IsEmpty() && __builtin_add_overflow(e.mediaTime, imported.start, &e.mediaTime))
                return MoviesResult(invalidDuration);
    }
    ConvertDurations(pieces, dst.movie->timeScale, src.movie->timeScale);
    std::vector<Edit> edits = dst.edits;
    InsertEdits(edits, dstIn, pieces, ScalesOf(dst));
    if (otherMedia)
        CommitImport(to, from, imported);
    SetEdits(dst, std::move(edits));
    return MoviesResult(noErr);
}

OSErr ScaleSegment(TrackRecord& t, TimeValue startTime, TimeValue oldDuration, TimeValue newDuration)
{
    if (startTime < 0 || oldDuration <= 0 || newDuration <= 0)
        return MoviesResult(paramErr);
    if (startTime + SInt64(oldDuration) > t.Duration())
        return MoviesResult(invalidTime);
    std::vector<Edit> edits = t.edits;
    ScaleEditSegment(edits, 0, startTime, oldDuration, newDuration, ScalesOf(t));
    SetEdits(t, std::move(edits));
    return MoviesResult(noErr);
}

OSErr DeleteSegment(TrackRecord& t, TimeValue startTime, TimeValue duration)
{
    if (startTime < 0 || duration < 0)
        return MoviesResult(paramErr);
    if (startTime > t.Duration())
        return MoviesResult(invalidTime);
    std::vector<Edit> edits = t.edits;
    DeleteEditRange(edits, startTime, duration, ScalesOf(t));
    SetEdits(t, std::move(edits));
    return MoviesResult(noErr);
}

}  // namespace

OSErr InsertEmptyTrackSegment(Track dstTrack, TimeValue dstIn, TimeValue dstDuration)
{
    TrackRecord* t = CheckTrack(dstTrack);
    return t ? GuardMemory([&] { return InsertEmptySegment(*t, dstIn, dstDuration); }) : GetMoviesError();
}

OSErr InsertTrackSegment(Track srcTrack, Track dstTrack, TimeValue srcIn, TimeValue srcDuration, TimeValue dstIn)
{
    TrackRecord* src = CheckTrack(srcTrack);
    TrackRecord* dst = src ? CheckTrack(dstTrack) : nullptr;
    if (!src || !dst)
        return GetMoviesError();
    return GuardMemory([&] { return InsertSegment(*src, *dst, srcIn, srcDuration, dstIn); });
}

OSErr ScaleTrackSegment(Track theTrack, TimeValue startTime, TimeValue oldDuration, TimeValue newDuration)
{
    TrackRecord* t = CheckTrack(theTrack);
    return t ? GuardMemory([&] { return ScaleSegment(*t, startTime, oldDuration, newDuration); }) : GetMoviesError();
}

OSErr DeleteTrackSegment(Track theTrack, TimeValue startTime, TimeValue duration)
{
    TrackRecord* t = CheckTrack(theTrack);
    return t ? GuardMemory([&] { return DeleteSegment(*t, startTime, duration); }) : GetMoviesError();
}

long GetTrackEditCount(Track theTrack)
{
    return ValueOf(theTrack, [](TrackRecord& t) { return long(t.edits.size()); });
}

OSErr GetTrackEditInfo(Track theTrack, long index, TimeValue* duration, TimeValue* mediaTime, Fixed* mediaRate)
{
    TrackRecord* t = CheckTrack(theTrack);
    if (!t)
        return GetMoviesError();
    if (index < 1 || size_t(index) > t->edits.size())
        return MoviesResult(badEditIndex);
    SetMoviesError(noErr);
    const Edit& e = t->edits[size_t(index - 1)];
    if (duration)
        *duration = NarrowTime(e.duration);
    if (mediaTime)
        *mediaTime = NarrowTime(e.mediaTime);
    if (mediaRate)
        *mediaRate = e.rate;
    return GetMoviesError();
}
