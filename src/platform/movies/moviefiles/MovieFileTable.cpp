#include "platform/movies/moviefiles/MovieFileTable.h"

#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/filesystem/SafeFileOps.h"

namespace {

std::map<short, MovieFileRecord>& Records()
{
    static std::map<short, MovieFileRecord> records;
    return records;
}

bool IsOn(const MovieFileRecord& record, const FileId& file)
{
    FileId id;
    return IdentityOfDescriptor(record.fd, &id) && id == file;
}

}  // namespace

bool IdentityOfDescriptor(int fd, FileId* id)
{
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0)
        return false;
    *id = FileId{st.st_dev, st.st_ino};
    return true;
}

namespace MovieFileTable {

// Reference numbers start well away from 0 and -1, which callers use as
// "no file", and are not reused while the process runs, so a stale number
// never reaches another file.
short Add(MovieFileRecord record)
{
    static short next = 1000;
    if (next >= 32000)
        next = 1000;
    while (Records().count(next))
        ++next;
    short refNum = next++;
    Records()[refNum] = std::move(record);
    return refNum;
}

MovieFileRecord* Find(short refNum)
{
    auto it = Records().find(refNum);
    return it == Records().end() ? nullptr : &it->second;
}

void Remove(short refNum) { Records().erase(refNum); }

bool IsOpenForWriting(dev_t dev, ino_t ino, short except)
{
    const FileId file{dev, ino};
    for (const auto& [refNum, record] : Records())
        if (refNum != except && record.writable && IsOn(record, file))
            return true;
    return false;
}

bool IsOpenElsewhere(short refNum)
{
    const MovieFileRecord* mine = Find(refNum);
    FileId file;
    if (!mine || !IdentityOfDescriptor(mine->fd, &file))
        return false;
    for (const auto& [other, record] : Records())
        if (other != refNum && IsOn(record, file))
            return true;
    return false;
}

bool IsBeingReplaced(const std::string& path)
{
    for (const auto& [refNum, record] : Records())
        if (record.replacementPending && SafeFileOps::SameFile(record.path, path))
            return true;
    return false;
}

void FollowReplacement(const FileId& from, short refNum)
{
    const MovieFileRecord* replacer = Find(refNum);
    FileId to;
    if (!replacer || !IdentityOfDescriptor(replacer->fd, &to))
        return;
    for (auto& [other, record] : Records()) {
        FileId named;
        if (other == refNum || record.replacementPending || !IsOn(record, from) ||
            !SafeFileOps::FileIdentity(record.path, &named.dev, &named.ino) || !(named == to))
            continue;
        // Left on the old file when the new one cannot be opened: its next
        // save then reports the file gone instead of writing into nothing.
        int fd = open(record.path.c_str(), (record.writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
        if (fd < 0)
            continue;
        close(record.fd);
        record.fd = fd;
    }
}

}  // namespace MovieFileTable
