// 'hdlr', the handler reference: the media type (component subtype) and the
// handler's name. QuickTime writes the name as a counted string, ISO files
// as a null-terminated one; the name's bytes are kept as read.
#pragma once

#include <string>
#include <vector>

#include "platform/movies/atoms/Atom.h"

class HdlrAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    OSType componentType = 0;     // 'mhlr'/'dhlr' in QuickTime, 0 in ISO files
    OSType componentSubtype = 0;  // 'vide', 'soun', 'alis', ...
    OSType manufacturer = 0;
    UInt32 componentFlags = 0;
    UInt32 componentFlagsMask = 0;
    std::vector<UInt8> nameBytes;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override { return 24 + nameBytes.size(); }

    bool NameIsCounted() const;
    std::string Name() const;
    // Stores name in the style the atom already uses (counted for QuickTime).
    void SetName(const std::string& name) { nameBytes = NameBytesFor(name); }
    // The bytes SetName would store, so that a change can be made ready
    // before it is put in place.
    std::vector<UInt8> NameBytesFor(const std::string& name) const;
};
