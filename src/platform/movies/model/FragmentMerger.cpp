#include "platform/movies/model/FragmentMerger.h"

#include <algorithm>
#include <map>

#include "platform/movies/atoms/FragmentAtoms.h"

namespace {

constexpr UInt32 kNonSyncSample = 0x00010000;

// Collects fragment samples for one track and appends them to its table.
class TrackFragmentSink {
public:
    explicit TrackFragmentSink(MediaRecord& media) : media_(media) {}

    void AddRun(UInt64 offset, UInt32 descriptionIndex, const std::vector<TrunSample>& samples)
    {
        if (samples.empty())
            return;
        SampleTable& t = part_;
        UInt32 first = t.SampleCount() + 1;
        for (auto& s : samples) {
            if (!t.times.empty() && t.times.back().delta == s.duration)
                t.times.back().count++;
            else
                t.times.push_back({1, s.duration});
            sizes_.push_back(s.size);
            if (!(s.flags & kNonSyncSample))
                sync_.push_back(first + UInt32(&s - samples.data()));
            else
                anyNonSync_ = true;
            if (s.compositionOffset != 0)
                anyComposition_ = true;
            if (!t.compositions.empty() && t.compositions.back().offset == s.compositionOffset)
                t.compositions.back().count++;
            else
                t.compositions.push_back({1, s.compositionOffset});
        }
        t.hasSizes = true;
        t.sizeCount = UInt32(sizes_.size());
        UInt32 chunk = t.ChunkCount() + 1;
        if (t.chunkRuns.empty() || t.chunkRuns.back().samplesPerChunk != samples.size() ||
            t.chunkRuns.back().sampleDescriptionIndex != descriptionIndex)
            t.chunkRuns.push_back({chunk, UInt32(samples.size()), descriptionIndex});
        offsets_.push_back(offset);
        t.chunkOffsets = std::make_shared<const std::vector<UInt64>>(offsets_);
    }

    void Finish()
    {
        if (sizes_.empty())
            return;
        SampleTable& t = part_;
        bool same = true;
        for (auto s : sizes_)
            same = same && s == sizes_[0];
        if (same && sizes_[0] != 0) {
            t.constantSize = sizes_[0];
        } else {
            std::vector<UInt8> bytes;
            bytes.reserve(sizes_.size() * 4);
            for (auto s : sizes_)
                for (int shift = 24; shift >= 0; shift -= 8)
                    bytes.push_back(UInt8(s >> shift));
            t.sizeTable = std::make_shared<const std::vector<UInt8>>(std::move(bytes));
        }
        if (anyNonSync_)
            t.syncSamples = std::make_shared<const std::vector<UInt32>>(sync_);
        if (!anyComposition_)
            t.compositions.clear();
        media_.table.Append(t, 0);
        media_.tableChanged = true;
    }

private:
    MediaRecord& media_;
    SampleTable part_;
    std::vector<UInt32> sizes_;
    std::vector<UInt32> sync_;
    std::vector<UInt64> offsets_;
    bool anyNonSync_ = false;
    bool anyComposition_ = false;
};

struct Defaults {
    UInt32 descriptionIndex = 1, duration = 0, size = 0, flags = 0;
};

std::map<UInt32, Defaults> ReadTrackDefaults(const ContainerAtom& moov)
{
    std::map<UInt32, Defaults> result;
    if (const ContainerAtom* mvex = moov.FindContainer('mvex'))
        for (Atom* a : mvex->FindAll('trex'))
            if (auto* trex = dynamic_cast<TrexAtom*>(a))
                result[trex->trackID] = {trex->sampleDescriptionIndex, trex->sampleDuration, trex->sampleSize,
                                         trex->sampleFlags};
    return result;
}

// One track fragment: its runs appended to the track's sink. Returns where
// the next track fragment's data starts when it names no base of its own;
// false in *ok when an offset points before the start of the file.
UInt64 MergeTrackFragment(const ContainerAtom& traf, const TfhdAtom& tfhd, const Defaults& d, UInt64 moofOffset,
                          UInt64 nextBase, TrackFragmentSink& sink, bool* ok)
{
    UInt32 sdi = (tfhd.flags & TfhdAtom::kSampleDescriptionIndex) ? tfhd.sampleDescriptionIndex : d.descriptionIndex;
    UInt32 duration = (tfhd.flags & TfhdAtom::kDefaultDuration) ? tfhd.defaultDuration : d.duration;
    UInt32 size = (tfhd.flags & TfhdAtom::kDefaultSize) ? tfhd.defaultSize : d.size;
    UInt32 flags = (tfhd.flags & TfhdAtom::kDefaultFlags) ? tfhd.defaultFlags : d.flags;
    UInt64 base = (tfhd.flags & TfhdAtom::kBaseDataOffset) ? tfhd.baseDataOffset
                  : (tfhd.flags & TfhdAtom::kDefaultBaseIsMoof) ? moofOffset
                                                                : nextBase;
    UInt64 dataPos = base;
    for (Atom* r : traf.FindAll('trun')) {
        auto* trun = dynamic_cast<TrunAtom*>(r);
        if (!trun)
            continue;
        if (trun->flags & TrunAtom::kDataOffset) {
            SInt64 pos = SInt64(base) + trun->dataOffset;
            if (pos < 0) {
                *ok = false;
                return dataPos;
            }
            dataPos = UInt64(pos);
        }
        std::vector<TrunSample> samples = trun->samples;
        UInt64 bytes = 0;
        for (size_t i = 0; i < samples.size(); ++i) {
            auto& s = samples[i];
            if (!(trun->flags & TrunAtom::kDuration))
                s.duration = duration;
            if (!(trun->flags & TrunAtom::kSize))
                s.size = size;
            if (!(trun->flags & TrunAtom::kFlags))
                s.flags = (i == 0 && (trun->flags & TrunAtom::kFirstSampleFlags)) ? trun->firstSampleFlags : flags;
            bytes += s.size;
        }
        sink.AddRun(dataPos, sdi, samples);
        dataPos += bytes;
    }
    return dataPos;
}

}  // namespace

