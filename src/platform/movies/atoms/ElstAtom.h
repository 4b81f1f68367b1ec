// 'elst', the edit list: each entry a duration in movie units, a media time
// (-1 for an empty edit) and a 16.16 media rate. Version 1 has 64-bit
// durations and times; writing moves to it when a value needs the room.
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"

struct ElstEntry {
    UInt64 duration = 0;
    SInt64 mediaTime = 0;
    SInt32 mediaRate = 0x00010000;
    bool operator==(const ElstEntry&) const = default;
};

class ElstAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    std::vector<ElstEntry> entries;
    // Bytes after the entries (some writers pad the atom); dropped when the
    // entries change, since they belong to the old list.
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override;

    // Sets the entries; keeps version and padding when nothing changes.
    void SetEntries(const std::vector<ElstEntry>& newEntries);
};
