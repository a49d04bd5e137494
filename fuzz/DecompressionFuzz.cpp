// Uncompressing damaged or hostile zlib data into a buffer of a given size, with any claimed
// lengths: nothing is read or written beyond either buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "toolkit/foundation/BufferCompression.h"
#include "toolkit/foundation/ErrorReport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WErrorReportMode(kReportSilent);
    FuzzInput input(data, size);
    const auto room = static_cast<std::size_t>(input.take<std::uint16_t>());
    const auto claimedSource = input.take<std::int32_t>();
    const auto claimedRoom = input.take<std::int32_t>();
    const std::string_view packed = input.rest();
    const std::vector<std::byte> source(reinterpret_cast<const std::byte*>(packed.data()),
                                        reinterpret_cast<const std::byte*>(packed.data()) + packed.size());
    std::vector<std::byte> dest(room);

    // The true lengths, then the lengths as claimed.
    INTEGER destLen = static_cast<INTEGER>(dest.size());
    YYUnCompressBytes(source, dest, static_cast<INTEGER>(source.size()), destLen);
    if (destLen < 0 || static_cast<std::size_t>(destLen) > dest.size()) std::abort();
    destLen = claimedRoom;
    YYUnCompressBytes(source, dest, claimedSource, destLen);
    if (destLen < 0 || static_cast<std::size_t>(destLen) > dest.size()) std::abort();

    // What is compressed comes back unchanged.
    std::vector<std::byte> packedAgain(source.size() + source.size() / 100 + 64);
    INTEGER packedLen = static_cast<INTEGER>(packedAgain.size());
    YYCompressBytes(source, packedAgain, static_cast<INTEGER>(source.size()), packedLen);
    if (packedLen > 0) {
        std::vector<std::byte> back(source.size());
        INTEGER backLen = static_cast<INTEGER>(back.size());
        YYUnCompressBytes(std::span(packedAgain).first(static_cast<std::size_t>(packedLen)), back, packedLen, backLen);
        if (static_cast<std::size_t>(backLen) != source.size() || back != source) std::abort();
    }

    INTEGER value = 0;
    YYBytesToIntLE(packed, static_cast<INTEGER>(claimedSource & 7), value);
    YYBytesToIntBE(packed, value);
    return 0;
}
