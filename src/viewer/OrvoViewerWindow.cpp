#include "viewer/OrvoViewerWindow.h"

#include "app/AppResources.h"
#include "app/OrvoFramework.h"
#include "framework/UIEngine.h"
#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/ui/menus/Menus.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "tracks/OrvoTracksWindow.h"
#include "util/MyError.h"
#include "util/Utils.h"
#include "viewer/MovieUtils.h"

namespace {

// Made once, before main, and never released: every viewer's controller
// shares it and finds its viewer through the reference constant.
MCActionFilterWithRefConUPP gMovieControllerEventFilterProc =
    NewMCActionFilterWithRefConUPP(MovieControllerEventFilter);

// Close, save and save-as of the File menu belong to a viewer.
constexpr short kViewerFileItems[] = {kFileCloseItem, kFileSaveItem, kFileSaveAsItem};

// The items of dialog 195.
enum : short { kSaveChangesSave = 1, kSaveChangesCancel = 2 };

}  // namespace

Boolean MovieControllerEventFilter(MovieController theController, short action, void*, long refCon)
{
    if (action == mcActionControllerSizeChanged && refCon != 0) {
        Rect bounds;
        MCGetControllerBoundsRect(theController, &bounds);
        reinterpret_cast<OrvoViewerWindow*>(refCon)->ResizeWindow(bounds.right, bounds.bottom);
    }
    // The controller goes on with its own handling of every action.
    return false;
}

OrvoViewerWindow::OrvoViewerWindow()
    : movie(nullptr), movieRefNum(0), movieResID(0), controller(nullptr), movieName{}, movieHeight(0),
      movieWidth(0), tracksWin(nullptr)
{
}

OrvoViewerWindow::OrvoViewerWindow(short resID)
    : Window(resID), movie(nullptr), movieRefNum(0), movieResID(0), controller(nullptr), movieName{},
      movieHeight(0), movieWidth(0), tracksWin(nullptr)
{
}

// The controller goes before the movie it shows, and the movie before the
// file it was read from. A viewer that never received a movie owns no file
// either (SetMovie hands over both), so it closes nothing.
OrvoViewerWindow::~OrvoViewerWindow()
{
    if (controller != nullptr)
        DisposeMovieController(controller);
    if (movie != nullptr) {
        DisposeMovie(movie);
        CloseMovieFile(movieRefNum);
    }
    Deactivate();
}

void OrvoViewerWindow::SetMovie(Movie m, short mRefNum, short mResID, const unsigned char* name)
{
    movie = m;
    movieRefNum = mRefNum;
    movieResID = mResID;
    SetMovieProgressProc(movie, reinterpret_cast<MovieProgressUPP>(-1L), 0);

    Rect box;
    GetMovieBox(movie, &box);
    OffsetRect(&box, short(-box.left), short(-box.top));
    SetMovieBox(movie, &box);
    movieHeight = box.bottom;
    movieWidth = box.right;

    controller = NewMovieController(movie, &box, mcTopLeftMovie);
    // Opening has already named the files this movie cannot find; the
    // controller's word on them would only say it again.
    if (controller != nullptr && !MissingMovieFiles(movie).empty()) {
        Str255 alreadyTold;
        MCTakePlaybackProblem(controller, alreadyTold);
    }
    Rect bounds{};
    MCGetControllerBoundsRect(controller, &bounds);
    if (win != nullptr) {
        SizeWindow(win, bounds.right, bounds.bottom, false);
        AlignWindow(win, false, nullptr, nullptr);
        ShowWindow(win);
    }

    BitMap screenBits;
    GetQDGlobalsScreenBits(&screenBits);
    MCDoAction(controller, mcActionSetGrowBoxBounds, &screenBits.bounds);
    MCDoAction(controller, mcActionSetKeysEnabled, reinterpret_cast<void*>(1));
    MCSetActionFilterWithRefCon(controller, gMovieControllerEventFilterProc, reinterpret_cast<long>(this));

    if (name != nullptr)
        StringCopy(name, movieName);
    else
        pstr::FromStd("Untitled", movieName);
    SetTitle(movieName);
    AttachTracksWindow();
}

