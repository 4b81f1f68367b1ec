// The application object driven headless, with movies made for each test in
// a scratch folder and a script that answers the dialogs it puts up.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/AppResources.h"
#include "app/OrvoFramework.h"
#include "app/Startup.h"
#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/harness/DialogHarness.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/harness/MenuHarness.h"
#include "platform/ui/navigation/Navigation.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/system/Gestalt.h"
#include "support/ScratchFolder.h"
#include "viewer/OrvoViewerWindow.h"

// The viewer's protected state, read by the tests.
struct ViewerAccess : OrvoViewerWindow {
    using OrvoViewerWindow::controller;
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
    // Closes every window at once, as the end of a test does.
    void DeleteAllWindows()
    {
        while (!windows.empty())
            delete windows.front().get();
    }
};

// What a dialog showed when the script met it.
struct SeenDialog {
    std::string title;
    std::vector<std::string> texts;  // static and edit texts, ^0..^3 replaced
};

// Steps run one at a time, each when a modal loop runs out of input with a
// dialog in front. A dialog the script did not expect is recorded and
// answered with item 2 (Continue in the error alert, Cancel elsewhere).
class DialogScript {
public:
    using Step = std::function<void(DialogPtr)>;
    explicit DialogScript(std::vector<Step> steps = {}) : steps(std::move(steps))
    {
        harness::SetIdleProc([this]() { Run(); });
    }
    ~DialogScript() { harness::SetIdleProc(nullptr); }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    std::vector<SeenDialog> seen;
    std::vector<SeenDialog> unexpected;
    bool Finished() const { return next == steps.size(); }

private:
    void Run()
    {
        DialogPtr d = harness::FrontDialog();
        if (d == nullptr)
            return;
        harness::DialogState state = harness::GetDialogState(d);
        SeenDialog record{state.title, {}};
        for (const auto& item : state.items)
            if (item.type == 8 || item.type == 16)
                record.texts.push_back(item.type == 8 ? item.shownText : item.text);
        if (next < steps.size()) {
            seen.push_back(record);
            steps[next++](d);
        } else {
            unexpected.push_back(record);
            harness::ClickDialogItem(d, 2);
        }
    }
    std::vector<Step> steps;
    size_t next = 0;
};

// Common steps.
inline DialogScript::Step ClickItem(short item)
{
    return [item](DialogPtr d) { harness::ClickDialogItem(d, item); };
}

// Replaces the text of an edit item (select all, type) and goes on.
inline DialogScript::Step TypeInto(short item, const std::string& text, short thenClick = 0)
{
    return [=](DialogPtr d) {
        SelectDialogItemText(d, item, 0, 32767);
        harness::Type(text);
        if (thenClick != 0)
            harness::ClickDialogItem(d, thenClick);
    };
}

inline std::string JoinTexts(const SeenDialog& d)
{
    std::string all;
    for (const auto& t : d.texts)
        all += t + "\n";
    return all;
}

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
        app.DeleteAllWindows();
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

    std::string CopyCorpus(const std::string& relative)
    {
        std::string to = Path(std::filesystem::path(relative).filename().string());
        std::filesystem::copy_file(std::string(ORVO_CORPUS_DIR) + "/" + relative, to,
                                   std::filesystem::copy_options::overwrite_existing);
        return to;
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

    std::vector<ViewerAccess*> Viewers()
    {
        std::vector<ViewerAccess*> found;
        for (const auto& w : app.windows)
            if (ViewerAccess* v = AsViewer(w.get()))
                found.push_back(v);
        return found;
    }

    ViewerAccess* FrontViewer()
    {
        auto all = Viewers();
        return all.empty() ? nullptr : all.front();
    }

    // Chooses a menu item with the mouse and runs the loop.
    void Command(short menu, short item)
    {
        harness::ScriptMenuChoice(menu, item);
        RunLoop();
    }

    bool MenuItemEnabled(short menu, short item)
    {
        MenuHandle m = GetMenuHandle(menu);
        return IsMenuItemEnabled(m, 0) && (item == 0 || IsMenuItemEnabled(m, item));
    }

    TestApp app;
    ScratchFolder scratch;
    std::string folder = scratch.Path();
};

inline Rect ContentBounds(WindowPtr w)
{
    Rect r{};
    GetWindowBounds(w, kWindowContentRgn, &r);
    return r;
}

inline short Width(const Rect& r) { return short(r.right - r.left); }
inline short Height(const Rect& r) { return short(r.bottom - r.top); }

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

inline Rect BoxOf(Movie m)
{
    Rect r{};
    GetMovieBox(m, &r);
    return r;
}
