// Resources the application defines in code.
//
// A classic application carried its menus, dialogs and windows in a resource
// fork compiled from Rez sources. Orvo describes the same templates as C++
// values and registers them by type and number at start-up; the toolbox calls
// that take a resource number (GetNewMBar, GetNewDialog, GetNewCWindow,
// GetNewControl, Alert, ...) look them up here. Texts are UTF-8.
#pragma once

#include <string>
#include <vector>

#include "platform/core/MacTypes.h"

// Resource types the registry knows.
enum : ResType {
    kMenuBarResType = 'MBAR',
    kMenuResType = 'MENU',
    kDialogResType = 'DLOG',
    kAlertResType = 'ALRT',
    kItemListResType = 'DITL',
    kWindowResType = 'WIND',
    kControlResType = 'CNTL',
    kTypeListResType = 'open',
    kDeskAccessoryResType = 'DRVR',
};

// One item of a 'MENU'. A text of "-" is a separator line (always disabled).
struct MenuItemTemplate {
    std::string text;
    char commandKey = 0;      // 0: none; compared without regard to case
    bool enabled = true;
    UInt16 mark = 0;          // 0: none; checkMark (0x12) draws a check
};

struct MenuTemplate {
    std::string title;        // any UTF-8 text, the application's name for the Apple menu
    std::vector<MenuItemTemplate> items;
    bool enabled = true;      // the whole menu
};

// 'MBAR': the menus of a menu bar, left to right.
struct MenuBarTemplate {
    std::vector<short> menuIDs;
};

// 'WIND'. procID uses the Window Manager's values (documentProc 0, ...).
struct WindowTemplate {
    Rect bounds{};            // global coordinates of the content area
    short procID = 0;
    bool visible = true;
    bool goAwayFlag = true;
    long refCon = 0;
    std::string title;
};

// 'CNTL'. procID: pushButProc 0, checkBoxProc 1, radioButProc 2,
// scrollBarProc 16.
struct ControlTemplate {
    Rect bounds{};            // local coordinates of the owning window
    short value = 0;
    bool visible = true;
    short maximum = 0;
    short minimum = 0;
    short procID = 0;
    long refCon = 0;
    std::string title;
};

// Dialog item types, as stored in a 'DITL'. itemDisable (128) may be added
// to any of them: a disabled item is never reported by ModalDialog.
enum : short {
    userItem = 0,
    ctrlItem = 4,
    btnCtrl = 0,
    chkCtrl = 1,
    radCtrl = 2,
    resCtrl = 3,
    kButtonDialogItem = ctrlItem + btnCtrl,     // 4
    kCheckBoxDialogItem = ctrlItem + chkCtrl,   // 5
    kRadioButtonDialogItem = ctrlItem + radCtrl,  // 6
    kResourceControlDialogItem = ctrlItem + resCtrl,  // 7: a 'CNTL' by number
    statText = 8,
    kStaticTextDialogItem = statText,
    editText = 16,
    kEditTextDialogItem = editText,
    iconItem = 32,
    picItem = 64,
    itemDisable = 128,
};

struct DialogItemTemplate {
    short type = userItem;    // may include itemDisable
    Rect bounds{};            // local coordinates of the dialog window
    std::string text;         // title of a control, text of a text item
    short resourceID = 0;     // the 'CNTL' number of a resource control item
};

// 'DITL': items are numbered from 1 in list order.
struct ItemListTemplate {
    std::vector<DialogItemTemplate> items;
};

// 'DLOG'. procID: dBoxProc 1, plainDBox 2, movableDBoxProc 5, documentProc 0.
struct DialogTemplate {
    Rect bounds{};            // global coordinates of the content area
    short procID = 1;
    bool visible = true;
    bool goAwayFlag = false;
    long refCon = 0;
    short itemsID = 0;        // the 'DITL' number
    std::string title;
};

// 'ALRT'. An alert's window is always a modal box; item 1 is the default
// button and item 2 (when there is one) the cancel button.
struct AlertTemplate {
    Rect bounds{};            // global coordinates of the content area
    short itemsID = 0;
    UInt16 stages = 0x5555;   // kept for completeness; every stage shows
};

// 'open': the file types a file dialog offers (a Navigation Services type
// list). Its handle holds the classic NavTypeList layout in host order.
struct TypeListTemplate {
    OSType componentSignature = 0;
    std::vector<OSType> types;
};

// Registering a template replaces any earlier one of the same type and
// number. The registry keeps its own copy.
void RegisterMenuBarTemplate(short id, const MenuBarTemplate& t);
void RegisterMenuTemplate(short id, const MenuTemplate& t);
void RegisterWindowTemplate(short id, const WindowTemplate& t);
void RegisterControlTemplate(short id, const ControlTemplate& t);
void RegisterItemListTemplate(short id, const ItemListTemplate& t);
void RegisterDialogTemplate(short id, const DialogTemplate& t);
void RegisterAlertTemplate(short id, const AlertTemplate& t);
void RegisterTypeListTemplate(short id, const TypeListTemplate& t);

// Removes one template (no effect when there is none) or every template;
// tests use these to start from a known registry.
void UnregisterResourceTemplate(ResType type, short id);
void ClearResourceTemplates();

// Lookups by number: nil when no template of that type and number is
// registered. The pointer stays valid until the template is replaced or
// removed.
const MenuBarTemplate* LookupMenuBarTemplate(short id);
const MenuTemplate* LookupMenuTemplate(short id);
const WindowTemplate* LookupWindowTemplate(short id);
const ControlTemplate* LookupControlTemplate(short id);
const ItemListTemplate* LookupItemListTemplate(short id);
const DialogTemplate* LookupDialogTemplate(short id);
const AlertTemplate* LookupAlertTemplate(short id);
const TypeListTemplate* LookupTypeListTemplate(short id);

// True when a template of that type and number is registered.
bool HasResourceTemplate(ResType type, short id);
