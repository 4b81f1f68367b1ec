// The track export's road: a new movie whose one track refers to the
// source track's samples, saved as a reference movie (and flattened), then
// read back by us and by ffmpeg.
#include <filesystem>
#include <gtest/gtest.h>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/core/Memory.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace fs = std::filesystem;

// Saved under a name with a space and no extension, in a folder of its own.
TEST(ExportFlow, ExportedTrackSavedAsReferenceMovieReachesTheSourceSamples)
{
    ScratchFolder dir;
    fs::create_directories(dir / "exports");
    std::string media = FixtureMovies::CopyTo("av.mov", dir.Path());
    std::string saved = dir / "exports/Exported Track";
    {
        OpenMovie source(media);
        ASSERT_NE(source.movie, nullptr);
        Movie exported = ExportFirstVideoTrack(source.movie);
        ASSERT_NE(exported, nullptr);
        SaveAsReferenceMovie(exported, saved);
        DisposeMovie(exported);
    }
    // A single fork holding the movie alone: the samples are reached through
    // the alias, not copied.
    EXPECT_FALSE(fs::exists(dir / "exports/._Exported Track"));
    EXPECT_LT(fs::file_size(saved), fs::file_size(media) / 4);
    EXPECT_EQ(VideoPackets(saved), 50);

    OpenMovie back(saved);
    ASSERT_NE(back.movie, nullptr);
    EXPECT_EQ(GetMovieTrackCount(back.movie), 1);
    auto files = MovieDataRefs::DataFiles(back.movie);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(fs::equivalent(files[0], media));
    EXPECT_EQ(FlattenMovieTo(back.movie, dir / "exports/flat.mov"), noErr);
    EXPECT_EQ(DecodeErrors(dir / "exports/flat.mov"), "");
}

TEST(DataRefUrl, FileAddressesAndRelativePathsBecomePaths)
{
    const std::pair<std::string, std::string> cases[] = {{"file:///a%20b/c.mov", "/a b/c.mov"},
                                                         {"file://localhost/x.mov", "/x.mov"},
                                                         {"media/x.mov", "/m/media/x.mov"},
                                                         {"http://example.com/x.mov", ""},
                                                         {"", ""}};
    for (const auto& [url, path] : cases) {
        std::vector<UInt8> entry(url.begin(), url.end());
        entry.push_back(0);
        EXPECT_EQ(MovieDataRefs::PathFromUrlEntry(entry, "/m/ref.mov"), path) << url;
    }
}
