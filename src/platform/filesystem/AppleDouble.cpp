#include "platform/filesystem/AppleDouble.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/filesystem/Files.h"
#include "platform/filesystem/SafeFileOps.h"

namespace {

constexpr UInt32 kAppleDoubleMagic = 0x00051607;
constexpr UInt32 kAppleDoubleVersion = 0x00020000;
// magic, version, 16 filler bytes, entry count.
constexpr size_t kHeaderSize = 4 + 4 + 16 + 2;
// entry ID, offset, length.
constexpr size_t kEntryDescriptorSize = 12;
// macOS fills the filler with this text; other readers ignore it.
constexpr char kFiller[17] = "Mac OS X        ";

UInt32 ReadBig32(const UInt8* p)
{
    return (UInt32(p[0]) << 24) | (UInt32(p[1]) << 16) | (UInt32(p[2]) << 8) | UInt32(p[3]);
}

void AppendBig32(std::vector<UInt8>& out, UInt32 value)
{
    out.push_back(UInt8(value >> 24));
    out.push_back(UInt8(value >> 16));
    out.push_back(UInt8(value >> 8));
    out.push_back(UInt8(value));
}

bool ReadAll(int fd, std::vector<UInt8>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) {  // the file shrank while we read it
            bytes.resize(done);
            return true;
        }
        done += size_t(n);
    }
    return true;
}

}  // namespace

const AppleDoubleEntry* AppleDoubleFile::Find(UInt32 entryID) const
{
    for (const AppleDoubleEntry& entry : entries) {
        if (entry.entryID == entryID)
            return &entry;
    }
    return nil;
}

AppleDoubleEntry* AppleDoubleFile::Find(UInt32 entryID)
{
    return const_cast<AppleDoubleEntry*>(static_cast<const AppleDoubleFile*>(this)->Find(entryID));
}

void AppleDoubleFile::Set(UInt32 entryID, std::vector<UInt8> data)
{
    if (AppleDoubleEntry* existing = Find(entryID)) {
        existing->data = std::move(data);
        return;
    }
    // Finder info goes first, as macOS writes it, so the resource fork is
    // the last entry and can grow without moving anything else.
    AppleDoubleEntry entry{entryID, std::move(data)};
    if (entryID == kAppleDoubleFinderInfo)
        entries.insert(entries.begin(), std::move(entry));
    else
        entries.push_back(std::move(entry));
}

void AppleDoubleFile::Remove(UInt32 entryID)
{
    std::erase_if(entries, [entryID](const AppleDoubleEntry& e) { return e.entryID == entryID; });
}

std::string AppleDoubleCompanionPath(const std::string& dataPath)
{
    size_t slash = dataPath.rfind('/');
    if (slash == std::string::npos)
        return "._" + dataPath;
    return dataPath.substr(0, slash + 1) + "._" + dataPath.substr(slash + 1);
}

bool DecodeAppleDouble(std::span<const UInt8> bytes, AppleDoubleFile* out)
{
    if (bytes.size() < kHeaderSize || ReadBig32(bytes.data()) != kAppleDoubleMagic)
        return false;
    UInt32 version = ReadBig32(bytes.data() + 4);
    if (version != kAppleDoubleVersion && version != 0x00010000)
        return false;
    size_t count = (size_t(bytes[24]) << 8) | bytes[25];
    if (count > (bytes.size() - kHeaderSize) / kEntryDescriptorSize)
        return false;
    AppleDoubleFile file;
    for (size_t i = 0; i < count; ++i) {
        const UInt8* d = bytes.data() + kHeaderSize + i * kEntryDescriptorSize;
        UInt64 offset = ReadBig32(d + 4);
        UInt64 length = ReadBig32(d + 8);
        if (offset + length > bytes.size())
            return false;
        AppleDoubleEntry entry;
        entry.entryID = ReadBig32(d);
        entry.data.assign(bytes.begin() + offset, bytes.begin() + offset + length);
        file.entries.push_back(std::move(entry));
    }
    *out = std::move(file);
    return true;
}

std::vector<UInt8> EncodeAppleDouble(const AppleDoubleFile& file)
{
    std::vector<UInt8> out;
    AppendBig32(out, kAppleDoubleMagic);
    AppendBig32(out, kAppleDoubleVersion);
    out.insert(out.end(), kFiller, kFiller + 16);
    out.push_back(UInt8(file.entries.size() >> 8));
    out.push_back(UInt8(file.entries.size()));
    UInt32 offset = UInt32(kHeaderSize + file.entries.size() * kEntryDescriptorSize);
    for (const AppleDoubleEntry& entry : file.entries) {
        AppendBig32(out, entry.entryID);
        AppendBig32(out, offset);
        AppendBig32(out, UInt32(entry.data.size()));
        offset += UInt32(entry.data.size());
    }
    for (const AppleDoubleEntry& entry : file.entries)
        out.insert(out.end(), entry.data.begin(), entry.data.end());
    return out;
}

OSErr ReadAppleDouble(const std::string& companionPath, AppleDoubleFile* out)
{
    // O_NONBLOCK: a FIFO that happens to carry the companion's name must
    // not hang the open; it is refused below as not a regular file.
    int fd = open(companionPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return OSErrFromErrno(errno);
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || std::size_t(info.st_size) > kMaxCompanionSize) {
        close(fd);
        return ioErr;
    }
    std::vector<UInt8> bytes(size_t(info.st_size));
    bool readOK = ReadAll(fd, bytes);
    close(fd);
    if (!readOK || !DecodeAppleDouble(bytes, out))
        return ioErr;
    return noErr;
}

OSErr WriteAppleDouble(const std::string& companionPath, const AppleDoubleFile& file)
{
    std::vector<UInt8> bytes = EncodeAppleDouble(file);
    if (bytes.size() > kMaxCompanionSize)
        return paramErr;
    return SafeFileOps::ReplaceFileContents(companionPath, bytes);
}
