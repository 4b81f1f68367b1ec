// A byte builder for atoms in tests: fields appended big-endian, atoms
// wrapped with their headers, so edge cases can be written down exactly.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/core/MacTypes.h"

class AtomBytes {
public:
    std::vector<UInt8> bytes;

    AtomBytes& U8(UInt32 v) { bytes.push_back(UInt8(v)); return *this; }
    AtomBytes& U16(UInt32 v) { return U8(v >> 8).U8(v); }
    AtomBytes& U24(UInt32 v) { return U8(v >> 16).U16(v); }
    AtomBytes& U32(UInt32 v) { return U16(v >> 16).U16(v); }
    AtomBytes& U64(UInt64 v) { return U32(UInt32(v >> 32)).U32(UInt32(v)); }
    AtomBytes& Code(const char* c)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(UInt8(c[i]));
        return *this;
    }
    AtomBytes& Zeros(size_t n) { bytes.insert(bytes.end(), n, 0); return *this; }
    AtomBytes& Text(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); return *this; }
    AtomBytes& Add(const AtomBytes& other) { bytes.insert(bytes.end(), other.bytes.begin(), other.bytes.end()); return *this; }
    size_t Size() const { return bytes.size(); }

    static AtomBytes Atom(const char* type, const AtomBytes& body = {})
    {
        AtomBytes a;
        a.U32(UInt32(body.Size() + 8)).Code(type).Add(body);
        return a;
    }
    static AtomBytes LargeAtom(const char* type, const AtomBytes& body = {})
    {
        AtomBytes a;
        a.U32(1).Code(type).U64(body.Size() + 16).Add(body);
        return a;
    }
    // An atom whose size field says `claimedSize` whatever its body.
    static AtomBytes LyingAtom(const char* type, UInt32 claimedSize, const AtomBytes& body = {})
    {
        AtomBytes a;
        a.U32(claimedSize).Code(type).Add(body);
        return a;
    }
    static AtomBytes Full(const char* type, UInt8 version, UInt32 flags, const AtomBytes& body = {})
    {
        AtomBytes b;
        b.U8(version).U24(flags).Add(body);
        return Atom(type, b);
    }
};
