// The bit-image device (6) in the program's own set-up under Wine: selected and started through
// the hardcopy job, drawn on with the graphics layer's routines, written through the toolkit's
// output unit, its run-length file's sizes fixed through the toolkit's file routines, and read
// back by the toolkit's image reader.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RecordingDriver.h"
#include "toolkit/devices/DeviceHooks.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/ImageLoading.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"

namespace {

std::string tempFile(const char* name)
{
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return std::string(path) + name;
}

std::vector<unsigned char> readBytes(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST(BitImageJob, GraphicsLayerDrawingBecomesARunLengthBmp)
{
    resetGraphicsForTest(200, 100);
    YYDeviceHooksInstall();
    libraryErrorState().LastErrorNumber = 0;
    const std::string file = tempFile("qv-bit-image-job.bmp");
    DeleteFileA(file.c_str());

    IGrHardcopyDevice(1, 6);
    IGrHardcopySetOption(23, 8);
    IGrHardcopySetOption(26, 2);
    IGrHardcopySetOption(1, 200);
    IGrHardcopySetOption(2, 100);
    IGrHardcopyBeginEnd(file);
    ASSERT_GT(graphicsState().HardcopyActive, 0);
    IGrColourN(16 * 4 + 2);
    IGrPenMove(0.1f, 0.5f);
    IGrPenDraw(0.9f, 0.5f);
    IGrColourN(16 * 9 + 5);
    IGrFillStyle(4);
    IGrTriangle(0.1f, 0.6f, 0.5f, 0.6f, 0.1f, 0.95f);
    IGrHardcopyBeginEnd("S");
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);

    const auto bytes = readBytes(file);
    ASSERT_GT(bytes.size(), 1078U);
    EXPECT_EQ(le32(bytes, 30), 1U);                   // RLE8
    EXPECT_EQ(le32(bytes, 2), bytes.size());          // sizes from the reopened file
    EXPECT_EQ(le32(bytes, 34), bytes.size() - 1078);

    std::vector<INTEGER> pixels(200 * 100, -1);
    IGrLoadImageData(file, pixels);
    EXPECT_EQ(libraryErrorState().LastErrorNumber, 0);
    INTEGER line = 0, fill = 0, white = 0;
    YYPaletteRGB(16 * 4 + 2, line);
    YYPaletteRGB(16 * 9 + 5, fill);
    YYPaletteRGB(0, white);
    const auto count = [&pixels](INTEGER colour) { return std::count(pixels.begin(), pixels.end(), colour); };
    // A line of 161 pixels, one wide at 150 dots per inch; a triangle of about 80 x 35 / 2.
    EXPECT_NEAR(static_cast<double>(count(line)), 161.0, 5.0);
    EXPECT_NEAR(static_cast<double>(count(fill)), 1400.0, 150.0);
    EXPECT_EQ(count(line) + count(fill) + count(white), 200 * 100);
    // The line's row: halfway up, its pixels from column 20 to 180.
    EXPECT_EQ(pixels[50 * 200 + 100], line);
    DeleteFileA(file.c_str());
}

}  // namespace
