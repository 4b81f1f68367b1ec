// The base of every atom: a four-character type and fields that the atom
// reads and writes symmetrically, with a size computed from those fields.
#pragma once

#include <map>
#include <memory>

#include "platform/core/MacTypes.h"
#include "platform/movies/atoms/AtomReader.h"
#include "platform/movies/atoms/ByteWriter.h"

class Atom;

// Atoms to write in place of others for one write (nullptr: leave it out),
// so a write can change offsets or references without touching the movie.
using AtomSubstitutions = std::map<const Atom*, const Atom*>;

class Atom {
public:
    explicit Atom(FourCharCode type) : type_(type) {}
    virtual ~Atom() = default;
    Atom(const Atom&) = delete;
    Atom& operator=(const Atom&) = delete;

    FourCharCode Type() const { return type_; }

    // Reads the fields that follow the header; must consume the whole view.
    virtual void ReadFields(AtomReader& reader) = 0;
    virtual void WriteFields(ByteWriter& writer, const AtomSubstitutions* subs) const = 0;
    virtual UInt64 FieldsSize(const AtomSubstitutions* subs) const = 0;
    virtual bool IsContainer() const { return false; }

    UInt64 Size(const AtomSubstitutions* subs = nullptr) const;
    void Write(ByteWriter& writer, const AtomSubstitutions* subs = nullptr) const;

    // How the header was written in the file, kept so that an unchanged atom
    // is written back the same way.
    bool largeSize = false;   // size 1 followed by a 64-bit size
    bool sizeToEnd = false;   // size 0: the atom runs to the end of its parent

private:
    UInt32 HeaderSizeFor(UInt64 fieldsSize) const;

    FourCharCode type_;
};

// An atom with a version byte and 24 bits of flags after its header.
class FullAtom : public Atom {
public:
    using Atom::Atom;
    UInt8 version = 0;
    UInt32 flags = 0;

protected:
    void ReadVersionFlags(AtomReader& r)
    {
        version = r.Read8();
        flags = r.Read24();
    }
    void WriteVersionFlags(ByteWriter& w) const
    {
        w.Put8(version);
        w.Put24(flags);
    }
};

// Writes the atom that subs puts in place of atom (or atom itself); nothing
// when it is to be left out.
void WriteSubstituted(const Atom& atom, ByteWriter& writer, const AtomSubstitutions* subs);
UInt64 SubstitutedSize(const Atom& atom, const AtomSubstitutions* subs);
