#include "platform/movies/atoms/HdlrAtom.h"

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

void HdlrAtom::SetName(const std::string& name)
{
    nameBytes.clear();
    if (NameIsCounted()) {
        size_t n = std::min<size_t>(name.size(), 255);
        nameBytes.push_back(UInt8(n));
        nameBytes.insert(nameBytes.end(), name.begin(), name.begin() + long(n));
    } else {
        nameBytes.assign(name.begin(), name.end());
        nameBytes.push_back(0);
    }
}
