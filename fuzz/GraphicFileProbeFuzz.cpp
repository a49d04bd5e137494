// The graphics file probe on any input, asking for all six values.
#include <array>
#include <cstddef>
#include <cstdint>

#include "toolkit/devices/GraphicFileProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryByteSource source({data, size});
    std::array<INTEGER, 6> values{};
    INTEGER n = 6;
    YYGraphicFileProbe(source, values, n);
    return 0;
}
