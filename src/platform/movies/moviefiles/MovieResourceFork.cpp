#include "platform/movies/moviefiles/MovieResourceFork.h"

#include "platform/movies/moviefiles/BigEndian.h"
#include "platform/movies/moviefiles/MovieFileErrors.h"
#include "platform/filesystem/SafeFileOps.h"

namespace {

std::vector<UInt8> MovieFinderInfo(OSType creator, const AppleDoubleEntry* old)
{
    std::vector<UInt8> info = old ? old->data : std::vector<UInt8>();
    if (info.size() < kAppleDoubleFinderInfoSize)
        info.resize(kAppleDoubleFinderInfoSize, 0);
    BigEndian::Put32(info.data(), kMovieFileType);
    BigEndian::Put32(info.data() + 4, creator);
    return info;
}

}  // namespace

namespace MovieResourceFork {

OSErr Read(const std::string& dataPath, AppleDoubleFile* container, ResourceFork* fork)
{
    if (OSErr err = ReadAppleDouble(AppleDoubleCompanionPath(dataPath), container))
        return err;
    const AppleDoubleEntry* entry = container->Find(kAppleDoubleResourceFork);
    if (!entry)
        return ResourceFork::Decode({}, fork);
    return ResourceFork::Decode(entry->data, fork);
}

bool HasMovieResource(const std::string& dataPath)
{
    AppleDoubleFile container;
    ResourceFork fork;
    return Read(dataPath, &container, &fork) == noErr && fork.FirstOfType(kMovieResourceType) != nullptr;
}

OSErr Write(const std::string& companionPath, AppleDoubleFile container, const ResourceFork& fork, OSType creator)
{
    std::vector<UInt8> forkBytes;
    if (OSErr err = fork.Encode(&forkBytes))
        return err;
    container.Set(kAppleDoubleFinderInfo, MovieFinderInfo(creator, container.Find(kAppleDoubleFinderInfo)));
    container.Set(kAppleDoubleResourceFork, std::move(forkBytes));
    std::vector<UInt8> bytes = EncodeAppleDouble(container);
    return SafeFileOps::ReplaceFileContents(companionPath, bytes);
}

}  // namespace MovieResourceFork
