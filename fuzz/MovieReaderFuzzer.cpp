// libFuzzer entry point over the movie-file reader.
#include "MovieReaderTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RunMovieReader(data, size);
    return 0;
}
