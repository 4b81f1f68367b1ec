#include "platform/movies/atoms/DrefAtom.h"

#include "platform/movies/MoviesError.h"

void DrefAtom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    UInt32 count = r.Read32();
    // Each entry has at least a 12-byte header.
    if (!r.CheckCount(count, 12, "dref entry"))
        return;
    entries.reserve(count);
    for (UInt32 i = 0; i < count && r.Ok(); ++i) {
        UInt32 size = r.Read32();
        if (size < 12 || size - 4 > r.Remaining()) {
            r.Fail(badPublicMovieAtom, "dref entry size " + std::to_string(size) + " does not fit");
            return;
        }
        DrefEntry e;
        e.type = r.Read32();
        e.version = r.Read8();
        e.flags = r.Read24();
        e.data = r.ReadBytes(size - 12, "dref entry data");
        entries.push_back(std::move(e));
    }
    trailing = r.ReadTrailing();
}

void DrefAtom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    w.Put32(UInt32(entries.size()));
    for (auto& e : entries) {
        w.Put32(UInt32(12 + e.data.size()));
        w.Put32(e.type);
        w.Put8(e.version);
        w.Put24(e.flags);
        w.PutBytes(e.data);
    }
    w.PutBytes(trailing);
}

UInt64 DrefAtom::FieldsSize(const AtomSubstitutions*) const
{
    UInt64 total = 8 + trailing.size();
    for (auto& e : entries)
        total += 12 + e.data.size();
    return total;
}
