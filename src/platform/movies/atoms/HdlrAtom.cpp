#include "platform/movies/atoms/HdlrAtom.h"

#include <algorithm>

void HdlrAtom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    componentType = r.Read32();
    componentSubtype = r.Read32();
    manufacturer = r.Read32();
    componentFlags = r.Read32();
    componentFlagsMask = r.Read32();
    nameBytes = r.ReadRest();
}

void HdlrAtom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    w.Put32(componentType);
    w.Put32(componentSubtype);
    w.Put32(manufacturer);
    w.Put32(componentFlags);
    w.Put32(componentFlagsMask);
    w.PutBytes(nameBytes);
}

bool HdlrAtom::NameIsCounted() const
{
    if (nameBytes.empty())
        return componentType != 0;
    // A QuickTime handler names its component type; some ISO writers still
    // use a counted name, which shows by the length byte matching the rest.
    return componentType != 0 || size_t(nameBytes[0]) + 1 == nameBytes.size();
}

std::string HdlrAtom::Name() const
{
    if (nameBytes.empty())
        return {};
    if (NameIsCounted()) {
        size_t n = std::min<size_t>(nameBytes[0], nameBytes.size() - 1);
        return std::string(nameBytes.begin() + 1, nameBytes.begin() + 1 + long(n));
    }
    std::string s;
    for (UInt8 c : nameBytes) {
        if (c == 0)
            break;
        s += char(c);
    }
    return s;
}

std::vector<UInt8> HdlrAtom::NameBytesFor(const std::string& name) const
{
    // The style is decided as for an atom without a name yet.
    if (componentType != 0) {
        size_t n = std::min<size_t>(name.size(), 255);
        std::vector<UInt8> bytes(n + 1);
        bytes[0] = UInt8(n);
        std::copy_n(name.begin(), n, bytes.begin() + 1);
        return bytes;
    }
    std::vector<UInt8> bytes(name.begin(), name.end());
    bytes.push_back(0);
    return bytes;
}
