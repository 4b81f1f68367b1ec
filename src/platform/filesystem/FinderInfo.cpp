// Finder info (type, creator, flags) kept in the AppleDouble companion, with
// the movie type inferred from the extension when there is no companion.
#include <sys/stat.h>

#include <cerrno>

#include "platform/filesystem/AppleDouble.h"
#include "platform/filesystem/FileNames.h"
#include "platform/filesystem/Files.h"

namespace {

UInt32 Big32(const std::vector<UInt8>& b, size_t at)
{
    return (UInt32(b[at]) << 24) | (UInt32(b[at + 1]) << 16) | (UInt32(b[at + 2]) << 8) | UInt32(b[at + 3]);
}

UInt16 Big16(const std::vector<UInt8>& b, size_t at)
{
    return UInt16((b[at] << 8) | b[at + 1]);
}

void PutBig32(std::vector<UInt8>& b, size_t at, UInt32 v)
{
    b[at] = UInt8(v >> 24);
    b[at + 1] = UInt8(v >> 16);
    b[at + 2] = UInt8(v >> 8);
    b[at + 3] = UInt8(v);
}

void PutBig16(std::vector<UInt8>& b, size_t at, UInt16 v)
{
    b[at] = UInt8(v >> 8);
    b[at + 1] = UInt8(v);
}

// FInfo as the first 16 bytes of the Finder-info entry: fdType, fdCreator,
// fdFlags, fdLocation (v, h), fdFldr, all big-endian.
FInfo DecodeFInfo(const std::vector<UInt8>& b)
{
    FInfo info;
    info.fdType = Big32(b, 0);
    info.fdCreator = Big32(b, 4);
    info.fdFlags = Big16(b, 8);
    info.fdLocation.v = SInt16(Big16(b, 10));
    info.fdLocation.h = SInt16(Big16(b, 12));
    info.fdFldr = SInt16(Big16(b, 14));
    return info;
}

void EncodeFInfo(const FInfo& info, std::vector<UInt8>& b)
{
    PutBig32(b, 0, info.fdType);
    PutBig32(b, 4, info.fdCreator);
    PutBig16(b, 8, info.fdFlags);
    PutBig16(b, 10, UInt16(info.fdLocation.v));
    PutBig16(b, 12, UInt16(info.fdLocation.h));
    PutBig16(b, 14, UInt16(info.fdFldr));
}

FInfo InferredFInfo(const FSSpec& location)
{
    FInfo info{};
    info.fdType = files::InferredFileType(FSSpecRealName(location));
    return info;
}

bool SameFInfo(const FInfo& a, const FInfo& b)
{
    return a.fdType == b.fdType && a.fdCreator == b.fdCreator && a.fdFlags == b.fdFlags &&
           a.fdLocation.v == b.fdLocation.v && a.fdLocation.h == b.fdLocation.h && a.fdFldr == b.fdFldr;
}

// The data file's path, once it is known to be an existing file.
OSErr ExistingFilePath(const FSSpec* location, std::string* path)
{
    if (location == nil)
        return paramErr;
    *path = FSSpecPath(*location);
    if (path->empty())
        return dirNFErr;
    struct stat info;
    if (stat(path->c_str(), &info) != 0)
        return OSErrFromErrno(errno);
    if (S_ISDIR(info.st_mode))
        return notAFileErr;
    return noErr;
}

}  // namespace

OSErr FSpGetFInfo(const FSSpec* location, FInfo* fndrInfo)
{
    if (fndrInfo == nil)
        return paramErr;
    std::string path;
    if (OSErr err = ExistingFilePath(location, &path))
        return err;
    AppleDoubleFile companion;
    // A missing or unreadable companion is not the file's fault: the file
    // still opens, with the type its name implies.
    if (ReadAppleDouble(AppleDoubleCompanionPath(path), &companion) == noErr) {
        const AppleDoubleEntry* entry = companion.Find(kAppleDoubleFinderInfo);
        if (entry != nil && entry->data.size() >= sizeof(UInt8) * 16) {
            *fndrInfo = DecodeFInfo(entry->data);
            return noErr;
        }
    }
    *fndrInfo = InferredFInfo(*location);
    return noErr;
}

OSErr FSpSetFInfo(const FSSpec* location, const FInfo* fndrInfo)
{
    if (fndrInfo == nil)
        return paramErr;
    std::string path;
    if (OSErr err = ExistingFilePath(location, &path))
        return err;
    std::string companionPath = AppleDoubleCompanionPath(path);
    AppleDoubleFile companion;
    OSErr readErr = ReadAppleDouble(companionPath, &companion);
    if (readErr == fnfErr && SameFInfo(*fndrInfo, InferredFInfo(*location)))
        return noErr;
    // An unreadable companion may hold a resource fork in a form we do not
    // know; replacing it would lose that, so report instead.
    if (readErr != noErr && readErr != fnfErr)
        return readErr;
    std::vector<UInt8> bytes(kAppleDoubleFinderInfoSize, 0);
    if (const AppleDoubleEntry* old = companion.Find(kAppleDoubleFinderInfo)) {
        if (old->data.size() > bytes.size())
            bytes = old->data;  // keeps FXInfo and any attributes after it
        else
            std::copy(old->data.begin(), old->data.end(), bytes.begin());
    }
    EncodeFInfo(*fndrInfo, bytes);
    companion.Set(kAppleDoubleFinderInfo, std::move(bytes));
    return WriteAppleDouble(companionPath, companion);
}
