#include "tools/scenario/WindowDescribers.h"

#include "app/OrvoFramework.h"
#include "framework/Window.h"
#include "platform/controller/MovieProgressWindow.h"
#include "platform/ui/harness/DialogHarness.h"
#include "tools/scenario/FileDialogs.h"
#include "util/MyError.h"

namespace scenario {

namespace {

void Rectangle(JsonWriter& j, const std::string& name, const Rect& r)
{
    j.BeginArray(name);
    j.Number("", r.top);
    j.Number("", r.left);
    j.Number("", r.bottom);
    j.Number("", r.right);
    j.EndArray();
}

const char* ItemTypeName(short type)
{
    switch (type) {
    case kButtonDialogItem: return "button";
    case kCheckBoxDialogItem: return "checkbox";
    case kRadioButtonDialogItem: return "radio";
    case kResourceControlDialogItem: return "control";
    case statText: return "text";
    case editText: return "edit";
    case iconItem: return "icon";
    case picItem: return "picture";
    default: return "user";
    }
}

void ItemOrNull(JsonWriter& j, const std::string& name, short item)
{
    if (item > 0)
        j.Number(name, item);
    else
        j.Null(name);
}

// An alert is what the Alert Manager shows, and the application's own
// error alert, which is made as a dialog.
bool IsAlert(WindowPtr w)
{
    if (!IsDialogWindow(w))
        return false;
    harness::DialogState state = harness::GetDialogState(w);
    return state.fromAlert || state.resourceID == kErrorAlertID;
}

bool IsDialog(WindowPtr w) { return IsDialogWindow(w); }

bool IsProgress(WindowPtr w) { return w != nullptr && w == MovieProgressWindow(); }

void DescribeProgress(JsonWriter& j, WindowPtr)
{
    MovieProgressState state = MovieProgressWindowState();
    j.String("operation", state.text);
    j.Real("done", state.done);
}

bool IsOpenDialog(WindowPtr w) { return FileDialogKindOf(w) == FileDialogKind::Open; }
bool IsSaveDialog(WindowPtr w) { return FileDialogKindOf(w) == FileDialogKind::Save; }

void DescribeFile(JsonWriter& j, WindowPtr w)
{
    DescribeDialog(j, w);
    DescribeFileDialog(j, w);
}

bool IsAnything(WindowPtr) { return true; }
void DescribeNothing(JsonWriter&, WindowPtr) {}

}  // namespace

Window* AppWindowOf(WindowPtr w)
{
    // A registered window keeps its object in the reference constant; the
    // registry check comes first, so a reference constant that is not a
    // window object is never followed.
    UIEngine* engine = gAppleEventsData.uiRef;
    if (w == nullptr || engine == nullptr)
        return nullptr;
    auto* candidate = reinterpret_cast<Window*>(GetWRefCon(w));
    return engine->IsRegistered(candidate) ? candidate : nullptr;
}

void DescribeDialog(JsonWriter& j, WindowPtr w)
{
    harness::DialogState state = harness::GetDialogState(w);
    j.Number("id", state.resourceID);
    j.BeginArray("items");
    short n = 0;
    for (const harness::DialogItemState& item : state.items) {
        j.BeginObject("");
        j.Number("n", ++n);
        j.String("type", ItemTypeName(item.type));
        j.String("text", item.shownText);
        j.Number("value", item.value);
        j.Bool("enabled", item.enabled);
        j.Bool("visible", !item.hidden);
        Rectangle(j, "rect", item.bounds);
        j.EndObject();
    }
    j.EndArray();
    ItemOrNull(j, "focus", state.focusItem);
    ItemOrNull(j, "default", state.defaultItem);
    ItemOrNull(j, "cancel", state.cancelItem);
}

// The viewer and tracks windows join this table when their classes exist:
// {"viewer", IsViewer, DescribeViewer} with IsViewer a dynamic_cast of
// AppWindowOf(w) to the viewer class, and the movie written by the movie
// dump's writer; likewise "tracks" before "other".
const std::vector<WindowDescriber>& WindowDescribers()
{
    static const std::vector<WindowDescriber> table = {
        {"progress", IsProgress, DescribeProgress},
        {"open", IsOpenDialog, DescribeFile},
        {"save", IsSaveDialog, DescribeFile},
        {"alert", IsAlert, DescribeDialog},
        {"dialog", IsDialog, DescribeDialog},
        {"other", IsAnything, DescribeNothing},
    };
    return table;
}

const WindowDescriber& DescriberFor(WindowPtr w)
{
    for (const WindowDescriber& d : WindowDescribers())
        if (d.recognises(w))
            return d;
    return WindowDescribers().back();
}

}  // namespace scenario
