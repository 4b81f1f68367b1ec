// Making file locations (FSSpec records) and turning them back into paths.
#include <sys/stat.h>

#include <cerrno>
#include <limits>

#include "platform/core/PascalStrings.h"
#include "platform/filesystem/DirectoryTable.h"
#include "platform/filesystem/FileNames.h"
#include "platform/filesystem/Files.h"

namespace {

// The root directory has no parent folder; its FSSpec is the
// volume's, and "/" serves as the volume's name.
void MakeRootSpec(FSSpec* location)
{
    location->vRefNum = kOrvoVolumeRefNum;
    location->parID = fsRtParID;
    pstr::FromStd("/", location->name, files::kSpecNameMax);
}

// Whether the location's target exists: noErr, fnfErr (its directory exists),
// dirNFErr (it does not) or the system's reason.
OSErr ExistenceOf(const std::string& path, const std::string& dirPath, Boolean* isDirectory)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0) {
        if (isDirectory != nil)
            *isDirectory = S_ISDIR(info.st_mode);
        return noErr;
    }
    int reason = errno;
    if (reason != ENOENT && reason != ENOTDIR)
        return OSErrFromErrno(reason);
    struct stat dirInfo;
    if (stat(dirPath.c_str(), &dirInfo) == 0 && S_ISDIR(dirInfo.st_mode))
        return fnfErr;
    return dirNFErr;
}

// Fills the FSSpec for a normalised path and reports whether it exists.
OSErr SpecFromNormalizedPath(const std::string& path, FSSpec* location, Boolean* isDirectory)
{
    if (isDirectory != nil)
        *isDirectory = false;
    if (path == "/") {
        MakeRootSpec(location);
        if (isDirectory != nil)
            *isDirectory = true;
        return noErr;
    }
    std::string dirPath, leaf;
    files::SplitPath(path, &dirPath, &leaf);
    SInt32 dirID = files::DirectoryIDForPath(dirPath);
    location->vRefNum = kOrvoVolumeRefNum;
    location->parID = dirID;
    pstr::FromStd(files::SpecNameFor(dirID, dirPath, leaf), location->name, files::kSpecNameMax);
    return ExistenceOf(path, dirPath, isDirectory);
}

}  // namespace

OSErr FSPathMakeFSSpec(const char* path, FSSpec* location, Boolean* isDirectory)
{
    if (path == nil || location == nil)
        return paramErr;
    if (*path == '\0')
        return bdNamErr;
    return SpecFromNormalizedPath(files::NormalizePath(path), location, isDirectory);
}

OSErr FSMakeFSSpec(short vRefNum, long dirID, ConstStr255Param fileName, FSSpec* location)
{
    if (location == nil)
        return paramErr;
    if (vRefNum != 0 && vRefNum != kOrvoVolumeRefNum)
        return nsvErr;
    std::string name = pstr::ToStd(fileName);
    if (!name.empty() && name[0] == '/') {
        if (name.find('\0') != std::string::npos)
            return bdNamErr;
        return SpecFromNormalizedPath(files::NormalizePath(name), location, nil);
    }
    if (dirID == fsRtParID && (name.empty() || name == "/")) {
        MakeRootSpec(location);
        return noErr;
    }
    std::string dirPath;
    if (dirID == 0)
        dirPath = files::NormalizePath(".");
    else if (dirID < std::numeric_limits<SInt32>::min() || dirID > std::numeric_limits<SInt32>::max() ||
             !files::PathForDirectoryID(static_cast<SInt32>(dirID), &dirPath))
        return dirNFErr;
    if (name.empty())
        return SpecFromNormalizedPath(dirPath, location, nil);
    if (!files::IsValidLeafName(name))
        return bdNamErr;
    SInt32 id = files::DirectoryIDForPath(dirPath);
    return SpecFromNormalizedPath(files::JoinPath(dirPath, files::RealNameFor(id, name)), location, nil);
}

std::string FSSpecRealName(const FSSpec& location)
{
    std::string name = pstr::ToStd(location.name);
    if (location.parID == fsRtParID)
        return name;
    return files::RealNameFor(location.parID, name);
}

std::string FSSpecPath(const FSSpec& location)
{
    if (location.parID == fsRtParID)
        return "/";
    std::string dirPath;
    if (!files::PathForDirectoryID(location.parID, &dirPath))
        return {};
    // A name that is not a single leaf (one holding '/', or "..") would
    // reach outside the directory the FSSpec names.
    std::string leaf = FSSpecRealName(location);
    if (!leaf.empty() && !files::IsValidLeafName(leaf))
        return {};
    return files::JoinPath(dirPath, leaf);
}

SInt32 FSDirectoryID(const std::string& dirPath)
{
    return files::DirectoryIDForPath(files::NormalizePath(dirPath));
}

std::string FSDirectoryPath(SInt32 dirID)
{
    std::string dirPath;
    if (!files::PathForDirectoryID(dirID, &dirPath))
        return {};
    return dirPath;
}
