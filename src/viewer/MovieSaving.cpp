// Saving a viewer's movie, in place or into a new file. The movie is always
// written with its normal size as the movie box, whatever size it is shown
// at; the shown box is put back afterwards, also after a failure.
#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "util/MyError.h"
#include "viewer/MovieSaving.h"
#include "viewer/OrvoViewerWindow.h"

Rect OrvoViewerWindow::ShowNormalBoxForSaving()
{
    Rect shownBox;
    GetMovieBox(movie, &shownBox);
    FailErr(GetMoviesError(), "GetMovieBox()"_p);
    Rect normalBox = {0, 0, movieHeight, movieWidth};
    SetMovieBox(movie, &normalBox);
    FailErr(GetMoviesError(), "SetMovieBox()"_p);
    return shownBox;
}

void OrvoViewerWindow::RestoreShownBox(const Rect& shownBox)
{
    SetMovieBox(movie, &shownBox);
    FailErr(GetMoviesError(), "SetMovieBox()"_p);
}

void OrvoViewerWindow::SaveMovie()
{
    if (movie == nullptr)
        return;
    Rect shownBox = ShowNormalBoxForSaving();
    UpdateMovieResource(movie, movieRefNum, movieResID, nullptr);
    FailErr(GetMoviesError(), "UpdateMovieResource"_p);
    RestoreShownBox(shownBox);
}

// After a save under a new name the viewer belongs to the new file. The old
// file is closed: nothing refers to it any more, and an open file would stay
// busy for every later save or open until Orvo quits. The movie keeps
// reading its samples wherever they are.
void OrvoViewerWindow::SaveMovieAs()
{
    if (movie == nullptr)
        return;
    Rect shownBox = ShowNormalBoxForSaving();
    FSSpec newFile;
    short newRefNum = 0;
    short newResID = 0;
    if (SaveMovieInNewFile(movie, movieName, uiRef, &newFile, &newRefNum, &newResID)) {
        CloseMovieFile(movieRefNum);
        movieRefNum = newRefNum;
        movieResID = newResID;
        // The name as the person typed it, however long.
        pstr::FromStd(FSSpecRealName(newFile), movieName);
        SetTitle(movieName);
        RetitleTracksWindow();
        OnMovieChanged();
        ClearMovieChanged(movie);
    }
    RestoreShownBox(shownBox);
}
