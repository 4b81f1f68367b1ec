#include "platform/movies/atoms/Atom.h"

UInt32 Atom::HeaderSize(const AtomSubstitutions* subs) const
{
    if (largeSize)
        return 16;
    // The 32-bit form cannot hold the size: switch to the 64-bit form.
    return FieldsSize(subs) + 8 > 0xFFFFFFFFull ? 16 : 8;
}

void Atom::Write(ByteWriter& w, const AtomSubstitutions* subs) const
{
    UInt64 size = Size(subs);
    if (HeaderSize(subs) == 16) {
        w.Put32(1);
        w.Put32(type_);
        w.Put64(size);
    } else {
        w.Put32(sizeToEnd ? 0 : UInt32(size));
        w.Put32(type_);
    }
    WriteFields(w, subs);
}

static const Atom* Replacement(const Atom& atom, const AtomSubstitutions* subs)
{
    if (subs) {
        auto it = subs->find(&atom);
        if (it != subs->end())
            return it->second;
    }
    return &atom;
}

void WriteSubstituted(const Atom& atom, ByteWriter& w, const AtomSubstitutions* subs)
{
    if (const Atom* a = Replacement(atom, subs))
        a->Write(w, subs);
}

UInt64 SubstitutedSize(const Atom& atom, const AtomSubstitutions* subs)
{
    const Atom* a = Replacement(atom, subs);
    return a ? a->Size(subs) : 0;
}
