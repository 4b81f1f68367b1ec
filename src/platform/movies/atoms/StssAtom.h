// 'stss', the sync samples (key frames), numbered from 1. Without it every
// sample is a sync sample.
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"

class StssAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    std::vector<UInt32> samples;
    // Bytes after the entries: some writers leave stripped data there.
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override
    {
        ReadVersionFlags(r);
        UInt32 count = r.Read32();
        if (!r.CheckCount(count, 4, "stss entry"))
            return;
        samples.resize(count);
        for (auto& s : samples)
            s = r.Read32();
        trailing = r.ReadRest();
    }
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override
    {
        WriteVersionFlags(w);
        w.Put32(UInt32(samples.size()));
        for (auto s : samples)
            w.Put32(s);
        w.PutBytes(trailing);
    }
    UInt64 FieldsSize(const AtomSubstitutions*) const override { return 8 + 4 * samples.size() + trailing.size(); }
};
