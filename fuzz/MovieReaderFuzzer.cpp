// libFuzzer entry point over the movie reader, in memory: the bytes are read
// as a data fork, a resource fork, an alias record and an AppleDouble file
// without touching the disk, so a run takes thousands of inputs a second.
#include "MovieReaderTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RunMovieParserInMemory(data, size);
    return 0;
}
