#include "toolkit/foundation/BufferCompression.h"

#include <zlib.h>

#include "toolkit/foundation/ErrorReport.h"

namespace {

std::uint32_t byteAt(std::string_view bytes, std::size_t i)
{
    return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u;
}

using ZlibCall = int (*)(Bytef*, uLongf*, const Bytef*, uLong);

INTEGER zlibCall(ZlibCall call, std::span<std::byte> dest, INTEGER& destLen, std::span<const std::byte> source,
                 INTEGER srcLen)
{
    // Lengths that claim more than the buffers hold would let zlib read or write past them.
    if (srcLen < 0 || static_cast<std::size_t>(srcLen) > source.size() || destLen < 0) return Z_STREAM_ERROR;
    if (static_cast<std::size_t>(destLen) > dest.size()) destLen = static_cast<INTEGER>(dest.size());
    uLongf length = static_cast<uLongf>(destLen);
    const int status = call(reinterpret_cast<Bytef*>(dest.data()), &length,
                            reinterpret_cast<const Bytef*>(source.data()), static_cast<uLong>(srcLen));
    destLen = static_cast<INTEGER>(length);
    return status;
}

int compressDefault(Bytef* dest, uLongf* destLen, const Bytef* source, uLong srcLen)
{
    return compress(dest, destLen, source, srcLen);
}

int uncompressAll(Bytef* dest, uLongf* destLen, const Bytef* source, uLong srcLen)
{
    return uncompress(dest, destLen, source, srcLen);
}

void reportIfFailed(INTEGER status, INTEGER& destLen, std::string_view routine)
{
    if (status == Z_OK) return;
    destLen = 0;
    libraryErrorState().SystemDetailCode = status;
    YYErrorReport(1044, routine);
}

}  // namespace

void YYBytesToIntLE(std::string_view bytes, INTEGER nbytes, INTEGER& value)
{
    std::uint32_t v = byteAt(bytes, 0) + 256u * byteAt(bytes, 1);
    if (nbytes == 4) v += 65536u * (byteAt(bytes, 2) + 256u * byteAt(bytes, 3));
    value = static_cast<INTEGER>(v);
}

void YYBytesToIntBE(std::string_view bytes, INTEGER& value)
{
    const std::uint32_t v =
        65536u * (256u * byteAt(bytes, 0) + byteAt(bytes, 1)) + 256u * byteAt(bytes, 2) + byteAt(bytes, 3);
    value = static_cast<INTEGER>(v);
}

INTEGER YYCharCode(std::string_view character) { return static_cast<INTEGER>(byteAt(character, 0)); }

INTEGER YYZlibCompress(std::span<std::byte> dest, INTEGER& destLen, std::span<const std::byte> source, INTEGER srcLen)
{
    return zlibCall(&compressDefault, dest, destLen, source, srcLen);
}

INTEGER YYZlibUncompress(std::span<std::byte> dest, INTEGER& destLen, std::span<const std::byte> source,
                         INTEGER srcLen)
{
    return zlibCall(&uncompressAll, dest, destLen, source, srcLen);
}

void YYCompressBytes(std::span<const std::byte> source, std::span<std::byte> dest, INTEGER srcLen, INTEGER& destLen)
{
    reportIfFailed(YYZlibCompress(dest, destLen, source, srcLen), destLen, "WCompress");
}

void YYUnCompressBytes(std::span<const std::byte> source, std::span<std::byte> dest, INTEGER srcLen, INTEGER& destLen)
{
    reportIfFailed(YYZlibUncompress(dest, destLen, source, srcLen), destLen, "WUnCompress");
}
