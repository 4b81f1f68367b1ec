#include "platform/movies/model/FragmentMerger.h"

#include <algorithm>
#include <map>

#include "platform/movies/atoms/FragmentAtoms.h"

namespace {

constexpr UInt32 kNonSyncSample = 0x00010000;

// Collects fragment samples for one track and appends them to its table.
// Everything is kept as runs of equal values while collecting, so a run of
// default samples costs the same whatever count it claims, and adding a run
// never copies what was collected before: merging is linear in the runs.
class TrackFragmentSink {
public:
    explicit TrackFragmentSink(MediaRecord& media) : media_(media) {}

    UInt64 SampleCount() const { return samples_; }

    // Starts a run of samples stored together from `offset`: one chunk.
    void BeginRun(UInt64 offset, UInt32 descriptionIndex, UInt32 count)
    {
        SampleTable& t = part_;
        UInt32 chunk = UInt32(offsets_.size()) + 1;
        if (t.chunkRuns.empty() || t.chunkRuns.back().samplesPerChunk != count ||
            t.chunkRuns.back().sampleDescriptionIndex != descriptionIndex)
            t.chunkRuns.push_back({chunk, count, descriptionIndex});
        offsets_.push_back(offset);
    }

    // Appends `repeat` samples equal to s.
    void Add(const TrunSample& s, UInt32 repeat)
    {
        SampleTable& t = part_;
        if (!t.times.empty() && t.times.back().delta == s.duration)
            t.times.back().count += repeat;
        else
            t.times.push_back({repeat, s.duration});
        if (!sizes_.empty() && sizes_.back().size == s.size)
            sizes_.back().count += repeat;
        else
            sizes_.push_back({repeat, s.size});
        if (s.flags & kNonSyncSample) {
            anyNonSync_ = true;
        } else if (!sync_.empty() && UInt64(sync_.back().first) + sync_.back().count == samples_ + 1) {
            sync_.back().count += repeat;
        } else {
            sync_.push_back({UInt32(samples_ + 1), repeat});
        }
        if (s.compositionOffset != 0)
            anyComposition_ = true;
        if (!t.compositions.empty() && t.compositions.back().offset == s.compositionOffset)
            t.compositions.back().count += repeat;
        else
            t.compositions.push_back({repeat, s.compositionOffset});
        samples_ += repeat;
    }

    // Hands the samples to the media; false when its table cannot take them.
    bool Finish()
    {
        if (samples_ == 0)
            return true;
        SampleTable& t = part_;
        if (sizes_.size() == 1 && sizes_[0].size != 0) {
            t.constantSize = sizes_[0].size;
        } else {
            auto bytes = std::make_shared<std::vector<UInt8>>();
            bytes->reserve(size_t(samples_) * 4);
            for (auto& run : sizes_)
                for (UInt32 i = 0; i < run.count; ++i)
                    for (int shift = 24; shift >= 0; shift -= 8)
                        bytes->push_back(UInt8(run.size >> shift));
            t.sizeTable = std::move(bytes);
        }
        sizes_.clear();
        if (anyNonSync_) {
            auto sync = std::make_shared<std::vector<UInt32>>();
            for (auto& run : sync_)
                for (UInt32 i = 0; i < run.count; ++i)
                    sync->push_back(run.first + i);
            t.syncSamples = std::move(sync);
        }
        sync_.clear();
        if (!anyComposition_)
            t.compositions.clear();
        t.hasSizes = true;
        t.sizeCount = UInt32(samples_);
        t.chunkOffsets = std::make_shared<const std::vector<UInt64>>(std::move(offsets_));
        if (!media_.table.Append(t, 0))
            return false;
        media_.tableChanged = true;
        return true;
    }

private:
    struct SizeRun {
        UInt32 count = 0, size = 0;
    };
    struct SyncRun {
        UInt32 first = 0, count = 0;
    };
    MediaRecord& media_;
    SampleTable part_;
    UInt64 samples_ = 0;
    std::vector<SizeRun> sizes_;
    std::vector<SyncRun> sync_;
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

// What the merge may still take: a run that lists its samples pays for them
// with its own bytes, but a run of defaults is a bare count, so the bytes
// its samples claim (at least one each) must fit in what is left of the
// file. A track never holds more samples than a sample number can count.
struct MergeBudget {
    UInt64 unlistedBytes = 0;
};

// One track fragment: its runs appended to the track's sink. Returns where
// the next track fragment's data starts when it names no base of its own;
// *whyNot is set when the fragment cannot describe samples.
UInt64 MergeTrackFragment(const ContainerAtom& traf, const TfhdAtom& tfhd, const Defaults& d, UInt64 moofOffset,
                          UInt64 nextBase, UInt64 ownSamples, TrackFragmentSink& sink, MergeBudget& budget,
                          std::string* whyNot)
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
                *whyNot = "a fragment's data offset points before the start of the file";
                return dataPos;
            }
            dataPos = UInt64(pos);
        }
        const bool listed = !trun->samples.empty();
        const UInt32 count = listed ? UInt32(trun->samples.size()) : trun->sampleCount;
        if (count == 0)
            continue;
        if (ownSamples + sink.SampleCount() + count > 0xFFFFFFFFu) {
            *whyNot = "a track's fragments hold more samples than a track can";
            return dataPos;
        }
        TrunSample fallback{duration, size, flags, 0};
        if (!listed) {
            UInt64 claimed = UInt64(count) * std::max<UInt32>(size, 1);
            if (claimed > budget.unlistedBytes) {
                *whyNot = "a fragment claims more samples than the file has bytes for";
                return dataPos;
            }
            budget.unlistedBytes -= claimed;
        }
        sink.BeginRun(dataPos, sdi, count);
        UInt64 bytes = 0;
        if (!listed) {
            // Every sample has the defaults, except perhaps the first's flags.
            UInt32 rest = count;
            if (trun->flags & TrunAtom::kFirstSampleFlags) {
                TrunSample first = fallback;
                first.flags = trun->firstSampleFlags;
                sink.Add(first, 1);
                --rest;
            }
            if (rest > 0)
                sink.Add(fallback, rest);
            bytes = UInt64(count) * size;
        } else {
            for (size_t i = 0; i < trun->samples.size(); ++i) {
                TrunSample s = trun->samples[i];
                if (!(trun->flags & TrunAtom::kDuration))
                    s.duration = duration;
                if (!(trun->flags & TrunAtom::kSize))
                    s.size = size;
                if (!(trun->flags & TrunAtom::kFlags))
                    s.flags = (i == 0 && (trun->flags & TrunAtom::kFirstSampleFlags)) ? trun->firstSampleFlags : flags;
                sink.Add(s, 1);
                bytes += s.size;
            }
        }
        dataPos += bytes;
    }
    return dataPos;
}

}  // namespace

