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
};

// File menu items.
enum : short {
    kFileOpenItem = 1,
    kFileCloseItem = 2,
    kFileSaveItem = 3,
    kFileSaveAsItem = 4,
    kFileQuitItem = 6,
};

// Registers every resource of the application with the resource registry.
// Called once at start-up, before the menu bar is loaded; tests call it too.
void RegisterAppResources();
