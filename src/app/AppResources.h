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
    kTrackTimeDialogID = 196,
    kTrackOffsetDialogID = 197,
    kTrackInfoDialogID = 198,
    kTracksWindowID = 200,
    kTracksXScrollID = 1020,  // 'CNTL': the tracks window's horizontal bar
    kTracksYScrollID = 1021,  // 'CNTL': its vertical bar
    kMovieTypeListID = 128,  // 'open': the files File/Open offers
    kSaveAsItemsID = 500,    // 'DITL': the save dialog's own check boxes
};

// The items of 'DITL' 500, numbered from the save dialog's last standard item.
enum : short {
    kSelfContainedBox = 1,
    kSingleForkBox = 2,
    kFlattenOffsetsBox = 3,
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

// Track menu items (item 4 is a separator).
enum : short {
    kSetOffsetItem = 1,
    kTrackTimesItem = 2,
    kTrackInfoItem = 3,
    kExportTrackItem = 5,
};

// Registers every resource of the application with the resource registry.
// Called once at start-up, before the menu bar is loaded; tests call it too.
void RegisterAppResources();
