// 'dref', the data references of a media: entries such as 'alis' (an alias
// record, or flag 1 for "this file") and 'url ', each kept with its bytes.
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"
#include "platform/movies/atoms/DrefEntry.h"

class DrefAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    std::vector<DrefEntry> entries;
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override;
};
