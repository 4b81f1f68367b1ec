// The open dialog where a scenario script cannot reach: sorting by date and
// the window behind. Listing, opening, folders, cancelling and the replace
// question are in ui-open-dialog.cases.
#include <utime.h>

#include "ViewerTestSupport.h"
#include "platform/ui/navigation/NavFolderList.h"

namespace {

// Items of the file dialogs.
enum : short { kCancel = 2, kNameHeader = 5, kDateHeader = 6 };

std::vector<std::string> Names(DialogPtr d)
{
    std::vector<std::string> names;
    for (const auto& e : nav::FolderList::Of(d)->Entries())
        names.push_back(e.isFolder ? e.name + "/" : e.name);
    return names;
}

class OpenDialogTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        MakeMovie("b movie.mov");
        MakeMovie("A movie.mp4", "32x32");
        std::filesystem::create_directory(Path("clips"));
    }

    void ChooseOpen()
    {
        EventRecord er{};
        app.HandleMenu(er, (long(kFileMenuID) << 16) | kFileOpenItem);
        RunLoop(5);
    }
};

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
