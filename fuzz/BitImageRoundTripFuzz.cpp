// The bit-image writers' round trip: a page of any size, depth and content, written as BMP,
// run-length BMP, PCX or PNG into memory and read back by the toolkit's decoder, must come back
// pixel for pixel as the writers' palettes show it.
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "toolkit/devices/BitImageDriver.h"
#include "toolkit/devices/ByteSink.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/devices/RasterRenderer.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool palette = [] {
        YYPaletteDefault();
        return true;
    }();
    (void)palette;
    FuzzInput in(data, size);
    const INTEGER width = 1 + in.take<std::uint8_t>() % 80, height = 1 + in.take<std::uint8_t>() % 40;
    static constexpr INTEGER kDepths[] = {1, 4, 8, 24};
    const INTEGER bits = kDepths[in.take<std::uint8_t>() % 4];
    static constexpr INTEGER kTypes[] = {1, 2, 0, 3};
    const INTEGER type = kTypes[in.take<std::uint8_t>() % 4];

    RasterPageBlock& page = rasterPageBlock();
    page.Layout = bits == 24 ? kRasterWords : bits == 8 ? kRasterBytes : bits == 4 ? kRasterPlanes : kRasterBits;
    page.ClearValue = bits == 24 ? -1 : 0;
    if (!YYRasterPageAllocate(width, height, bits, bits == 4 ? 4 : 1)) return 0;
    page.ClearableWords = page.TotalWords;
    std::fill(page.Words.begin(), page.Words.end(), static_cast<std::uint32_t>(page.ClearValue));
    // Runs of pixel values from the input, so that run-length coding meets runs and changes.
    for (INTEGER k = 0; k < width * height;) {
        const INTEGER run = 1 + in.take<std::uint8_t>() % 16;
        const auto value = static_cast<INTEGER>(in.take<std::uint32_t>() & 0xFFFFFF);
        for (INTEGER j = 0; j < run && k < width * height; ++j, ++k) YYRasterPixel(value, k % width, k / width);
    }
    hardcopyOptionBlock().Options[26] = type;

    MemoryByteSink sink;
    outputUnitHooks().status() = 0;
    libraryErrorState().LastErrorNumber = 0;
    if (type == 3) YYPngWrite(sink);
    else if (type == 0) YYPcxWrite(sink);
    else YYBmpWrite(sink);
    if (outputUnitHooks().status() != 0) std::abort();
    // A run-length file learns its sizes after it is closed; in memory they are not needed.

    std::vector<INTEGER> pixels(static_cast<std::size_t>(width * height), -1);
    MemoryByteSource source(sink.bytes());
    IGrLoadImageData(source, pixels);
    if (libraryErrorState().LastErrorNumber != 0) std::abort();
    const std::vector<INTEGER> colours = YYBitImagePalette(bits);
    for (INTEGER y = 0; y < height; ++y)
        for (INTEGER x = 0; x < width; ++x) {
            const INTEGER index = YYBitImageIndex(x, height - 1 - y);
            const INTEGER expected = colours.empty() ? index : colours[static_cast<std::size_t>(index)];
            if (pixels[static_cast<std::size_t>(y * width + x)] != expected) std::abort();
        }
    return 0;
}
