// Result codes of the movie toolbox, with their classic values, and the
// "last error" that every movie call leaves behind for GetMoviesError.
#pragma once

#include "platform/core/MacTypes.h"

// Codes that the movie-file layer also needs; it may have declared them
// first (same values), so they are guarded by its macro.
#ifndef ORVO_MOVIE_FILE_ERRORS_DEFINED
#define ORVO_MOVIE_FILE_ERRORS_DEFINED_BY_MODEL
enum {
    couldNotResolveDataRef = -2000,
    invalidMovie = -2010,
    invalidDataRef = -2012,
    progressProcAborted = -2019,
    cantCreateSingleForkFile = -2022,
    noMovieFound = -2048,
    badDataRefIndex = -2050,
    featureUnsupported = -2053,
};
#endif

enum {
    badImageDescription = -2001,
    badPublicMovieAtom = -2002,
    cantFindHandler = -2003,
    cantOpenHandler = -2004,
    badComponentType = -2005,
    noMediaHandler = -2006,
    noDataHandler = -2007,
    invalidMedia = -2008,
    invalidTrack = -2009,
    invalidSampleTable = -2011,
    invalidHandler = -2013,
    invalidDuration = -2014,
    invalidTime = -2015,
    cantPutPublicMovieAtom = -2016,
    badEditList = -2017,
    mediaTypesDontMatch = -2018,
    movieToolboxUninitialized = -2020,
    userDataItemNotFound = -2026,
    badTrackIndex = -2028,
    trackIDNotFound = -2029,
    trackNotInMovie = -2030,
    timeNotInTrack = -2031,
    timeNotInMedia = -2032,
    badEditIndex = -2033,
    internalQuickTimeError = -2034,
    invalidSampleNum = -2037,
    invalidChunkNum = -2038,
    invalidSampleDescIndex = -2039,
    invalidSampleDescription = -2041,
};

// The result of the most recent movie toolbox call (noErr after success).
OSErr GetMoviesError();

// Sets the result that GetMoviesError reports; every movie call, the file
// layer's included, ends by calling it.
void SetMoviesError(OSErr err);
