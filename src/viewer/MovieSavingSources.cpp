// Which files a save must not replace: those that hold samples of a movie
// open in Orvo. A reference movie saved over its own source, or over the
// source of another viewer's movie, would leave that movie without samples.
#include <filesystem>

#include "framework/UIEngine.h"
#include "framework/Window.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "viewer/MovieSaving.h"
#include "viewer/OrvoViewerWindow.h"

namespace {

// Every viewer's movie, found through the platform's window list: each
// registered window keeps its object in the reference constant.
bool AnyViewerUses(const std::string& path, UIEngine* theApp)
{
    if (theApp == nullptr)
        return false;
    for (WindowPtr w = GetWindowList(); w != nullptr; w = GetNextWindow(w)) {
        auto* candidate = reinterpret_cast<Window*>(GetWRefCon(w));
        if (!theApp->IsRegistered(candidate))
            continue;
        auto* viewer = dynamic_cast<OrvoViewerWindow*>(candidate);
        if (viewer != nullptr && viewer->GetMovie() != nullptr &&
            MovieDataRefs::MovieUsesFile(viewer->GetMovie(), path))
            return true;
    }
    return false;
}

}  // namespace

bool FileHoldsOpenSamples(const FSSpec& file, Movie movie, UIEngine* theApp)
{
    std::string path = FSSpecPath(file);
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(path, ec))
        return false;
    return (movie != nullptr && MovieDataRefs::MovieUsesFile(movie, path)) || AnyViewerUses(path, theApp);
}
