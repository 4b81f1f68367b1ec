// The viewer window where a scenario script cannot reach: a movie whose
// samples are gone, and a viewer before it has a movie. Opening, sizes,
// the movie dialogs, closing and quitting are in ui-viewer.cases and
// viewer.cases.
#include <utility>

#include "ViewerTestSupport.h"
#include "platform/filesystem/Files.h"

namespace {

using ViewerTest = AppTest;

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
    ASSERT_NE(FrontViewer(), nullptr);
    EXPECT_NE(FrontViewer()->movie, nullptr);
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
    box = {};
    GetMovieBox(access->movie, &box);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.left, 0);
    EXPECT_NE(access->tracksWin, nullptr);
}

}  // namespace
