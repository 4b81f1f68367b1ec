// 'stsz', sample sizes: one size for every sample, or a table. The table is
// kept as the file's big-endian bytes and shared with the model, so a movie
// with millions of samples costs one copy of it and no conversion.
#pragma once

#include <memory>
#include <vector>

#include "platform/movies/atoms/Atom.h"

class StszAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    UInt32 sampleSize = 0;   // nonzero: every sample has this size
    UInt32 sampleCount = 0;
    std::shared_ptr<const std::vector<UInt8>> table;  // 4 bytes per sample when sampleSize is 0
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override
    {
        ReadVersionFlags(r);
        sampleSize = r.Read32();
        sampleCount = r.Read32();
        if (sampleSize == 0) {
            if (!r.CheckCount(sampleCount, 4, "stsz entry"))
                return;
            table = std::make_shared<const std::vector<UInt8>>(r.ReadBytes(size_t(sampleCount) * 4, "stsz table"));
        }
        trailing = r.ReadTrailing();
    }
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override
    {
        WriteVersionFlags(w);
        w.Put32(sampleSize);
        w.Put32(sampleCount);
        if (sampleSize == 0 && table)
            w.PutBytes(*table);
        w.PutBytes(trailing);
    }
    UInt64 FieldsSize(const AtomSubstitutions*) const override
    {
        return 12 + (sampleSize == 0 && table ? table->size() : 0) + trailing.size();
    }
};
