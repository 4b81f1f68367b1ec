// 'tkhd', the track header: ID, enabled flag, duration, layer, volume,
// matrix and dimensions. Version 1 carries 64-bit dates and duration.
#pragma once

#include <array>
#include <vector>

#include "platform/movies/atoms/Atom.h"

class TkhdAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    enum : UInt32 { kEnabled = 1, kInMovie = 2, kInPreview = 4, kInPoster = 8 };
    UInt64 creationTime = 0;
    UInt64 modificationTime = 0;
    UInt32 trackID = 0;
    UInt32 reserved1 = 0;
    UInt64 duration = 0;
    std::array<UInt8, 8> reserved2{};
    UInt16 layer = 0;
    UInt16 alternateGroup = 0;
    UInt16 volume = 0;
    UInt16 reserved3 = 0;
    std::array<UInt32, 9> matrix{0x00010000, 0, 0, 0, 0x00010000, 0, 0, 0, 0x40000000};
    UInt32 width = 0;   // 16.16
    UInt32 height = 0;  // 16.16
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override;
};
