// File/Open through the open dialog, and the dialog's folder list.
#include <sys/stat.h>
#include <utime.h>

#include <fstream>

#include "ViewerTestSupport.h"
#include "platform/ui/navigation/NavFolderList.h"

namespace {

// Items of the file dialogs.
enum : short { kOpen = 1, kCancel = 2, kPath = 3, kUp = 4, kNameHeader = 5, kDateHeader = 6, kList = 7 };

nav::FolderList* ListOf(DialogPtr d)
{
    return nav::FolderList::Of(d);
}

std::vector<std::string> Names(DialogPtr d)
{
    std::vector<std::string> names;
    for (const auto& e : ListOf(d)->Entries())
        names.push_back(e.isFolder ? e.name + "/" : e.name);
    return names;
}

// The global point of a row of the list.
Point RowPoint(DialogPtr d, int row)
{
    harness::DialogState state = harness::GetDialogState(d);
    Rect list = state.items.at(kList - 1).bounds;
    Rect content{};
    GetWindowBounds(d, kWindowContentRgn, &content);
    return Point{short(content.top + list.top + row * 16 + 8), short(content.left + list.left + 20)};
}

DialogScript::Step DoubleClickRow(int row)
{
    return [row](DialogPtr d) {
        harness::Click(RowPoint(d, row));
        harness::Click(RowPoint(d, row));
    };
}

class OpenDialogTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        MakeMovie("b movie.mov");
        MakeMovie("A movie.mp4", "32x32");
        std::filesystem::create_directory(Path("clips"));
        MakeMovie("clips/inner.mov", "48x32");
        std::ofstream(Path("notes.txt")) << "text";
        std::ofstream(Path(".hidden.mov")) << "hidden";
    }

    void ChooseOpen(UInt16 modifiers = 0)
    {
        EventRecord er{};
        er.what = keyDown;
        er.modifiers = modifiers;
        app.HandleMenu(er, (long(kFileMenuID) << 16) | kFileOpenItem);
        RunLoop(5);
    }
};

// The list shows the folder's folders first, then its movie files; a
// double click opens one, and so does typing its name's start and Return.
TEST_F(OpenDialogTest, ListsFoldersFirstThenMovieFilesAndADoubleClickOrTheKeysOpen)
{
    std::vector<std::string> listed;
    struct Case {
        std::vector<DialogScript::Step> steps;
        const char* opened;
    };
    const Case cases[] = {
        {{[&](DialogPtr d) {
             listed = Names(d);
             EXPECT_EQ(harness::GetDialogState(d).items.at(kPath - 1).text, folder);
             DoubleClickRow(2)(d);
         }}, "b movie.mov"},
        {{[](DialogPtr) { harness::Type("a m"); },
          [](DialogPtr d) {
              EXPECT_EQ(ListOf(d)->SelectedEntry()->name, "A movie.mp4");
              harness::Key(0x0D);
          }}, "A movie.mp4"},
    };
    for (const Case& c : cases) {
        DialogScript script(c.steps);
        ChooseOpen();
        EXPECT_TRUE(script.unexpected.empty());
        ASSERT_EQ(Viewers().size(), 1u);
        EXPECT_EQ(pstr::ToStd(FrontViewer()->movieName), c.opened);
        app.DeleteAllWindows();
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"clips/", "A movie.mp4", "b movie.mov"}));
}

TEST_F(OpenDialogTest, CancelOpensNothingAndSaysNothing)
{
    for (auto cancel : {ClickItem(kCancel), DialogScript::Step([](DialogPtr) { harness::Key(0x1B); })}) {
        DialogScript script({cancel});
        ChooseOpen();
        EXPECT_TRUE(script.Finished());
        EXPECT_TRUE(script.unexpected.empty());
        EXPECT_TRUE(Viewers().empty());
        EXPECT_EQ(harness::FrontDialog(), nullptr);
    }
}

TEST_F(OpenDialogTest, OptionListsEveryFileAndANonMovieEndsInTheAlert)
{
    std::vector<std::string> listed;
    DialogScript script({[&](DialogPtr d) {
        listed = Names(d);
        DoubleClickRow(3)(d);
    }});
    ChooseOpen(optionKey);
    EXPECT_EQ(listed, (std::vector<std::string>{"clips/", "A movie.mp4", "b movie.mov", "notes.txt"}));
    ASSERT_EQ(script.unexpected.size(), 1u);
    EXPECT_NE(JoinTexts(script.unexpected[0]).find("NewMovieFromFile"), std::string::npos);
    EXPECT_TRUE(Viewers().empty());
}

TEST_F(OpenDialogTest, FoldersOpenGoUpAndTheLastFolderIsRemembered)
{
    std::vector<std::string> inside, back;
    std::string selectedAfterUp;
    DialogScript script({DoubleClickRow(0),
                         [&](DialogPtr d) {
                             inside = Names(d);
                             EXPECT_EQ(ListOf(d)->Folder(), Path("clips"));
                             harness::ClickDialogItem(d, kUp);
                         },
                         [&](DialogPtr d) {
                             back = Names(d);
                             selectedAfterUp = ListOf(d)->SelectedEntry()->name;
                             harness::Key(0x0D);  // Return on a folder goes into it
                         },
                         [&](DialogPtr d) {
                             ListOf(d)->Select(0);
                             harness::ClickDialogItem(d, kOpen);
                         },
                         [&](DialogPtr d) {
                             EXPECT_EQ(ListOf(d)->Folder(), Path("clips")) << "starts where the last one ended";
                             harness::ClickDialogItem(d, kCancel);
                         }});
    ChooseOpen();
    EXPECT_EQ(inside, std::vector<std::string>{"inner.mov"});
    EXPECT_EQ(back.size(), 3u);
    EXPECT_EQ(selectedAfterUp, "clips");
    ASSERT_EQ(Viewers().size(), 1u);
    EXPECT_EQ(pstr::ToStd(FrontViewer()->movieName), "inner.mov");
    ChooseOpen();
    EXPECT_TRUE(script.Finished());
}

