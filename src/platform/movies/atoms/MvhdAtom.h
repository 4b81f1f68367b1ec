// 'mvhd', the movie header: time scale, duration, rate, volume, matrix and
// the movie-wide times. Version 1 carries 64-bit dates and duration.
#pragma once

#include <array>
#include <vector>

#include "platform/movies/atoms/Atom.h"

class MvhdAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    UInt64 creationTime = 0;
    UInt64 modificationTime = 0;
    UInt32 timeScale = 600;
    UInt64 duration = 0;
    UInt32 preferredRate = 0x00010000;   // 16.16
    UInt16 preferredVolume = 0x0100;     // 8.8
    std::array<UInt8, 10> reserved{};
    std::array<UInt32, 9> matrix{0x00010000, 0, 0, 0, 0x00010000, 0, 0, 0, 0x40000000};
    UInt32 previewTime = 0, previewDuration = 0, posterTime = 0;
    UInt32 selectionTime = 0, selectionDuration = 0, currentTime = 0;
    UInt32 nextTrackID = 1;
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override;
};