void OrvoViewerWindow::OnMovieChanged()
{
    if (controller != nullptr)
        MCMovieChanged(controller, movie);
    if (tracksWin != nullptr)
        tracksWin->CollectMovieInfo();
}

void OrvoViewerWindow::ResizeWindow(short x, short y)
{
    Rect bounds = {0, 0, y, x};
    if (controller != nullptr)
        MCSetControllerBoundsRect(controller, &bounds);
    if (win != nullptr) {
        SizeWindow(win, x, y, false);
        AlignWindow(win, false, nullptr, nullptr);
    }
}

bool OrvoViewerWindow::PreHandleEvent(EventRecord& er, long&)
{
    // Every event, null events included, gives the movie its playing time;
    // the engine then dispatches the event as usual.
    if (controller != nullptr)
        MCIsPlayerEvent(controller, &er);
    // What keeps part of the movie from playing (a format the decoders lack,
    // a file gone since opening) is told once, when nothing else is going on.
    Str255 problem;
    if (controller != nullptr && er.what == nullEvent && MCTakePlaybackProblem(controller, problem))
        MyError(problem, nullptr, nullptr);
    return false;
}

void OrvoViewerWindow::Refresh()
{
    if (win == nullptr)
        return;
    GrafPtr savedPort;
    GetPort(&savedPort);
    SetPortWindowPort(win);
    BeginUpdate(win);
    Rect portBounds;
    GetPortBounds(GetWindowPort(win), &portBounds);
    EraseRect(&portBounds);
    if (controller != nullptr)
        MCDoAction(controller, mcActionDraw, win);
    EndUpdate(win);
    SetPort(savedPort);
}

void OrvoViewerWindow::EnableMovieMenus(bool enable)
{
    auto set = [enable](short menuID, short item) {
        MenuHandle theMenu = GetMenuHandle(menuID);
        if (theMenu == nullptr)
            return;
        if (enable)
            EnableMenuItem(theMenu, item);
        else
            DisableMenuItem(theMenu, item);
    };
    for (short item : kViewerFileItems)
        set(kFileMenuID, item);
    set(kSizeMenuID, 0);
    set(kTimeMenuID, 0);
    DrawMenuBar();
}

void OrvoViewerWindow::Activate()
{
    EnableMovieMenus(true);
}

void OrvoViewerWindow::Deactivate()
{
    EnableMovieMenus(false);
}

long OrvoViewerWindow::HandleMenu(long mChoice, bool* cont)
{
    // The application's handler always runs after this one: it removes the
    // menu highlight.
    if (cont != nullptr)
        *cont = true;
    short theMenu = short((mChoice >> 16) & 0xFFFF);
    short theItem = short(mChoice & 0xFFFF);
    long result = kDispatchNothing;
    // The commands act on the movie; a viewer without one has nothing to act on.
    bool hasMovie = movie != nullptr;
    switch (theMenu) {
    case kFileMenuID:
        if (theItem == kFileCloseItem) {
            gClosingWindow = this;
            result = kDispatchCloseWindow;
        } else if (theItem == kFileSaveItem && hasMovie) {
            SaveMovie();
        } else if (theItem == kFileSaveAsItem && hasMovie) {
            SaveMovieAs();
        }
        break;
    case kSizeMenuID:
        if (!hasMovie)
            break;
        switch (theItem) {
        case kNormalSizeItem: MovieNormalSize(); break;
        case kDoubleSizeItem: MovieDoubleSize(); break;
        case kMaxSizeItem: MovieMaxSize(); break;
        case kCustomSizeItem: CustomMovieSize(); break;
        case kSetDefaultSizeItem: SetAsDefaultSize(); break;
        default: break;
        }
        break;
    case kTimeMenuID:
        if (theItem == kFrameRateItem && hasMovie)
            SetFrameRate();
        else if (theItem == kScaleMovieItem && hasMovie)
            ScaleMovie();
        break;
    case kTrackMenuID:
        // Track commands belong to the tracks window; without one they do
        // nothing.
        if (tracksWin != nullptr)
            result = tracksWin->HandleMenu(mChoice, cont);
        break;
    default:
        break;
    }
    return result;
}

