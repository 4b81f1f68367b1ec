#include "app/AppResources.h"

#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/windows/Windows.h"
#include "util/MyError.h"

namespace {

MenuItemTemplate Item(const char* text, char key = 0, bool enabled = true)
{
    return MenuItemTemplate{text, key, enabled, 0};
}

MenuItemTemplate Separator()
{
    return MenuItemTemplate{"-", 0, false, 0};
}

void RegisterMenus()
{
    RegisterMenuBarTemplate(kMenuBarID, MenuBarTemplate{{kAppleMenuID, kFileMenuID, kSizeMenuID, kTimeMenuID,
                                                         kTrackMenuID}});
    RegisterMenuTemplate(kAppleMenuID, MenuTemplate{"Orvo", {Item("About Orvo\xE2\x80\xA6")}, true});
    // Close, Save and Save As act on an open movie; with none open they
    // start disabled.
    RegisterMenuTemplate(kFileMenuID, MenuTemplate{"File",
                                                   {Item("Open\xE2\x80\xA6", 'O'), Item("Close", 'W', false),
                                                    Item("Save", 'S', false), Item("Save As\xE2\x80\xA6", 0, false),
                                                    Separator(), Item("Quit", 'Q')},
                                                   true});
    // Item 1 is a heading; item 6 separates the size that is only shown
    // from the command that makes it the movie's normal size.
    RegisterMenuTemplate(kSizeMenuID, MenuTemplate{"Size",
                                                   {Item("Show Movie At", 0, false), Item("Normal Size", '1'),
                                                    Item("Double Size", '2'), Item("Maximum Size"),
                                                    Item("Custom Size\xE2\x80\xA6"), Separator(),
                                                    Item("Use Current Size as Normal")},
                                                   false});
    RegisterMenuTemplate(kTimeMenuID, MenuTemplate{"Timing",
                                                   {Item("Time Scale and Rate\xE2\x80\xA6", 'R'),
                                                    Item("Scale Movie\xE2\x80\xA6", 'L')},
                                                   false});
    RegisterMenuTemplate(kTrackMenuID, MenuTemplate{"Track",
                                                    {Item("Set Offset\xE2\x80\xA6", 'T', false),
                                                     Item("Track Timing\xE2\x80\xA6", 'D', false),
                                                     Item("Track Information\xE2\x80\xA6", 'I', false), Separator(),
                                                     Item("Export Track\xE2\x80\xA6", 'E', false)},
                                                    false});
}

DialogItemTemplate Button(short left, short top, short width, const char* title)
{
    return DialogItemTemplate{kButtonDialogItem, Rect{top, left, short(top + 20), short(left + width)}, title, 0};
}

DialogItemTemplate Text(Rect box, const char* text)
{
    return DialogItemTemplate{short(kStaticTextDialogItem + itemDisable), box, text, 0};
}

void RegisterAboutBox()
{
    RegisterItemListTemplate(kAboutDialogID,
                             ItemListTemplate{{Button(250, 118, 70, "OK"),
                                               Text(Rect{16, 20, 36, 320}, "Orvo"),
                                               Text(Rect{42, 20, 106, 320},
                                                    "Inspects and restructures QuickTime movies: track offsets, "
                                                    "durations and frame rates, the movie\xE2\x80\x99s time scale, "
                                                    "rate and size.")}});
    RegisterDialogTemplate(kAboutDialogID,
                           DialogTemplate{Rect{140, 340, 290, 680}, movableDBoxProc, true, false, 0, kAboutDialogID,
                                          "About Orvo"});
}

// The error alert: item 1 quits, item 2 continues; ^0 is the caller's label,
// ^1 the kind of failure and ^2 the error code (absent for nil checks).
void RegisterErrorAlert()
{
    RegisterItemListTemplate(kErrorAlertID,
                             ItemListTemplate{{Button(176, 96, 80, "Quit"), Button(270, 96, 80, "Continue"),
                                               Text(Rect{14, 70, 54, 350}, "^0"),
                                               Text(Rect{60, 70, 80, 350}, "^1 ^2")}});
    RegisterDialogTemplate(kErrorAlertID,
                           DialogTemplate{Rect{160, 320, 290, 680}, dBoxProc, true, false, 0, kErrorAlertID, ""});
}

}  // namespace

void RegisterAppResources()
{
    RegisterMenus();
    RegisterAboutBox();
    RegisterErrorAlert();
}
