// Appends big-endian fields to a byte vector; the writing half of AtomReader.
#pragma once

#include <span>
#include <vector>

#include "platform/core/MacTypes.h"

class ByteWriter {
public:
    explicit ByteWriter(std::vector<UInt8>& out) : out_(out) {}

    void Put8(UInt32 v) { out_.push_back(UInt8(v)); }
    void Put16(UInt32 v) { Put8(v >> 8); Put8(v); }
    void Put24(UInt32 v) { Put8(v >> 16); Put16(v); }
    void Put32(UInt32 v) { Put16(v >> 16); Put16(v); }
    void Put64(UInt64 v) { Put32(UInt32(v >> 32)); Put32(UInt32(v)); }
    void PutBytes(std::span<const UInt8> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    size_t Position() const { return out_.size(); }
    // Overwrites a 32-bit field written earlier (sizes known only afterwards).
    void Patch32(size_t at, UInt32 v)
    {
        out_[at] = UInt8(v >> 24);
        out_[at + 1] = UInt8(v >> 16);
        out_[at + 2] = UInt8(v >> 8);
        out_[at + 3] = UInt8(v);
    }

private:
    std::vector<UInt8>& out_;
};
