// Every write that the movie-file calls make goes through this layer.
//
// Saving must never leave a damaged movie behind, and the only way to be sure
// of that is to break saves on purpose: tests tell this layer to fail, or to
// end the process, at the Nth write, and then check what is left on disk.
// Writes, flushes, truncations, renames and range copies each count as one
// operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/MacTypes.h"

struct WriteFault {
    enum Kind { none, failWithErrno, killProcess };
    Kind kind = none;
    // The operation (counted from 1 after InjectWriteFault) that breaks.
    long atOperation = 0;
    // For failWithErrno: the error the operation reports (ENOSPC for a full
    // disk). A full disk stays full, so with `sticky` every later operation
    // fails too.
    int errnoValue = 0;
    bool sticky = true;
};

namespace FileWriteLayer {

void InjectWriteFault(const WriteFault& fault);
void ClearWriteFault();
// Operations done since the last InjectWriteFault/ClearWriteFault; tests use
// it to learn how many writes a save takes, and then break each in turn.
long OperationCount();

// Reads exactly `length` bytes (not counted as an operation): 0, an errno
// value, or EIO when the file ends first.
int ReadAt(int fd, std::uint64_t offset, void* to, std::size_t length);
// Each returns 0 or an errno value; a short write is retried until complete.
int WriteAt(int fd, std::uint64_t offset, const void* data, std::size_t length);
int CopyRange(int srcFd, std::uint64_t srcOffset, int dstFd, std::uint64_t dstOffset, std::uint64_t length);
int Sync(int fd);
int Truncate(int fd, std::uint64_t length);
int Rename(const std::string& from, const std::string& to);
// Renames only when nothing has the name `to` yet: EEXIST when something
// does (EINVAL where the file system cannot tell).
int RenameNoReplace(const std::string& from, const std::string& to);
// Flushes a folder so that a rename or a new name in it survives a crash.
int SyncFolder(const std::string& folder);

}  // namespace FileWriteLayer
