#include "platform/movies/atoms/ElstAtom.h"

void ElstAtom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    UInt32 count = r.Read32();
    size_t entrySize = version == 1 ? 20 : 12;
    if (!r.CheckCount(count, entrySize, "elst entry"))
        return;
    entries.resize(count);
    for (auto& e : entries) {
        if (version == 1) {
            e.duration = r.Read64();
            e.mediaTime = SInt64(r.Read64());
        } else {
            e.duration = r.Read32();
            e.mediaTime = SInt32(r.Read32());
        }
        e.mediaRate = SInt32(r.Read32());
    }
    trailing = r.ReadTrailing();
}

void ElstAtom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    w.Put32(UInt32(entries.size()));
    for (auto& e : entries) {
        if (version == 1) {
            w.Put64(e.duration);
            w.Put64(UInt64(e.mediaTime));
        } else {
            w.Put32(UInt32(e.duration));
            w.Put32(UInt32(SInt32(e.mediaTime)));
        }
        w.Put32(UInt32(e.mediaRate));
    }
    w.PutBytes(trailing);
}

UInt64 ElstAtom::FieldsSize(const AtomSubstitutions*) const
{
    return 8 + entries.size() * (version == 1 ? 20 : 12) + trailing.size();
}

void ElstAtom::SetEntries(const std::vector<ElstEntry>& newEntries)
{
    if (newEntries == entries)
        return;
    entries = newEntries;
    trailing.clear();
    for (auto& e : entries)
        if (e.duration > 0xFFFFFFFFull || e.mediaTime > 0x7FFFFFFF || e.mediaTime < -0x7FFFFFFF - 1)
            version = 1;
}
