// Writing the model back into its atom tree, and the tree out as bytes.
#include <algorithm>

#include "platform/movies/atoms/ChunkOffsetAtom.h"
#include "platform/movies/atoms/DrefAtom.h"
#include "platform/movies/atoms/ElstAtom.h"
#include "platform/movies/atoms/HdlrAtom.h"
#include "platform/movies/atoms/MdhdAtom.h"
#include "platform/movies/atoms/MvhdAtom.h"
#include "platform/movies/atoms/StsdAtom.h"
#include "platform/movies/atoms/TkhdAtom.h"
#include "platform/movies/model/AtomBuilders.h"
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/MovieWriter.h"
#include "platform/movies/model/TimeMath.h"

namespace {

std::array<UInt32, 9> MatrixTo(const MatrixRecord& m)
{
    std::array<UInt32, 9> r;
    for (int i = 0; i < 9; ++i)
        r[size_t(i)] = UInt32(m.matrix[i / 3][i % 3]);
    return r;
}

// A header's duration: what the file said as long as what it describes has
// not changed (some writers store values that differ slightly from the
// sum, and an untouched movie must come out as it came in).
UInt64 HeaderDuration(SInt64 now, SInt64 atRead, SInt64 asRead)
{
    return UInt64(std::max<SInt64>(now == atRead ? asRead : now, 0));
}

// What the movie, track and media headers share: a duration, which moves the
// header to version 1 when it needs 64 bits.
template <class Header> void SetHeaderDuration(Header& header, UInt64 duration)
{
    if (duration > 0xFFFFFFFFull)
        header.version = 1;
    header.duration = duration;
}

UInt32 Clamp32(SInt64 v) { return UInt32(std::clamp<SInt64>(v, 0, 0xFFFFFFFFll)); }

void SyncEdits(TrackRecord& t)
{
    ContainerAtom* edts = t.trak->FindContainer('edts');
    if (!edts && !t.editsFromFile && t.offset == 0 && t.edits == t.ImplicitEdits())
        return;  // the file had no edit list, and none is needed still
    std::vector<ElstEntry> entries;
    SInt64 readOffset = 0;
    for (SInt64 d : t.leadingEmptyAsRead)
        readOffset += d;
    if (!t.leadingEmptyAsRead.empty() && readOffset == t.offset)
        for (SInt64 d : t.leadingEmptyAsRead)
            entries.push_back({UInt64(d), -1, fixed1});
    else if (t.offset > 0)
        entries.push_back({UInt64(t.offset), -1, fixed1});
    for (auto& e : t.edits)
        entries.push_back({UInt64(std::max<SInt64>(e.duration, 0)), e.mediaTime, e.rate});
    edts = EnsureContainer(*t.trak, 'edts', {'tkhd', 'tapt', 'clef', 'prof', 'enof'});
    auto* elst = edts->FindAs<ElstAtom>('elst');
    if (!elst)
        elst = static_cast<ElstAtom*>(edts->InsertAfter(std::make_unique<ElstAtom>('elst'), {}));
    elst->SetEntries(entries);
}

void SyncMedia(MediaRecord& m)
{
    if (auto* mdhd = m.mdia->FindAs<MdhdAtom>('mdhd')) {
        mdhd->timeScale = UInt32(m.timeScale);
        SetHeaderDuration(*mdhd, UInt64(std::max<SInt64>(m.Duration(), 0)));
        mdhd->language = m.language;
    }
    ContainerAtom* minf = m.mdia->FindContainer('minf');
    if (!minf)
        return;
    ContainerAtom* dinf = minf->FindContainer('dinf');
    if (auto* dref = dinf ? dinf->FindAs<DrefAtom>('dref') : nullptr) {
        bool same = dref->entries.size() == m.dataRefs.size();
        for (size_t i = 0; same && i < m.dataRefs.size(); ++i)
            same = dref->entries[i].SameEntryAs(m.dataRefs[i]);
        if (!same)
            dref->entries.assign(m.dataRefs.begin(), m.dataRefs.end());
    }
    ContainerAtom* stbl = minf->FindContainer('stbl');
    if (!stbl)
        return;
    if (auto* stsd = stbl->FindAs<StsdAtom>('stsd'); stsd && stsd->entries != m.sampleDescriptions)
        stsd->entries = m.sampleDescriptions;
    if (m.tableChanged)
        RebuildSampleTableAtoms(*stbl, m.table, false);
}

void SyncTrack(TrackRecord& t)
{
    if (auto* tkhd = t.trak->FindAs<TkhdAtom>('tkhd')) {
        tkhd->trackID = t.id;
        tkhd->flags = t.enabled ? (tkhd->flags | TkhdAtom::kEnabled) : (tkhd->flags & ~UInt32(TkhdAtom::kEnabled));
        SetHeaderDuration(*tkhd, HeaderDuration(AddTimes(t.offset, t.Duration()), t.durationAtRead, t.durationAsRead));
        tkhd->layer = UInt16(t.layer);
        tkhd->alternateGroup = UInt16(t.alternateGroup);
        tkhd->volume = UInt16(t.volume);
        tkhd->matrix = MatrixTo(t.matrix);
        tkhd->width = UInt32(t.width);
        tkhd->height = UInt32(t.height);
    }
    SyncEdits(t);
    if (t.media)
        SyncMedia(*t.media);
}

bool SamePath(const std::string& a, const std::string& b) { return !a.empty() && a == b; }

DataRefEntry SelfEntry()
{
    DataRefEntry e;
    e.type = 'alis';
    e.flags = 1;
    return e;
}

DataRefEntry UrlEntry(const std::string& path)
{
    DataRefEntry e;
    e.type = 'url ';
    std::string url = "file://" + path;
    e.data.assign(url.begin(), url.end());
    e.data.push_back(0);
    return e;
}

// The entry that reaches the samples of `e` from the destination file.
OSErr EntryForDestination(const DataRefEntry& e, const SerializeOptions& o, DataRefEntry* out)
{
    *out = e;
    if (o.destinationPath.empty() || e.resolvedPath.empty())
        return noErr;
    if (SamePath(e.resolvedPath, o.destinationPath)) {
        if (!e.IsSelf())
            *out = SelfEntry();
        return noErr;
    }
    if (o.makeDataRef)
        return o.makeDataRef(e, e.resolvedPath, out);
    if (e.IsSelf())
        *out = UrlEntry(e.resolvedPath);  // a self reference would name the wrong file
    return noErr;
}

// The atoms of one media's sample storage, as found in its tree.
struct StorageAtoms {
    DrefAtom* dref = nullptr;
    StsdAtom* stsd = nullptr;
    ChunkOffsetAtom* offsets = nullptr;
};

StorageAtoms FindStorageAtoms(const MediaRecord& media)
{
    StorageAtoms a;
    ContainerAtom* minf = media.mdia->FindContainer('minf');
    ContainerAtom* dinf = minf ? minf->FindContainer('dinf') : nullptr;
    ContainerAtom* stbl = minf ? minf->FindContainer('stbl') : nullptr;
    a.dref = dinf ? dinf->FindAs<DrefAtom>('dref') : nullptr;
    a.stsd = stbl ? stbl->FindAs<StsdAtom>('stsd') : nullptr;
    if (stbl) {
        a.offsets = stbl->FindAs<ChunkOffsetAtom>('stco');
        if (!a.offsets)
            a.offsets = stbl->FindAs<ChunkOffsetAtom>('co64');
    }
    return a;
}

template <class T> void Substitute(const Atom* original, std::unique_ptr<T> replacement, AtomSubstitutions& subs,
                                   std::vector<std::unique_ptr<Atom>>& keep)
{
    subs[original] = replacement.get();
    keep.push_back(std::move(replacement));
}

std::unique_ptr<DrefAtom> DrefLike(const DrefAtom& model, std::vector<DataRefEntry> entries)
{
    auto d = std::make_unique<DrefAtom>('dref');
    d->version = model.version;
    d->flags = model.flags;
    d->entries.assign(entries.begin(), entries.end());
    return d;
}

// A flattened copy holds every sample itself: one self reference, every
// sample description pointing at it, and the chunks where they now are.
void SubstituteForFlattening(const TrackRecord& t, const StorageAtoms& a, const SerializeOptions& o,
                             AtomSubstitutions& subs, std::vector<std::unique_ptr<Atom>>& keep)
{
    if (a.dref)
        Substitute(a.dref, DrefLike(*a.dref, {SelfEntry()}), subs, keep);
    if (a.stsd) {
        auto s = std::make_unique<StsdAtom>('stsd');
        s->entries = a.stsd->entries;
        // An entry whose index names no data reference does not follow the
        // sample entry layout there (some writers leave the header out), so
        // those bytes are its own and stay as they are.
        size_t refs = t.media ? t.media->dataRefs.size() : 0;
        for (auto& e : s->entries)
            if (UInt16 index = StsdAtom::EntryDataRefIndex(e); index >= 1 && index <= refs)
                StsdAtom::SetEntryDataRefIndex(e, 1);
        Substitute(a.stsd, std::move(s), subs, keep);
    }
    if (a.offsets) {
        std::vector<UInt64> remapped(a.offsets->offsets->size());
        for (size_t i = 0; i < remapped.size(); ++i)
            remapped[i] = o.remapChunkOffset(const_cast<TrackRecord*>(&t), UInt32(i), (*a.offsets->offsets)[i]);
        Substitute(a.offsets, BuildChunkOffsetAtom(std::move(remapped), o.forceCo64), subs, keep);
    }
}

// The data references as seen from the destination file. The model's
// entries carry the resolved files; the atom's copies (same order after
// SyncMedia) only the bytes.
OSErr SubstituteDataRefs(const MediaRecord& media, const DrefAtom& dref, const SerializeOptions& o,
                         AtomSubstitutions& subs, std::vector<std::unique_ptr<Atom>>& keep)
{
    std::vector<DataRefEntry> entries;
    bool changed = dref.entries.size() != media.dataRefs.size();
    for (size_t i = 0; i < media.dataRefs.size(); ++i) {
        DataRefEntry n;
        if (OSErr err = EntryForDestination(media.dataRefs[i], o, &n))
            return err;
        changed = changed || i >= dref.entries.size() || !n.SameEntryAs(dref.entries[i]);
        entries.push_back(std::move(n));
    }
    if (changed)
        Substitute(&dref, DrefLike(dref, std::move(entries)), subs, keep);
    return noErr;
}

OSErr SubstituteTrack(const TrackRecord& t, const SerializeOptions& o, AtomSubstitutions& subs,
                      std::vector<std::unique_ptr<Atom>>& keep)
{
    if (!t.media)
        return noErr;
    StorageAtoms a = FindStorageAtoms(*t.media);
    if (o.remapChunkOffset) {
        SubstituteForFlattening(t, a, o, subs, keep);
        return noErr;
    }
    if (a.dref)
        if (OSErr err = SubstituteDataRefs(*t.media, *a.dref, o, subs, keep))
            return err;
    if (a.offsets && o.forceCo64 && !a.offsets->Is64())
        Substitute(a.offsets, BuildChunkOffsetAtom(*a.offsets->offsets, true), subs, keep);
    return noErr;
}

}  // namespace

