// The application object driven headless, with movies made for each test in
// a scratch folder and a script that answers the dialogs it puts up.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../app/DialogScript.h"
#include "app/AppResources.h"
#include "app/OrvoFramework.h"
#include "app/Startup.h"
#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/harness/MenuHarness.h"
#include "platform/ui/navigation/Navigation.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/system/Gestalt.h"
#include "support/ScratchFolder.h"
#include "viewer/OrvoViewerWindow.h"

// The viewer's protected state, read by the tests.
struct ViewerAccess : OrvoViewerWindow {
    using OrvoViewerWindow::movie;
    using OrvoViewerWindow::movieHeight;
    using OrvoViewerWindow::movieName;
    using OrvoViewerWindow::movieWidth;
    using OrvoViewerWindow::tracksWin;
    using OrvoViewerWindow::win;
};

inline ViewerAccess* AsViewer(Window* w)
{
    return static_cast<ViewerAccess*>(dynamic_cast<OrvoViewerWindow*>(w));
}

class TestApp : public OrvoFramework {
public:
    using OrvoFramework::HandleMenu;
    using UIEngine::windows;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start(1024, 768);
        ClearResourceTemplates();
        RegisterAppResources();
        ResetGestaltValues();
        gQuitFlag = false;
        gClosingWindow = nullptr;
        gOSX = false;
        InitApp(app);
        NavSetStartFolder(folder);
    }
    void TearDown() override
    {
        harness::SetIdleProc(nullptr);
        while (!app.windows.empty())
            delete app.windows.front().get();
        gQuitFlag = false;
        gClosingWindow = nullptr;
        gOSX = false;
    }

    std::string Path(const std::string& leaf) const { return folder + "/" + leaf; }

    // A 160 x 120, 2-second movie at 10 frames per second made by ffmpeg.
    std::string MakeMovie(const std::string& leaf, const std::string& size = "160x120")
    {
        std::string path = Path(leaf);
        std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc=size=" + size +
                              ":rate=10 -t 2 -c:v mpeg4 '" + path + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return path;
    }

    std::vector<long> RunLoop(int passes = 20)
    {
        std::vector<long> results;
        for (int i = 0; i < passes; ++i)
            results.push_back(app.Idle());
        return results;
    }

    // Opens files by an open-documents Apple event, as a drop does.
    void OpenByAppleEvent(const std::vector<std::string>& paths)
    {
        ASSERT_EQ(AEPostOpenDocuments(paths), noErr);
        RunLoop();
        // Each movie opens with its tracks window in front; the viewer
        // commands need the viewer there.
        if (ViewerAccess* v = FrontViewer()) {
            SelectWindow(*v);
            RunLoop();
        }
    }

    // The newest viewer.
    ViewerAccess* FrontViewer()
    {
        for (const auto& w : app.windows)
            if (ViewerAccess* v = AsViewer(w.get()))
                return v;
        return nullptr;
    }

    TestApp app;
    ScratchFolder scratch;
    std::string folder = scratch.Path();
};

// The movie a file holds, read afresh (to see what a save wrote); nil when
// the file holds none.
struct MovieInFile {
    Movie movie = nullptr;
    short ref = 0;
    explicit MovieInFile(const std::string& path)
    {
        FSSpec location{};
        short id = 0;
        if (FSPathMakeFSSpec(path.c_str(), &location, nullptr) == noErr &&
            OpenMovieFile(&location, &ref, fsRdPerm) == noErr &&
            NewMovieFromFile(&movie, ref, &id, nullptr, newMovieActive, nullptr) != noErr)
            movie = nullptr;
    }
    ~MovieInFile()
    {
        if (movie)
            DisposeMovie(movie);
        if (ref)
            CloseMovieFile(ref);
    }
};
