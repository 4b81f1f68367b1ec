#include "platform/ui/navigation/NavFolderList.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

#include "platform/core/PascalStrings.h"
#include "platform/filesystem/Files.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "platform/ui/windows/Windows.h"

namespace fs = std::filesystem;

namespace nav {

namespace {

constexpr short kRowHeight = 16;
constexpr short kScrollBarWidth = 16;
constexpr short kDateColumnWidth = 130;
constexpr short kTextInset = 4;
// Keys typed further apart than this start a new name.
constexpr UInt32 kTypeSelectTicks = 60;

enum : unsigned char { kUpArrow = 0x1E, kDownArrow = 0x1F, kHomeKey = 0x01, kEndKey = 0x04 };

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Case-blind order, then byte order, so the order is total and stable.
bool NameLess(const FolderEntry& a, const FolderEntry& b)
{
    std::string la = Lower(a.name), lb = Lower(b.name);
    return la != lb ? la < lb : a.name < b.name;
}

std::string DateText(std::time_t when)
{
    if (when == 0)
        return "--";
    std::tm parts{};
    localtime_r(&when, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &parts);
    return text;
}

// Draws text left-aligned at (h, baseline v), cut with an ellipsis so that
// it fits in `width` pixels.
void DrawFitted(const std::string& text, short h, short v, short width)
{
    Str255 s;
    pstr::FromStd(text, s);
    if (StringWidth(s) > width) {
        std::string cut = text;
        Str255 e;
        do {
            cut.resize(pstr::Utf8CutLength(cut, cut.size() - 1));
            pstr::FromStd(cut + "\xE2\x80\xA6", e);
        } while (!cut.empty() && StringWidth(e) > width);
        std::memcpy(s, e, size_t(e[0]) + 1);
    }
    MoveTo(h, v);
    DrawString(s);
}

void ScrollAction(ControlHandle control, ControlPartCode part)
{
    auto* list = reinterpret_cast<FolderList*>(GetControlReference(control));
    if (list == nullptr)
        return;
    short value = GetControlValue(control);
    Rect bounds;
    GetControlBounds(control, &bounds);
    short page = short(std::max(1, (bounds.bottom - bounds.top) / kRowHeight - 1));
    switch (part) {
    case kControlUpButtonPart: value = short(value - 1); break;
    case kControlDownButtonPart: value = short(value + 1); break;
    case kControlPageUpPart: value = short(value - page); break;
    case kControlPageDownPart: value = short(value + page); break;
    default: return;
    }
    SetControlValue(control, value);
    list->Draw();
}

}  // namespace

FolderList::FolderList(DialogPtr d, short list, short path) : dialog(d), listItem(list), pathItem(path)
{
    SetWRefCon(dialog, reinterpret_cast<long>(this));
    DialogItemType type;
    Handle handle;
    Rect box;
    GetDialogItem(dialog, listItem, &type, &handle, &box);
    Rect barRect = {box.top, short(box.right - kScrollBarWidth), box.bottom, box.right};
    scrollBar = NewControl(dialog, &barRect, ""_p, true, 0, 0, 0, scrollBarProc, reinterpret_cast<long>(this));
    SetControlAction(scrollBar, ScrollAction);
}

FolderList::~FolderList()
{
    if (scrollBar != nullptr)
        DisposeControl(scrollBar);
    SetWRefCon(dialog, 0);
}

FolderList* FolderList::Of(DialogPtr d)
{
    return reinterpret_cast<FolderList*>(GetWRefCon(d));
}

void FolderList::SetFileFilter(std::function<bool(const std::string&)> filter)
{
    accepts = std::move(filter);
}

OSErr FolderList::SetFolder(const std::string& path)
{
    std::error_code ec;
    fs::directory_iterator it(path, fs::directory_options::none, ec);
    if (ec)
        return OSErrFromErrno(ec.value());
    std::vector<FolderEntry> found;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        std::error_code entryError;
        FolderEntry entry;
        entry.name = name;
        entry.isFolder = it->is_directory(entryError);
        if (!entry.isFolder && !it->is_regular_file(entryError))
            continue;
        if (!entry.isFolder && accepts && !accepts(it->path().string()))
            continue;
        struct stat info;
        if (stat(it->path().c_str(), &info) == 0)
            entry.modified = info.st_mtime;
        found.push_back(std::move(entry));
    }
    folder = fs::path(path).lexically_normal().string();
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    entries = std::move(found);
    selected = -1;
    lastClickRow = -1;
    typed.clear();
    Sort();
    SetControlValue(scrollBar, 0);
    UpdateScrollBar();
    ShowPath();
    Draw();
    return noErr;
}

