// Committing a temporary under a name that had no file: it takes the name
// unflushed, and never clobbers a file that took the name meanwhile with
// anything but the complete new content.
#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/filesystem/SafeFileOps.h"
#include "support/ScratchFolder.h"

TEST(SafeFileOps, NewFileTakesAFreeNameOrReplacesWhatTookItMeanwhile)
{
    for (bool takenMeanwhile : {false, true}) {
        SCOPED_TRACE(takenMeanwhile);
        ScratchFolder dir;
        std::string path = dir / "new.mov", temp;
        OSErr err = noErr;
        int fd = SafeFileOps::CreateTemporaryBeside(path, &temp, &err);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, "new", 3), 3);
        if (takenMeanwhile)
            dir.MakeFile("new.mov", "someone else's");
        EXPECT_EQ(SafeFileOps::CommitNewFile(fd, temp, path), noErr);
        EXPECT_EQ(ReadFileBytes(path), std::vector<std::uint8_t>({'n', 'e', 'w'}));
        EXPECT_NE(access(temp.c_str(), F_OK), 0) << "no temporary is left";
    }
}
