// An atom made of child atoms (moov, trak, mdia, minf, stbl, edts, dinf,
// mvex, moof, traf). Children keep their order; a few bytes at the end that
// cannot hold an atom header (QuickTime's 32-bit terminator) are kept too.
#pragma once

#include <memory>
#include <vector>

#include "platform/movies/atoms/Atom.h"

class ContainerAtom : public Atom {
public:
    using Atom::Atom;
    std::vector<std::unique_ptr<Atom>> children;
    std::vector<UInt8> trailing;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions* subs) const override;
    UInt64 FieldsSize(const AtomSubstitutions* subs) const override;
    bool IsContainer() const override { return true; }

    // The first child of that type, or nil.
    Atom* Find(FourCharCode type) const;
    template <class T> T* FindAs(FourCharCode type) const { return dynamic_cast<T*>(Find(type)); }
    ContainerAtom* FindContainer(FourCharCode type) const { return FindAs<ContainerAtom>(type); }
    std::vector<Atom*> FindAll(FourCharCode type) const;

    // Adds a child after the last child whose type is one of `after` (or at
    // the front when none is there); returns it.
    Atom* InsertAfter(std::unique_ptr<Atom> child, std::initializer_list<FourCharCode> after);
    void Remove(const Atom* child);
};
