// libFuzzer entry point over the write path: a movie read from the bytes has
// its track offsets and edits changed, is written as a movie atom, and must
// read back. The first bytes steer the changes (see RunMovieWriteBack).
#include "MovieReaderTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RunMovieWriteBack(data, size);
    return 0;
}
