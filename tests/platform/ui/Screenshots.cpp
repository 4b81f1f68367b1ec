// Writes the screenshots of the Menu, Control and Dialog Managers into the
// folder given as the only argument: menu.png, dialog.png, scrollbars.png,
// and windows.png with windows@2x.png for high-density screens.
// They are made on the headless screen, so they can be remade at any time.
#include <cstdio>
#include <string>

#include "platform/core/Memory.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/menus/MenuDrawing.h"
#include "platform/ui/menus/Menus.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"
#include "platform/ui/windows/WindowManager.h"
#include "platform/ui/harness/DialogHarness.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/harness/MenuHarness.h"

namespace {

void RegisterMenus()
{
    RegisterMenuBarTemplate(128, MenuBarTemplate{{128, 129, 130, 133}});
    RegisterMenuTemplate(128, MenuTemplate{"Orvo", {{"About Orvo\xE2\x80\xA6", 0, true, 0}}, true});
    RegisterMenuTemplate(129, MenuTemplate{"File",
                                           {{"Open\xE2\x80\xA6", 'O', true, 0},
                                            {"Close", 'W', true, 0},
                                            {"Save", 'S', false, 0},
                                            {"Save As\xE2\x80\xA6", 0, true, 0},
                                            {"-", 0, false, 0},
                                            {"Quit", 'Q', true, 0}},
                                           true});
    RegisterMenuTemplate(130, MenuTemplate{"Size",
                                           {{"Normal Size", '1', true, checkMark}, {"Double Size", '2', true, 0}},
                                           true});
    RegisterMenuTemplate(133, MenuTemplate{"Track", {{"Set Offset\xE2\x80\xA6", 'T', true, 0}}, false});
    Handle bar = GetNewMBar(128);
    SetMenuBar(bar);
    DisposeHandle(bar);
    DrawMenuBar();
}

WindowPtr DocumentWindow(Rect bounds, const char* title)
{
    Str255 t;
    pstr::FromStd(title, t);
    return NewCWindow(nullptr, &bounds, t, true, zoomDocProc, reinterpret_cast<WindowPtr>(-1L), true, 0);
}

bool MenuShot(const std::string& folder)
{
    WindowPtr w = DocumentWindow(Rect{80, 60, 300, 460}, "movie.mov");
    harness::RunEvents();
    // Shows the File menu pulled down with "Close" under the mouse, as
    // MenuSelect draws it.
    MenuHandle file = GetMenuHandle(129);
    HiliteMenu(129);
    menus::PullDownLayout layout = menus::LayoutPullDown(file, menus::TitleRects()[1]);
    CGrafPtr port = WMNewPort(layout.bounds.right - layout.bounds.left, layout.bounds.bottom - layout.bounds.top);
    menus::DrawPullDown(port, file, layout, 2);
    WMShowOverlay(port, Point{layout.bounds.top, layout.bounds.left});
    bool ok = harness::SaveScreenPNG(folder + "/menu.png");
    WMHideOverlay(port);
    WMDisposePort(port);
    HiliteMenu(0);
    DisposeWindow(w);
    return ok;
}

DialogItemTemplate Item(short type, Rect r, const char* text) { return DialogItemTemplate{type, r, text, 0}; }

bool DialogShot(const std::string& folder)
{
    RegisterItemListTemplate(197, ItemListTemplate{{
        Item(kButtonDialogItem, Rect{132, 250, 152, 330}, "OK"),
        Item(kButtonDialogItem, Rect{132, 150, 152, 230}, "Cancel"),
        Item(kEditTextDialogItem, Rect{20, 130, 36, 330}, "54300"),
        Item(kEditTextDialogItem, Rect{52, 130, 68, 330}, "1:30.50"),
        Item(kCheckBoxDialogItem, Rect{84, 128, 102, 330}, "Keep the d\xC3\xA9j\xC3\xA0-vu offset"),
        Item(kStaticTextDialogItem + itemDisable, Rect{20, 16, 40, 124}, "Offset (units):"),
        Item(kStaticTextDialogItem + itemDisable, Rect{52, 16, 72, 124}, "Offset (time):"),
    }});
    RegisterDialogTemplate(197, DialogTemplate{Rect{120, 150, 285, 500}, movableDBoxProc, true, false, 0, 197,
                                               "Track Offset"});
    WindowPtr w = DocumentWindow(Rect{60, 40, 300, 420}, "movie.mov");
    DialogPtr d = GetNewDialog(197, nullptr, reinterpret_cast<WindowPtr>(-1L));
    SetDialogDefaultItem(d, 1);
    SetDialogCancelItem(d, 2);
    ControlHandle box = nullptr;
    GetDialogItemAsControl(d, 5, &box);
    SetControlValue(box, 1);
    // The second field has the focus with the caret after its text, as
    // while someone types.
    SelectDialogItemText(d, 4, 7, 7);
    bool ok = false;
    bool shot = false;
    harness::SetIdleProc([&] {
        if (!shot) {
            ok = harness::SaveScreenPNG(folder + "/dialog.png");
            shot = true;
            harness::ClickDialogItem(d, 1);
        }
    });
    DialogItemIndex hit = 0;
    ModalDialog(nullptr, &hit);
    harness::SetIdleProc(nullptr);
    DisposeDialog(d);
    DisposeWindow(w);
    return ok;
}

bool ScrollBarShot(const std::string& folder)
{
    WindowPtr w = DocumentWindow(Rect{70, 60, 330, 520}, "movie.mov Tracks");
    SetPortWindowPort(w);
    Rect port = w->portRect;
    Rect vbar{short(port.top - 1), short(port.right - 15), short(port.bottom - 14), short(port.right + 1)};
    Rect hbar{short(port.bottom - 15), short(port.left - 1), short(port.bottom + 1), short(port.right - 14)};
    ControlHandle v = NewControl(w, &vbar, ""_p, true, 40, 0, 200, scrollBarProc, 0);
    NewControl(w, &hbar, ""_p, true, 0, 0, 120, scrollBarProc, 0);
    {
        look::PortScope scope(w);
        Rect content = port;
        content.right -= 15;
        content.bottom -= 15;
        EraseRect(&content);
        TextFont(kFontIDGeneva);
        TextSize(10);
        for (short block = 0; block < 5; ++block) {
            short y = block * 56 - 40 + 12;
            for (short line = 0; line < 4; ++line) {
                MoveTo(5, y + line * 14);
                std::string text = "Track #: " + std::to_string(block + 1) + "     Track ID: " +
                                   std::to_string(block + 1) + "     Duration: " + std::to_string(6000 + 600 * line);
                look::DrawUtf8(text);
            }
            MoveTo(0, y + 44);
            LineTo(content.right, y + 44);
        }
    }
    DrawControls(w);
    DrawGrowIcon(w);
    HiliteControl(v, kControlDownButtonPart);
    bool ok = harness::SaveScreenPNG(folder + "/scrollbars.png");
    HiliteControl(v, 0);
    DisposeWindow(w);
    return ok;
}

// Draws a few lines of text into a window, as an application would in
// answer to its update event.
void DrawSampleText(WindowPtr w, const char* const* lines, int count)
{
    SetPortWindowPort(w);
    BeginUpdate(w);
    Rect r;
    GetWindowPortBounds(w, &r);
    EraseRect(&r);
    TextFont(0);
    TextSize(12);
    for (int i = 0; i < count; ++i) {
        Str255 line;
        pstr::FromStd(lines[i], line);
        MoveTo(12, short(22 + 18 * i));
        DrawString(line);
    }
    EndUpdate(w);
}

// Two overlapping document windows: the front one active with its striped
// title bar, the one behind it inactive and plain, its content kept.
bool WindowsShot(const std::string& folder, short scale, const char* name)
{
    harness::Start(640, 400, scale);
    RegisterMenus();
    WindowPtr back = DocumentWindow(Rect{60, 40, 260, 360}, "clip.mov");
    const char* backLines[] = {"Track 1: video, 600 units", "Track 2: sound, 44100 units"};
    DrawSampleText(back, backLines, 2);
    WindowPtr front = DocumentWindow(Rect{130, 250, 350, 600}, "movie.mov Tracks");
    const char* frontLines[] = {"Track #: 1    Track ID: 1", "Duration: 7800    Offset: 0",
                                "Track #: 2    Track ID: 2", "Duration: 6000    Offset: 1200"};
    DrawSampleText(front, frontLines, 4);
    harness::RunEvents();
    bool ok = harness::SaveScreenPNG(folder + "/" + name);
    DisposeWindow(front);
    DisposeWindow(back);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    harness::Start(640, 400);
    RegisterMenus();
    bool ok = MenuShot(folder) && DialogShot(folder) && ScrollBarShot(folder) &&
              WindowsShot(folder, 1, "windows.png") && WindowsShot(folder, 2, "windows@2x.png");
    if (!ok)
        std::fprintf(stderr, "could not write the screenshots into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
