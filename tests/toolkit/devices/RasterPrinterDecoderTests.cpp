// A monochrome ESC/P 2 page read back by netpbm's escp2topbm. That reader takes every graphics row
// at one width, so the test page is framed: each print line then ends on its last dot.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/toolkit/devices/RasterPrinterStreams.h"

using namespace raster_test;

namespace {

// A raw PBM (P4) as rows of dots, true for black; empty when it is not one.
std::vector<std::vector<bool>> readPbm(const Bytes& file, INTEGER& width, INTEGER& height)
{
    std::size_t at = 0;
    const auto token = [&]() {
        std::string t;
        while (at < file.size()) {
            const char c = static_cast<char>(file[at]);
            if (c == '#') {
                while (at < file.size() && file[at] != '\n') ++at;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++at;
                if (!t.empty()) return t;
            } else {
                t += c;
                ++at;
            }
        }
        return t;
    };
    if (token() != "P4") return {};
    width = std::stoi(token());
    height = std::stoi(token());
    const std::size_t stride = static_cast<std::size_t>((width + 7) / 8);
    if (at + stride * static_cast<std::size_t>(height) > file.size()) return {};
    std::vector<std::vector<bool>> rows;
    for (INTEGER y = 0; y < height; ++y) {
        std::vector<bool> row;
        for (INTEGER x = 0; x < width; ++x)
            row.push_back(((file[at + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1) != 0);
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(RasterPrinterDecoders, EscP2MonochromePageReadByEscp2topbm)
{
    TempFolder folder;
    for (const INTEGER rotated : {0, 1}) {
        SCOPED_TRACE(rotated);
        const std::filesystem::path file = folder / "stylus.prn", image = folder / "stylus.pbm";
        PrinterJob job(36, file, [&](HardcopyOptionBlock& o) {
            o.Options[5] = rotated;
            o.Options[13] = 3;
            o.Options[1] = 130;
            o.Options[2] = 90;
        });
        ASSERT_TRUE(job.active());
        job.paint(5U + static_cast<unsigned>(rotated), true);
        const INTEGER dots = rasterPrinterPage().DotsPerLine, lines = rasterPrinterPage().PrintLines;
        job.finish();
        const std::string command = "escp2topbm '" + file.string() + "' > '" + image.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        INTEGER width = 0, height = 0;
        const auto rows = readPbm(readFile(image), width, height);
        ASSERT_EQ(height, lines);
        ASSERT_EQ(width, (dots + 7) / 8 * 8);
        INTEGER wrong = 0;
        for (INTEGER line = 0; line < lines; ++line)
            for (INTEGER d = 0; d < width; ++d)
                wrong += rows[static_cast<std::size_t>(line)][static_cast<std::size_t>(d)] != (d < dots && job.printed(d, line) != 0) ? 1 : 0;
        EXPECT_EQ(wrong, 0);
    }
}
