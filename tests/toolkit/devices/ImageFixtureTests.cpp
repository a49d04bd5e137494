// Image loading against independent readers: fixtures written at test time by ImageMagick, netpbm
// and Pillow (make_image_fixtures.py), each decoded pixel for pixel as Pillow decodes it (netpbm
// the four-plane PCX, ImageMagick the RLE4 BMP); the tools' refusals, and undrawable palette
// pictures refused as ImageMagick refuses them; every fixture cut at every length.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/toolkit/foundation/ReporterGuard.h"
#include "toolkit/devices/ImageLoading.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Fixture {
    std::string name, file;
    int width = 0, height = 0;
    std::string reference;
    int significantBits = 8;
};

class ImageFixtures : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder() = std::filesystem::temp_directory_path() / ("qv-image-fixtures-" + std::to_string(::getpid()));
        const std::string command = std::string("/usr/bin/python3 ") + QV_IMAGE_FIXTURE_SCRIPT + " " +
                                    folder().string() + " >/dev/null 2>&1";
        generated() = std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(folder()); }
    void SetUp() override { ASSERT_TRUE(generated()) << "the fixture script failed (python3-pil, imagemagick, netpbm?)"; }

    static std::filesystem::path& folder()
    {
        static std::filesystem::path path;
        return path;
    }
    static bool& generated()
    {
        static bool done = false;
        return done;
    }
    static std::vector<Fixture> manifest()
    {
        std::vector<Fixture> fixtures;
        std::ifstream in(folder() / "manifest.txt");
        for (std::string line; std::getline(in, line);) {
            Fixture f;
            if (std::istringstream(line) >> f.name >> f.file >> f.width >> f.height >> f.reference >> f.significantBits)
                fixtures.push_back(f);
        }
        return fixtures;
    }
    static INTEGER load(const Bytes& file, std::vector<INTEGER>& image)
    {
        libraryErrorState().LastErrorNumber = 0;
        MemoryByteSource source(file);
        IGrLoadImageData(source, image);
        return libraryErrorState().LastErrorNumber;
    }
};

TEST_F(ImageFixtures, EveryLayoutDecodesAsTheIndependentReaderDoes)
{
    ReporterGuard guard;
    const auto fixtures = manifest();
    ASSERT_GE(fixtures.size(), 25U);
    for (const Fixture& f : fixtures) {
        SCOPED_TRACE(f.name);
        std::vector<INTEGER> image(static_cast<std::size_t>(f.width) * f.height, -1);
        ASSERT_EQ(load(readFile(folder() / f.file), image), 0);
        const Bytes expected = readFile(folder() / f.reference);
        ASSERT_EQ(expected.size(), 3 * image.size());
        const unsigned mask = (0xFFU << (8 - f.significantBits)) & 0xFFU;
        int mismatches = 0;
        for (std::size_t k = 0; k < image.size() && mismatches < 5; ++k) {
            const auto got = static_cast<unsigned>(image[k]);
            const unsigned r = expected[3 * k], g = expected[3 * k + 1], b = expected[3 * k + 2];
            const bool same = ((got & 0xFF) & mask) == (r & mask) && (((got >> 8) & 0xFF) & mask) == (g & mask) &&
                              (((got >> 16) & 0xFF) & mask) == (b & mask) && (got >> 24) == 0;
            if (!same) {
                ++mismatches;
                ADD_FAILURE() << "pixel " << k % f.width << "," << k / f.width << ": got " << std::hex << got
                              << ", expected r " << r << " g " << g << " b " << b;
            }
        }
    }
}

TEST_F(ImageFixtures, InterlacedAndGreyscalePngAndJpegAreRefused)
{
    ReporterGuard guard;
    for (const char* name : {"refuse_interlaced.png", "refuse_grey.png", "refuse.jpg"}) {
        SCOPED_TRACE(name);
        std::vector<INTEGER> image(64, 5);
        EXPECT_EQ(load(readFile(folder() / name), image), 27);
        EXPECT_EQ(image, std::vector<INTEGER>(64, 5));
    }
}

// Palette pictures that cannot be drawn right (a row of an unknown filter type, no palette, indices
// past the palette) are refused (27) as ImageMagick refuses them; the picture they were made from
// loads in both.
TEST_F(ImageFixtures, UndrawablePngsAreRefusedAsImageMagickRefusesThem)
{
    ReporterGuard guard;
    const auto magickReads = [](const std::filesystem::path& file) {
        return std::system(("/usr/bin/convert '" + file.string() + "' ppm:- >/dev/null 2>&1").c_str()) == 0;
    };
    std::vector<INTEGER> image(21 * 12);
    ASSERT_TRUE(magickReads(folder() / "src8.png"));
    EXPECT_EQ(load(readFile(folder() / "src8.png"), image), 0);
    for (const char* name : {"undrawable_filter.png", "undrawable_no_palette.png", "undrawable_short_palette.png"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(magickReads(folder() / name));
        EXPECT_EQ(load(readFile(folder() / name), image), 27);
    }
}

TEST_F(ImageFixtures, EveryFixtureCutShortIsReportedAndStaysInBounds)
{
    ReporterGuard guard;
    for (const Fixture& f : manifest()) {
        SCOPED_TRACE(f.name);
        const Bytes whole = readFile(folder() / f.file);
        const bool png = f.file.ends_with(".png");
        // A PNG loads once its IEND chunk header is in: the CRC behind it is not read.
        const std::size_t lastCut = whole.size() - (png ? 5 : 1);
        std::vector<INTEGER> image(static_cast<std::size_t>(f.width) * f.height);
        for (std::size_t cut = 0; cut <= lastCut; ++cut) {
            const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
            // Too short for the probe to tell the kind: not an image; otherwise a short read.
            const INTEGER expected = (cut < 4 || (png && cut < 8)) ? 27 : 2;
            const INTEGER error = load(part, image);
            // A 256-colour PCX cut where a data byte 12 now stands 769 bytes before the end looks
            // whole: the format cannot tell; only staying in bounds counts there.
            const bool pcxMarkerByChance = f.file.ends_with(".pcx") && cut >= 128 + 769 && whole[cut - 769] == 12;
            if (!pcxMarkerByChance) {
                ASSERT_EQ(error, expected) << "cut at " << cut << " of " << whole.size();
            }
        }
    }
}

}  // namespace