OSErr FolderList::GoUp()
{
    fs::path here(folder);
    if (!here.has_parent_path() || here.parent_path() == here)
        return noErr;
    std::string came = here.filename().string();
    OSErr err = SetFolder(here.parent_path().string());
    if (err == noErr)
        SelectByName(came);
    return err;
}

void FolderList::Reload()
{
    std::string keep = SelectedEntry() ? SelectedEntry()->name : std::string();
    short top = GetControlValue(scrollBar);
    if (SetFolder(folder) == noErr) {
        SetControlValue(scrollBar, top);
        if (!keep.empty())
            SelectByName(keep);
        Draw();
    }
}

void FolderList::Sort()
{
    std::string keep = SelectedEntry() ? SelectedEntry()->name : std::string();
    auto less = [this](const FolderEntry& a, const FolderEntry& b) {
        if (a.isFolder != b.isFolder)
            return a.isFolder;  // folders first, in either order
        bool aFirst = sortKey == SortKey::Date && a.modified != b.modified ? a.modified < b.modified
                                                                           : NameLess(a, b);
        bool bFirst = sortKey == SortKey::Date && a.modified != b.modified ? b.modified < a.modified
                                                                           : NameLess(b, a);
        return ascending ? aFirst : bFirst;
    };
    std::stable_sort(entries.begin(), entries.end(), less);
    selected = -1;
    if (!keep.empty())
        SelectByName(keep);
}

void FolderList::SortBy(SortKey key)
{
    if (key == sortKey)
        ascending = !ascending;
    else {
        sortKey = key;
        ascending = true;
    }
    Sort();
    Draw();
}

const FolderEntry* FolderList::SelectedEntry() const
{
    return selected >= 0 && selected < int(entries.size()) ? &entries[size_t(selected)] : nullptr;
}

std::string FolderList::SelectedPath() const
{
    const FolderEntry* entry = SelectedEntry();
    if (entry == nullptr)
        return {};
    return folder == "/" ? "/" + entry->name : folder + "/" + entry->name;
}

void FolderList::Select(int index)
{
    if (entries.empty())
        index = -1;
    else
        index = std::clamp(index, 0, int(entries.size()) - 1);
    selected = index;
    ScrollToSelection();
    Draw();
}

bool FolderList::SelectByName(const std::string& name)
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].name == name) {
            Select(int(i));
            return true;
        }
    return false;
}

Rect FolderList::RowsRect() const
{
    DialogItemType type;
    Handle handle;
    Rect box;
    GetDialogItem(dialog, listItem, &type, &handle, &box);
    box.right = short(box.right - kScrollBarWidth);
    return box;
}

int FolderList::VisibleRows() const
{
    Rect r = RowsRect();
    return std::max(1, (r.bottom - r.top) / kRowHeight);
}

void FolderList::UpdateScrollBar()
{
    int hidden = int(entries.size()) - VisibleRows();
    SetControlMaximum(scrollBar, short(std::clamp(hidden, 0, 32767)));
}

void FolderList::ScrollToSelection()
{
    if (selected < 0)
        return;
    int top = GetControlValue(scrollBar);
    int rows = VisibleRows();
    if (selected < top)
        SetControlValue(scrollBar, short(selected));
    else if (selected >= top + rows)
        SetControlValue(scrollBar, short(selected - rows + 1));
}

