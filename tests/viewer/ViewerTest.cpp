// The viewer window and opening movies, driven through the application
// object: Apple events, menu choices with the mouse, scripted dialogs.
#include <sys/stat.h>

#include <fstream>
#include <utility>

#include "ViewerTestSupport.h"
#include "support/RunCommand.h"
#include "platform/filesystem/Files.h"

namespace {

using ViewerTest = AppTest;

// Titled with the file's real name, however long or not ASCII.
TEST_F(ViewerTest, OpenedMovieFillsAWindowOfMovieSizePlusTheBar)
{
    std::string made = MakeMovie("made.mov");
    struct Case {
        std::string path;
        short width, height;
    };
    std::vector<Case> cases = {{made, 160, 120}, {CopyCorpus("wellformed/exiv2-sample_640x360.mov"), 640, 360}};
    for (const std::string& name : {std::string("\xC3\xA9t\xC3\xA9 \xE2\x80\x94 caf\xC3\xA9.mov"),
                                    std::string(120, 'n') + "\xC3\xA9.mov", std::string(250, 'x') + ".mov"}) {
        std::filesystem::copy_file(made, Path(name));
        cases.push_back({Path(name), 160, 120});
    }
    for (const Case& c : cases) {
        OpenByAppleEvent({c.path});
        ViewerAccess* v = FrontViewer();
        ASSERT_NE(v, nullptr) << c.path;
        ASSERT_NE(v->movie, nullptr);
        Rect box = BoxOf(v->movie);
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.top, 0);
        EXPECT_EQ(Width(box), c.width);
        EXPECT_EQ(Height(box), c.height);
        EXPECT_EQ(v->movieWidth, c.width);
        EXPECT_EQ(v->movieHeight, c.height);
        Rect content = ContentBounds(v->win);
        EXPECT_EQ(Width(content), c.width);
        EXPECT_EQ(Height(content), c.height + kControllerBarHeight);
        EXPECT_TRUE(IsWindowVisible(v->win));
        std::string title;
        for (const auto& w : harness::Windows())
            if (w.window == v->win)
                title = w.title;
        EXPECT_EQ(title, std::filesystem::path(c.path).filename().string());
    }
    EXPECT_EQ(Viewers().size(), cases.size());
}

TEST_F(ViewerTest, FailuresShowTheAlertWithTheCodeAndLeaveNoViewer)
{
    std::string good = MakeMovie("good.mov");
    std::string text = Path("notes.mov");
    std::ofstream(text) << "not a movie at all";
    std::string locked = Path("locked.mov");
    std::filesystem::copy_file(good, locked);
    chmod(locked.c_str(), 0444);
    // Its movie atom, at the end, cut short.
    std::string corrupt = Path("corrupt.mov");
    std::filesystem::copy_file(good, corrupt);
    std::filesystem::resize_file(corrupt, std::filesystem::file_size(corrupt) - 200);
    struct Case {
        std::string path;
        std::string label;
        std::string code;
    };
    const Case cases[] = {
        {locked, "Error in OpenMovieFile (OpenMovieFile())", "-54"},
        {text, "Error in NewMovieFromFile (OpenMovieFile())", ""},
        {corrupt, "Error in NewMovieFromFile (OpenMovieFile())", ""},
    };
    for (const Case& c : cases) {
        DialogScript script;
        OpenByAppleEvent({c.path});
        ASSERT_EQ(script.unexpected.size(), 1u) << c.path;
        std::string shown = JoinTexts(script.unexpected[0]);
        EXPECT_NE(shown.find(c.label), std::string::npos) << shown;
        EXPECT_NE(shown.find("Error Code: " + c.code), std::string::npos) << shown;
        EXPECT_TRUE(Viewers().empty()) << c.path;
        EXPECT_FALSE(MenuItemEnabled(kSizeMenuID, 0));
    }
}

