#include "platform/movies/model/SampleTable.h"

#include <algorithm>

namespace {

// One entry of a stored size table: 4 bytes, big-endian.
UInt32 StoredSize(const UInt8* entry)
{
    return (UInt32(entry[0]) << 24) | (UInt32(entry[1]) << 16) | (UInt32(entry[2]) << 8) | entry[3];
}

}  // namespace

UInt32 SampleTable::SampleCount() const
{
    if (hasSizes)
        return sizeCount;
    UInt64 n = 0;
    for (auto& r : times)
        n += r.count;
    return UInt32(std::min<UInt64>(n, 0xFFFFFFFFu));
}

SInt64 SampleTable::TotalDuration() const
{
    // A sum of 2^32 runs of 2^32 x 2^32 cannot overflow 128 bits; clamp to 63.
    __int128 total = 0;
    for (auto& r : times)
        total += __int128(r.count) * r.delta;
    return total > INT64_MAX ? INT64_MAX : SInt64(total);
}

UInt32 SampleTable::SampleSize(UInt32 n) const
{
    if (n == 0 || n > sizeCount)
        return 0;
    if (constantSize != 0 || !sizeTable)
        return constantSize;
    // The count and the table come from different places; a table shorter
    // than its count gives its missing samples no size.
    if (size_t(n) * 4 > sizeTable->size())
        return 0;
    return StoredSize(sizeTable->data() + size_t(n - 1) * 4);
}

void SampleTable::BuildSizeIndex() const
{
    if (indexedSizeTable_ == sizeTable.get() && indexedSizeCount_ == sizeCount)
        return;
    sizeBlockStart_.clear();
    sizeBlockStart_.reserve(sizeCount / kSizeBlock + 1);
    // Straight over the stored sizes: a merged table may hold millions, and
    // the entries past its end have no size, as SampleSize says.
    const UInt8* p = sizeTable->data();
    UInt64 stored = std::min<UInt64>(sizeCount, sizeTable->size() / 4);
    UInt64 sum = 0;
    for (UInt64 block = 0; block < sizeCount; block += kSizeBlock) {
        sizeBlockStart_.push_back(sum);
        for (UInt64 i = block, end = std::min(block + kSizeBlock, stored); i < end; ++i, p += 4)
            sum += StoredSize(p);
    }
    indexedSizeTable_ = sizeTable.get();
    indexedSizeCount_ = sizeCount;
}

UInt64 SampleTable::SizeBefore(UInt32 n) const
{
    n = UInt32(std::min<UInt64>(n, UInt64(sizeCount) + 1));  // samples past the size table have no size
    if (n <= 1)
        return 0;
    // One size for all, or none: no table to index.
    if (constantSize != 0 || !sizeTable)
        return UInt64(n - 1) * constantSize;
    BuildSizeIndex();
    size_t block = std::min<size_t>((n - 1) / kSizeBlock, sizeBlockStart_.size() - 1);
    UInt64 sum = sizeBlockStart_[block];
    for (UInt32 s = UInt32(block * kSizeBlock) + 1; s < n; ++s)
        sum += SampleSize(s);
    return sum;
}

void SampleTable::BuildTimeIndex() const
{
    if (indexedRuns_ == times.size())
        return;
    runFirstSample_.resize(times.size());
    runStartTime_.resize(times.size());
    UInt64 sample = 1;
    __int128 t = 0;
    for (size_t i = 0; i < times.size(); ++i) {
        runFirstSample_[i] = sample;
        runStartTime_[i] = t > INT64_MAX ? INT64_MAX : SInt64(t);
        sample += times[i].count;
        t += __int128(times[i].count) * times[i].delta;
    }
    indexedRuns_ = times.size();
}

