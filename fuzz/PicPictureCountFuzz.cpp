// The PIC picture counter's opcode walk.
#include <cstddef>
#include <cstdint>

#include "toolkit/devices/GraphicFileProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryByteSource source({data, size});
    INTEGER count = 0;
    YYCNTPIC(source, count);
    return 0;
}
