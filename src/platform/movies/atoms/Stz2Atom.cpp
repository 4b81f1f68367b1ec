#include "platform/movies/atoms/Stz2Atom.h"

#include "platform/movies/MoviesError.h"

void Stz2Atom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    reserved = r.Read24();
    fieldSize = r.Read8();
    sampleCount = r.Read32();
    if (!r.Ok())
        return;
    if (fieldSize != 4 && fieldSize != 8 && fieldSize != 16) {
        r.Fail(badPublicMovieAtom, "stz2 field size " + std::to_string(fieldSize) + " is not 4, 8 or 16");
        return;
    }
    // Two 4-bit sizes share a byte; a trailing odd one has a byte of its own.
    UInt64 bytes = fieldSize == 4 ? (UInt64(sampleCount) + 1) / 2 : UInt64(sampleCount) * (fieldSize / 8);
    if (!r.CheckCount(bytes, 1, "stz2 entry"))
        return;
    entries = r.ReadBytes(size_t(bytes), "stz2 entries");
    // Anything after the entries is padding; it stays with the entries.
    auto rest = r.ReadTrailing();
    entries.insert(entries.end(), rest.begin(), rest.end());
}

void Stz2Atom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    w.Put24(reserved);
    w.Put8(fieldSize);
    w.Put32(sampleCount);
    w.PutBytes(entries);
}

std::vector<UInt8> Stz2Atom::WidenedSizes() const
{
    std::vector<UInt8> out;
    out.reserve(size_t(sampleCount) * 4);
    for (UInt32 i = 0; i < sampleCount; ++i) {
        UInt32 size = 0;
        if (fieldSize == 4) {
            UInt8 b = entries[i / 2];
            size = (i % 2 == 0) ? (b >> 4) : (b & 0x0F);
        } else if (fieldSize == 8) {
            size = entries[i];
        } else {
            size = (UInt32(entries[i * 2]) << 8) | entries[i * 2 + 1];
        }
        out.push_back(0);
        out.push_back(0);
        out.push_back(UInt8(size >> 8));
        out.push_back(UInt8(size));
    }
    return out;
}
