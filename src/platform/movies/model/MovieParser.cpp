#include "platform/movies/model/MovieParser.h"

#include <algorithm>

#include "platform/movies/atoms/AtomFactory.h"
#include "platform/movies/atoms/ChunkOffsetAtom.h"
#include "platform/movies/atoms/DrefAtom.h"
#include "platform/movies/atoms/ElstAtom.h"
#include "platform/movies/atoms/HdlrAtom.h"
#include "platform/movies/atoms/MdhdAtom.h"
#include "platform/movies/atoms/MvhdAtom.h"
#include "platform/movies/atoms/SampleTableAtoms.h"
#include "platform/movies/atoms/StsdAtom.h"
#include "platform/movies/atoms/StszAtom.h"
#include "platform/movies/atoms/Stz2Atom.h"
#include "platform/movies/atoms/TkhdAtom.h"
#include "platform/movies/model/TimeMath.h"

namespace {

MatrixRecord MatrixFrom(const std::array<UInt32, 9>& m)
{
    MatrixRecord r;
    for (int i = 0; i < 9; ++i)
        r.matrix[i / 3][i % 3] = Fixed(m[size_t(i)]);
    return r;
}

// A time scale the file gives that cannot be used (0, or past the signed
// range) counts as 1, as other readers do, so that nothing divides by zero.
TimeScale UsableScale(UInt32 scale)
{
    return scale == 0 || scale > 0x7FFFFFFF ? 1 : TimeScale(scale);
}

SInt64 Clamp64(UInt64 v) { return v > UInt64(INT64_MAX) ? INT64_MAX : SInt64(v); }

void ReadSampleTable(const ContainerAtom* stbl, MediaRecord& media)
{
    if (!stbl)
        return;
    SampleTable& t = media.table;
    if (auto* stsd = stbl->FindAs<StsdAtom>('stsd'))
        media.sampleDescriptions = stsd->entries;
    if (auto* stts = stbl->FindAs<SttsAtom>('stts'))
        t.times = stts->entries;
    if (auto* ctts = stbl->FindAs<CttsAtom>('ctts'))
        t.compositions = ctts->entries;
    if (auto* stss = stbl->FindAs<StssAtom>('stss'))
        t.syncSamples = std::make_shared<const std::vector<UInt32>>(stss->entries);
    if (auto* stsc = stbl->FindAs<StscAtom>('stsc'))
        t.chunkRuns = stsc->entries;
    if (auto* stsz = stbl->FindAs<StszAtom>('stsz')) {
        t.hasSizes = true;
        t.constantSize = stsz->sampleSize;
        t.sizeCount = stsz->sampleCount;
        t.sizeTable = stsz->table;
    } else if (auto* stz2 = stbl->FindAs<Stz2Atom>('stz2')) {
        t.hasSizes = true;
        t.sizeCount = stz2->sampleCount;
        t.sizeTable = std::make_shared<const std::vector<UInt8>>(stz2->WidenedSizes());
    }
    auto* offsets = stbl->FindAs<ChunkOffsetAtom>('stco');
    if (!offsets)
        offsets = stbl->FindAs<ChunkOffsetAtom>('co64');
    if (offsets)
        t.chunkOffsets = offsets->offsets;
}

std::unique_ptr<MediaRecord> ReadMedia(ContainerAtom* mdia, const MovieSource& source, std::string* whyNot)
{
    auto media = std::make_unique<MediaRecord>();
    media->mdia = mdia;
    media->serial = NextMediaSerial();
    auto* mdhd = mdia->FindAs<MdhdAtom>('mdhd');
    if (!mdhd) {
        *whyNot = "a track's media has no media header (mdhd)";
        return nullptr;
    }
    media->timeScale = UsableScale(mdhd->timeScale);
    media->durationAsRead = Clamp64(mdhd->duration);
    media->language = mdhd->language;
    if (auto* hdlr = mdia->FindAs<HdlrAtom>('hdlr'))
        media->type = hdlr->componentSubtype;
    ContainerAtom* minf = mdia->FindContainer('minf');
    ContainerAtom* dinf = minf ? minf->FindContainer('dinf') : nullptr;
    if (auto* dref = dinf ? dinf->FindAs<DrefAtom>('dref') : nullptr) {
        media->dataRefs.assign(dref->entries.begin(), dref->entries.end());
        for (auto& e : media->dataRefs)
            if (e.IsSelf())
                e.resolvedPath = source.path;
    }
    ReadSampleTable(minf ? minf->FindContainer('stbl') : nullptr, *media);
    return media;
}

// Bounds for times read from edit lists: far beyond any real movie, and
// low enough that sums and splits of them cannot overflow 64 bits.
constexpr SInt64 kMaxEditDuration = SInt64(1) << 48;
constexpr SInt64 kMaxTrackDuration = SInt64(1) << 60;

// A leading run of empty edits is the track's offset; the rest are its own.
bool ReadEdits(TrackRecord& track, std::string* whyNot)
{
    ContainerAtom* edts = track.trak->FindContainer('edts');
    auto* elst = edts ? edts->FindAs<ElstAtom>('elst') : nullptr;
    if (!elst) {
        track.editsFromFile = false;
        track.edits = track.ImplicitEdits();
        return true;
    }
    bool leading = true;
    __int128 total = 0;
    for (auto& e : elst->entries) {
        SInt64 duration = std::min(Clamp64(e.duration), kMaxEditDuration);
        total += duration;
        if (total > kMaxTrackDuration) {
            *whyNot = "a track's edit list is longer than any movie can be";
            return false;
        }
        if (leading && e.mediaTime < 0) {
            track.offset += duration;
            track.leadingEmptyAsRead.push_back(duration);
            continue;
        }
        leading = false;
        SInt64 mediaTime = e.mediaTime < 0 ? -1 : std::min(e.mediaTime, kMaxTrackDuration);
        track.edits.push_back(Edit{duration, mediaTime, e.mediaRate});
    }
    return true;
}

std::unique_ptr<TrackRecord> ReadTrack(ContainerAtom* trak, MovieRecord& movie, std::string* whyNot)
{
    auto track = std::make_unique<TrackRecord>();
    track->movie = &movie;
    track->trak = trak;
    auto* tkhd = trak->FindAs<TkhdAtom>('tkhd');
    ContainerAtom* mdia = trak->FindContainer('mdia');
    if (!tkhd || !mdia) {
        *whyNot = "a track has no header (tkhd) or no media (mdia)";
        return nullptr;
    }
    track->id = tkhd->trackID;
    track->enabled = (tkhd->flags & TkhdAtom::kEnabled) != 0;
    track->layer = SInt16(tkhd->layer);
    track->alternateGroup = SInt16(tkhd->alternateGroup);
    track->volume = SInt16(tkhd->volume);
    track->matrix = MatrixFrom(tkhd->matrix);
    track->width = Fixed(tkhd->width);
    track->height = Fixed(tkhd->height);
    track->durationAsRead = Clamp64(tkhd->duration);
    track->media = ReadMedia(mdia, movie.source, whyNot);
    if (!track->media)
        return nullptr;
    track->media->track = track.get();
    if (!ReadEdits(*track, whyNot))
        return nullptr;
    track->durationAtRead = AddTimes(track->offset, track->Duration());
    return track;
}

}  // namespace

