// The viewer window: one open movie playing under its movie controller, the
// movie file it came from, and the movie-wide commands (size, timing,
// saving).
#pragma once

#include "framework/Window.h"
#include "platform/controller/MovieControllers.h"
#include "platform/movies/Movies.h"
#include "platform/ui/dialogs/Dialogs.h"

class OrvoTracksWindow;

class OrvoViewerWindow : public Window {
    // The tracks window lists this viewer's movie and acts on it.
    friend class OrvoTracksWindow;

public:
    OrvoViewerWindow();
    explicit OrvoViewerWindow(short resID);
    ~OrvoViewerWindow() override;

    void Refresh() override;
    bool CloseWindow() override;
    void ResizeWindow(short x, short y) override;
    bool PreHandleEvent(EventRecord& er, long& ec) override;
    long HandleMenu(long mChoice, bool* cont) override;

    // Attaches an opened movie: the viewer takes over the movie and the open
    // movie file mRefNum, and closes both when it is destroyed. The viewer
    // must be registered with its engine already.
    void SetMovie(Movie m, short mRefNum, short mResID, const unsigned char* name);
    void SaveMovie();
    void SaveMovieAs();
    void OnMovieChanged();

    // What the viewer holds, for tools that report what a person sees.
    Movie GetMovie() const { return movie; }
    short MovieRefNum() const { return movieRefNum; }
    short MovieResID() const { return movieResID; }
    MovieController Controller() const { return controller; }
    short NormalWidth() const { return movieWidth; }
    short NormalHeight() const { return movieHeight; }

protected:
    void Activate() override;
    void Deactivate() override;
    long HandleMouseDown(EventRecord& er) override;

    // Timing of the whole movie.
    void SetFrameRate();
    void ScaleMovie();
    void DisplayTrackInfo(DialogPtr theDlg, long trackNum);
    void CollectTrackInfo(DialogPtr theDlg, long trackNum);

    // The size the movie is shown at.
    void MovieNormalSize();
    void MovieDoubleSize();
    void MovieMaxSize();
    void CustomMovieSize();
    void SetAsDefaultSize();
    void ResizeMovie(short h, short v);

    // A viewer gets its movie, its movie file and its controller together in
    // SetMovie; until then movie is nil and nothing here touches the movie
    // toolbox on its behalf.
    Movie movie;
    short movieRefNum;
    short movieResID;
    MovieController controller;
    Str255 movieName;
    short movieHeight;
    short movieWidth;
    OrvoTracksWindow* tracksWin;

private:
    void EnableMovieMenus(bool enable);
    // The tracks window: made at the end of SetMovie, retitled after a save
    // under a new name.
    void AttachTracksWindow();
    void RetitleTracksWindow();
    // Saving writes the normal-size movie box; the shown one comes back after.
    Rect ShowNormalBoxForSaving();
    void RestoreShownBox(const Rect& shownBox);
};

// The tracks window's title for a movie name: the name and " Tracks", or
// the name alone when it is longer than 247 characters.
void TracksWindowTitle(ConstStr255Param movieName, Str255 title);

// The action filter of every viewer's controller; refCon is the viewer.
Boolean MovieControllerEventFilter(MovieController theController, short action, void* params, long refCon);
