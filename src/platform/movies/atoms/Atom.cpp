#include "platform/movies/atoms/Atom.h"

// The fields are sized once per atom: sizing them again for the header would
// double the work with every level of nesting, and containers nest a dozen
// deep.
UInt32 Atom::HeaderSizeFor(UInt64 fieldsSize) const
{
    if (largeSize)
        return 16;
    // The 32-bit form cannot hold the size: switch to the 64-bit form.
    return fieldsSize + 8 > 0xFFFFFFFFull ? 16 : 8;
}

UInt64 Atom::Size(const AtomSubstitutions* subs) const
{
    UInt64 fields = FieldsSize(subs);
    return HeaderSizeFor(fields) + fields;
}

void Atom::Write(ByteWriter& w, const AtomSubstitutions* subs) const
{
    UInt64 fields = FieldsSize(subs);
    UInt32 header = HeaderSizeFor(fields);
    if (header == 16) {
        w.Put32(1);
        w.Put32(type_);
        w.Put64(header + fields);
    } else {
        w.Put32(sizeToEnd ? 0 : UInt32(header + fields));
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
