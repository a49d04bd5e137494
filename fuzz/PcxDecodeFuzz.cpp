// PCX decoding: the run-length stream, the plane layouts and the trailing palette.
#include "fuzz/ImageDecodeFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> file(data, data + size);
    if (file.size() < 4) file.resize(4);
    file[0] = 10;
    file[2] = 1;
    return fuzzImageDecode(file.data(), file.size(), {});
}
