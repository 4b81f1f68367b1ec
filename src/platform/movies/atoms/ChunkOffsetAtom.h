// 'stco' (32-bit) and 'co64' (64-bit) chunk offsets: where each chunk
// starts in the file that holds it.
#pragma once

#include <memory>
#include <vector>

#include "platform/movies/atoms/Atom.h"

class ChunkOffsetAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    std::shared_ptr<const std::vector<UInt64>> offsets = std::make_shared<const std::vector<UInt64>>();
    // Bytes after the entries: some writers leave stripped data there.
    std::vector<UInt8> trailing;

    bool Is64() const { return Type() == 'co64'; }

    void ReadFields(AtomReader& r) override
    {
        ReadVersionFlags(r);
        UInt32 count = r.Read32();
        if (!r.CheckCount(count, Is64() ? 8 : 4, "chunk offset"))
            return;
        std::vector<UInt64> v(count);
        for (auto& o : v)
            o = Is64() ? r.Read64() : r.Read32();
        offsets = std::make_shared<const std::vector<UInt64>>(std::move(v));
        trailing = r.ReadTrailing();
    }
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override
    {
        WriteVersionFlags(w);
        w.Put32(UInt32(offsets->size()));
        for (auto o : *offsets)
            Is64() ? w.Put64(o) : w.Put32(UInt32(o));
        w.PutBytes(trailing);
    }
    UInt64 FieldsSize(const AtomSubstitutions*) const override
    {
        return 8 + offsets->size() * (Is64() ? 8 : 4) + trailing.size();
    }
};
