// The atoms that are one counted table of fixed-size entries: version and
// flags, a 32-bit entry count, the entries, and whatever bytes some writers
// leave after them (kept, with a warning). The atoms differ only in their
// entry, whose EntryLayout says how many bytes it takes and how it is read
// and written.
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"

template <class Entry> struct EntryLayout;  // kSize, kName, Read(r, e), Write(w, e)

template <class Entry> class EntryTableAtom : public FullAtom {
public:
    using Layout = EntryLayout<Entry>;
    using FullAtom::FullAtom;

    std::vector<Entry> entries;
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override
    {
        ReadVersionFlags(r);
        UInt32 count = r.Read32();
        if (!r.CheckCount(count, Layout::kSize, Layout::kName))
            return;
        entries.resize(count);
        for (auto& e : entries)
            Layout::Read(r, e);
        trailing = r.ReadTrailing();
    }
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override
    {
        WriteVersionFlags(w);
        w.Put32(UInt32(entries.size()));
        for (const auto& e : entries)
            Layout::Write(w, e);
        w.PutBytes(trailing);
    }
    UInt64 FieldsSize(const AtomSubstitutions*) const override
    {
        return 8 + Layout::kSize * entries.size() + trailing.size();
    }
};
