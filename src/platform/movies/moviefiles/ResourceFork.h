// The classic resource-fork format, as kept in an AppleDouble companion.
//
// Layout: a 16-byte header (data offset, map offset, data length, map
// length), the resource data (each item a 4-byte length and its bytes), and
// the resource map (a copy of the header, a type list, reference lists with
// 3-byte data offsets, and a name list). A movie stored "in the resource
// fork" is a 'moov' resource whose bytes are the whole movie atom.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/core/MacTypes.h"

struct ResourceForkEntry {
    ResType type = 0;
    SInt16 id = 0;
    bool hasName = false;
    std::string name;  // UTF-8, at most 255 bytes
    UInt8 attributes = 0;
    std::vector<UInt8> data;
};

class ResourceFork {
public:
    // Reads fork bytes; mapReadErr when any offset, length or count does not
    // fit inside them. An empty fork is a valid fork with no resources.
    static OSErr Decode(std::span<const UInt8> bytes, ResourceFork* out);
    // addResFailed when the data no longer fits the format's 24-bit offsets.
    OSErr Encode(std::vector<UInt8>* out) const;

    const ResourceForkEntry* Find(ResType type, SInt16 id) const;
    // The first resource of a type in map order, as Get1IndResource(type, 1).
    const ResourceForkEntry* FirstOfType(ResType type) const;
    // Replaces the resource with the same type and ID, or adds it.
    void Set(ResourceForkEntry entry);
    bool Remove(ResType type, SInt16 id);
    // The lowest ID from 128 up that no resource of this type uses.
    SInt16 UniqueID(ResType type) const;

    const std::vector<ResourceForkEntry>& Entries() const { return fEntries; }

private:
    std::vector<ResourceForkEntry> fEntries;
};
