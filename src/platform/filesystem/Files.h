// The File Manager subset: file locations (FSSpec records), Finder info, and the
// mapping between classic volume/directory IDs and real directories.
//
// An FSSpec keeps its classic 70-byte layout, because the application reads
// FSSpec records out of Apple events into a 70-byte buffer. There is one
// volume (vRefNum -1, or 0 for "the default volume"); every directory path the
// process meets gets a directory ID from a process-wide table, and the root
// directory is fsRtDirID (2) like on a classic volume.
//
// Names are UTF-8. A leaf name longer than the 63 bytes of a Str63 is stored
// shortened, cut at a character boundary and given a unique "#XXXXXXXX"
// suffix in front of its extension; the table maps the short name back to the
// real one, so FSSpecPath and every call here reach the real file.
#pragma once

#include <cstring>
#include <string>

#include "platform/core/MacTypes.h"

// A signed 32-bit field that may sit at any address. Classic records used
// 68k alignment, which puts FSSpec.parID at offset 2; a plain SInt32 there
// would be misaligned, and binding a reference to it (as templates such as
// std::max or test assertions do) is undefined behaviour. This type reads
// and writes through memcpy and converts to and from SInt32 implicitly, so
// `location.parID = id` and `long id = location.parID` read as usual.
struct PackedSInt32 {
    unsigned char bytes[4];

    PackedSInt32() = default;
    PackedSInt32(SInt32 value) { std::memcpy(bytes, &value, sizeof value); }
    operator SInt32() const
    {
        SInt32 value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
};
static_assert(sizeof(PackedSInt32) == 4 && alignof(PackedSInt32) == 1);

#pragma pack(push, 2)
struct FSSpec {
    SInt16 vRefNum;
    PackedSInt32 parID;
    Str63 name;
};
#pragma pack(pop)
static_assert(sizeof(FSSpec) == 70, "FSSpec must keep its classic 70-byte layout");

typedef FSSpec* FSSpecPtr;
typedef FSSpecPtr* FSSpecHandle;

// Finder information of a file (the first 16 bytes of the AppleDouble
// Finder-info entry).
struct FInfo {
    OSType fdType;
    OSType fdCreator;
    UInt16 fdFlags;
    Point fdLocation;
    SInt16 fdFldr;
};

enum {
    nsvErr = -35,      // no such volume
    dskFulErr = -34,   // disk full
    ioErr = -36,       // other I/O failure
    eofErr = -39,      // a read ran past the end of the file
    bdNamErr = -37,    // bad file name
    dupFNErr = -48,    // a file with that name already exists
    fBsyErr = -47,     // file busy (a directory that is not empty)
    fnfErr = -43,      // file not found
    permErr = -54,     // permission denied
    wrPermErr = -61,   // write permission denied (read-only file system)
    dirNFErr = -120,   // directory not found
    notAFileErr = -1302,  // a directory where a file was expected
};

enum : SInt16 {
    kOrvoVolumeRefNum = -1,  // the one volume
};

enum : SInt32 {
    fsRtParID = 1,  // the parent of the root directory
    fsRtDirID = 2,  // the root directory "/"
};

// Classic type and creator codes that the platform infers or writes.
enum : OSType {
    kMovieFileType = 'MooV',
    kUnknownFileType = 0,
};

// Makes an FSSpec for fileName inside directory dirID of volume
// vRefNum. dirID 0 means the current working directory. An empty fileName
// names the directory dirID itself. A fileName beginning with '/' is taken as
// a full path (vRefNum and dirID are then ignored). Results: noErr when the
// file or directory exists; fnfErr when it does not but its directory does
// (the FSSpec is filled, ready for FSpCreate); dirNFErr when the directory
// does not exist on disk (the FSSpec is still filled) or dirID is unknown to
// this process (the FSSpec is not filled); nsvErr for an unknown volume;
// bdNamErr for a name holding '/' or NUL, or "." / "..".
OSErr FSMakeFSSpec(short vRefNum, long dirID, ConstStr255Param fileName, FSSpec* location);

// Makes an FSSpec from a POSIX path (relative paths start at the
// current working directory); for tools, tests, start-up arguments and
// dropped files. Same results as FSMakeFSSpec. isDirectory (may be nil)
// receives whether the path names an existing directory.
OSErr FSPathMakeFSSpec(const char* path, FSSpec* location, Boolean* isDirectory);

// The real path an FSSpec names, long names restored; empty when the
// directory ID is unknown to this process.
std::string FSSpecPath(const FSSpec& location);

// The directory ID for a directory path (allocated on first use; the path
// need not exist) and the path of a directory ID (empty when unknown).
SInt32 FSDirectoryID(const std::string& dirPath);
std::string FSDirectoryPath(SInt32 dirID);

// The leaf name of an FSSpec as UTF-8, long names restored.
std::string FSSpecRealName(const FSSpec& location);

// Creates an empty file; dupFNErr when it exists. The type and creator are
// kept in the AppleDouble companion "._NAME" only when the type is not the
// one the name already implies, so plain movie files stay one file.
OSErr FSpCreate(const FSSpec* location, OSType creator, OSType fileType, ScriptCode scriptTag);

// Deletes a file (and its AppleDouble companion) or an empty directory
// (fBsyErr when it is not empty).
OSErr FSpDelete(const FSSpec* location);

// Renames a file within its directory, its companion with it; dupFNErr when
// the new name is taken. newName may be up to 255 bytes.
OSErr FSpRename(const FSSpec* location, ConstStr255Param newName);

// Finder info from the AppleDouble companion; without one, the type is
// inferred from the extension ('MooV' for .mov .qt .mp4 .m4v .m4a .3gp,
// else 0) and the creator is 0. fnfErr when the file does not exist.
OSErr FSpGetFInfo(const FSSpec* location, FInfo* fndrInfo);

// Stores Finder info in the companion, keeping its other entries (the
// resource fork). No companion is made when the info is what FSpGetFInfo
// would infer anyway.
OSErr FSpSetFInfo(const FSSpec* location, const FInfo* fndrInfo);

// The classic code for a POSIX errno value, for every module that touches
// files: ENOENT fnfErr, ENOTDIR dirNFErr, EACCES/EPERM permErr, EROFS
// wrPermErr, EEXIST dupFNErr, ENOSPC/EDQUOT dskFulErr, ENAMETOOLONG
// bdNamErr, EISDIR notAFileErr, anything else ioErr.
OSErr OSErrFromErrno(int errnoValue);
