// The open movie files, by reference number.
//
// One file may be open under several reference numbers at once (two
// viewers of the same movie), each with its own descriptor. An in-place
// save appends its movie atom and retires the others without moving any
// sample, so every opener keeps reading the same bytes, and the last save
// is the movie the file holds. Two things need the whole table: free space
// may be reused only when no other opener could hold samples there, and a
// save that rewrites the file under a new inode must take the other openers
// along, or their later saves would go into a file that no longer has a name.
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

// A file as the file system knows it, whatever name it was opened by.
struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FileId&) const = default;
};

// The identity of the file open on fd; false when fd cannot be asked.
bool IdentityOfDescriptor(int fd, FileId* id);

namespace MovieFileTable {

short Add(MovieFileRecord record);
MovieFileRecord* Find(short refNum);
void Remove(short refNum);
// Whether any open record other than `except` writes to the file with this
// device and inode.
bool IsOpenForWriting(dev_t dev, ino_t ino, short except);
// Whether the file behind refNum is open under another reference number too.
bool IsOpenElsewhere(short refNum);
// Whether a new file is being built to replace the one at path.
bool IsBeingReplaced(const std::string& path);
// The file `from` was replaced by the file refNum now has open, at the same
// name and with every byte of the old one at its old offset: the other
// records on `from` whose name now leads to the new file open it instead.
void FollowReplacement(const FileId& from, short refNum);

}  // namespace MovieFileTable
