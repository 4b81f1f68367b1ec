// 'mdhd', the media header: time scale, duration, language and quality.
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"

class MdhdAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    UInt64 creationTime = 0;
    UInt64 modificationTime = 0;
    UInt32 timeScale = 600;
    UInt64 duration = 0;
    UInt16 language = 0;
    UInt16 quality = 0;
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override;
};
