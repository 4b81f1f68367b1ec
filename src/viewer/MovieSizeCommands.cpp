// The size commands: the movie shown at its normal size, at double size, as
// large as the screen allows, at a size the person types, and the current
// size recorded as the normal size that saving writes.
//
// All resizing goes through the controller: it gets a bounds rectangle larger
// than the wanted movie box by exactly its own extra width and height, fits
// the movie into it, and the window follows the controller.
#include <algorithm>

#include "app/AppResources.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/menus/Menus.h"
#include "util/MyError.h"
#include "util/Utils.h"
#include "viewer/OrvoViewerWindow.h"

namespace {

enum : short { kCustomSizeWidthItem = 3, kCustomSizeHeightItem = 4 };

short RectWidth(const Rect& r)
{
    return short(r.right - r.left);
}

short RectHeight(const Rect& r)
{
    return short(r.bottom - r.top);
}

}  // namespace

void OrvoViewerWindow::ResizeMovie(short h, short v)
{
    Rect box;
    GetMovieBox(movie, &box);
    FailErr(GetMoviesError(), "GetMovieBox()"_p);
    Rect bounds;
    MCGetControllerBoundsRect(controller, &bounds);
    short controllerExtraX = short(RectWidth(bounds) - RectWidth(box));
    short controllerExtraY = short(RectHeight(bounds) - RectHeight(box));
    ResizeWindow(short(h + controllerExtraX), short(v + controllerExtraY));
}

void OrvoViewerWindow::MovieNormalSize()
{
    ResizeMovie(movieWidth, movieHeight);
}

void OrvoViewerWindow::MovieDoubleSize()
{
    ResizeMovie(short(movieWidth * 2), short(movieHeight * 2));
}

// The largest size, in the movie's own proportions, at which the whole
// window (frame, title bar and controller bar included) fits on the screen
// below the menu bar; the window moves to the top-left corner of that area.
void OrvoViewerWindow::MovieMaxSize()
{
    if (movieWidth <= 0 || movieHeight <= 0 || win == nullptr)
        return;
    BitMap screenBits;
    GetQDGlobalsScreenBits(&screenBits);
    Rect structure, content, box, bounds;
    GetWindowBounds(win, kWindowStructureRgn, &structure);
    GetWindowBounds(win, kWindowContentRgn, &content);
    GetMovieBox(movie, &box);
    FailErr(GetMoviesError(), "GetMovieBox()"_p);
    MCGetControllerBoundsRect(controller, &bounds);
    int frameLeft = content.left - structure.left;
    int frameTop = content.top - structure.top;
    int frameX = RectWidth(structure) - RectWidth(content);
    int frameY = RectHeight(structure) - RectHeight(content);
    int extraX = RectWidth(bounds) - RectWidth(box);
    int extraY = RectHeight(bounds) - RectHeight(box);
    int menuBar = GetMBarHeight();
    int availableX = RectWidth(screenBits.bounds) - frameX - extraX;
    int availableY = RectHeight(screenBits.bounds) - menuBar - frameY - extraY;
    if (availableX <= 0 || availableY <= 0)
        return;
    double scale = std::min(double(availableX) / movieWidth, double(availableY) / movieHeight);
    short h = short(std::clamp(int(movieWidth * scale), 1, availableX));
    short v = short(std::clamp(int(movieHeight * scale), 1, availableY));
    MoveWindow(win, short(screenBits.bounds.left + frameLeft), short(screenBits.bounds.top + menuBar + frameTop),
               false);
    ResizeMovie(h, v);
}

void OrvoViewerWindow::CustomMovieSize()
{
    DialogPtr theDlg = GetNewDialog(kCustomSizeDialogID, nullptr, kDialogInFront);
    FailNil(reinterpret_cast<Ptr>(theDlg), "GetNewDialog()"_p);
    if (theDlg == nullptr)
        return;
    SetDialogDefaultItem(theDlg, 1);
    SetDialogCancelItem(theDlg, 2);
    Rect box;
    GetMovieBox(movie, &box);
    FailErr(GetMoviesError(), "GetMovieBox()"_p);
    SetDialogItemLongByID(theDlg, kCustomSizeWidthItem, RectWidth(box));
    SetDialogItemLongByID(theDlg, kCustomSizeHeightItem, RectHeight(box));
    DialogItemIndex itemHit = 0;
    do {
        ModalDialog(nullptr, &itemHit);
    } while (itemHit != 1 && itemHit != 2);
    if (itemHit == 1) {
        long width = 0, height = 0;
        GetDialogItemLongByID(theDlg, kCustomSizeWidthItem, &width);
        GetDialogItemLongByID(theDlg, kCustomSizeHeightItem, &height);
        // A movie of no size (or less) cannot be shown or grown back with
        // the mouse; such entries leave the movie as it is.
        if (short(width) > 0 && short(height) > 0)
            ResizeMovie(short(width), short(height));
    }
    DisposeDialog(theDlg);
}

void OrvoViewerWindow::SetAsDefaultSize()
{
    Rect box;
    GetMovieBox(movie, &box);
    FailErr(GetMoviesError(), "GetMovieBox()"_p);
    movieHeight = RectHeight(box);
    movieWidth = RectWidth(box);
}