TEST_F(ViewerTest, MissingSampleFileOpensTheMovieAndNamesTheFile)
{
    std::string media = MakeMovie("media source.mov");
    std::string reference = Path("reference.mov");
    {  // a movie that refers to the media's samples where they are
        MovieInFile source(media);
        ASSERT_NE(source.movie, nullptr);
        FSSpec to{};
        FSPathMakeFSSpec(reference.c_str(), &to, nullptr);
        short out = 0, outID = movieInDataForkResID;
        ASSERT_EQ(CreateMovieFile(&to, 'TVOD', -2, createMovieFileDeleteCurFile | createMovieFileDontCreateMovie |
                                                       createMovieFileDontCreateResFile,
                                  &out, nullptr),
                  noErr);
        ASSERT_EQ(AddMovieResource(source.movie, out, &outID, nullptr), noErr);
        CloseMovieFile(out);
    }
    std::filesystem::remove(media);
    DialogScript script;
    OpenByAppleEvent({reference});
    ASSERT_EQ(script.unexpected.size(), 1u);
    std::string shown = JoinTexts(script.unexpected[0]);
    EXPECT_NE(shown.find("media source.mov"), std::string::npos) << shown;
    EXPECT_NE(shown.find("-2000"), std::string::npos) << shown;
    ASSERT_EQ(Viewers().size(), 1u);
    EXPECT_NE(FrontViewer()->movie, nullptr);
}

TEST_F(ViewerTest, MenusFollowTheActiveViewerAndGoWhenOneOfTwoIsDestroyed)
{
    const std::pair<short, short> items[] = {{kFileMenuID, kFileCloseItem}, {kFileMenuID, kFileSaveItem},
                                             {kFileMenuID, kFileSaveAsItem}, {kSizeMenuID, 0}, {kTimeMenuID, 0}};
    auto expectAll = [&](bool enabled, const char* when) {
        for (auto [menu, item] : items)
            EXPECT_EQ(MenuItemEnabled(menu, item), enabled) << when << " " << menu << "/" << item;
    };
    expectAll(false, "at start");
    OpenByAppleEvent({MakeMovie("a.mov"), MakeMovie("b.mov")});
    expectAll(true, "with two viewers");
    delete Viewers().front();
    expectAll(false, "after one was destroyed");
    SelectWindow(Viewers().front()->win);
    RunLoop();
    expectAll(true, "after the other was activated");
}

TEST_F(ViewerTest, SizeCommandsResizeMovieAndWindowTogether)
{
    OpenByAppleEvent({MakeMovie("size.mov")});
    ViewerAccess* v = FrontViewer();
    ASSERT_NE(v, nullptr);
    struct Step {
        const char* what;
        std::function<void()> run;
        short width, height;       // the movie box afterwards
        short normalW, normalH;    // the normal size afterwards
    };
    // The custom size dialog run by the script; what it showed first.
    auto custom = [&](std::vector<DialogScript::Step> script) {
        DialogScript s(std::move(script));
        Command(kSizeMenuID, kCustomSizeItem);
        return s.seen.empty() ? SeenDialog{} : s.seen[0];
    };
    const Step steps[] = {
        {"double", [&] { Command(kSizeMenuID, kDoubleSizeItem); }, 320, 240, 160, 120},
        {"grow box", [&] {  // what the controller's grow box does: new bounds, then tell
             Rect bigger = {0, 0, 216, 300};
             MCSetControllerBoundsRect(v->controller, &bigger);
             MovieControllerEventFilter(v->controller, mcActionControllerSizeChanged, nullptr, long(v));
         }, 300, 200, 160, 120},
        {"normal", [&] { Command(kSizeMenuID, kNormalSizeItem); }, 160, 120, 160, 120},
        {"custom, OK without edits", [&] {
             std::vector<std::string> shown = custom({ClickItem(1)}).texts;
             shown.resize(2);
             EXPECT_EQ(shown, (std::vector<std::string>{"160", "120"}));
         }, 160, 120, 160, 120},
        {"custom 400 x 300", [&] { custom({TypeInto(3, "400"), TypeInto(4, "300", 1)}); }, 400, 300, 160, 120},
        {"custom cancelled", [&] { custom({TypeInto(3, "999", 2)}); }, 400, 300, 160, 120},
        {"custom 0 x -5 is refused", [&] { custom({TypeInto(3, "0"), TypeInto(4, "-5", 1)}); }, 400, 300, 160, 120},
        {"use as normal", [&] { Command(kSizeMenuID, kSetDefaultSizeItem); }, 400, 300, 400, 300},
        {"double of the new normal", [&] { Command(kSizeMenuID, kDoubleSizeItem); }, 800, 600, 400, 300},
        {"item 6 does nothing", [&] { Command(kSizeMenuID, 6); }, 800, 600, 400, 300},
        {"normal again", [&] { Command(kSizeMenuID, kNormalSizeItem); }, 400, 300, 400, 300},
    };
    for (const Step& s : steps) {
        s.run();
        Rect box = BoxOf(v->movie);
        EXPECT_EQ(Width(box), s.width) << s.what;
        EXPECT_EQ(Height(box), s.height) << s.what;
        EXPECT_EQ(v->movieWidth, s.normalW) << s.what;
        EXPECT_EQ(v->movieHeight, s.normalH) << s.what;
        Rect content = ContentBounds(v->win);
        EXPECT_EQ(Width(content), s.width) << s.what;
        EXPECT_EQ(Height(content), s.height + kControllerBarHeight) << s.what;
    }
    EXPECT_FALSE(HasMovieChanged(v->movie));  // showing a size changes nothing in the movie
}

