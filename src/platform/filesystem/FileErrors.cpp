// Classic result codes for system errors, shared by every module that
// touches files.
#include <cerrno>

#include "platform/filesystem/Files.h"

OSErr OSErrFromErrno(int errnoValue)
{
    switch (errnoValue) {
    case 0:
        return noErr;
    case ENOENT:
        return fnfErr;
    case ENOTDIR:
        return dirNFErr;
    case EACCES:
    case EPERM:
        return permErr;
    case EROFS:
        return wrPermErr;
    case EEXIST:
        return dupFNErr;
    case ENOSPC:
    case EDQUOT:
        return dskFulErr;
    case ENAMETOOLONG:
        return bdNamErr;
    case EISDIR:
        return notAFileErr;
    case ENOTEMPTY:
        return fBsyErr;
    default:
        return ioErr;
    }
}
