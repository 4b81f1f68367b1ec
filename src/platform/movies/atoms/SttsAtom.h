// 'stts', time-to-sample: runs of samples of equal duration.
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"
#include "platform/movies/atoms/SampleRuns.h"

class SttsAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    std::vector<TimeToSampleRun> runs;
    // Bytes after the entries: some writers leave stripped data there.
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override
    {
        ReadVersionFlags(r);
        UInt32 count = r.Read32();
        if (!r.CheckCount(count, 8, "stts entry"))
            return;
        runs.resize(count);
        for (auto& run : runs) {
            run.count = r.Read32();
            run.delta = r.Read32();
        }
        trailing = r.ReadRest();
    }
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override
    {
        WriteVersionFlags(w);
        w.Put32(UInt32(runs.size()));
        for (auto& run : runs) {
            w.Put32(run.count);
            w.Put32(run.delta);
        }
        w.PutBytes(trailing);
    }
    UInt64 FieldsSize(const AtomSubstitutions*) const override { return 8 + 8 * runs.size() + trailing.size(); }
};