UInt32 SampleTable::SampleAtTime(SInt64 mediaTime, SInt64* sampleStart) const
{
    if (mediaTime < 0 || times.empty())
        return 0;
    BuildTimeIndex();
    auto it = std::upper_bound(runStartTime_.begin(), runStartTime_.end(), mediaTime);
    size_t run = size_t(it - runStartTime_.begin()) - 1;
    // Zero-length runs share a start time; find the run that really holds it.
    for (; run < times.size(); ++run) {
        const auto& r = times[run];
        SInt64 into = mediaTime - runStartTime_[run];
        if (r.delta == 0 || r.count == 0)
            continue;
        UInt64 k = UInt64(into) / r.delta;
        if (k < r.count) {
            if (sampleStart)
                *sampleStart = runStartTime_[run] + SInt64(k * r.delta);
            return UInt32(runFirstSample_[run] + k);
        }
    }
    return 0;
}

void SampleTable::BuildChunkIndex() const
{
    if (indexedChunkRuns_ == chunkRuns.size())
        return;
    chunkRunFirstSample_.resize(chunkRuns.size());
    UInt64 sample = 1;
    for (size_t i = 0; i < chunkRuns.size(); ++i) {
        chunkRunFirstSample_[i] = sample;
        UInt32 first = std::max<UInt32>(chunkRuns[i].firstChunk, 1);
        UInt32 end = i + 1 < chunkRuns.size() ? chunkRuns[i + 1].firstChunk : ChunkCount() + 1;
        if (end > first)
            sample += UInt64(end - first) * chunkRuns[i].samplesPerChunk;
    }
    indexedChunkRuns_ = chunkRuns.size();
}

void SampleTable::BuildCompositionIndex() const
{
    if (indexedCompositionRuns_ == compositions.size())
        return;
    compositionRunFirstSample_.resize(compositions.size());
    UInt64 sample = 1;
    for (size_t i = 0; i < compositions.size(); ++i) {
        compositionRunFirstSample_[i] = sample;
        sample += compositions[i].count;
    }
    indexedCompositionRuns_ = compositions.size();
}

bool SampleTable::LookUpSample(UInt32 n, SampleVisit* out) const
{
    if (n == 0 || n > SampleCount() || times.empty() || chunkRuns.empty())
        return false;
    SampleVisit v;
    v.sampleNumber = n;
    // Time: the run holding sample n.
    BuildTimeIndex();
    size_t run = size_t(std::upper_bound(runFirstSample_.begin(), runFirstSample_.end(), UInt64(n)) -
                        runFirstSample_.begin()) - 1;
    while (run < times.size() && runFirstSample_[run] + times[run].count <= n)
        ++run;  // runs of zero samples
    if (run >= times.size())
        return false;
    v.duration = times[run].delta;
    v.decodeTime = runStartTime_[run] + SInt64(n - runFirstSample_[run]) * times[run].delta;
    if (!compositions.empty()) {
        BuildCompositionIndex();
        size_t c = size_t(std::upper_bound(compositionRunFirstSample_.begin(), compositionRunFirstSample_.end(),
                                           UInt64(n)) - compositionRunFirstSample_.begin()) - 1;
        while (c < compositions.size() && compositionRunFirstSample_[c] + compositions[c].count <= n)
            ++c;
        if (c < compositions.size())
            v.compositionOffset = compositions[c].offset;
    }
    if (syncSamples)
        v.sync = std::binary_search(syncSamples->begin(), syncSamples->end(), n);
    // Chunk: the sample-to-chunk run holding n, then the chunk in it.
    BuildChunkIndex();
    size_t cr = size_t(std::upper_bound(chunkRunFirstSample_.begin(), chunkRunFirstSample_.end(), UInt64(n)) -
                       chunkRunFirstSample_.begin()) - 1;
    const auto& r = chunkRuns[cr];
    if (r.samplesPerChunk == 0)
        return false;
    UInt64 into = n - chunkRunFirstSample_[cr];
    UInt64 chunk = std::max<UInt32>(r.firstChunk, 1) + into / r.samplesPerChunk;
    if (chunk > ChunkCount())
        return false;
    UInt32 firstInChunk = UInt32(n - into % r.samplesPerChunk);
    v.chunkIndex = UInt32(chunk - 1);
    v.sampleDescriptionIndex = r.sampleDescriptionIndex;
    v.offset = (*chunkOffsets)[chunk - 1];
    v.offset += SizeBefore(n) - SizeBefore(firstInChunk);
    v.size = SampleSize(n);
    *out = v;
    return true;
}

