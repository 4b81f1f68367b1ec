#include "app/AppResources.h"

#include "platform/ui/controls/Controls.h"
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

DialogItemTemplate Edit(Rect box)
{
    return DialogItemTemplate{kEditTextDialogItem, box, "", 0};
}

// Dialog 193: the movie's time scale and preferred rate; item 3 cancels and
// item 7 (the current rate) is shown only.
void RegisterFrameRateDialog()
{
    RegisterItemListTemplate(kFrameRateDialogID,
                             ItemListTemplate{{Button(250, 130, 70, "OK"),
                                               Text(Rect{10, 14, 28, 320}, "Time scale and rate of the movie"),
                                               Button(164, 130, 70, "Cancel"),
                                               Text(Rect{40, 14, 56, 200}, "Time scale (units/second):"),
                                               Edit(Rect{40, 210, 56, 316}), Edit(Rect{68, 210, 84, 316}),
                                               Edit(Rect{96, 210, 112, 316}),
                                               Text(Rect{68, 14, 84, 200}, "Preferred rate:"),
                                               Text(Rect{96, 14, 112, 200}, "Current rate (not changed):")}});
    RegisterDialogTemplate(kFrameRateDialogID, DialogTemplate{Rect{140, 340, 302, 680}, movableDBoxProc, true,
                                                              false, 0, kFrameRateDialogID, "Time Scale and Rate"});
}

// Dialog 194: the movie scaled to a new duration in movie time units.
void RegisterScaleMovieDialog()
{
    RegisterItemListTemplate(kScaleMovieDialogID,
                             ItemListTemplate{{Button(250, 100, 70, "OK"), Button(164, 100, 70, "Cancel"),
                                               Text(Rect{14, 170, 30, 316}, ""), Edit(Rect{42, 170, 58, 316}),
                                               Text(Rect{14, 14, 30, 160}, "Current duration:"),
                                               Text(Rect{42, 14, 58, 160}, "New duration:"),
                                               Text(Rect{68, 14, 86, 316}, "Durations count movie time units.")}});
    RegisterDialogTemplate(kScaleMovieDialogID, DialogTemplate{Rect{140, 340, 272, 680}, movableDBoxProc, true,
                                                               false, 0, kScaleMovieDialogID, "Scale Movie"});
}

// Dialog 195: asked before a changed movie closes; ^0 is the movie's name.
void RegisterSaveChangesDialog()
{
    RegisterItemListTemplate(kSaveChangesDialogID,
                             ItemListTemplate{{Button(290, 80, 70, "Save"), Button(204, 80, 70, "Cancel"),
                                               Button(20, 80, 110, "Don\xE2\x80\x99t Save"),
                                               Text(Rect{14, 20, 66, 360},
                                                    "Save the changes to the movie \xE2\x80\x9C^0\xE2\x80\x9D "
                                                    "before closing?")}});
    RegisterDialogTemplate(kSaveChangesDialogID, DialogTemplate{Rect{160, 320, 272, 700}, dBoxProc, true, false, 0,
                                                                kSaveChangesDialogID, ""});
}

// Dialog 199: the size the movie is shown at, in pixels.
void RegisterCustomSizeDialog()
{
    RegisterItemListTemplate(kCustomSizeDialogID,
                             ItemListTemplate{{Button(180, 80, 70, "OK"), Button(94, 80, 70, "Cancel"),
                                               Edit(Rect{14, 90, 30, 160}), Edit(Rect{44, 90, 60, 160}),
                                               Text(Rect{14, 14, 30, 84}, "Width:"),
                                               Text(Rect{44, 14, 60, 84}, "Height:"),
                                               Text(Rect{14, 168, 30, 250}, "pixels"),
                                               Text(Rect{44, 168, 60, 250}, "pixels")}});
    RegisterDialogTemplate(kCustomSizeDialogID, DialogTemplate{Rect{160, 380, 272, 644}, movableDBoxProc, true,
                                                               false, 0, kCustomSizeDialogID, "Custom Size"});
}

// Window 200: the tracks window, a document window with a size box, placed
// to the right of where viewers open; it sizes itself to its tracks. Its two
// scroll bars (1020 horizontal, 1021 vertical) are laid out by the window.
void RegisterTracksWindow()
{
    RegisterWindowTemplate(kTracksWindowID,
                           WindowTemplate{Rect{60, 440, 246, 820}, documentProc, true, true, 0, "Tracks"});
    RegisterControlTemplate(kTracksXScrollID, ControlTemplate{Rect{170, -1, 186, 366}, 0, true, 0, 0, scrollBarProc,
                                                              0, ""});
    RegisterControlTemplate(kTracksYScrollID, ControlTemplate{Rect{-1, 365, 172, 381}, 0, true, 0, 0, scrollBarProc,
                                                              0, ""});
}

// A command item that only the dialog's filter reports: never drawn, never hit.
DialogItemTemplate Hidden()
{
    return DialogItemTemplate{short(userItem + itemDisable), Rect{0, 0, 0, 0}, "", 0};
}

