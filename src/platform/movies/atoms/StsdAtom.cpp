#include "platform/movies/atoms/StsdAtom.h"

#include "platform/movies/MoviesError.h"

void StsdAtom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    UInt32 count = r.Read32();
    if (!r.CheckCount(count, 8, "stsd entry"))
        return;
    entries.reserve(count);
    for (UInt32 i = 0; i < count && r.Ok(); ++i) {
        if (r.Remaining() < 8) {
            r.Fail(badPublicMovieAtom, "stsd entry header runs past the atom");
            return;
        }
        auto head = r.ReadSpan(4, "stsd entry size");
        UInt32 size = (UInt32(head[0]) << 24) | (UInt32(head[1]) << 16) | (UInt32(head[2]) << 8) | head[3];
        if (size < 8 || size - 4 > r.Remaining()) {
            r.Fail(badPublicMovieAtom, "stsd entry size " + std::to_string(size) + " does not fit");
            return;
        }
        std::vector<UInt8> entry(head.begin(), head.end());
        auto rest = r.ReadSpan(size - 4, "stsd entry");
        entry.insert(entry.end(), rest.begin(), rest.end());
        entries.push_back(std::move(entry));
    }
    trailing = r.ReadTrailing();
}

void StsdAtom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    w.Put32(UInt32(entries.size()));
    for (auto& e : entries)
        w.PutBytes(e);
    w.PutBytes(trailing);
}

UInt64 StsdAtom::FieldsSize(const AtomSubstitutions*) const
{
    UInt64 total = 8 + trailing.size();
    for (auto& e : entries)
        total += e.size();
    return total;
}

OSType StsdAtom::EntryFormat(const std::vector<UInt8>& e)
{
    if (e.size() < 8)
        return 0;
    return (UInt32(e[4]) << 24) | (UInt32(e[5]) << 16) | (UInt32(e[6]) << 8) | e[7];
}

// The data reference index follows six reserved bytes after the header.
UInt16 StsdAtom::EntryDataRefIndex(const std::vector<UInt8>& e)
{
    if (e.size() < 16)
        return 1;
    return UInt16((e[14] << 8) | e[15]);
}

void StsdAtom::SetEntryDataRefIndex(std::vector<UInt8>& e, UInt16 index)
{
    if (e.size() < 16)
        return;
    e[14] = UInt8(index >> 8);
    e[15] = UInt8(index);
}