// The same cumulative indexes as LookUpSample, walked with cursors instead
// of searched. A stretch ends where any of the runs it lies in ends (times,
// composition offsets, chunk), before or after a sync sample, and after
// every sample of a size table, whose offsets are summed as the samples go
// by instead of through the sparse size index.
void SampleTable::ForEachStretch(const std::function<bool(const SampleVisit& first, UInt32 count)>& visit) const
{
    const UInt64 count = SampleCount();
    if (count == 0 || times.empty() || chunkRuns.empty())
        return;
    BuildTimeIndex();
    BuildChunkIndex();
    BuildCompositionIndex();
    const bool sized = constantSize == 0 && sizeTable;
    // The file may list its sync samples out of order; a cursor only works
    // through an ordered list.
    const bool syncInOrder = syncSamples && std::is_sorted(syncSamples->begin(), syncSamples->end());
    auto nextSync = syncSamples ? syncSamples->begin() : std::vector<UInt32>::const_iterator();
    size_t run = 0, composition = 0, chunkRun = 0;
    UInt64 chunkFirst = 0;  // the first sample of the chunk being walked
    UInt64 intoChunk = 0;   // bytes of the chunk's samples before this one
    for (UInt64 n = 1; n <= count;) {
        while (run < times.size() && runFirstSample_[run] + times[run].count <= n)
            ++run;
        if (run >= times.size())
            return;
        UInt64 end = std::min(count + 1, runFirstSample_[run] + times[run].count);
        while (composition < compositions.size() &&
               compositionRunFirstSample_[composition] + compositions[composition].count <= n)
            ++composition;
        if (composition < compositions.size())
            end = std::min(end, compositionRunFirstSample_[composition] + compositions[composition].count);
        while (chunkRun + 1 < chunkRuns.size() && chunkRunFirstSample_[chunkRun + 1] <= n)
            ++chunkRun;
        if (chunkRun + 1 < chunkRuns.size())
            end = std::min(end, chunkRunFirstSample_[chunkRun + 1]);
        const auto& r = chunkRuns[chunkRun];
        if (r.samplesPerChunk == 0)
            return;
        UInt64 into = n - chunkRunFirstSample_[chunkRun];
        UInt64 chunk = std::max<UInt32>(r.firstChunk, 1) + into / r.samplesPerChunk;
        if (chunk > ChunkCount())
            return;
        if (UInt64 first = n - into % r.samplesPerChunk; first != chunkFirst) {
            chunkFirst = first;
            intoChunk = 0;
        }
        end = std::min(end, chunkFirst + r.samplesPerChunk);
        SampleVisit v;
        v.sampleNumber = UInt32(n);
        v.duration = times[run].delta;
        v.decodeTime = runStartTime_[run] + SInt64(n - runFirstSample_[run]) * times[run].delta;
        if (composition < compositions.size())
            v.compositionOffset = compositions[composition].offset;
        if (syncInOrder) {
            while (nextSync != syncSamples->end() && *nextSync < n)
                ++nextSync;
            v.sync = nextSync != syncSamples->end() && *nextSync == n;
            end = v.sync ? n + 1 : nextSync != syncSamples->end() ? std::min<UInt64>(end, *nextSync) : end;
        } else if (syncSamples) {
            v.sync = std::binary_search(syncSamples->begin(), syncSamples->end(), UInt32(n));
            end = n + 1;
        }
        v.chunkIndex = UInt32(chunk - 1);
        v.sampleDescriptionIndex = r.sampleDescriptionIndex;
        v.size = SampleSize(UInt32(n));
        v.offset = (*chunkOffsets)[chunk - 1] + (sized ? intoChunk : UInt64(constantSize) * (n - chunkFirst));
        if (sized || v.size != constantSize) {
            intoChunk += v.size;
            end = n + 1;
        } else if (constantSize != 0) {
            end = std::min(end, UInt64(sizeCount) + 1);  // samples past the count have no size
        }
        if (!visit(v, UInt32(end - n)))
            return;
        n = end;
    }
}

