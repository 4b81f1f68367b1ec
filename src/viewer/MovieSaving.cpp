// Saving a viewer's movie. The movie is always written with its normal size
// as the movie box, whatever size it is shown at; the shown box is put back
// afterwards, also after a failure.
#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "util/MyError.h"
#include "viewer/OrvoViewerWindow.h"

void OrvoViewerWindow::SaveMovie()
{
    if (movie == nullptr)
        return;
    Rect shownBox;
    GetMovieBox(movie, &shownBox);
    FailErr(GetMoviesError(), "GetMovieBox()"_p);
    Rect normalBox = {0, 0, movieHeight, movieWidth};
    SetMovieBox(movie, &normalBox);
    FailErr(GetMoviesError(), "SetMovieBox()"_p);
    UpdateMovieResource(movie, movieRefNum, movieResID, nullptr);
    FailErr(GetMoviesError(), "UpdateMovieResource"_p);
    SetMovieBox(movie, &shownBox);
    FailErr(GetMoviesError(), "SetMovieBox()"_p);
}

// Saving into a new file comes with the save dialog's own module; until
// then the command leaves the movie and its file as they are.
void OrvoViewerWindow::SaveMovieAs() {}
