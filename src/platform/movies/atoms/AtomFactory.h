// Reading atoms: one table from four-character codes to the classes that
// read them; everything not in the table is kept as a RawAtom.
#pragma once

#include <memory>

#include "platform/movies/atoms/Atom.h"

// Reads the atom at the reader's position (header and body) and moves past
// it. On failure returns nil and leaves the reason in the reader. This is
// the one place that checks that an atom's reader consumed exactly its bytes.
std::unique_ptr<Atom> ReadAtom(AtomReader& parent);

// A new, empty atom of the class registered for type (RawAtom if none).
std::unique_ptr<Atom> MakeAtom(FourCharCode type);

// A copy of an atom made by writing it and reading it back, so the copy is
// exactly what a file would carry; nil if it could not be read back.
std::unique_ptr<Atom> CloneAtom(const Atom& atom);

// "moov", or the code as hex when it is not printable.
std::string FourCCString(FourCharCode type);
