// The application's resources: menus, dialogs and windows by number.
//
// Texts and layouts are Orvo's own; the numbers, the item numbers and the
// command keys are what the code and the people who use Orvo rely on.
#pragma once

enum : short {
    kMenuBarID = 128,
    kAppleMenuID = 128,
    kFileMenuID = 129,
    kSizeMenuID = 131,
    kTimeMenuID = 132,
    kTrackMenuID = 133,
    kAboutDialogID = 192,
    kFrameRateDialogID = 193,
    kScaleMovieDialogID = 194,
    kSaveChangesDialogID = 195,
    kCustomSizeDialogID = 199,
    kMovieTypeListID = 128,  // 'open': the files File/Open offers
};

// File menu items.
enum : short {
    kFileOpenItem = 1,
    kFileCloseItem = 2,
    kFileSaveItem = 3,
    kFileSaveAsItem = 4,
    kFileQuitItem = 6,
};

// Size menu items (item 1 is a heading, item 6 a separator).
enum : short {
    kNormalSizeItem = 2,
    kDoubleSizeItem = 3,
    kMaxSizeItem = 4,
    kCustomSizeItem = 5,
    kSetDefaultSizeItem = 7,
};

// Timing menu items.
enum : short {
    kFrameRateItem = 1,
    kScaleMovieItem = 2,
};

// Registers every resource of the application with the resource registry.
// Called once at start-up, before the menu bar is loaded; tests call it too.
void RegisterAppResources();