TEST_F(OpenDialogTest, HeadersSortByNameOrDateEitherWayWithFoldersFirst)
{
    // b is the oldest, A the newest.
    struct utimbuf oldTime{1000000000, 1000000000}, newTime{1700000000, 1700000000};
    utime(Path("b movie.mov").c_str(), &oldTime);
    utime(Path("A movie.mp4").c_str(), &newTime);
    std::filesystem::create_directory(Path("z folder"));
    // After a click on Name (reversing it), on Date, and on Date again.
    const std::vector<std::string> orders[] = {{"z folder/", "clips/", "b movie.mov", "A movie.mp4"},
                                               {"b movie.mov", "A movie.mp4"},   // oldest first
                                               {"A movie.mp4", "b movie.mov"}};  // newest first
    // Each step looks at the list the last click left, then clicks the next header.
    std::vector<std::vector<std::string>> seen;
    std::vector<DialogScript::Step> steps;
    for (short click : {kNameHeader, kDateHeader, kDateHeader, kCancel})
        steps.push_back([&seen, click](DialogPtr d) {
            seen.push_back(Names(d));
            harness::ClickDialogItem(d, click);
            if (click != kCancel)
                harness::Pause(1);
        });
    DialogScript script(steps);
    ChooseOpen();
    EXPECT_TRUE(script.Finished());
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[1], orders[0]);
    for (int i = 1; i < 3; ++i) {
        ASSERT_EQ(seen[i + 1].size(), 4u);
        EXPECT_EQ(seen[i + 1][0].back(), '/');
        EXPECT_EQ(seen[i + 1][1].back(), '/');
        EXPECT_EQ(std::vector<std::string>(seen[i + 1].begin() + 2, seen[i + 1].end()), orders[i]);
    }
}

TEST_F(OpenDialogTest, ViewerBehindTheDialogIsRedrawn)
{
    OpenByAppleEvent({Path("b movie.mov")});
    ViewerAccess* v = FrontViewer();
    ASSERT_NE(v, nullptr);
    UInt32 painted = 0, after = 0;
    DialogScript script({[&](DialogPtr) {
                             GrafPtr saved;
                             GetPort(&saved);
                             SetPortWindowPort(v->win);
                             Rect r = {0, 0, 20, 20};
                             RGBColor red = {0xFFFF, 0, 0};  // a colour the movie's picture lacks there
                             RGBForeColor(&red);
                             PaintRect(&r);
                             ForeColor(blackColor);
                             InvalWindowRect(v->win, &r);
                             painted = harness::PortPixel(GetWindowPort(v->win), 5, 5);
                             SetPort(saved);
                             harness::Pause(2);
                         },
                         [&](DialogPtr d) {
                             after = harness::PortPixel(GetWindowPort(v->win), 5, 5);
                             harness::ClickDialogItem(d, kCancel);
                         }});
    ChooseOpen();
    EXPECT_NE(painted, after);
}

}  // namespace

namespace {

// The save dialog's own items and the replace question; the client's check
// boxes, and saving through the whole application, are in saving.cases.
TEST_F(OpenDialogTest, SaveDialogNamesAFileAndAsksBeforeReplacing)
{
    std::string proposed, replaceText;
    DialogScript script({[&](DialogPtr d) {
                             proposed = harness::GetDialogState(d).items.at(9).text;
                             TypeInto(10, "b movie.mov", kOpen)(d);
                         },
                         [&](DialogPtr d) {  // the replace question, cancelled
                             replaceText = harness::GetDialogState(d).items.at(2).shownText;
                             harness::ClickDialogItem(d, 2);
                         },
                         [&](DialogPtr d) {
                             EXPECT_EQ(harness::GetDialogState(d).title, "Save");
                             harness::ClickDialogItem(d, kOpen);
                         },
                         ClickItem(1)});
    NavDialogOptions options;
    ASSERT_EQ(NavGetDefaultDialogOptions(&options), noErr);
    pstr::FromStd("proposed.mov", options.savedFileName);
    NavReplyRecord reply;
    ASSERT_EQ(NavPutFile(nullptr, &reply, &options, nullptr, 'MooV', 'TVOD', nullptr), noErr);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(proposed, "proposed.mov");
    EXPECT_NE(replaceText.find("b movie.mov"), std::string::npos) << replaceText;
    ASSERT_TRUE(reply.validRecord);
    EXPECT_TRUE(reply.replacing);
    FSSpec chosen{};
    ASSERT_EQ(AEGetNthPtr(&reply.selection, 1, typeFSS, nullptr, nullptr, &chosen, sizeof chosen, nullptr), noErr);
    EXPECT_EQ(FSSpecPath(chosen), Path("b movie.mov"));
    NavDisposeReply(&reply);

    // Cancelled: no valid reply, nothing written.
    DialogScript cancel({ClickItem(kCancel)});
    ASSERT_EQ(NavPutFile(nullptr, &reply, &options, nullptr, 'MooV', 'TVOD', nullptr), noErr);
    EXPECT_FALSE(reply.validRecord);
}

}  // namespace