void SyncMovieAtoms(MovieRecord& m)
{
    auto* mvhd = m.moov->FindAs<MvhdAtom>('mvhd');
    if (!mvhd)
        mvhd = static_cast<MvhdAtom*>(m.moov->InsertAfter(std::make_unique<MvhdAtom>('mvhd'), {}));
    mvhd->timeScale = UInt32(m.timeScale);
    SetHeaderDuration(*mvhd, HeaderDuration(m.Duration(), m.durationAtRead, m.durationAsRead));
    mvhd->preferredRate = UInt32(m.preferredRate);
    mvhd->preferredVolume = UInt16(m.preferredVolume);
    mvhd->matrix = MatrixTo(m.matrix);
    mvhd->previewTime = Clamp32(m.previewTime);
    mvhd->previewDuration = Clamp32(m.previewDuration);
    mvhd->posterTime = Clamp32(m.posterTime);
    mvhd->selectionTime = Clamp32(m.selectionTime);
    mvhd->selectionDuration = Clamp32(m.selectionDuration);
    mvhd->currentTime = Clamp32(m.currentTime);
    // The file's value stands (even when it is too small, as some writers
    // leave it) unless Orvo added tracks.
    UInt32 next = m.nextTrackIDAsRead;
    for (auto& t : m.tracks)
        if (t->createdHere)
            next = std::max(next, t->id + 1);
    mvhd->nextTrackID = next;
    for (auto& t : m.tracks)
        SyncTrack(*t);
    // The fragments now live in the sample tables; a movie extends header
    // would make readers add them a second time.
    if (m.fragmented)
        if (Atom* mvex = m.moov->Find('mvex'))
            m.moov->Remove(mvex);
}

// The atom is written beside *out and handed over whole. Running out of
// memory in the sync leaves the tree partly brought up to date, which the
// next write completes: the model, not the tree, holds the movie.
OSErr SerializeMovieAtom(Movie theMovie, const SerializeOptions& options, std::vector<UInt8>* out)
{
    if (!theMovie || !out)
        return MoviesResult(theMovie ? OSErr(paramErr) : OSErr(invalidMovie));
    return GuardMemory([&] {
        SyncMovieAtoms(*theMovie);
        AtomSubstitutions subs;
        std::vector<std::unique_ptr<Atom>> keep;
        for (auto& t : theMovie->tracks)
            if (OSErr err = SubstituteTrack(*t, options, subs, keep))
                return MoviesResult(err);
        std::vector<UInt8> bytes;
        bytes.reserve(size_t(theMovie->moov->Size(&subs)));
        ByteWriter w(bytes);
        theMovie->moov->Write(w, &subs);
        out->swap(bytes);
        return MoviesResult(noErr);
    });
}
