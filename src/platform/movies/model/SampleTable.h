// A media's sample table in the compact form the file stores it in: runs of
// equal durations, runs of chunks, one size for all samples or the file's
// size table, and chunk offsets. Nothing is expanded per sample, so a movie
// with hundreds of millions of sound samples costs a few runs.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/core/MacTypes.h"
#include "platform/movies/atoms/SampleRuns.h"

struct ChunkVisit {
    UInt32 chunkIndex = 0;       // from 0
    UInt32 sampleDescriptionIndex = 1;
    UInt64 offset = 0;
    UInt64 size = 0;
    UInt32 firstSample = 1;      // from 1
    UInt32 sampleCount = 0;
    SInt64 decodeTime = 0;
    SInt64 duration = 0;
};

struct SampleVisit {
    UInt32 sampleNumber = 0;     // from 1
    SInt64 decodeTime = 0;
    UInt32 duration = 0;
    SInt32 compositionOffset = 0;
    UInt64 offset = 0;           // in the file of its data reference
    UInt32 size = 0;
    UInt32 chunkIndex = 0;       // from 0
    UInt32 sampleDescriptionIndex = 1;
    bool sync = true;
    bool operator==(const SampleVisit&) const = default;
};

class SampleTable {
public:
    std::vector<TimeToSampleRun> times;
    std::vector<CompositionRun> compositions;               // empty: none
    std::shared_ptr<const std::vector<UInt32>> syncSamples;  // nil: every sample is a sync sample
    std::vector<SampleToChunkRun> chunkRuns;
    UInt32 constantSize = 0;       // nonzero: every sample has this size
    UInt32 sizeCount = 0;          // samples listed in stsz
    bool hasSizes = false;         // an stsz was read or built
    std::shared_ptr<const std::vector<UInt8>> sizeTable;    // big-endian, 4 bytes a sample
    std::shared_ptr<const std::vector<UInt64>> chunkOffsets = std::make_shared<const std::vector<UInt64>>();

    UInt32 SampleCount() const;
    SInt64 TotalDuration() const;
    UInt32 SampleSize(UInt32 sampleNumber /* from 1 */) const;
    UInt32 ChunkCount() const { return UInt32(chunkOffsets->size()); }
    bool Empty() const { return SampleCount() == 0; }

    // The sample that plays at mediaTime (from 1), and its start time; 0 when
    // the time is past the end. Uses a cumulative index over the runs.
    UInt32 SampleAtTime(SInt64 mediaTime, SInt64* sampleStart = nullptr) const;

    // Everything about one sample (from 1); false when there is no such
    // sample or the tables do not reach it. Lookups use cumulative indexes
    // over the runs, so this costs a few binary searches plus, for a size
    // table, the sizes before the sample in its chunk.
    bool LookUpSample(UInt32 sampleNumber, SampleVisit* out) const;

    // Every sample from the first, in stretches of samples alike but for
    // their number, decode time and offset: sample first.sampleNumber + i
    // decodes at first.decodeTime + i * first.duration and lies at
    // first.offset + i * first.size. Each sample is what LookUpSample gives,
    // and the walk stops at the first sample that LookUpSample does not
    // find, or when visit returns false. A table of one size for all costs
    // a stretch a chunk, however many samples it claims.
    void ForEachStretch(const std::function<bool(const SampleVisit& first, UInt32 count)>& visit) const;

    // Every chunk in order; stops when visit returns false. The walk stops at
    // the end of the chunk offsets or of the samples, whichever comes first,
    // so inconsistent tables cannot make it run away.
    void ForEachChunk(const std::function<bool(const ChunkVisit&)>& visit) const;

    // Appends other's samples after this table's, their sample descriptions
    // numbered from descriptionShift + 1. Where the two tables store sizes or
    // sync samples differently, entries are made up for the side that has
    // none (one size for all, every sample a sync sample); more than
    // kMaxMadeUpEntries of them, or more samples than a sample number
    // counts, and the append is refused: false, and the table is unchanged.
    bool Append(const SampleTable& other, UInt32 descriptionShift);
    static constexpr UInt64 kMaxMadeUpEntries = UInt64(1) << 24;

private:
    void BuildTimeIndex() const;
    void BuildChunkIndex() const;
    mutable std::vector<UInt64> chunkRunFirstSample_;  // cumulative index over `chunkRuns`
    mutable size_t indexedChunkRuns_ = SIZE_MAX;
    void BuildCompositionIndex() const;
    // Sum of the sizes of the samples before n, through a sparse cumulative
    // index (one entry per kSizeBlock samples), so a lookup in a chunk of a
    // million samples costs at most kSizeBlock additions.
    UInt64 SizeBefore(UInt32 n) const;
    void BuildSizeIndex() const;
    static constexpr UInt32 kSizeBlock = 64;
    mutable std::vector<UInt64> sizeBlockStart_;
    mutable const void* indexedSizeTable_ = nullptr;
    mutable UInt32 indexedSizeCount_ = 0;
    mutable std::vector<UInt64> compositionRunFirstSample_;  // cumulative index over `compositions`
    mutable size_t indexedCompositionRuns_ = SIZE_MAX;
    mutable std::vector<UInt64> runFirstSample_;  // cumulative index over `times`
    mutable std::vector<SInt64> runStartTime_;
    mutable size_t indexedRuns_ = SIZE_MAX;
};
