// A monochrome ESC/P 2 page read back by netpbm's escp2topbm. That reader takes every graphics row
// at one width, so the test page is framed: each print line then ends on its last dot. A band of
// print lines without a dot crosses the frame: such lines are sent as line feeds alone, which
// escp2topbm passes over (it stacks the graphics rows it reads), so its picture is the page
// without that band.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/toolkit/devices/NetpbmHeader.h"
#include "tests/toolkit/devices/RasterPrinterStreams.h"

using namespace raster_test;

namespace {

// A raw PBM (P4) as rows of dots, true for black; empty when it is not one.
std::vector<std::vector<bool>> readPbm(const Bytes& file, INTEGER& width, INTEGER& height)
{
    NetpbmHeader header{file};
    if (header.token() != "P4") return {};
    width = std::stoi(header.token());
    height = std::stoi(header.token());
    const std::size_t at = header.at;
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
        // Print lines 10 to 14 blank: rows from the top, or columns from the right when turned.
        constexpr INTEGER kBlankFrom = 10, kBlankTo = 15;
        const RasterPageBlock& p = rasterPageBlock();
        for (INTEGER line = kBlankFrom; line < kBlankTo; ++line) {
            if (rotated != 0)
                for (INTEGER y = 0; y <= p.LastRow; ++y) YYRasterPixel(0, p.LastColumn - line, y);
            else
                for (INTEGER x = 0; x <= p.LastColumn; ++x) YYRasterPixel(0, x, p.LastRow - line);
        }
        job.snapshot();
        const INTEGER dots = rasterPrinterPage().DotsPerLine, lines = rasterPrinterPage().PrintLines;
        job.finish();
        const std::string command = "escp2topbm '" + file.string() + "' > '" + image.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        INTEGER width = 0, height = 0;
        const auto rows = readPbm(readFile(image), width, height);
        ASSERT_EQ(height, lines - (kBlankTo - kBlankFrom));
        ASSERT_EQ(width, (dots + 7) / 8 * 8);
        INTEGER wrong = 0, row = 0;
        for (INTEGER line = 0; line < lines; ++line) {
            if (line >= kBlankFrom && line < kBlankTo) {
                for (INTEGER d = 0; d < dots; ++d) wrong += job.printed(d, line) != 0 ? 1 : 0;
                continue;
            }
            for (INTEGER d = 0; d < width; ++d)
                wrong += rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(d)] != (d < dots && job.printed(d, line) != 0) ? 1 : 0;
            ++row;
        }
        EXPECT_EQ(wrong, 0);
    }
}
