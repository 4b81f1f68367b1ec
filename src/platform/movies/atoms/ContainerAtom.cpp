#include "platform/movies/atoms/ContainerAtom.h"

#include <algorithm>

#include "platform/movies/atoms/AtomFactory.h"

void ContainerAtom::ReadFields(AtomReader& r)
{
    // Every child takes at least 8 bytes, so the loop ends.
    while (r.Ok() && r.Remaining() >= 8) {
        auto child = ReadAtom(r);
        if (!child)
            return;
        children.push_back(std::move(child));
    }
    trailing = r.ReadRest();
}

void ContainerAtom::WriteFields(ByteWriter& w, const AtomSubstitutions* subs) const
{
    for (auto& c : children)
        WriteSubstituted(*c, w, subs);
    w.PutBytes(trailing);
}

UInt64 ContainerAtom::FieldsSize(const AtomSubstitutions* subs) const
{
    UInt64 total = trailing.size();
    for (auto& c : children)
        total += SubstitutedSize(*c, subs);
    return total;
}

Atom* ContainerAtom::Find(FourCharCode type) const
{
    for (auto& c : children)
        if (c->Type() == type)
            return c.get();
    return nullptr;
}

std::vector<Atom*> ContainerAtom::FindAll(FourCharCode type) const
{
    std::vector<Atom*> found;
    for (auto& c : children)
        if (c->Type() == type)
            found.push_back(c.get());
    return found;
}

Atom* ContainerAtom::InsertAfter(std::unique_ptr<Atom> child, std::initializer_list<FourCharCode> after)
{
    size_t at = 0;
    for (size_t i = 0; i < children.size(); ++i)
        if (std::find(after.begin(), after.end(), children[i]->Type()) != after.end())
            at = i + 1;
    Atom* raw = child.get();
    children.insert(children.begin() + long(at), std::move(child));
    return raw;
}

void ContainerAtom::Remove(const Atom* child)
{
    std::erase_if(children, [&](const std::unique_ptr<Atom>& c) { return c.get() == child; });
}
