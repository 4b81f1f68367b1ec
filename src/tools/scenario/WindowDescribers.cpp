#include "tools/scenario/WindowDescribers.h"

#include <filesystem>

#include "app/OrvoFramework.h"
#include "framework/Window.h"
#include "platform/controller/MovieProgressWindow.h"
#include "platform/ui/harness/DialogHarness.h"
#include "tools/scenario/FileDialogs.h"
#include "platform/movies/moviefiles/MovieFileTable.h"
#include "tools/moviedump/MovieJson.h"
#include "tracks/OrvoTracksWindow.h"
#include "viewer/OrvoViewerWindow.h"
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

OrvoTracksWindow* TracksWindowOf(WindowPtr w) { return dynamic_cast<OrvoTracksWindow*>(AppWindowOf(w)); }

bool IsTracks(WindowPtr w) { return TracksWindowOf(w) != nullptr; }

// The track list as the window holds it, with the selection by record index
// and the scroll bars' values and maximums.
void DescribeTracks(JsonWriter& j, WindowPtr w)
{
    const OrvoTracksWindow* tracks = TracksWindowOf(w);
    j.Number("numTracks", tracks->NumTracks());
    if (tracks->SelectedTrack() != nullptr)
        j.Number("selected", tracks->SelectedTrack()->index);
    else
        j.Null("selected");
    j.BeginArray("records");
    for (const TrackListNode* node = tracks->TrackList(); node != nullptr; node = node->next) {
        j.BeginObject("");
        j.Number("index", node->index);
        j.Number("trackID", node->trackID);
        j.Real("trackWidth", node->trackWidth / 65536.0);
        j.Real("trackHeight", node->trackHeight / 65536.0);
        j.Number("trackOffset", node->trackOffset);
        j.Number("trackDuration", node->trackDuration);
        j.Number("trackScale", node->trackScale);
        j.Number("mediaDuration", node->mediaDuration);
        j.Number("mediaScale", node->mediaScale);
        j.EndObject();
    }
    j.EndArray();
    j.BeginObject("scroll");
    j.Number("x", GetControlValue(tracks->XScroll()));
    j.Number("xMax", GetControlMaximum(tracks->XScroll()));
    j.Number("y", GetControlValue(tracks->YScroll()));
    j.Number("yMax", GetControlMaximum(tracks->YScroll()));
    j.EndObject();
}

OrvoViewerWindow* ViewerWindowOf(WindowPtr w) { return dynamic_cast<OrvoViewerWindow*>(AppWindowOf(w)); }

bool IsViewer(WindowPtr w) { return ViewerWindowOf(w) != nullptr; }

// The path the open movie file was opened by, made absolute; null when the
// viewer has no open movie file.
void MovieFilePath(JsonWriter& j, short refNum)
{
    const MovieFileRecord* record = refNum != 0 ? MovieFileTable::Find(refNum) : nullptr;
    if (record == nullptr) {
        j.Null("file");
        return;
    }
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(record->path, ec);
    j.String("file", ec ? record->path : absolute.lexically_normal().string());
}

// The movie in memory as moviedump shows a file, with what the viewer and
// its controller make of it.
void DescribeViewer(JsonWriter& j, WindowPtr w)
{
    const OrvoViewerWindow* viewer = ViewerWindowOf(w);
    Movie movie = viewer->GetMovie();
    if (movie != nullptr)
        WriteMovieJson(j, movie, "movie");
    else
        j.Null("movie");
    j.Bool("changed", movie != nullptr && HasMovieChanged(movie));
    MovieFilePath(j, viewer->MovieRefNum());
    j.Number("resID", viewer->MovieResID());
    j.BeginArray("normalSize");
    j.Number("", viewer->NormalWidth());
    j.Number("", viewer->NormalHeight());
    j.EndArray();
    Rect box = {0, 0, 0, 0};
    if (movie != nullptr)
        GetMovieBox(movie, &box);
    Rectangle(j, "movieBox", box);
    MovieController controller = viewer->Controller();
    if (controller == nullptr) {
        j.Null("controller");
        return;
    }
    j.BeginObject("controller");
    Rect bounds;
    MCGetControllerBoundsRect(controller, &bounds);
    Rectangle(j, "bounds", bounds);
    j.Number("time", GetMovieTime(movie, nullptr));
    j.Real("rate", Fix2X(GetMovieRate(movie)));
    j.EndObject();
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

const std::vector<WindowDescriber>& WindowDescribers()
{
    static const std::vector<WindowDescriber> table = {
        {"progress", IsProgress, DescribeProgress},
        {"open", IsOpenDialog, DescribeFile},
        {"save", IsSaveDialog, DescribeFile},
        {"alert", IsAlert, DescribeDialog},
        {"dialog", IsDialog, DescribeDialog},
        {"viewer", IsViewer, DescribeViewer},
        {"tracks", IsTracks, DescribeTracks},
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
