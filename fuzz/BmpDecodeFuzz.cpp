// BMP decoding: headers, colour tables, every depth, run-length streams.
#include "fuzz/ImageDecodeFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // "BM" and a zero reserved word, as the probe requires.
    return fuzzImageDecode(data, size, std::string_view("BM\0\0\0\0\0\0\0\0", 10));
}
