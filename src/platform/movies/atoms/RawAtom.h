// An atom that Orvo does not interpret: kept as its bytes and written back
// unchanged (user data, track references, media headers, unknown types).
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"

class RawAtom : public Atom {
public:
    using Atom::Atom;
    std::vector<UInt8> bytes;  // everything after the header

    void ReadFields(AtomReader& r) override { bytes = r.ReadRest(); }
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override { w.PutBytes(bytes); }
    UInt64 FieldsSize(const AtomSubstitutions*) const override { return bytes.size(); }
};
