// The open movie files, by reference number.
#pragma once

#include <string>
#include <sys/types.h>

#include "platform/core/MacTypes.h"

struct MovieFileRecord {
    std::string path;       // the data fork as the caller named it
    int fd = -1;            // the data fork (of workPath while a replacement is pending)
    bool writable = false;
    // A file created with createMovieFileDeleteCurFile over an existing one
    // is built at workPath and renamed over `path` when committed, so the old
    // file survives until the new one is complete (and survives for good when
    // the save is refused).
    std::string workPath;   // equals path when nothing is pending
    bool replacementPending = false;
    bool replacementAbandoned = false;
    bool wantsResourceFork = false;  // created with a companion resource fork

    const std::string& WritePath() const { return workPath.empty() ? path : workPath; }
};

namespace MovieFileTable {

short Add(MovieFileRecord record);
MovieFileRecord* Find(short refNum);
void Remove(short refNum);
// Whether any open record other than `except` writes to the file with this
// device and inode.
bool IsOpenForWriting(dev_t dev, ino_t ino, short except);

}  // namespace MovieFileTable
