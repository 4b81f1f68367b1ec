// Editing a track's time line: empty segments, segments of other tracks
// (of this movie or another), scaling and deleting. Times are track times:
// movie units from the start of the track's own edits, after its offset.
#include <new>

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

// The data reference of dst that reaches the same samples as ref, added
// when dst has none yet; from 1.
UInt16 MatchingDataRef(MediaRecord& dst, const DataRefEntry& ref)
{
    for (size_t i = 0; i < dst.dataRefs.size(); ++i) {
        const DataRefEntry& d = dst.dataRefs[i];
        bool samePlace = !ref.resolvedPath.empty() ? d.resolvedPath == ref.resolvedPath : d.SameEntryAs(ref);
        if (samePlace)
            return UInt16(i + 1);
    }
    dst.dataRefs.push_back(ref);
    return UInt16(dst.dataRefs.size());
}

// Makes src's samples part of dst (once) and gives the media time at which
// they start in dst. The samples stay where they are: dst refers to them
// through its own data references. False, with dst unchanged, when the
// combined table would not fit in memory.
bool ImportSamples(MediaRecord& dst, const MediaRecord& src, SInt64* start)
{
    if (auto it = dst.appendedMedia.find(src.serial); it != dst.appendedMedia.end()) {
        *start = it->second;
        return true;
    }
    const bool wasEmpty = dst.table.Empty();
    const SInt64 base = dst.table.TotalDuration();
    const UInt32 shift = UInt32(dst.sampleDescriptions.size());
    // Append builds everything before it changes the table, so running out
    // of memory there leaves dst as it was.
    try {
        if (!dst.table.Append(src.table, shift))
            return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::vector<UInt16> refMap;
    for (auto& ref : src.dataRefs)
        refMap.push_back(MatchingDataRef(dst, ref));
    for (auto entry : src.sampleDescriptions) {
        UInt16 index = StsdAtom::EntryDataRefIndex(entry);
        StsdAtom::SetEntryDataRefIndex(entry, index >= 1 && index <= refMap.size() ? refMap[index - 1] : 1);
        dst.sampleDescriptions.push_back(std::move(entry));
    }
    dst.tableChanged = true;
    if (wasEmpty) {
        dst.language = src.language;
        auto* from = src.mdia->FindAs<HdlrAtom>('hdlr');
        auto* to = dst.mdia->FindAs<HdlrAtom>('hdlr');
        if (from && to)
            to->SetName(from->Name());
    }
    dst.appendedMedia[src.serial] = base;
    *start = base;
    return true;
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

}  // namespace

OSErr InsertEmptyTrackSegment(Track dstTrack, TimeValue dstIn, TimeValue dstDuration)
{
    TrackRecord* t = CheckTrack(dstTrack);
    if (!t)
        return GetMoviesError();
    if (dstIn < 0 || dstDuration < 0)
        return MoviesResult(paramErr);
    if (dstDuration > 0) {
        std::vector<Edit> edits = t->edits;
        InsertEdits(edits, dstIn, {Edit{dstDuration, -1, fixed1}}, ScalesOf(*t));
        SetEdits(*t, std::move(edits));
    }
    return MoviesResult(noErr);
}

OSErr InsertTrackSegment(Track srcTrack, Track dstTrack, TimeValue srcIn, TimeValue srcDuration, TimeValue dstIn)
{
    TrackRecord* src = CheckTrack(srcTrack);
    TrackRecord* dst = src ? CheckTrack(dstTrack) : nullptr;
    if (!src || !dst)
        return GetMoviesError();
    if (srcIn < 0 || srcDuration < 0 || dstIn < 0)
        return MoviesResult(paramErr);
    if (!src->media || !dst->media)
        return MoviesResult(invalidMedia);
    if (srcIn > src->Duration())
        return MoviesResult(invalidTime);
    if (srcDuration == 0)
        return MoviesResult(noErr);
    MediaRecord& from = *src->media;
    MediaRecord& to = *dst->media;
    if (&from != &to && (from.type != to.type || from.timeScale != to.timeScale))
        return MoviesResult(mediaTypesDontMatch);
    SInt64 length = std::min<SInt64>(srcDuration, src->Duration() - srcIn);
    std::vector<Edit> pieces = EditsInRange(src->edits, srcIn, length, ScalesOf(*src));
    if (&from != &to) {
        SInt64 base = 0;
        if (!ImportSamples(to, from, &base))
            return MoviesResult(memFullErr);
        // The imported samples start where the media ended; a media whose
        // claimed length leaves no room after it cannot take them.
        for (auto& e : pieces)
            if (!e.IsEmpty() && __builtin_add_overflow(e.mediaTime, base, &e.mediaTime))
                return MoviesResult(invalidDuration);
    }
    ConvertDurations(pieces, dst->movie->timeScale, src->movie->timeScale);
    std::vector<Edit> edits = dst->edits;
    InsertEdits(edits, dstIn, pieces, ScalesOf(*dst));
    SetEdits(*dst, std::move(edits));
    if (&from != &to)
        dst->movie->MarkChanged();
    return MoviesResult(noErr);
}

OSErr ScaleTrackSegment(Track theTrack, TimeValue startTime, TimeValue oldDuration, TimeValue newDuration)
{
    TrackRecord* t = CheckTrack(theTrack);
    if (!t)
        return GetMoviesError();
    if (startTime < 0 || oldDuration <= 0 || newDuration <= 0)
        return MoviesResult(paramErr);
    if (startTime + SInt64(oldDuration) > t->Duration())
        return MoviesResult(invalidTime);
    std::vector<Edit> edits = t->edits;
    ScaleEditSegment(edits, 0, startTime, oldDuration, newDuration, ScalesOf(*t));
    SetEdits(*t, std::move(edits));
    return MoviesResult(noErr);
}

OSErr DeleteTrackSegment(Track theTrack, TimeValue startTime, TimeValue duration)
{
    TrackRecord* t = CheckTrack(theTrack);
    if (!t)
        return GetMoviesError();
    if (startTime < 0 || duration < 0)
        return MoviesResult(paramErr);
    if (startTime > t->Duration())
        return MoviesResult(invalidTime);
    std::vector<Edit> edits = t->edits;
    DeleteEditRange(edits, startTime, duration, ScalesOf(*t));
    SetEdits(*t, std::move(edits));
    return MoviesResult(noErr);
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