TEST_F(ViewerTest, MaximumSizeFillsTheScreenBelowTheMenuBarInProportion)
{
    OpenByAppleEvent({MakeMovie("max.mov")});
    ViewerAccess* v = FrontViewer();
    ASSERT_NE(v, nullptr);
    Command(kSizeMenuID, kMaxSizeItem);
    Rect box = BoxOf(v->movie);
    Rect structure{};
    GetWindowBounds(v->win, kWindowStructureRgn, &structure);
    EXPECT_GE(structure.top, 20);
    EXPECT_LE(structure.bottom, 768);
    EXPECT_LE(structure.right, 1024);
    EXPECT_TRUE(structure.bottom >= 766 || structure.right >= 1022) << "touches an edge of the screen";
    EXPECT_NEAR(double(Width(box)) / Height(box), 160.0 / 120.0, 0.01);
    EXPECT_EQ(Height(ContentBounds(v->win)), Height(box) + kControllerBarHeight);
}

TEST_F(ViewerTest, TimeScaleAndRateDialog)
{
    OpenByAppleEvent({MakeMovie("rate.mov")});
    ViewerAccess* v = FrontViewer();
    ASSERT_NE(v, nullptr);
    TimeScale scale = GetMovieTimeScale(v->movie);
    {
        DialogScript s({TypeInto(5, "600"), TypeInto(6, "1.5"), TypeInto(7, "9", 3)});
        Command(kTimeMenuID, kFrameRateItem);
    }
    EXPECT_EQ(GetMovieTimeScale(v->movie), scale) << "Cancel changes nothing";
    EXPECT_FALSE(HasMovieChanged(v->movie));
    {
        DialogScript s({TypeInto(5, "600"), TypeInto(6, "1.5"), TypeInto(7, "9", 1)});
        Command(kTimeMenuID, kFrameRateItem);
    }
    EXPECT_EQ(GetMovieTimeScale(v->movie), 600);
    EXPECT_EQ(GetMoviePreferredRate(v->movie), Fixed((1 << 16) | 32767));
    EXPECT_EQ(GetMovieRate(v->movie), 0) << "the current rate is never set";
    EXPECT_TRUE(HasMovieChanged(v->movie));
}