void FolderList::ShowPath()
{
    DialogItemType type;
    Handle handle;
    Rect box;
    GetDialogItem(dialog, pathItem, &type, &handle, &box);
    Str255 text;
    pstr::FromStd(folder, text);
    SetDialogItemText(handle, text);
}

void FolderList::Draw()
{
    GrafPtr saved;
    GetPort(&saved);
    SetPortWindowPort(dialog);
    Rect rows = RowsRect();
    EraseRect(&rows);
    Rect frame = rows;
    frame.right = short(frame.right + kScrollBarWidth);
    InsetRect(&frame, -1, -1);
    FrameRect(&frame);
    RgnHandle savedClip = NewRgn();
    GetClip(savedClip);
    ClipRect(&rows);
    TextFont(systemFont);
    TextSize(12);
    int top = GetControlValue(scrollBar);
    int count = VisibleRows() + 1;
    short nameWidth = short(rows.right - rows.left - kDateColumnWidth - 2 * kTextInset);
    for (int row = top; row < int(entries.size()) && row < top + count; ++row) {
        const FolderEntry& entry = entries[size_t(row)];
        short v = short(rows.top + (row - top) * kRowHeight);
        Rect line = {v, rows.left, short(v + kRowHeight), rows.right};
        std::string name = entry.isFolder ? entry.name + "/" : entry.name;
        DrawFitted(name, short(rows.left + kTextInset), short(v + 12), nameWidth);
        DrawFitted(DateText(entry.modified), short(rows.right - kDateColumnWidth), short(v + 12),
                   short(kDateColumnWidth - kTextInset));
        if (row == selected)
            InvertRect(&line);
    }
    SetClip(savedClip);
    DisposeRgn(savedClip);
    Draw1Control(scrollBar);
    SetPort(saved);
}

bool FolderList::Click(Point local, UInt32 when)
{
    ControlHandle hit = nullptr;
    if (FindControl(local, dialog, &hit) != 0 && hit == scrollBar) {
        ControlPartCode part = TrackControl(scrollBar, local, reinterpret_cast<ControlActionUPP>(-1L));
        if (part == kControlIndicatorPart)
            Draw();
        return false;
    }
    Rect rows = RowsRect();
    if (!PtInRect(local, &rows))
        return false;
    int row = GetControlValue(scrollBar) + (local.v - rows.top) / kRowHeight;
    if (row >= int(entries.size())) {
        selected = -1;
        lastClickRow = -1;
        Draw();
        return false;
    }
    bool twice = row == lastClickRow && when - lastClickTime <= GetDblTime();
    Select(row);
    lastClickRow = twice ? -1 : row;
    lastClickTime = when;
    return twice;
}

bool FolderList::Key(unsigned char c, UInt32 when)
{
    switch (c) {
    case kUpArrow:
        Select(selected < 0 ? int(entries.size()) - 1 : selected - 1);
        return true;
    case kDownArrow:
        Select(selected < 0 ? 0 : selected + 1);
        return true;
    case kHomeKey:
        Select(0);
        return true;
    case kEndKey:
        Select(int(entries.size()) - 1);
        return true;
    default:
        break;
    }
    if (c < 0x20 || c == 0x7F)
        return false;
    if (when - lastKeyTime > kTypeSelectTicks)
        typed.clear();
    lastKeyTime = when;
    typed.push_back(char(c));
    std::string wanted = Lower(typed);
    // The first entry, in the order shown, whose name starts with what was
    // typed; else the first one that sorts after it by name.
    int best = -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (Lower(entries[i].name).rfind(wanted, 0) == 0) {
            best = int(i);
            break;
        }
    if (best < 0)
        for (size_t i = 0; i < entries.size(); ++i)
            if (Lower(entries[i].name) > wanted) {
                best = int(i);
                break;
            }
    if (best >= 0)
        Select(best);
    return true;
}

}  // namespace nav
