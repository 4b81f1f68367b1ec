// The sample-table atoms that are plain entry tables: 'stts'
// (time-to-sample), 'ctts' (composition offsets), 'stsc' (sample-to-chunk)
// and 'stss' (sync samples).
#pragma once

#include "platform/movies/atoms/EntryTableAtom.h"
#include "platform/movies/atoms/SampleRuns.h"

// stts: sample_count, sample_delta.
template <> struct EntryLayout<TimeToSampleRun> {
    static constexpr UInt64 kSize = 8;
    static constexpr const char* kName = "stts entry";
    static void Read(AtomReader& r, TimeToSampleRun& e)
    {
        e.count = r.Read32();
        e.delta = r.Read32();
    }
    static void Write(ByteWriter& w, const TimeToSampleRun& e)
    {
        w.Put32(e.count);
        w.Put32(e.delta);
    }
};

// ctts: sample_count, sample_offset (signed in version 1, and read as
// signed in version 0 too, as the writers that use it meant).
template <> struct EntryLayout<CompositionRun> {
    static constexpr UInt64 kSize = 8;
    static constexpr const char* kName = "ctts entry";
    static void Read(AtomReader& r, CompositionRun& e)
    {
        e.count = r.Read32();
        e.offset = SInt32(r.Read32());
    }
    static void Write(ByteWriter& w, const CompositionRun& e)
    {
        w.Put32(e.count);
        w.Put32(UInt32(e.offset));
    }
};

// stsc: first_chunk, samples_per_chunk, sample_description_index.
template <> struct EntryLayout<SampleToChunkRun> {
    static constexpr UInt64 kSize = 12;
    static constexpr const char* kName = "stsc entry";
    static void Read(AtomReader& r, SampleToChunkRun& e)
    {
        e.firstChunk = r.Read32();
        e.samplesPerChunk = r.Read32();
        e.sampleDescriptionIndex = r.Read32();
    }
    static void Write(ByteWriter& w, const SampleToChunkRun& e)
    {
        w.Put32(e.firstChunk);
        w.Put32(e.samplesPerChunk);
        w.Put32(e.sampleDescriptionIndex);
    }
};

// stss: sample_number, from 1. Without the atom every sample is a sync
// sample.
template <> struct EntryLayout<UInt32> {
    static constexpr UInt64 kSize = 4;
    static constexpr const char* kName = "stss entry";
    static void Read(AtomReader& r, UInt32& sampleNumber) { sampleNumber = r.Read32(); }
    static void Write(ByteWriter& w, UInt32 sampleNumber) { w.Put32(sampleNumber); }
};

using SttsAtom = EntryTableAtom<TimeToSampleRun>;
using CttsAtom = EntryTableAtom<CompositionRun>;
using StscAtom = EntryTableAtom<SampleToChunkRun>;
using StssAtom = EntryTableAtom<UInt32>;
