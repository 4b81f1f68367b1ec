#include "platform/movies/atoms/MdhdAtom.h"

void MdhdAtom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    bool v1 = version == 1;
    creationTime = v1 ? r.Read64() : r.Read32();
    modificationTime = v1 ? r.Read64() : r.Read32();
    timeScale = r.Read32();
    duration = v1 ? r.Read64() : r.Read32();
    language = r.Read16();
    quality = r.Read16();
    trailing = r.ReadTrailing();
}

void MdhdAtom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    bool v1 = version == 1;
    auto put = [&](UInt64 v) { v1 ? w.Put64(v) : w.Put32(UInt32(v)); };
    put(creationTime);
    put(modificationTime);
    w.Put32(timeScale);
    put(duration);
    w.Put16(language);
    w.Put16(quality);
    w.PutBytes(trailing);
}

UInt64 MdhdAtom::FieldsSize(const AtomSubstitutions*) const
{
    return 4 + (version == 1 ? 28 : 16) + 4 + trailing.size();
}