// Like the base class, except that on the newer system a background viewer
// answers its drag bar, close box and zoom boxes at once.
long OrvoViewerWindow::HandleMouseDown(EventRecord& er)
{
    short thePart = 0;
    Point thePt;
    if (!LocatePress(er, &thePart, &thePt))
        return 0;
    bool front = FrontWindow() == win;
    switch (thePart) {
    case inContent:
        if (front)
            return HandleContentClick(er, thePt);
        SelectWindow(win);
        return 0;
    case inDrag:
        if (!front && !gOSX && !(er.modifiers & cmdKey))
            SelectWindow(win);
        return HandleDragWindow(er, thePt);
    case inGrow:
        if (!front)
            SelectWindow(win);
        if (front || gOSX)
            return HandleGrowZone(er, thePt);
        return 0;
    case inGoAway:
        if (front || gOSX)
            return HandleGoAway(er, er.where);
        SelectWindow(win);
        return 0;
    case inZoomIn:
    case inZoomOut:
        if (!front)
            SelectWindow(win);
        if (front || gOSX)
            return thePart == inZoomIn ? HandleZoomIn(er, thePt) : HandleZoomOut(er, thePt);
        return 0;
    default:
        return 0;
    }
}

bool OrvoViewerWindow::CloseWindow()
{
    if (movie != nullptr && HasMovieChanged(movie)) {
        ParamText(movieName, ""_p, ""_p, ""_p);
        DialogPtr theDlg = GetNewDialog(kSaveChangesDialogID, nullptr, kDialogInFront);
        FailNil(reinterpret_cast<Ptr>(theDlg), "GetNewDialog()"_p);
        // Without the question the movie would close unsaved: keep it open.
        if (theDlg == nullptr)
            return false;
        SetDialogDefaultItem(theDlg, kSaveChangesSave);
        SetDialogCancelItem(theDlg, kSaveChangesCancel);
        DialogItemIndex itemHit = 0;
        ModalDialog(nullptr, &itemHit);
        DisposeDialog(theDlg);
        if (itemHit == kSaveChangesCancel)
            return false;
        if (itemHit == kSaveChangesSave)
            SaveMovie();
    }
    // The tracks window goes here, once the question can no longer keep the
    // viewer open and before the viewer hides itself.
    delete tracksWin;
    tracksWin = nullptr;
    return Window::CloseWindow();
}

// ---- The viewer's tracks window ----

// The tracks window is titled after the movie; a name too long to take the
// suffix within a title's 255 characters is used alone.
void TracksWindowTitle(ConstStr255Param movieName, Str255 title)
{
    StringCopy(movieName, title);
    constexpr unsigned char kSuffix[] = " Tracks";
    constexpr int kSuffixLength = sizeof(kSuffix) - 1;
    constexpr int kLongestSuffixedName = 247;
    if (movieName[0] > kLongestSuffixedName)
        return;
    for (int i = 0; i < kSuffixLength; ++i)
        title[title[0] + 1 + i] = kSuffix[i];
    title[0] = static_cast<unsigned char>(title[0] + kSuffixLength);
}

void OrvoViewerWindow::AttachTracksWindow()
{
    tracksWin = new OrvoTracksWindow(this);
    uiRef->AddWindow(tracksWin);
    RetitleTracksWindow();
    tracksWin->CollectMovieInfo();
    tracksWin->AutoSize();
}

void OrvoViewerWindow::RetitleTracksWindow()
{
    if (tracksWin == nullptr)
        return;
    Str255 title;
    TracksWindowTitle(movieName, title);
    tracksWin->SetTitle(title);
}