void SampleTable::ForEachChunk(const std::function<bool(const ChunkVisit&)>& visit) const
{
    const UInt32 chunks = ChunkCount();
    const UInt32 samples = SampleCount();
    size_t timeRun = 0;
    UInt32 usedInRun = 0;
    SInt64 time = 0;
    UInt32 sample = 1;
    auto advanceTime = [&](UInt32 n) {
        SInt64 start = time;
        while (n > 0 && timeRun < times.size()) {
            UInt32 left = times[timeRun].count - usedInRun;
            UInt32 take = std::min(n, left);
            time += SInt64(take) * times[timeRun].delta;
            usedInRun += take;
            n -= take;
            if (usedInRun == times[timeRun].count) {
                ++timeRun;
                usedInRun = 0;
            }
        }
        return time - start;
    };
    for (size_t run = 0; run < chunkRuns.size(); ++run) {
        UInt32 first = std::max<UInt32>(chunkRuns[run].firstChunk, 1);
        UInt32 end = run + 1 < chunkRuns.size() ? chunkRuns[run + 1].firstChunk : chunks + 1;
        end = std::min(end, chunks + 1);
        for (UInt32 c = first; c < end && sample <= samples; ++c) {
            ChunkVisit v;
            v.chunkIndex = c - 1;
            v.sampleDescriptionIndex = chunkRuns[run].sampleDescriptionIndex;
            v.offset = (*chunkOffsets)[c - 1];
            v.firstSample = sample;
            v.sampleCount = std::min(chunkRuns[run].samplesPerChunk, samples - sample + 1);
            if (constantSize != 0 || !sizeTable)
                v.size = UInt64(constantSize) * v.sampleCount;
            else
                for (UInt32 s = 0; s < v.sampleCount; ++s)
                    v.size += SampleSize(sample + s);
            v.decodeTime = time;
            v.duration = advanceTime(v.sampleCount);
            sample += v.sampleCount;
            if (!visit(v))
                return;
        }
    }
}

namespace {

// Appends the sizes of t's first `count` samples to bytes, 4 bytes each,
// big-endian: its table as it is, or its one size repeated (0 for a table
// that never had sizes).
void AppendSizes(const SampleTable& t, UInt32 count, std::vector<UInt8>& bytes)
{
    const size_t at = bytes.size();
    bytes.resize(at + size_t(count) * 4, 0);
    if (t.constantSize == 0 && t.sizeTable) {
        size_t have = std::min<size_t>(t.sizeTable->size(), size_t(count) * 4);
        std::copy_n(t.sizeTable->begin(), have, bytes.begin() + std::ptrdiff_t(at));
        return;
    }
    // Made-up tables run to millions of entries: the bytes are stored
    // directly, and a table that never had sizes keeps the zeros it got.
    if (t.constantSize == 0)
        return;
    const UInt8 size[4] = {UInt8(t.constantSize >> 24), UInt8(t.constantSize >> 16), UInt8(t.constantSize >> 8),
                           UInt8(t.constantSize)};
    UInt8* p = bytes.data() + at;
    for (UInt32 i = 0; i < count; ++i, p += 4)
        p[0] = size[0], p[1] = size[1], p[2] = size[2], p[3] = size[3];
}

// Entries that a table of `samples` samples would have to make up (rather
// than copy) to give each of them a size of its own.
UInt64 MadeUpSizes(const SampleTable& t, UInt32 samples)
{
    return t.constantSize == 0 && t.sizeTable ? 0 : samples;
}

}  // namespace

