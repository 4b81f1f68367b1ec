// The folder list that both file dialogs show: the entries of one folder,
// folders first, sorted by name or date, drawn in a dialog's user item with
// a vertical scroll bar, and answering clicks and typed keys.
//
// Internal to the Navigation Services module.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/MacTypes.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialogs.h"

namespace nav {

struct FolderEntry {
    std::string name;        // UTF-8, as on disk
    bool isFolder = false;
    std::time_t modified = 0;
};

enum class SortKey { Name, Date };

class FolderList {
public:
    // listItem is the user item the rows are drawn in; its right 16 pixels
    // hold the scroll bar. pathItem is a static text showing the folder.
    FolderList(DialogPtr dialog, short listItem, short pathItem);
    ~FolderList();
    FolderList(const FolderList&) = delete;
    FolderList& operator=(const FolderList&) = delete;

    // Which files are listed; folders always are, hidden names never.
    void SetFileFilter(std::function<bool(const std::string& path)> accepts);

    // Reads a folder. On failure (a folder that cannot be read, say) the
    // list stays on the folder it showed and the classic code is returned.
    OSErr SetFolder(const std::string& path);
    const std::string& Folder() const { return folder; }
    // Goes to the enclosing folder and selects the one it came from.
    OSErr GoUp();
    // Re-reads the folder, keeping the selection by name.
    void Reload();

    // A second choice of the same key reverses the order.
    void SortBy(SortKey key);
    SortKey Key() const { return sortKey; }
    bool Ascending() const { return ascending; }

    const std::vector<FolderEntry>& Entries() const { return entries; }
    int Selected() const { return selected; }
    const FolderEntry* SelectedEntry() const;
    std::string SelectedPath() const;
    void Select(int index);
    bool SelectByName(const std::string& name);

    // A mouse-down in the list item (local point): selects the row, scrolls
    // through the scroll bar. True when it was the second click of a
    // double-click on the same row.
    bool Click(Point local, UInt32 when);
    // Arrow keys move the selection; printable characters typed within a
    // second of each other select the first entry whose name starts with
    // them, ignoring case. True when the key was used.
    bool Key(unsigned char c, UInt32 when);

    void Draw();
    static FolderList* Of(DialogPtr dialog);

private:
    void Sort();
    void ScrollToSelection();
    void UpdateScrollBar();
    void ShowPath();
    int VisibleRows() const;
    Rect RowsRect() const;

    DialogPtr dialog;
    short listItem;
    short pathItem;
    ControlHandle scrollBar = nullptr;
    std::function<bool(const std::string&)> accepts;
    std::string folder;
    std::vector<FolderEntry> entries;
    SortKey sortKey = SortKey::Name;
    bool ascending = true;
    int selected = -1;
    int lastClickRow = -1;
    UInt32 lastClickTime = 0;
    std::string typed;
    UInt32 lastKeyTime = 0;
};

// The file dialog running now, for tools that drive it from outside (the
// scenario driver): its window, kind, folder list and item numbers.
struct RunningDialog {
    DialogPtr dialog = nullptr;  // nil when no file dialog runs
    bool saving = false;
    FolderList* list = nullptr;
    short actionItem = 1;
    short cancelItem = 2;
    short nameItem = 0;        // the save dialog's name field
    short standardItems = 0;   // the application's items follow these
};
RunningDialog CurrentDialog();

}  // namespace nav
