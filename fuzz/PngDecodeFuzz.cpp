// PNG decoding: the chunk loop, the inflate, the unfilter and the pixel layouts.
#include "fuzz/ImageDecodeFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return fuzzImageDecode(data, size, std::string_view("\x89PNG\r\n\x1a\n", 8));
}