std::unique_ptr<MovieRecord> BuildMovieFromAtoms(std::unique_ptr<ContainerAtom> moov, const MovieSource& source,
                                                 std::string* whyNot)
{
    std::string ignored;
    if (!whyNot)
        whyNot = &ignored;
    auto movie = std::make_unique<MovieRecord>();
    movie->source = source;
    movie->timeBase.movie = movie.get();
    auto* mvhd = moov->FindAs<MvhdAtom>('mvhd');
    if (!mvhd) {
        *whyNot = "the movie atom has no movie header (mvhd)";
        return nullptr;
    }
    movie->timeScale = UsableScale(mvhd->timeScale);
    movie->durationAsRead = Clamp64(mvhd->duration);
    movie->preferredRate = Fixed(mvhd->preferredRate);
    movie->preferredVolume = SInt16(mvhd->preferredVolume);
    movie->volume = movie->preferredVolume;
    movie->matrix = MatrixFrom(mvhd->matrix);
    movie->previewTime = mvhd->previewTime;
    movie->previewDuration = mvhd->previewDuration;
    movie->posterTime = mvhd->posterTime;
    movie->selectionTime = mvhd->selectionTime;
    movie->selectionDuration = mvhd->selectionDuration;
    movie->currentTime = mvhd->currentTime;
    movie->nextTrackIDAsRead = mvhd->nextTrackID;
    movie->moov = std::move(moov);
    for (Atom* a : movie->moov->FindAll('trak')) {
        auto* trak = dynamic_cast<ContainerAtom*>(a);
        if (!trak)
            continue;
        auto track = ReadTrack(trak, *movie, whyNot);
        if (!track)
            return nullptr;
        movie->tracks.push_back(std::move(track));
    }
    movie->durationAtRead = movie->Duration();
    return movie;
}