bool MergeFragments(MovieRecord& movie, const std::vector<MovieFragment>& fragments,
                    std::map<UInt32, SInt64>* firstDecodeTimes, std::string* whyNot)
{
    std::map<UInt32, std::unique_ptr<TrackFragmentSink>> sinks;
    std::map<UInt32, MediaRecord*> mediaByID;
    for (auto& t : movie.tracks)
        mediaByID[t->id] = t->media.get();
    auto defaults = ReadTrackDefaults(*movie.moov);

    for (auto& fragment : fragments) {
        UInt64 nextBase = fragment.fileOffset;  // a traf without a base follows the one before
        for (Atom* a : fragment.moof->FindAll('traf')) {
            auto* traf = dynamic_cast<ContainerAtom*>(a);
            auto* tfhd = traf ? traf->FindAs<TfhdAtom>('tfhd') : nullptr;
            if (!tfhd || !mediaByID.count(tfhd->trackID))
                continue;
            auto& sink = sinks[tfhd->trackID];
            if (!sink) {
                MediaRecord& media = *mediaByID[tfhd->trackID];
                sink = std::make_unique<TrackFragmentSink>(media);
                auto* tfdt = traf->FindAs<TfdtAtom>('tfdt');
                if (tfdt && media.table.Empty() && tfdt->baseMediaDecodeTime > 0)
                    (*firstDecodeTimes)[tfhd->trackID] = SInt64(std::min<UInt64>(tfdt->baseMediaDecodeTime, UInt64(1) << 48));
            }
            bool ok = true;
            nextBase = MergeTrackFragment(*traf, *tfhd, defaults[tfhd->trackID], fragment.fileOffset, nextBase,
                                          *sink, &ok);
            if (!ok) {
                *whyNot = "a fragment's data offset points before the start of the file";
                return false;
            }
        }
    }
    for (auto& [id, sink] : sinks)
        sink->Finish();
    if (!sinks.empty())
        movie.fragmented = true;
    return true;
}