bool SampleTable::Append(const SampleTable& other, UInt32 descriptionShift)
{
    const UInt32 ownSamples = SampleCount();
    const UInt32 otherSamples = other.SampleCount();
    if (UInt64(ownSamples) + otherSamples > 0xFFFFFFFFu)
        return false;
    // Everything that can fail is made first, so a refused append leaves
    // this table as it was.
    const bool sameConstant = constantSize != 0 && constantSize == other.constantSize;
    std::shared_ptr<const std::vector<UInt8>> newSizes = ownSamples == 0 ? other.sizeTable : sizeTable;
    UInt32 newConstant = ownSamples == 0 ? other.constantSize : constantSize;
    UInt64 madeUp = 0;
    if (ownSamples > 0 && otherSamples > 0 && !sameConstant)
        madeUp += MadeUpSizes(*this, ownSamples) + MadeUpSizes(other, otherSamples);
    const bool mergeSync = syncSamples || other.syncSamples;
    if (mergeSync)
        madeUp += (syncSamples ? 0 : ownSamples) + (other.syncSamples ? 0 : otherSamples);
    if (madeUp > kMaxMadeUpEntries)
        return false;
    if (ownSamples > 0 && otherSamples > 0 && !sameConstant) {
        auto bytes = std::make_shared<std::vector<UInt8>>();
        bytes->reserve((size_t(ownSamples) + otherSamples) * 4);
        AppendSizes(*this, ownSamples, *bytes);
        AppendSizes(other, otherSamples, *bytes);
        newSizes = std::move(bytes);
        newConstant = 0;
    }
    std::shared_ptr<const std::vector<UInt32>> newSync = syncSamples;
    if (mergeSync) {
        auto sync = std::make_shared<std::vector<UInt32>>();
        if (syncSamples)
            *sync = *syncSamples;
        else
            for (UInt32 i = 1; i <= ownSamples; ++i)
                sync->push_back(i);
        if (other.syncSamples)
            for (UInt32 s : *other.syncSamples)
                sync->push_back(s + ownSamples);
        else
            for (UInt32 i = 1; i <= otherSamples; ++i)
                sync->push_back(i + ownSamples);
        newSync = std::move(sync);
    }
    auto offsets = std::make_shared<std::vector<UInt64>>();
    offsets->reserve(chunkOffsets->size() + other.chunkOffsets->size());
    offsets->insert(offsets->end(), chunkOffsets->begin(), chunkOffsets->end());
    offsets->insert(offsets->end(), other.chunkOffsets->begin(), other.chunkOffsets->end());

    const UInt32 ownChunks = ChunkCount();
    for (auto r : other.times) {
        if (!times.empty() && times.back().delta == r.delta)
            times.back().count += r.count;
        else
            times.push_back(r);
    }
    if (!compositions.empty() || !other.compositions.empty()) {
        if (compositions.empty() && ownSamples > 0)
            compositions.push_back({ownSamples, 0});
        if (other.compositions.empty() && otherSamples > 0)
            compositions.push_back({otherSamples, 0});
        else
            compositions.insert(compositions.end(), other.compositions.begin(), other.compositions.end());
    }
    syncSamples = std::move(newSync);
    for (auto r : other.chunkRuns)
        chunkRuns.push_back({r.firstChunk + ownChunks, r.samplesPerChunk, r.sampleDescriptionIndex + descriptionShift});
    constantSize = newConstant;
    sizeTable = std::move(newSizes);
    sizeCount = ownSamples + otherSamples;
    hasSizes = true;
    chunkOffsets = std::move(offsets);
    indexedRuns_ = SIZE_MAX;
    indexedChunkRuns_ = SIZE_MAX;
    indexedCompositionRuns_ = SIZE_MAX;
    return true;
}
