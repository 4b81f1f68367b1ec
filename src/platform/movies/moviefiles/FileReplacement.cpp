#include "platform/movies/moviefiles/FileReplacement.h"

#include <cerrno>
#include <unistd.h>

#include "platform/filesystem/AppleDouble.h"
#include "platform/filesystem/FileWriteLayer.h"
#include "platform/movies/moviefiles/MovieFileErrors.h"
#include "platform/filesystem/SafeFileOps.h"

namespace FileReplacement {

OSErr Commit(MovieFileRecord* record)
{
    if (!record->replacementPending)
        return noErr;
    std::string companion = AppleDoubleCompanionPath(record->path);
    std::string workCompanion = AppleDoubleCompanionPath(record->workPath);
    int err = 0;
    if (record->wantsResourceFork && access(workCompanion.c_str(), F_OK) == 0)
        err = FileWriteLayer::Rename(workCompanion, companion);
    else if (unlink(companion.c_str()) != 0 && errno != ENOENT)
        err = errno;
    if (!err)
        err = FileWriteLayer::Sync(record->fd);
    if (!err)
        err = FileWriteLayer::Rename(record->workPath, record->path);
    if (err)
        return OSErrFromErrno(err);
    FileWriteLayer::SyncFolder(SafeFileOps::FolderOf(record->path));
    record->workPath = record->path;
    record->replacementPending = false;
    return noErr;
}

void Abandon(MovieFileRecord* record)
{
    if (!record->replacementPending)
        return;
    unlink(AppleDoubleCompanionPath(record->workPath).c_str());
    unlink(record->workPath.c_str());
    record->workPath = record->path;
    record->replacementPending = false;
    record->replacementAbandoned = true;
}

}  // namespace FileReplacement
