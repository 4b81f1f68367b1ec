#include "platform/movies/atoms/TkhdAtom.h"

void TkhdAtom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    bool v1 = version == 1;
    creationTime = v1 ? r.Read64() : r.Read32();
    modificationTime = v1 ? r.Read64() : r.Read32();
    trackID = r.Read32();
    reserved1 = r.Read32();
    duration = v1 ? r.Read64() : r.Read32();
    auto res = r.ReadSpan(reserved2.size(), "tkhd reserved");
    std::copy(res.begin(), res.end(), reserved2.begin());
    layer = r.Read16();
    alternateGroup = r.Read16();
    volume = r.Read16();
    reserved3 = r.Read16();
    for (auto& m : matrix)
        m = r.Read32();
    width = r.Read32();
    height = r.Read32();
    trailing = r.ReadTrailing();
}

void TkhdAtom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    bool v1 = version == 1;
    auto put = [&](UInt64 v) { v1 ? w.Put64(v) : w.Put32(UInt32(v)); };
    put(creationTime);
    put(modificationTime);
    w.Put32(trackID);
    w.Put32(reserved1);
    put(duration);
    w.PutBytes(reserved2);
    w.Put16(layer);
    w.Put16(alternateGroup);
    w.Put16(volume);
    w.Put16(reserved3);
    for (auto m : matrix)
        w.Put32(m);
    w.Put32(width);
    w.Put32(height);
    w.PutBytes(trailing);
}

UInt64 TkhdAtom::FieldsSize(const AtomSubstitutions*) const
{
    return 4 + (version == 1 ? 32 : 20) + 8 + 8 + 36 + 8 + trailing.size();
}