TEST_F(ViewerTest, ScaleMovieDialog)
{
    OpenByAppleEvent({MakeMovie("scale.mov")});
    ViewerAccess* v = FrontViewer();
    ASSERT_NE(v, nullptr);
    TimeValue duration = GetMovieDuration(v->movie);
    ASSERT_GT(duration, 0);
    struct Case {
        std::vector<DialogScript::Step> steps;
        TimeValue expected;
        bool changed;
    };
    const Case cases[] = {
        {{TypeInto(4, std::to_string(duration * 4), 2)}, duration, false},  // cancel
        {{ClickItem(1)}, duration, false},                                    // factor one
        {{TypeInto(4, std::to_string(duration * 2), 1)}, duration * 2, true},
    };
    for (const Case& c : cases) {
        DialogScript s(c.steps);
        Command(kTimeMenuID, kScaleMovieItem);
        ASSERT_EQ(s.seen.size(), 1u);
        EXPECT_EQ(GetMovieDuration(v->movie), c.expected);
        EXPECT_EQ(bool(HasMovieChanged(v->movie)), c.changed);
    }
}

// Closing a changed movie asks first: Cancel keeps it, Don't Save closes
// and leaves the file as it was, Save writes the change and closes.
TEST_F(ViewerTest, ClosePromptThreeWays)
{
    struct Case {
        short answer;
        bool closes;
        TimeScale scaleInFile;
    };
    const Case cases[] = {{2, false, 0}, {3, true, 0}, {1, true, 777}};
    for (const Case& c : cases) {
        std::string path = MakeMovie("close" + std::to_string(c.answer) + ".mov");
        OpenByAppleEvent({path});
        ViewerAccess* v = FrontViewer();
        ASSERT_NE(v, nullptr);
        TimeScale original = GetMovieTimeScale(v->movie);
        SetMovieTimeScale(v->movie, 777);
        DialogScript s({ClickItem(c.answer)});
        Command(kFileMenuID, kFileCloseItem);
        ASSERT_EQ(s.seen.size(), 1u);
        EXPECT_NE(JoinTexts(s.seen[0]).find("close" + std::to_string(c.answer) + ".mov"), std::string::npos);
        EXPECT_EQ(Viewers().empty(), c.closes);
        if (!c.closes) {
            EXPECT_EQ(GetMovieTimeScale(v->movie), 777);
            delete v;
            continue;
        }
        MovieInFile saved(path);
        ASSERT_NE(saved.movie, nullptr);
        EXPECT_EQ(GetMovieTimeScale(saved.movie), c.scaleInFile ? c.scaleInFile : original);
    }
}

TEST_F(ViewerTest, UnchangedMovieClosesWithoutAskingAndAtQuit)
{
    OpenByAppleEvent({MakeMovie("q1.mov"), MakeMovie("q2.mov"), MakeMovie("q3.mov", "64x48")});
    std::vector<std::string> names;
    for (ViewerAccess* v : Viewers())
        names.push_back(pstr::ToStd(v->movieName));
    EXPECT_EQ(names, (std::vector<std::string>{"q3.mov", "q2.mov", "q1.mov"})) << "opened in list order";
    SetMovieTimeScale(Viewers().back()->movie, 1234);
    DialogScript s({ClickItem(3)});
    AEPostQuitApplication();
    std::vector<long> results = RunLoop(5);
    EXPECT_EQ(s.seen.size(), 1u) << "only the changed movie asks";
    EXPECT_TRUE(Viewers().empty());
    EXPECT_NE(std::find(results.begin(), results.end(), 1), results.end());
}

TEST_F(ViewerTest, SavingInPlaceWritesTheNormalBoxAndLeavesTheShownOne)
{
    std::string path = MakeMovie("saved.mov");
    OpenByAppleEvent({path});
    ViewerAccess* v = FrontViewer();
    ASSERT_NE(v, nullptr);
    Command(kSizeMenuID, kDoubleSizeItem);
    SetMovieTimeScale(v->movie, 900);
    Command(kFileMenuID, kFileSaveItem);
    EXPECT_EQ(Width(BoxOf(v->movie)), 320);
    EXPECT_FALSE(HasMovieChanged(v->movie));
    // Saved again later: the last save wins.
    SetMovieTimeScale(v->movie, 450);
    Command(kFileMenuID, kFileSaveItem);
    MovieInFile saved(path);
    ASSERT_NE(saved.movie, nullptr);
    EXPECT_EQ(GetMovieTimeScale(saved.movie), 450);
    EXPECT_EQ(Width(BoxOf(saved.movie)), 160);
    EXPECT_EQ(CommandOutput("ffprobe -v error -show_entries stream=width,height -of csv=p=0 " + Quote(path)), "160,120\n");
}

