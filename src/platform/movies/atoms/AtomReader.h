// A read view limited to one atom's bytes.
//
// Reads past the end do not happen: the first one marks the view failed
// (with what was being read and where) and every later read gives zeros, so
// a reader can read its fields straight through and check once. Counts read
// from a file go through CheckCount before anything is allocated for them.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/core/MacTypes.h"
#include "platform/movies/atoms/AtomStatus.h"

class AtomReader {
public:
    AtomReader(std::span<const UInt8> bytes, UInt64 fileOffset, std::string path);

    size_t Remaining() const { return bytes_.size() - pos_; }
    size_t Position() const { return pos_; }
    UInt64 FileOffset() const { return fileOffset_ + pos_; }
    const std::string& Path() const { return path_; }
    bool Ok() const { return status_.Ok(); }
    const AtomStatus& Status() const { return status_; }

    UInt8 Read8();
    UInt16 Read16();
    UInt32 Read24();
    UInt32 Read32();
    UInt64 Read64();
    std::span<const UInt8> ReadSpan(size_t count, const char* what);
    std::vector<UInt8> ReadBytes(size_t count, const char* what);
    // Everything not read yet.
    std::vector<UInt8> ReadRest();
    // What a fixed layout leaves after its fields: kept, so that the atom is
    // written back as it came, but noted as a warning, since a reader that
    // stops short may have misread the fields before.
    std::vector<UInt8> ReadTrailing();

    // Whether count entries of entrySize bytes fit in what remains; marks
    // the view failed when they do not (overflow included).
    bool CheckCount(UInt64 count, UInt64 entrySize, const char* what);

    // Marks the view failed with this reason at the current position.
    void Fail(OSErr code, const std::string& what);
    // The same, naming a position of its own (the start of a bad atom).
    void FailAt(OSErr code, const std::string& what, UInt64 fileOffset);

    // Things worth saying that did not stop the reading, for this view and
    // every view made from it by Sub.
    void Warn(const std::string& what);
    const std::vector<AtomStatus>& Warnings() const { return *warnings_; }

    // Takes over the failure of a child view.
    void Adopt(const AtomStatus& child)
    {
        if (status_.Ok())
            status_ = child;
    }

    // A view of the next count bytes, which this view then skips.
    AtomReader Sub(size_t count, const std::string& childPath);

private:
    // A view that shares its parent's warnings.
    AtomReader(std::span<const UInt8> bytes, UInt64 fileOffset, std::string path,
               std::shared_ptr<std::vector<AtomStatus>> warnings);
    bool Take(size_t count);

    std::span<const UInt8> bytes_;
    UInt64 fileOffset_;
    std::string path_;
    size_t pos_ = 0;
    AtomStatus status_;
    std::shared_ptr<std::vector<AtomStatus>> warnings_;
};
