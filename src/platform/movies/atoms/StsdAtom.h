// 'stsd', the sample descriptions: each entry kept whole (size, format,
// reserved, data reference index, format-specific data).
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"

class StsdAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    std::vector<std::vector<UInt8>> entries;  // each with its own 8-byte header
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override;

    static OSType EntryFormat(const std::vector<UInt8>& entry);
    static UInt16 EntryDataRefIndex(const std::vector<UInt8>& entry);
    static void SetEntryDataRefIndex(std::vector<UInt8>& entry, UInt16 index);
};
