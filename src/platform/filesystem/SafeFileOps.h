// File operations that never leave a half-written file under a real name:
// new content is written to a hidden temporary file in the same folder,
// flushed, and renamed over its destination.
#pragma once

#include <span>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/core/MacTypes.h"

namespace SafeFileOps {

// A new hidden file beside `path` (same folder, so a rename is atomic), open
// for reading and writing. Returns the descriptor, or -1 with *err set.
int CreateTemporaryBeside(const std::string& path, std::string* tempPath, OSErr* err);
// Flushes tempFd, renames tempPath over path and flushes the folder. Closes
// tempFd. On failure the temporary is removed and path is untouched.
OSErr CommitTemporary(int tempFd, const std::string& tempPath, const std::string& path);
// The same for a path that had no file when the temporary was made: the
// temporary takes the name without being flushed first, as nothing is
// replaced and so nothing can be lost should the machine stop before its
// data reach the disk. Should a file have taken the name meanwhile (or the
// file system be unable to rename without replacing), it is replaced as
// CommitTemporary does, flushed first.
OSErr CommitNewFile(int tempFd, const std::string& tempPath, const std::string& path);
// Removes a temporary after a failure or a cancel.
void DiscardTemporary(int tempFd, const std::string& tempPath);
// Writes bytes as the whole new content of path, atomically.
OSErr ReplaceFileContents(const std::string& path, std::span<const UInt8> bytes);

// Whether two paths name the same file (device and inode).
bool SameFile(const std::string& a, const std::string& b);
bool FileIdentity(const std::string& path, dev_t* dev, ino_t* ino);

std::string FolderOf(const std::string& path);

// A file or folder without any write permission bit is locked, whoever the
// process runs as: the classic File Manager refused writes to locked files
// even to their owner.
bool IsLocked(const std::string& path);

}  // namespace SafeFileOps
