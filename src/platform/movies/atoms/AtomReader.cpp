#include "platform/movies/atoms/AtomReader.h"

#include "platform/movies/MoviesError.h"

std::string AtomStatus::Describe() const
{
    if (Ok() && what.empty())
        return "no error";
    return what + " at offset " + std::to_string(offset) + (path.empty() ? "" : " in " + path);
}

AtomReader::AtomReader(std::span<const UInt8> bytes, UInt64 fileOffset, std::string path)
    : AtomReader(bytes, fileOffset, std::move(path), std::make_shared<std::vector<AtomStatus>>())
{
}

AtomReader::AtomReader(std::span<const UInt8> bytes, UInt64 fileOffset, std::string path,
                       std::shared_ptr<std::vector<AtomStatus>> warnings)
    : bytes_(bytes), fileOffset_(fileOffset), path_(std::move(path)), warnings_(std::move(warnings))
{
}

void AtomReader::Fail(OSErr code, const std::string& what)
{
    if (!status_.Ok())
        return;  // the first failure is the one worth reporting
    status_.code = code;
    status_.what = what;
    status_.offset = FileOffset();
    status_.path = path_;
}

void AtomReader::FailAt(OSErr code, const std::string& what, UInt64 fileOffset)
{
    Fail(code, what);
    status_.offset = fileOffset;
}

bool AtomReader::Take(size_t count)
{
    if (!Ok())
        return false;
    if (count > Remaining()) {
        Fail(badPublicMovieAtom, "field runs past the end of its atom");
        return false;
    }
    return true;
}

UInt8 AtomReader::Read8()
{
    if (!Take(1))
        return 0;
    return bytes_[pos_++];
}

UInt16 AtomReader::Read16()
{
    if (!Take(2))
        return 0;
    UInt16 v = UInt16((bytes_[pos_] << 8) | bytes_[pos_ + 1]);
    pos_ += 2;
    return v;
}

UInt32 AtomReader::Read24()
{
    if (!Take(3))
        return 0;
    UInt32 v = (UInt32(bytes_[pos_]) << 16) | (UInt32(bytes_[pos_ + 1]) << 8) | bytes_[pos_ + 2];
    pos_ += 3;
    return v;
}

UInt32 AtomReader::Read32()
{
    if (!Take(4))
        return 0;
    const UInt8* p = bytes_.data() + pos_;
    pos_ += 4;
    return (UInt32(p[0]) << 24) | (UInt32(p[1]) << 16) | (UInt32(p[2]) << 8) | p[3];
}

UInt64 AtomReader::Read64()
{
    UInt64 high = Read32();
    return (high << 32) | Read32();
}

std::span<const UInt8> AtomReader::ReadSpan(size_t count, const char* what)
{
    if (!Ok())
        return {};
    if (count > Remaining()) {
        Fail(badPublicMovieAtom, std::string(what) + " runs past the end of its atom");
        return {};
    }
    auto s = bytes_.subspan(pos_, count);
    pos_ += count;
    return s;
}

std::vector<UInt8> AtomReader::ReadBytes(size_t count, const char* what)
{
    auto s = ReadSpan(count, what);
    return std::vector<UInt8>(s.begin(), s.end());
}

std::vector<UInt8> AtomReader::ReadRest()
{
    return ReadBytes(Remaining(), "rest");
}

std::vector<UInt8> AtomReader::ReadTrailing()
{
    if (Ok() && Remaining() > 0)
        Warn(std::to_string(Remaining()) + " bytes after the fields, kept as they stand");
    return ReadRest();
}

void AtomReader::Warn(const std::string& what)
{
    warnings_->push_back(AtomStatus{noErr, what, FileOffset(), path_});
}

bool AtomReader::CheckCount(UInt64 count, UInt64 entrySize, const char* what)
{
    if (!Ok())
        return false;
    // Division instead of multiplication: count * entrySize may overflow.
    if (entrySize != 0 && count > Remaining() / entrySize) {
        Fail(badPublicMovieAtom, std::string(what) + " count " + std::to_string(count) +
                                     " does not fit in the atom's " + std::to_string(Remaining()) + " bytes");
        return false;
    }
    return true;
}

AtomReader AtomReader::Sub(size_t count, const std::string& childPath)
{
    UInt64 start = FileOffset();
    auto s = ReadSpan(count, "child atom");
    return AtomReader(s, start, childPath, warnings_);
}
