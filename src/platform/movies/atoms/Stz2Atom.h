// 'stz2', compact sample sizes: 4, 8 or 16 bits a sample. The model works
// with 32-bit sizes, so the table is widened when the movie is read; the
// atom itself is written back as it was while the samples do not change.
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"

class Stz2Atom : public FullAtom {
public:
    using FullAtom::FullAtom;
    UInt32 reserved = 0;      // 24 bits
    UInt8 fieldSize = 16;     // 4, 8 or 16
    UInt32 sampleCount = 0;
    std::vector<UInt8> entries;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override { return 12 + entries.size(); }

    // The sizes as big-endian 32-bit values, 4 bytes a sample.
    std::vector<UInt8> WidenedSizes() const;
};
