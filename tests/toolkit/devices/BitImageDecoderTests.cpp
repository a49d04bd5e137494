// The bit-image files against independent readers: one test page at 1, 4, 8 and 24 bits written
// as BMP, run-length BMP, PCX and PNG, decoded by Pillow, ImageMagick and netpbm, each equal to
// the page pixel for pixel; pngcheck finds no fault in the PNG files.
//
// One-bit PCX files have no palette of their own: Pillow, netpbm and the toolkit's reader show a
// set bit white, ImageMagick (6.9) black, also in files Pillow writes. The files follow the
// majority, so ImageMagick sees the exact complement of those pages. Pillow (9.4) reads the four
// planes of a 16-colour PCX line at the unpadded stride, so it misreads pages whose line of
// ceiling(w / 8) bytes is padded to an even length; the other readers check those.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/toolkit/devices/NetpbmHeader.h"
#include "tests/toolkit/devices/RasterTestDrawing.h"

using namespace raster_test;

namespace {

// The page as the files' palettes show it: RGB bytes, top row first.
Bytes pageRgb()
{
    const RasterPageBlock& p = rasterPageBlock();
    const std::vector<INTEGER> palette = YYBitImagePalette(p.PixelMode);
    Bytes rgb;
    for (INTEGER y = p.LastRow; y >= 0; --y)
        for (INTEGER x = 0; x <= p.LastColumn; ++x) {
            const INTEGER index = YYBitImageIndex(x, y);
            const INTEGER c = palette.empty() ? index : palette[static_cast<std::size_t>(index)];
            rgb.insert(rgb.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16)});
        }
    return rgb;
}

int run(const std::string& command) { return std::system(command.c_str()); }

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// A netpbm image (P4, P5 or P6) as RGB bytes scaled to 0-255; empty when it cannot be read.
Bytes netpbmRgb(const Bytes& file, INTEGER width, INTEGER height)
{
    NetpbmHeader header{file};
    const auto number = [&]() {
        const std::string t = header.token();
        return !t.empty() && t.find_first_not_of("0123456789") == std::string::npos && t.size() < 9 ? std::stoi(t) : -1;
    };
    const std::string magic = header.token();
    if (number() != width || number() != height) return {};
    const int maxval = magic == "P4" ? 1 : number();
    if (maxval <= 0) return {};
    std::size_t at = header.at;
    Bytes rgb;
    const auto scale = [maxval](int v) { return static_cast<std::uint8_t>(v * 255 / maxval); };
    for (INTEGER y = 0; y < height; ++y) {
        const std::size_t rowStart = at;
        for (INTEGER x = 0; x < width; ++x) {
            if (magic == "P4") {
                const std::size_t byte = rowStart + static_cast<std::size_t>(x / 8);
                if (byte >= file.size()) return {};
                const std::uint8_t v = ((file[byte] >> (7 - x % 8)) & 1) ? 0 : 255;
                rgb.insert(rgb.end(), {v, v, v});
            } else if (magic == "P5") {
                if (at >= file.size()) return {};
                const std::uint8_t v = scale(file[at++]);
                rgb.insert(rgb.end(), {v, v, v});
            } else if (magic == "P6") {
                if (at + 3 > file.size()) return {};
                for (int k = 0; k < 3; ++k) rgb.push_back(scale(file[at++]));
            } else {
                return {};
            }
        }
        if (magic == "P4") at = rowStart + static_cast<std::size_t>((width + 7) / 8);
    }
    return rgb;
}

TEST(BitImageDecoders, IndependentReadersSeeThePage)
{
    struct Format {
        INTEGER type;
        const char* extension;
        const char* netpbm;
    };
    const Format formats[] = {{1, "bmp", "bmptopnm"}, {2, "bmp", "bmptopnm"}, {0, "pcx", "pcxtoppm"}, {3, "png", "pngtopam"}};
    ASSERT_EQ(run("/usr/bin/python3 -c 'import PIL' && command -v pngcheck bmptopnm pcxtoppm pngtopam pamtopnm >/dev/null"
                  " && test -x /usr/bin/compare"),
              0)
        << "python3-pil, imagemagick, netpbm and pngcheck are needed (scripts/install-deps.sh)";
    // Odd widths: padded BMP rows, PCX pad bytes, run-length rows ending in 3 or 5 pixels.
    for (const auto& [kWidth, kHeight] : {std::pair{123, 67}, std::pair{101, 40}})
    for (const INTEGER bits : {1, 4, 8, 24})
        for (const Format& f : formats) {
            const std::string name = std::to_string(kWidth) + " wide, " + std::to_string(bits) + "-bit file type " +
                                     std::to_string(f.type);
            SCOPED_TRACE(name);
            TempFolder folder;
            const auto file = folder / (std::string("page.") + f.extension);
            Bytes expected;
            {
                RasterJob job(kWidth, kHeight, file, {.bits = bits, .fileType = f.type});
                drawTestPage(kWidth, kHeight);
                expected = pageRgb();
            }
            ASSERT_TRUE(std::filesystem::exists(file));
            const bool complementForImageMagick = bits == 1 && f.type == 0;
            {
                std::ofstream ppm(folder / "expected.ppm", std::ios::binary);
                ppm << "P6\n" << kWidth << ' ' << kHeight << "\n255\n";
                for (const std::uint8_t v : expected) ppm.put(static_cast<char>(complementForImageMagick ? 255 - v : v));
            }

            // Pillow.
            EXPECT_EQ(run("/usr/bin/python3 -c 'import sys; from PIL import Image; "
                          "open(sys.argv[2], \"wb\").write(Image.open(sys.argv[1]).convert(\"RGB\").tobytes())' " +
                          quoted(file) + " " + quoted(folder / "pillow.rgb") + " 2>/dev/null"),
                      0);
            const bool paddedPlanes = bits == 4 && f.type == 0 && (kWidth + 7) / 8 % 2 != 0;
            if (!paddedPlanes) {
                EXPECT_TRUE(readFile(folder / "pillow.rgb") == expected) << "Pillow";
            }

            // ImageMagick: the count of differing pixels.
            run("/usr/bin/compare -metric AE " + quoted(file) + " " + quoted(folder / "expected.ppm") + " null: 2>" +
                quoted(folder / "ae.txt"));
            const Bytes ae = readFile(folder / "ae.txt");
            EXPECT_EQ(std::string(ae.begin(), ae.end()), "0") << "ImageMagick";

            // netpbm.
            EXPECT_EQ(run(std::string(f.netpbm) + " " + quoted(file) + " 2>/dev/null | pamtopnm >" +
                          quoted(folder / "netpbm.pnm") + " 2>/dev/null"),
                      0);
            EXPECT_TRUE(netpbmRgb(readFile(folder / "netpbm.pnm"), kWidth, kHeight) == expected) << f.netpbm;

            if (f.type == 3) {
                EXPECT_EQ(run("pngcheck -q " + quoted(file) + " >/dev/null"), 0) << "pngcheck";
            }
        }
}

}  // namespace