struct FragmentMerger::State {
    std::map<UInt32, std::unique_ptr<TrackFragmentSink>> sinks;
    std::map<UInt32, MediaRecord*> mediaByID;
    std::map<UInt32, Defaults> defaults;
    MergeBudget budget;
};

FragmentMerger::FragmentMerger(MovieRecord& movie, UInt64 fileSize) : movie_(movie), state_(std::make_unique<State>())
{
    for (auto& t : movie.tracks)
        state_->mediaByID[t->id] = t->media.get();
    state_->defaults = ReadTrackDefaults(*movie.moov);
    state_->budget.unlistedBytes = fileSize;
}

FragmentMerger::~FragmentMerger() = default;

bool FragmentMerger::Add(const ContainerAtom& moof, UInt64 fileOffset, std::string* whyNot)
{
    State& s = *state_;
    UInt64 nextBase = fileOffset;  // a traf without a base follows the one before
    for (Atom* a : moof.FindAll('traf')) {
        auto* traf = dynamic_cast<ContainerAtom*>(a);
        auto* tfhd = traf ? traf->FindAs<TfhdAtom>('tfhd') : nullptr;
        if (!tfhd || !s.mediaByID.count(tfhd->trackID))
            continue;
        MediaRecord& media = *s.mediaByID[tfhd->trackID];
        auto& sink = s.sinks[tfhd->trackID];
        if (!sink) {
            sink = std::make_unique<TrackFragmentSink>(media);
            auto* tfdt = traf->FindAs<TfdtAtom>('tfdt');
            if (tfdt && media.table.Empty() && tfdt->baseMediaDecodeTime > 0)
                firstDecodeTimes_[tfhd->trackID] = SInt64(std::min<UInt64>(tfdt->baseMediaDecodeTime, UInt64(1) << 48));
        }
        std::string reason;
        nextBase = MergeTrackFragment(*traf, *tfhd, s.defaults[tfhd->trackID], fileOffset, nextBase,
                                      media.table.SampleCount(), *sink, s.budget, &reason);
        if (!reason.empty()) {
            *whyNot = reason;
            return false;
        }
    }
    return true;
}

bool FragmentMerger::Finish(std::string* whyNot)
{
    for (auto& [id, sink] : state_->sinks)
        if (!sink->Finish()) {
            *whyNot = "a track's own samples and its fragments' cannot be combined in memory";
            return false;
        }
    if (!state_->sinks.empty())
        movie_.fragmented = true;
    return true;
}
