// Result codes of the movie-file calls. The File Manager codes (fnfErr,
// permErr, wrPermErr, dskFulErr, ioErr) come from platform/filesystem/Files.h and
// the movie toolbox's -20xx codes from MoviesError.h; these are the few that
// neither defines.
#pragma once

#include "platform/core/MacTypes.h"
#include "platform/filesystem/Files.h"
#include "platform/movies/MoviesError.h"

enum {
    opWrErr = -49,       // the file is already open for writing
    rfNumErr = -51,      // no open movie file with that reference number
    addResFailed = -194, // the resource fork cannot hold the resource
    mapReadErr = -199,   // the resource fork's map is damaged
};