// A background viewer: on the older system a press on its close box only
// brings it to the front, a drag moves it too, and a command-drag moves it
// where it is; on the newer one the close box acts at once.
TEST_F(ViewerTest, MouseDownOnABackgroundViewerFollowsTheSystem)
{
    struct Case {
        bool osx;
        bool drag;  // else the close box
        UInt16 modifiers;
        bool broughtToFront;
        bool moved;
        bool closed;
    };
    const Case cases[] = {
        {false, false, 0, true, false, false},
        {false, true, 0, true, true, false},
        {false, true, cmdKey, false, true, false},
        {true, false, 0, false, false, true},
    };
    for (const Case& c : cases) {
        OpenByAppleEvent({MakeMovie("back.mov"), MakeMovie("front.mov")});
        auto viewers = Viewers();
        ViewerAccess* back = viewers[1];
        MoveWindow(back->win, 500, 300, false);
        RunLoop(3);
        ASSERT_EQ(FrontWindow(), viewers[0]->win);
        gOSX = c.osx;
        Rect before = ContentBounds(back->win);
        if (c.drag) {
            Point from = harness::TitleBarPoint(back->win);
            harness::Drag(from, Point{short(from.v + 40), short(from.h + 30)}, c.modifiers);
        } else {
            harness::Click(harness::CloseBoxPoint(back->win));
        }
        RunLoop(5);
        auto after = Viewers();
        bool closed = std::find(after.begin(), after.end(), back) == after.end();
        EXPECT_EQ(closed, c.closed) << c.osx << c.drag;
        if (!closed) {
            EXPECT_EQ(FrontWindow() == back->win, c.broughtToFront) << c.osx << c.drag;
            EXPECT_EQ(ContentBounds(back->win).top != before.top, c.moved) << c.osx << c.drag;
        }
        app.DeleteAllWindows();
    }
}

// Until it is given a movie, a viewer ignores the menus; given one without
// a name, it is untitled and moves the movie's box to the origin.
TEST_F(ViewerTest, ViewerWithoutAMovieIsHarmlessAndSetMovieWithoutANameIsUntitled)
{
    auto* v = new OrvoViewerWindow();
    app.AddWindow(v);
    bool cont = false;
    for (long choice : {(long(kSizeMenuID) << 16) | kDoubleSizeItem, (long(kTimeMenuID) << 16) | kFrameRateItem,
                        (long(kFileMenuID) << 16) | kFileSaveItem, (long(kTrackMenuID) << 16) | 1}) {
        EXPECT_EQ(v->HandleMenu(choice, &cont), 0);
        EXPECT_TRUE(cont);
    }
    v->Refresh();
    EXPECT_TRUE(v->CloseWindow());
    MovieInFile file(MakeMovie("holder.mov", "200x100"));
    ASSERT_NE(file.movie, nullptr);
    Rect box = {30, 40, 130, 240};
    SetMovieBox(file.movie, &box);
    v->SetMovie(std::exchange(file.movie, nullptr), std::exchange(file.ref, 0), 0, nullptr);
    auto* access = AsViewer(v);
    EXPECT_EQ(pstr::ToStd(access->movieName), "Untitled");
    EXPECT_EQ(access->movieWidth, 200);
    EXPECT_EQ(access->movieHeight, 100);
    EXPECT_EQ(BoxOf(access->movie).top, 0);
    EXPECT_EQ(BoxOf(access->movie).left, 0);
    EXPECT_NE(access->tracksWin, nullptr);
}

}  // namespace
