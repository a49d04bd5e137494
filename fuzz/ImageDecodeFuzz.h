// The body of the image decoder fuzz targets: the input with its kind's signature written over its
// first bytes (so that every input reaches the decoder), probed, then decoded into an array of
// exactly the probed size when that is modest, else into a small one that the loader must refuse.
#pragma once

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "toolkit/devices/GraphicFileProbe.h"
#include "toolkit/devices/ImageLoading.h"

inline int fuzzImageDecode(const std::uint8_t* data, std::size_t size, std::string_view signature,
                           std::size_t signatureAt = 0)
{
    std::vector<std::uint8_t> file(data, data + size);
    if (file.size() < signatureAt + signature.size()) file.resize(signatureAt + signature.size());
    std::copy(signature.begin(), signature.end(), file.begin() + static_cast<std::ptrdiff_t>(signatureAt));
    MemoryByteSource source(file);
    std::array<INTEGER, 5> probe{};
    INTEGER n = 5;
    YYGraphicFileProbe(source, probe, n);
    const std::int64_t pixels = std::int64_t{probe[1]} * std::abs(std::int64_t{probe[2]});
    std::vector<INTEGER> image(pixels > 0 && pixels <= (1 << 18) ? static_cast<std::size_t>(pixels) : 64);
    IGrLoadImageData(source, image);
    return 0;
}
