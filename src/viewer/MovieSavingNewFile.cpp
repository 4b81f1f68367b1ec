// Writing a movie into a file chosen in the save dialog: a reference movie
// (only the movie resource; the samples stay where they are) or a
// self-contained copy, with the movie in the data fork or in a resource fork.
//
// A save either writes the whole file or leaves everything as it was: the
// chosen file (no partial file, an existing one untouched), the open movie
// (offsets flattened for the save are put back) and the caller's file
// reference.
#include <filesystem>

#include "framework/UIEngine.h"
#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "util/MyError.h"
#include "util/Utils.h"
#include "viewer/MovieSaving.h"
#include "viewer/MovieSavingOffsets.h"

namespace {

constexpr ScriptCode kCurrentScript = -2;

struct WrittenFile {
    short refNum = 0;
    short resID = 0;
};

bool FileExists(const FSSpec& file)
{
    std::error_code ec;
    return std::filesystem::exists(FSSpecPath(file), ec);
}

// Only the movie resource goes into the new file. An existing file is
// replaced only once the movie is written; a failure leaves it as it was and
// a new file is removed again.
bool WriteReferenceMovie(Movie movie, const FSSpec& file, long flags, WrittenFile* out)
{
    flags |= createMovieFileDeleteCurFile | createMovieFileDontCreateMovie;
    bool existed = FileExists(file);
    OSErr err = CreateMovieFile(&file, kMovieFileCreator, kCurrentScript, flags, &out->refNum, nullptr);
    FailErr(err, "CreateMovieFile()"_p);
    if (err != noErr) {
        out->refNum = 0;
        return false;
    }
    err = AddMovieResource(movie, out->refNum, &out->resID, nullptr);
    FailErr(err, "AddMovieResource()"_p);
    if (err == noErr)
        return true;
    CloseMovieFile(out->refNum);
    out->refNum = 0;
    if (!existed)
        FSpDelete(&file);
    return false;
}

// A copy of every sample the movie plays, with the toolbox's progress window
// (whose Stop button cancels quietly: the person asked for it). The new file
// is opened only for a caller that keeps it.
bool WriteSelfContainedMovie(Movie movie, const FSSpec& file, long flags, bool keepOpen, WrittenFile* out)
{
    FlattenMovie(movie, flags, &file, kMovieFileCreator, kCurrentScript, createMovieFileDeleteCurFile, &out->resID,
                 nullptr);
    OSErr err = GetMoviesError();
    if (err == userCanceledErr)
        return false;
    FailErr(err, "FlattenMovie()"_p);
    if (err != noErr || !keepOpen)
        return err == noErr;
    OpenMovieFile(&file, &out->refNum, fsRdWrPerm);
    err = GetMoviesError();
    FailErr(err, "OpenMovieFile()"_p);
    if (err != noErr)
        out->refNum = 0;
    return err == noErr;
}

void RefuseReplacing(const FSSpec& file)
{
    Str255 message;
    pstr::FromStd("\xE2\x80\x9C" + FSSpecRealName(file) +
                      "\xE2\x80\x9D holds samples that an open movie plays; replacing it would lose them.",
                  message);
    MyError(message, "Choose another name or folder."_p, nullptr);
}

bool WriteChosenFile(Movie movie, const SaveAsUserData& choices, UIEngine* theApp, const FSSpec& file,
                     bool keepOpen, WrittenFile* out)
{
    if (FileHoldsOpenSamples(file, movie, theApp)) {
        RefuseReplacing(file);
        return false;
    }
    TrackOffsets before = TrackOffsets::Of(movie);
    if (choices.flattenOffsets)
        FlattenOffsets(movie);
    long flags = 0;
    out->resID = 0;
    if (choices.singleFork) {
        flags = createMovieFileDontCreateResFile;
        out->resID = movieInDataForkResID;
    }
    bool written = choices.selfContained ? WriteSelfContainedMovie(movie, file, flags, keepOpen, out)
                                         : WriteReferenceMovie(movie, file, flags, out);
    if (!written && choices.flattenOffsets)
        before.Restore();
    return written;
}

}  // namespace

bool SaveMovieInNewFile(Movie movie, ConstStr255Param initialName, UIEngine* theApp, FSSpec* theFile,
                        short* newRefNum, short* newResID)
{
    SaveAsUserData choices{theApp, false, false, true};
    NavDialogOptions options;
    OSErr err = NavGetDefaultDialogOptions(&options);
    FailErr(err, "NavGetDefaultDialogOptions()"_p);
    if (err != noErr)
        return false;
    StringCopy(initialName, options.savedFileName);

    NavReplyRecord reply;
    err = NavPutFile(nullptr, &reply, &options, saveAsProc, kMovieFileType, kMovieFileCreator, &choices);
    // A cancel answers noErr and says nothing; a dialog that could not run
    // at all is reported.
    FailErr(err, "NavPutFile()"_p);
    if (!reply.validRecord) {
        NavDisposeReply(&reply);
        return false;
    }
    err = AEGetNthPtr(&reply.selection, 1, typeFSS, nullptr, nullptr, theFile, sizeof(FSSpec), nullptr);
    FailErr(err, "AEGetNthPtr()"_p);
    WrittenFile written;
    bool saved = err == noErr && WriteChosenFile(movie, choices, theApp, *theFile, newRefNum != nullptr, &written);
    if (saved) {
        // Nobody else could ever close a file whose number is not kept.
        if (newRefNum != nullptr)
            *newRefNum = written.refNum;
        else if (written.refNum != 0)
            CloseMovieFile(written.refNum);
        if (newResID != nullptr)
            *newResID = written.resID;
        NavCompleteSave(&reply, kNavTranslateInPlace);
    }
    NavDisposeReply(&reply);
    return saved;
}
