// 'stsc', sample-to-chunk: runs of chunks holding the same number of samples
// with the same sample description.
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"
#include "platform/movies/atoms/SampleRuns.h"

class StscAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    std::vector<SampleToChunkRun> runs;
    // Bytes after the entries: some writers leave stripped data there.
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override
    {
        ReadVersionFlags(r);
        UInt32 count = r.Read32();
        if (!r.CheckCount(count, 12, "stsc entry"))
            return;
        runs.resize(count);
        for (auto& run : runs) {
            run.firstChunk = r.Read32();
            run.samplesPerChunk = r.Read32();
            run.sampleDescriptionIndex = r.Read32();
        }
        trailing = r.ReadRest();
    }
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override
    {
        WriteVersionFlags(w);
        w.Put32(UInt32(runs.size()));
        for (auto& run : runs) {
            w.Put32(run.firstChunk);
            w.Put32(run.samplesPerChunk);
            w.Put32(run.sampleDescriptionIndex);
        }
        w.PutBytes(trailing);
    }
    UInt64 FieldsSize(const AtomSubstitutions*) const override { return 8 + 12 * runs.size() + trailing.size(); }
};