// Dialog 197: a track's offset as units (3) and as a time (4), linked; item 5
// is the update after a pause in typing.
void RegisterTrackOffsetDialog()
{
    RegisterItemListTemplate(kTrackOffsetDialogID,
                             ItemListTemplate{{Button(250, 100, 70, "OK"), Button(164, 100, 70, "Cancel"),
                                               Edit(Rect{14, 170, 30, 316}), Edit(Rect{44, 170, 60, 316}), Hidden(),
                                               Text(Rect{14, 14, 30, 160}, "Offset (movie units):"),
                                               Text(Rect{44, 14, 60, 160}, "Offset (h:m:s.hh):"),
                                               Text(Rect{70, 14, 88, 316}, "The fields follow each other as you type.")}});
    RegisterDialogTemplate(kTrackOffsetDialogID, DialogTemplate{Rect{140, 340, 272, 680}, movableDBoxProc, true,
                                                                false, 0, kTrackOffsetDialogID, "Track Offset"});
}

// Dialog 196: a track's new duration as units (3), a time (4) or a frame
// rate (5), with what follows from it (6 to 10); item 12 is the update after
// a pause in typing.
void RegisterTrackTimeDialog()
{
    auto row = [](short n) { return short(14 + 26 * n); };
    auto value = [&](short n) { return Rect{row(n), 200, short(row(n) + 16), 316}; };
    auto label = [&](short n, const char* text) { return Text(Rect{row(n), 14, short(row(n) + 16), 194}, text); };
    RegisterItemListTemplate(
        kTrackTimeDialogID,
        ItemListTemplate{{Button(250, 240, 70, "OK"), Button(164, 240, 70, "Cancel"), Edit(value(0)), Edit(value(1)),
                          Edit(value(2)), Text(value(3), ""), Text(value(4), ""), Text(value(5), ""),
                          Text(value(6), ""), Text(value(7), ""),
                          Text(Rect{row(8), 14, short(row(8) + 16), 316}, "Durations count movie time units."),
                          Hidden(), label(0, "New duration (units):"), label(1, "New duration (h:m:s.hh):"),
                          label(2, "Frame rate (samples/s):"), label(3, "Samples:"), label(4, "Time scale:"),
                          label(5, "Sample duration now:"), label(6, "New time scale:"),
                          label(7, "New sample duration:")}});
    RegisterDialogTemplate(kTrackTimeDialogID, DialogTemplate{Rect{100, 340, 372, 680}, movableDBoxProc, true, false,
                                                              0, kTrackTimeDialogID, "Track Timing"});
}

// Dialog 198: what a track and its media hold (5 to 17), and whether the
// track is enabled (18). OK is the only way out.
void RegisterTrackInfoDialog()
{
    auto row = [](short n) { return short(40 + 20 * n); };
    auto value = [&](short n, short left) { return Text(Rect{row(n), left, short(row(n) + 16), short(left + 90)}, ""); };
    auto label = [&](short n, short left, const char* text) {
        return Text(Rect{row(n), left, short(row(n) + 16), short(left + 100)}, text);
    };
    RegisterItemListTemplate(
        kTrackInfoDialogID,
        ItemListTemplate{{Button(330, 250, 70, "OK"), Text(Rect{14, 14, 32, 200}, "Track"),
                          Text(Rect{14, 220, 32, 400}, "Media"), Text(Rect{180, 14, 198, 200}, "Playback"),
                          value(0, 110), value(1, 110), value(2, 110), value(3, 110), value(4, 110),
                          value(0, 316), value(1, 316), value(2, 316), value(3, 316), value(4, 316), value(5, 316),
                          value(6, 316), Text(Rect{row(8), 110, short(row(8) + 16), 200}, ""),
                          DialogItemTemplate{kCheckBoxDialogItem, Rect{row(9), 14, short(row(9) + 18), 200},
                                             "Track enabled", 0},
                          label(0, 14, "Time scale:"), label(1, 14, "Duration:"), label(2, 14, "Seconds:"),
                          label(3, 14, "Offset:"), label(4, 14, "Offset (s):"), label(0, 220, "Time scale:"),
                          label(1, 220, "Duration:"), label(2, 220, "Seconds:"), label(3, 220, "Descriptions:"),
                          label(4, 220, "Samples:"), label(5, 220, "Type:"), label(6, 220, "Handler:"),
                          label(8, 14, "Frame rate:")}});
    RegisterDialogTemplate(kTrackInfoDialogID, DialogTemplate{Rect{100, 300, 380, 720}, movableDBoxProc, true, false,
                                                              0, kTrackInfoDialogID, "Track Information"});
}

// 'open' 128: File/Open offers movie files (the platform gives every movie
// extension and Finder type 'MooV' that one type).
void RegisterOpenTypeList()
{
    RegisterTypeListTemplate(kMovieTypeListID, TypeListTemplate{'TVOD', {'MooV'}});
}

// 'DITL' 500: what Save As adds to the save dialog, three check boxes in a
// custom area of 130 by 60 pixels.
void RegisterSaveAsItems()
{
    auto box = [](short row, const char* title) {
        return DialogItemTemplate{kCheckBoxDialogItem, Rect{short(20 * row), 0, short(20 * row + 18), 130}, title, 0};
    };
    RegisterItemListTemplate(kSaveAsItemsID, ItemListTemplate{{box(0, "Self-contained"), box(1, "Single fork"),
                                                               box(2, "Flatten track offsets")}});
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
    RegisterFrameRateDialog();
    RegisterScaleMovieDialog();
    RegisterSaveChangesDialog();
    RegisterCustomSizeDialog();
    RegisterOpenTypeList();
    RegisterSaveAsItems();
    RegisterTracksWindow();
    RegisterTrackOffsetDialog();
    RegisterTrackTimeDialog();
    RegisterTrackInfoDialog();
}
