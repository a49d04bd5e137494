// The binary CGM reader: element headers, long and partitioned lengths, precisions and extents.
#include <cstddef>
#include <cstdint>

#include "toolkit/devices/GraphicFileProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryByteSource source({data, size});
    INTEGER pictures = 0;
    REAL ratio = 0;
    YYINFOCGM(source, pictures, ratio);
    return 0;
}
