// Image drawing and saving, and the bitmap store, for real under Wine: pictures drawn into a
// memory DIB and a window and compared pixel by pixel with Pillow's decode of the same file;
// saved areas decoded by Pillow, ImageMagick and netpbm and checked by pngcheck; bitmaps made,
// drawn into, flipped, turned and copied, read back pixel by pixel. The paths this 24-bit display
// never takes (turning without world transforms, a 256-colour or one-bit screen) run through the
// platform seam of the image routines.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "GuiHarness.h"
#include "ImageFileBuilders.h"
#include "toolkit/devices/BitmapStore.h"
#include "toolkit/devices/BitmapViewer.h"
#include "toolkit/devices/ImageDraw.h"
#include "toolkit/devices/ImageSave.h"
#include "ToolkitSession.h"
#include "toolkit/foundation/ChildWindows.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GdiDrawingState.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"

using namespace image_files;
using GuiHarness::waitUntil;

namespace {

constexpr int kWidth = 320, kHeight = 240;
constexpr COLORREF kWhite = RGB(255, 255, 255);

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& name, const Bytes& bytes)
{
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool fileExists(const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A host shell command (Wine starts Unix programs but cannot wait for them): its output lands in
// a file renamed into place when it is done.
std::string runHost(const std::string& command, DWORD deadlineMs = 60000)
{
    static int serial = 0;
    const std::string base = "/tmp/qv-image-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    const std::string line = "/bin/sh -c \"PATH=/usr/local/bin:/usr/bin:/bin; (" + command + ") > " + base + ".part 2>&1 </dev/null; mv " + base + ".part " + base + ".out\"";
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("Z:\\bin\\sh", text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
        return "cannot start the host shell";
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    const std::string done = "Z:" + base + ".out";
    if (!waitUntil([&] { return fileExists(done); }, std::chrono::milliseconds(deadlineMs))) return "host command timed out";
    std::string out = readFile(done);
    DeleteFileA(done.c_str());
    return out;
}

// A folder under /tmp for one test program's files, as a Unix and as a Windows path.
struct HostFolder {
    std::string unix, windows;
    HostFolder()
    {
        unix = "/tmp/qv-image-files-" + std::to_string(GetCurrentProcessId());
        windows = "Z:" + unix;
        CreateDirectoryA(windows.c_str(), nullptr);
    }
    ~HostFolder() { runHost("rm -rf '" + unix + "'"); }
};

HostFolder& hostFolder()
{
    static HostFolder folder;
    return folder;
}

// The test picture: every pixel its own colour, so a misplaced one shows.
COLORREF picture(int x, int y) { return RGB(2 * x + 1, 5 * y + 3, (x * 7 + y * 13) % 256); }

Bytes pictureBmp(int width, int height)
{
    const int stride = (3 * width + 3) / 4 * 4;
    Bytes rows(static_cast<std::size_t>(stride * height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = rows.data() + stride * (height - 1 - y) + 3 * x;
            const COLORREF c = picture(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return bmp(width, height, 24, 0, {}, rows);
}

// A true-colour memory DIB as the graphics layer's drawing context.
class DibTarget : public ::testing::Test {
protected:
    void SetUp() override
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_.reset(CreateCompatibleDC(nullptr));
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        ASSERT_TRUE(bitmap_ && bits_);
        previous_ = SelectObject(dc_.get(), bitmap_.get());
        clear();
        gdiDrawingState().DrawingDC = dc_.get();
        imagePlatformSeam() = ImagePlatformSeam{};
    }
    void TearDown() override
    {
        imagePlatformSeam() = ImagePlatformSeam{};
        gdiDrawingState().ClipRegion.reset();
        gdiDrawingState().DrawingDC = nullptr;
        SelectObject(dc_.get(), previous_);
    }
    void clear() { std::memset(bits_, 0xFF, kWidth * kHeight * 4); }
    COLORREF pixel(int x, int y) const
    {
        GdiFlush();
        const auto v = static_cast<const std::uint32_t*>(bits_)[y * kWidth + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    // Every pixel of the w x h area at (x0, y0) against the expected colour; the first few
    // differences are listed.
    ::testing::AssertionResult areaIs(int x0, int y0, int w, int h, const std::function<COLORREF(int, int)>& expected) const
    {
        int wrong = 0;
        std::ostringstream report;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (pixel(x0 + x, y0 + y) != expected(x, y) && ++wrong <= 4)
                    report << " (" << x << "," << y << ") " << std::hex << pixel(x0 + x, y0 + y) << " not "
                           << expected(x, y) << std::dec;
        if (wrong == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << wrong << " pixels differ:" << report.str();
    }
    bool untouchedOutside(int x0, int y0, int w, int h) const
    {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if ((x < x0 || x >= x0 + w || y < y0 || y >= y0 + h) && pixel(x, y) != kWhite) return false;
        return true;
    }
    static INTEGER draw(INTEGER format, const std::string& file, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2,
                        INTEGER stretch, INTEGER angle = 0, INTEGER dx = 0, INTEGER dy = 0, INTEGER target = 0)
    {
        INTEGER status = -1, code = 0;
        YYImageDraw(format, target, x1, y1, x2, y2, stretch, angle, dx, dy, status, code, file);
        return status;
    }
    static std::string pictureFile(int width, int height)
    {
        const std::string name = hostFolder().windows + "/picture" + std::to_string(width) + "x" + std::to_string(height) + ".bmp";
        writeFile(name, pictureBmp(width, height));
        return name;
    }

    MemoryDcHandle dc_;
    BitmapHandle bitmap_;
    void* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

int formatOf(const std::string& file)
{
    const std::string ext = file.substr(file.rfind('.') + 1);
    return ext == "bmp" ? 1 : ext == "pcx" ? 2 : 15;
}

}  // namespace

TEST_F(DibTarget, EveryFixtureDrawsAsPillowDecodesIt)
{
    const std::string folder = hostFolder().unix + "/fixtures";
    const std::string made = runHost(std::string("/usr/bin/python3 '") + QV_IMAGE_FIXTURE_SCRIPT + "' " + folder + " && echo made");
    ASSERT_NE(made.find("made"), std::string::npos) << made;
    std::istringstream manifest(readFile("Z:" + folder + "/manifest.txt"));
    int drawn = 0;
    for (std::string line; std::getline(manifest, line);) {
        std::istringstream fields(line);
        std::string name, file, reference;
        int width = 0, height = 0, significant = 8;
        fields >> name >> file >> width >> height >> reference >> significant;
        const std::string rgb = readFile("Z:" + folder + "/" + reference);
        ASSERT_EQ(rgb.size(), static_cast<std::size_t>(3 * width * height)) << name;
        clear();
        ASSERT_EQ(draw(formatOf(file), "Z:" + folder + "/" + file, 0, 0, width - 1, height - 1, 0), 0) << name;
        const int mask = (0xFF << (8 - significant)) & 0xFF;
        EXPECT_TRUE(areaIs(0, 0, width, height, [&](int x, int y) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(rgb.data()) + 3 * (y * width + x);
            const COLORREF want = RGB(p[0] & mask, p[1] & mask, p[2] & mask);
            const COLORREF got = pixel(x, y);
            // 5- and 6-bit fields are widened differently by readers: compare their high bits.
            return RGB(GetRValue(got) & mask, GetGValue(got) & mask, GetBValue(got) & mask) == want ? got : want ^ 1;
        })) << name;
        EXPECT_TRUE(untouchedOutside(0, 0, width, height)) << name << ": an 8-bit PCX shows only its width";
        ++drawn;
    }
    EXPECT_GE(drawn, 20);
}

TEST_F(DibTarget, StretchedFillsTheRectangleNaturalSizeKeepsToTheClip)
{
    const std::string file = pictureFile(100, 50);
    ASSERT_EQ(draw(1, file, 10, 10, 209, 209, 1), 0);
    EXPECT_TRUE(areaIs(10, 10, 200, 200, [](int x, int y) { return picture(x / 2, y / 4); }));
    EXPECT_TRUE(untouchedOutside(10, 10, 200, 200));

    clear();
    ASSERT_EQ(draw(1, file, 10, 10, 0, 0, 0), 0);
    EXPECT_TRUE(areaIs(10, 10, 100, 50, [](int x, int y) { return picture(x, y); }));
    EXPECT_TRUE(untouchedOutside(10, 10, 100, 50));

    clear();
    gdiDrawingState().ClipRegion.reset(CreateRectRgn(30, 20, 60, 40));
    ASSERT_EQ(draw(1, file, 10, 10, 0, 0, 0), 0);
    EXPECT_TRUE(areaIs(30, 20, 30, 20, [](int x, int y) { return picture(x + 20, y + 10); }));
    EXPECT_TRUE(untouchedOutside(30, 20, 30, 20));
    const GdiObjectHandle probe(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetClipRgn(dc_.get(), static_cast<HRGN>(probe.get())), 0) << "a clip region was left behind";
}

TEST_F(DibTarget, TurnedThroughWorldTransformsAndPixelByPixel)
{
    const int w = 100, h = 50;
    const std::string file = pictureFile(w, h);
    struct Case {
        INTEGER angle, dx, dy;
        int outW, outH;
        std::function<COLORREF(int, int)> expected;
    };
    const Case cases[] = {
        {90, 0, w, h, w, [&](int x, int y) { return picture(w - 1 - y, x); }},
        {180, w, h, w, h, [&](int x, int y) { return picture(w - 1 - x, h - 1 - y); }},
        {270, h, 0, h, w, [&](int x, int y) { return picture(y, h - 1 - x); }},
    };
    for (const INTEGER transforms : {1, 0}) {
        imagePlatformSeam().WorldTransforms = transforms;
        for (const Case& c : cases) {
            clear();
            ASSERT_EQ(draw(1, file, 0, 0, 0, 0, 0, c.angle, c.dx, c.dy), 0);
            EXPECT_TRUE(areaIs(0, 0, c.outW, c.outH, c.expected)) << c.angle << (transforms ? " transformed" : " by pixels");
            EXPECT_TRUE(untouchedOutside(0, 0, c.outW, c.outH)) << c.angle << (transforms ? " transformed" : " by pixels");
        }
    }
    // The transform is gone afterwards: a plain draw lands where it is asked to.
    clear();
    ASSERT_EQ(draw(1, file, 5, 5, 0, 0, 0), 0);
    EXPECT_TRUE(areaIs(5, 5, w, h, [](int x, int y) { return picture(x, y); }));
}

TEST_F(DibTarget, FailuresComeBackAsStatusesAndDrawNothing)
{
    const std::string folder = hostFolder().windows;
    writeFile(folder + "/garbage.png", bytesOf("not a picture at all, long enough to fill a header"));
    Bytes cut = png(4, 4, 8, 2, {pngChunk("IDAT", zlibOf(Bytes(52, 9)))});
    cut.resize(cut.size() - 20);
    writeFile(folder + "/cut.png", cut);
    writeFile(folder + "/inflate.png", png(4, 4, 8, 2, {pngChunk("IDAT", {1, 2, 3, 4, 5, 6})}));
    writeFile(folder + "/plane2.pcx", pcx(4, 1, 2, 1, 2, {0, 0}));
    struct Case {
        INTEGER format;
        std::string file;
        INTEGER status, target = 0;
    };
    const Case cases[] = {
        {15, folder + "/missing.png", 1}, {15, folder + "/garbage.png", 27}, {15, folder + "/cut.png", 2},
        {15, folder + "/inflate.png", 1044}, {2, folder + "/plane2.pcx", 27}, {1, folder + "/garbage.png", 27},
        {1, pictureFile(4, 4), 1, kImageTargetMetafile},  // no metafile context installed
    };
    for (const Case& c : cases) {
        INTEGER status = -1, code = 0;
        YYImageDraw(c.format, c.target, 0, 0, 9, 9, 1, 0, 0, 0, status, code, c.file);
        EXPECT_EQ(status, c.status) << c.file;
        if (c.status == 1 && c.target == 0) {
            EXPECT_EQ(code, ERROR_FILE_NOT_FOUND);
        }
        if (c.status == 1044) {
            EXPECT_NE(code, 0);
        }
        EXPECT_TRUE(untouchedOutside(0, 0, 0, 0)) << c.file;
    }
    {
        const ClipboardSession clipboard(nullptr);
        ASSERT_TRUE(clipboard.isOpen());
        EmptyClipboard();
    }
    EXPECT_EQ(draw(0, "", 0, 0, 9, 9, 1), 1095);
    EXPECT_TRUE(untouchedOutside(0, 0, 0, 0));
}

TEST_F(DibTarget, ClipboardAreaSavedAndDrawnBack)
{
    const std::string file = pictureFile(30, 20);
    ASSERT_EQ(draw(1, file, 0, 0, 0, 0, 0), 0);
    INTEGER status = -1, code = 0;
    YYImageSave(0, 0, 0, 29, 19, status, code, "");
    ASSERT_EQ(status, 0);
    {
        const ClipboardSession clipboard(nullptr);
        ASSERT_TRUE(clipboard.isOpen());
        auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        ASSERT_NE(bitmap, nullptr);
        BITMAP facts{};
        GetObjectA(bitmap, sizeof facts, &facts);
        EXPECT_EQ(facts.bmWidth, 30);
        EXPECT_EQ(facts.bmHeight, 20);
    }
    clear();
    ASSERT_EQ(draw(0, "", 50, 60, 0, 0, 0), 0);
    EXPECT_TRUE(areaIs(50, 60, 30, 20, [](int x, int y) { return picture(x, y); }));
    EXPECT_TRUE(untouchedOutside(50, 60, 30, 20));

    // Another window holds the clipboard open: status 1094.
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr), release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (OpenClipboard(owner)) {
            SetEvent(opened);
            WaitForSingleObject(release, 10000);
            CloseClipboard();
        }
        DestroyWindow(owner);
    });
    ASSERT_EQ(WaitForSingleObject(opened, 5000), WAIT_OBJECT_0);
    YYImageSave(0, 0, 0, 9, 9, status, code, "");
    EXPECT_EQ(status, 1094);
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
}

TEST_F(DibTarget, SavedFilesDecodeAsTheScreenShowsThem)
{
    // An area of odd width, read back with GetPixel, saved as BMP, PCX and PNG.
    const int x1 = 7, y1 = 5, w = 41, h = 23;
    ASSERT_EQ(draw(1, pictureFile(60, 40), 0, 0, 0, 0, 0), 0);
    std::string expected;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = GetPixel(dc_.get(), x1 + x, y1 + y);
            expected += {static_cast<char>(GetRValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetBValue(c))};
        }
    const std::string folder = hostFolder().unix;
    std::ofstream("Z:" + folder + "/expected.rgb", std::ios::binary) << expected;
    for (const auto& [format, name] : {std::pair{1, "saved.bmp"}, std::pair{2, "saved.pcx"}, std::pair{15, "saved.png"}}) {
        INTEGER status = -1, code = 0;
        YYImageSave(format, x1, y1, x1 + w - 1, y1 + h - 1, status, code, "Z:" + folder + "/" + name);
        ASSERT_EQ(status, 0) << name;
    }
    const std::string report = runHost(std::string("/usr/bin/python3 '") + QV_SAVED_IMAGE_CHECK + "' " + folder + "/expected.rgb " +
                                       std::to_string(w) + " " + std::to_string(h) + " " + folder + "/saved.bmp " +
                                       folder + "/saved.pcx " + folder + "/saved.png");
    EXPECT_NE(report.find("checked 3 files"), std::string::npos) << report;
    EXPECT_EQ(report.find("BAD"), std::string::npos) << report;
    EXPECT_NE(report.find("pngcheck: 1 IDAT, no errors"), std::string::npos) << report;

    // Format 7 does nothing; a one-bit screen is refused.
    INTEGER status = -1, code = 0;
    YYImageSave(7, 0, 0, 9, 9, status, code, "Z:" + folder + "/seven.img");
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(fileExists("Z:" + folder + "/seven.img"));
    imagePlatformSeam().DisplayBits = 1;
    YYImageSave(2, 0, 0, 9, 9, status, code, "Z:" + folder + "/mono.pcx");
    EXPECT_EQ(status, 1072);
    EXPECT_FALSE(fileExists("Z:" + folder + "/mono.pcx"));
}

TEST_F(DibTarget, PcxFromAPaletteScreenHasOnePlaneAndItsPalette)
{
    // The screen read back at 8 bits, as on a 256-colour display.
    ASSERT_EQ(draw(1, pictureFile(20, 10), 0, 0, 0, 0, 0), 0);
    imagePlatformSeam().DisplayBits = 8;
    const std::string name = hostFolder().windows + "/palette.pcx";
    INTEGER status = -1, code = 0;
    YYImageSave(2, 0, 0, 12, 9, status, code, name);
    ASSERT_EQ(status, 0);
    const std::string bytes = readFile(name);
    ASSERT_GT(bytes.size(), 128u + 769u);
    EXPECT_EQ(bytes[65], 1);
    EXPECT_EQ(static_cast<unsigned char>(bytes[66]) | (static_cast<unsigned char>(bytes[67]) << 8), 14);
    EXPECT_EQ(bytes[bytes.size() - 769], 12);
    const std::string size = runHost("pcxtoppm '" + hostFolder().unix + "/palette.pcx' | head -c 20");
    EXPECT_NE(size.find("13 10"), std::string::npos) << size;
}

namespace {

// The bitmap store on a true-colour DIB drawable; every test starts with an empty store.
class BitmapStoreTest : public DibTarget {
protected:
    void SetUp() override
    {
        DibTarget::SetUp();
        YYBitmapStoreClear();
        YYBitmapCopyMode(0);
    }
    void TearDown() override
    {
        YYBitmapStoreClear();
        DibTarget::TearDown();
    }
    static INTEGER create(INTEGER w, INTEGER h, INTEGER colour)
    {
        INTEGER id = 0;
        YYBitmapCreate(id, w, h, colour);
        return id;
    }
    static std::vector<INTEGER> pixels(INTEGER slot)
    {
        INTEGER w = 0, h = 0, status = -1;
        YYBitmapSize(slot, w, h);
        std::vector<INTEGER> out(static_cast<std::size_t>(w * h));
        YYBitmapGetPixels(slot, out, 0, 0, w - 1, h - 1, status);
        EXPECT_EQ(status, 0);
        return out;
    }
    static void put(INTEGER slot, const std::vector<INTEGER>& colours)
    {
        INTEGER w = 0, h = 0, status = -1;
        YYBitmapSize(slot, w, h);
        YYBitmapPutPixels(slot, colours, 0, 0, w - 1, h - 1, status);
        EXPECT_EQ(status, 0);
    }
};

}  // namespace

TEST_F(BitmapStoreTest, FiftySlotsLowestFreeFirstAndSlotChecks)
{
    for (INTEGER i = 1; i <= 50; ++i) ASSERT_EQ(create(4, 3, 0x123456), i);
    EXPECT_EQ(create(4, 3, 0), 0);
    INTEGER status = -1;
    YYBitmapDestroy(6, status);
    EXPECT_EQ(status, 0);
    YYBitmapDestroy(6, status);
    EXPECT_EQ(status, 1021);
    EXPECT_EQ(create(2, 2, 0), 7);
    EXPECT_EQ(pixels(0), std::vector<INTEGER>(12, 0x123456));

    // Slots outside the table or free: every routine says so instead of reading past it.
    for (const INTEGER slot : {-1, 50}) {
        INTEGER w = 9, h = 9, viewer = 9;
        YYBitmapSize(slot, w, h);
        EXPECT_EQ(w + h, 0);
        YYBitmapSelect(slot, status, w, h);
        EXPECT_EQ(status, 1);
        status = 0;
        YYBitmapLoadResource(slot, 1, status);
        EXPECT_EQ(status, 1021);
        status = 0;
        YYBitmapCopyArea(slot, 0, 0, 0, 0, 1, 1, 1, status);
        EXPECT_EQ(status, 1021);
        YYBitmapFlip(slot, 0, viewer, status);
        EXPECT_EQ(status, 1021);
        YYBitmapRotate(slot, 90, viewer, status);
        EXPECT_EQ(status, 1021);
    }
}

TEST_F(BitmapStoreTest, FlipsKeepTheMiddleAndTurnsMoveTheCorners)
{
    const INTEGER id = create(3, 3, 0);
    const std::vector<INTEGER> start{1, 2, 3, 4, 5, 6, 7, 8, 9};
    put(id - 1, start);
    INTEGER viewer = -1, status = -1;
    YYBitmapFlip(id - 1, 1, viewer, status);
    EXPECT_EQ(pixels(id - 1), (std::vector<INTEGER>{7, 8, 9, 4, 5, 6, 1, 2, 3}));
    EXPECT_EQ(viewer, 0);
    put(id - 1, start);
    YYBitmapFlip(id - 1, 0, viewer, status);
    EXPECT_EQ(pixels(id - 1), (std::vector<INTEGER>{3, 2, 1, 6, 5, 4, 9, 8, 7}));

    // 4 x 2: a b c d / e f g h turned by 90 is d h / c g / b f / a e, on both paths.
    const std::vector<INTEGER> wide{10, 20, 30, 40, 50, 60, 70, 80};
    const struct {
        INTEGER angle, w, h;
        std::vector<INTEGER> turned;
    } cases[] = {
        {90, 2, 4, {40, 80, 30, 70, 20, 60, 10, 50}},
        {180, 4, 2, {80, 70, 60, 50, 40, 30, 20, 10}},
        {270, 2, 4, {50, 10, 60, 20, 70, 30, 80, 40}},
    };
    for (const INTEGER transforms : {1, 0}) {
        imagePlatformSeam().WorldTransforms = transforms;
        for (const auto& c : cases) {
            const INTEGER slot = create(4, 2, 0) - 1;
            put(slot, wide);
            YYBitmapRotate(slot, c.angle, viewer, status);
            ASSERT_EQ(status, 0);
            INTEGER w = 0, h = 0;
            YYBitmapSize(slot, w, h);
            EXPECT_EQ(w * 10 + h, c.w * 10 + c.h);
            EXPECT_EQ(pixels(slot), c.turned) << c.angle << (transforms ? " transformed" : " by pixels");
            YYBitmapDestroy(slot, status);
        }
    }
}

TEST_F(BitmapStoreTest, ResizeCopyModesAndDrawingThroughTheGraphicsLayer)
{
    const INTEGER slot = create(2, 2, 0) - 1;
    put(slot, {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF});
    INTEGER viewer = -1, status = -1;
    YYBitmapResize(slot, 4, 6, viewer, status);
    ASSERT_EQ(status, 0);
    const std::vector<INTEGER> big = pixels(slot);
    ASSERT_EQ(big.size(), 24u);
    EXPECT_EQ(big[0], 0x0000FF);
    EXPECT_EQ(big[3], 0x00FF00);
    EXPECT_EQ(big[20], 0xFF0000);
    EXPECT_EQ(big[23], 0xFFFFFF);

    // Copies onto the drawable with each mode: the drawable's 0x0F0F0F against the bitmap's 0x3C3C3C.
    const INTEGER grey = create(1, 1, 0x3C3C3C) - 1;
    const struct {
        INTEGER mode;
        COLORREF result;
    } modes[] = {{0, 0x3C3C3C}, {1, 0x3F3F3F}, {2, 0x0C0C0C}, {3, 0x333333}};
    for (const auto& m : modes) {
        SetPixel(dc_.get(), 5, 5, 0x0F0F0F);
        YYBitmapCopyMode(m.mode);
        YYBitmapCopyArea(grey, 0, 0, 5, 5, 1, 1, 1, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(pixel(5, 5), m.result) << "mode " << m.mode;
    }
    YYBitmapCopyMode(7);  // unchanged: still exclusive-or
    SetPixel(dc_.get(), 5, 5, 0x0F0F0F);
    YYBitmapPutImage(grey, 1, 5, 5, 1, 1, status);
    EXPECT_EQ(pixel(5, 5), 0x333333u);
    YYBitmapCopyMode(0);

    // The drawable's area into the bitmap.
    SetPixel(dc_.get(), 20, 30, 0x445566);
    YYBitmapGetArea(grey, 20, 30, 1, 1, status);
    EXPECT_EQ(pixels(grey), std::vector<INTEGER>{0x445566});

    // Selected as the drawable: the graphics layer's fills land in the bitmap.
    const INTEGER target = create(40, 30, 0xFFFFFF);
    drawableHooks() = DrawableHooks{};
    drawableHooks().bitmapSelect = &YYBitmapSelect;
    driverHooks() = DriverHooks{};
    YYScreenDriverInstall();
    GraphicsState& g = graphicsState();
    g.CurrentWindow = 0;
    g.DrawableKind = kDrawableWindow;
    g.DrawableWidth = kWidth;
    g.DrawableHeight = kHeight;
    g.PaletteSlots = 256;
    YYPaletteDefault();
    IGrResetGraphics(" ");
    IGrSelect(2, target);
    EXPECT_EQ(graphicsState().DrawableKind, 2);
    IGrUnits(0.0f, 0.0f, 40.0f, 30.0f);
    IGrPaletteEntryRGB(9, 0x0000FF);
    IGrColourN(9);
    IGrFillStyle(1);
    IGrTriangle(0.0f, 0.0f, 40.0f, 0.0f, 0.0f, 30.0f);
    const std::vector<INTEGER> drawn = pixels(target - 1);
    EXPECT_EQ(drawn[29 * 40 + 1], 0x0000FF) << "bottom-left corner filled";
    EXPECT_EQ(drawn[0 * 40 + 39], 0xFFFFFF) << "top-right corner untouched";
    // While it is the drawable, no other context takes it (how the viewer knows it is busy).
    const MemoryDcHandle other(CreateCompatibleDC(nullptr));
    EXPECT_EQ(SelectObject(other.get(), bitmapSlotTable().Slots[static_cast<std::size_t>(target - 1)].Bitmap.get()), nullptr);
    YYReleaseDrawingDC();
    GdiDrawingState& gdi = gdiDrawingState();
    gdi.Pen.reset();
    gdi.Brush.reset();
    gdi.PatternBitmap.reset();
    graphicsState().DrawableKind = kDrawableWindow;
}

TEST_F(BitmapStoreTest, ResourceBitmapLoadedClippedAndMeasured)
{
    INTEGER w = 0, h = 0, status = -1;
    YYBitmapResourceSize(4711, w, h);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 4);
    YYBitmapResourceSize(4712, w, h);
    EXPECT_EQ(w + h, 0);
    const INTEGER slot = create(3, 5, 0x777777) - 1;
    YYBitmapLoadResource(slot, 4711, status);
    ASSERT_EQ(status, 0);
    const std::vector<INTEGER> got = pixels(slot);
    // The resource's top row is red, green, blue, red, green, blue; rows 4 and 5 stay grey.
    EXPECT_EQ(got[0], 0x0000FF);
    EXPECT_EQ(got[1], 0x00FF00);
    EXPECT_EQ(got[2], 0xFF0000);
    EXPECT_EQ(got[12], 0x777777);
    YYBitmapLoadResource(slot, 4712, status);
    EXPECT_EQ(status, 1066);
}

namespace {

HWND& closingFrame()
{
    static HWND frame = nullptr;
    return frame;
}

// Closes the frame from inside a modal viewer's message loop.
void CALLBACK closeLater(HWND, UINT, UINT_PTR, DWORD) { PostMessageA(closingFrame(), WM_CLOSE, 0, 0); }

// A main window and child windows of the toolkit; bitmaps of the store shown in them.
class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        YYBitmapStoreClear();
        WindowOpen(39, 10, 10, 900, 700, 0);
        GuiHarness::pumpPending();
        WEventEnable(kEventViewerPosition, 1);
        WEventEnable(kEventDoubleClick, 1);
        ToolkitSession::drainEvents();
    }
    void TearDown() override
    {
        ToolkitSession::closeAllWindows();
        WEventEnable(kEventViewerPosition, 0);
        WEventEnable(kEventDoubleClick, 0);
        YYBitmapStoreClear();
    }
    static INTEGER child(INTEGER flags = kStyleSystemMenu, INTEGER parent = 0)
    {
        INTEGER window = 0, layout = 0;
        YYChildWindowCreate(20, 20, 640, 420, window, flags, 0, {0, 0, 0, 0}, layout, parent, -1, "Viewer");
        GuiHarness::pumpPending();
        return window;
    }
    // A bitmap whose every pixel is its own colour.
    static INTEGER bitmap(INTEGER w, INTEGER h)
    {
        INTEGER id = 0, status = -1;
        YYBitmapCreate(id, w, h, 0);
        std::vector<INTEGER> colours(static_cast<std::size_t>(w * h));
        for (INTEGER y = 0; y < h; ++y)
            for (INTEGER x = 0; x < w; ++x) colours[static_cast<std::size_t>(y * w + x)] = static_cast<INTEGER>(picture(x % 128, y % 48));
        YYBitmapPutPixels(id - 1, colours, 0, 0, w - 1, h - 1, status);
        return id;
    }
    static INTEGER view(INTEGER window, INTEGER id, INTEGER& mode, INTEGER flags = 3, INTEGER h = 0, INTEGER v = 0)
    {
        WindowSetCurrent(window);
        INTEGER status = 0;
        YYBitmapView(id - 1, h, v, mode, flags, status);
        GuiHarness::pumpPending();
        return status;
    }
    static HWND frame(INTEGER window) { return windowSlotTable().Slots[static_cast<std::size_t>(window)].Frame.get(); }
    static HWND viewer(INTEGER window)
    {
        const BitmapViewerRecord* record = YYBitmapViewerRecord(frame(window));
        return record ? record->viewer() : nullptr;
    }
    static INTEGER info(INTEGER window, INTEGER item)
    {
        INTEGER value = -1;
        YYBitmapViewInfo(window, item, value);
        return value;
    }
    static RECT client(HWND window)
    {
        RECT r{};
        GetClientRect(window, &r);
        return r;
    }
};

}  // namespace

TEST_F(ViewerTest, StatusesOfRefusedAndReplacedViewers)
{
    const INTEGER id = bitmap(50, 40);
    INTEGER mode = 2;
    EXPECT_EQ(view(0, id, mode), 1) << "the main window";
    const INTEGER w = child();
    ASSERT_GT(w, 0);
    EXPECT_EQ(view(w, 0, mode), 2);
    EXPECT_EQ(view(w, 51, mode), 2);
    {
        // Held in another context, as the graphics layer holds its drawing target.
        const MemoryDcHandle holder(CreateCompatibleDC(nullptr));
        const DcSelection held(holder.get(), bitmapSlotTable().Slots[static_cast<std::size_t>(id - 1)].Bitmap.get());
        EXPECT_EQ(view(w, id, mode), 3);
    }
    {
        HWND inside = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5,
                                      windowSlotTable().Slots[static_cast<std::size_t>(w)].Client, nullptr, nullptr, nullptr);
        EXPECT_EQ(view(w, id, mode), 9);
        DestroyWindow(inside);
    }
    {
        WindowUserRecord other;
        other.Words[0] = kWindowDialogLayout;
        SetWindowLongPtrA(frame(w), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&other));
        EXPECT_EQ(view(w, id, mode), 4);
        SetWindowLongPtrA(frame(w), GWLP_USERDATA, 0);
    }
    EXPECT_EQ(viewer(w), nullptr);
    EXPECT_EQ(info(w, 3), 0) << "not a viewer: every item 0";

    EXPECT_EQ(view(w, id, mode), 0);
    ASSERT_NE(viewer(w), nullptr);
    EXPECT_FALSE(IsWindowVisible(windowSlotTable().Slots[static_cast<std::size_t>(w)].Client));
    INTEGER status = -1;
    YYBitmapDestroy(id - 1, status);
    EXPECT_EQ(status, 1036) << "shown in a viewer";
    EXPECT_EQ(YYBitmapViewerOf(id - 1), w);

    // A second bitmap into the same window only exchanges bitmap and positions.
    const INTEGER second = bitmap(300, 200);
    EXPECT_EQ(view(w, second, mode, 3, 7, 9), 0);
    EXPECT_EQ(info(w, 3), second);
    EXPECT_EQ(info(w, 4), 7);
    EXPECT_EQ(info(w, 5), 9);
    EXPECT_EQ(info(w, 101), 300);
    EXPECT_EQ(info(w, 102), 200);
    YYBitmapDestroy(id - 1, status);
    EXPECT_EQ(status, 0);

    // A modal viewer asked for in a window inside its parent is shown modeless: status 5, mode 2.
    const INTEGER inner = child(kStyleSystemMenu | kStyleInsideParent, 0);
    ASSERT_GT(inner, 0);
    mode = 1;
    EXPECT_EQ(view(inner, second, mode), 5);
    EXPECT_EQ(mode, 2);
    EXPECT_NE(viewer(inner), nullptr);
}

TEST_F(ViewerTest, FrameShrinksToTheBitmapAndTheBarsMoveByTheRules)
{
    const INTEGER w = child();
    INTEGER mode = 2;
    ASSERT_EQ(view(w, bitmap(100, 100), mode), 0);
    // The height fits exactly; the width as far as a captioned frame may narrow.
    RECT r = client(viewer(w));
    EXPECT_EQ(r.bottom, 100);
    EXPECT_GE(r.right, 100);
    EXPECT_LE(r.right, std::max(100, GetSystemMetrics(SM_CXMINTRACK)));
    for (const int which : {SB_HORZ, SB_VERT}) {
        SCROLLINFO bar{};
        bar.cbSize = sizeof bar;
        bar.fMask = SIF_ALL;
        GetScrollInfo(viewer(w), which, &bar);
        EXPECT_EQ(bar.nMax, 99);
        EXPECT_EQ(static_cast<int>(bar.nPage), 100) << "no range beyond the bitmap";
    }

    // A tall bitmap in a client 301 pixels high: Page Down moves 150, the end stays at its limit.
    const INTEGER tall = bitmap(200, 1000);
    ASSERT_EQ(view(w, tall, mode), 0);
    for (int attempt = 0; attempt < 4 && client(viewer(w)).bottom != 301; ++attempt) {
        RECT f{};
        GetWindowRect(frame(w), &f);
        SetWindowPos(frame(w), nullptr, 0, 0, f.right - f.left, f.bottom - f.top + 301 - client(viewer(w)).bottom,
                     SWP_NOMOVE | SWP_NOZORDER);
        GuiHarness::pumpPending();
    }
    ASSERT_EQ(client(viewer(w)).bottom, 301);
    ToolkitSession::drainEvents();
    PostMessageA(viewer(w), WM_KEYDOWN, VK_NEXT, 0);
    ToolkitSession::DeliveredEvents events = ToolkitSession::eventsBeforeSentinel();
    ASSERT_TRUE(events.complete);
    EXPECT_EQ(info(w, 5), 150);
    ASSERT_TRUE(events.has(kEventViewerPosition));
    EXPECT_EQ(events.of(kEventViewerPosition).back()[2], 150);
    for (int k = 0; k < 10; ++k) PostMessageA(viewer(w), WM_KEYDOWN, VK_NEXT, 0);
    ToolkitSession::eventsBeforeSentinel();
    EXPECT_EQ(info(w, 5), 1000 - 301);
    EXPECT_EQ(info(w, 103), 1000 + (client(viewer(w)).right < 200 ? GetSystemMetrics(SM_CYHSCROLL) : 0));

    // Bar requests, the wheel and the arrow keys.
    PostMessageA(viewer(w), WM_VSCROLL, SB_PAGEUP, 0);
    PostMessageA(viewer(w), WM_VSCROLL, SB_LINEUP, 0);
    ToolkitSession::eventsBeforeSentinel();
    EXPECT_EQ(info(w, 5), 1000 - 301 - 150 - 1);
    PostMessageA(viewer(w), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    PostMessageA(viewer(w), WM_KEYDOWN, VK_UP, 0);
    ToolkitSession::eventsBeforeSentinel();
    EXPECT_EQ(info(w, 5), 1000 - 301 - 150 - 1 - 120 - 1);
    PostMessageA(viewer(w), WM_HSCROLL, SB_LINEDOWN, 0);
    ToolkitSession::eventsBeforeSentinel();
    EXPECT_EQ(info(w, 4), client(viewer(w)).right < 200 ? 1 : 0);
}

TEST_F(ViewerTest, DragMouseButtonsCloseAndTheModalLoop)
{
    const INTEGER w = child();
    INTEGER mode = 2;
    const INTEGER id = bitmap(1200, 900);
    ASSERT_EQ(view(w, id, mode, 3, 100, 100), 0);
    HWND v = viewer(w);
    SetForegroundWindow(frame(w));
    ToolkitSession::drainEvents();

    // Dragging the picture 10 pixels to the left adds 10 to the horizontal position.
    SendMessageA(v, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 150));
    EXPECT_EQ(GetCapture(), v);
    PostMessageA(v, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(190, 150));
    PostMessageA(v, WM_LBUTTONUP, 0, MAKELPARAM(190, 150));
    ToolkitSession::DeliveredEvents events = ToolkitSession::eventsBeforeSentinel();
    EXPECT_EQ(info(w, 4), 110);
    EXPECT_EQ(info(w, 5), 100);
    EXPECT_NE(GetCapture(), v);
    ASSERT_TRUE(events.has(kEventViewerPosition));
    const EventRecord moved = events.of(kEventViewerPosition).back();
    EXPECT_EQ(moved[1], 110);
    EXPECT_EQ(moved[2], 100);

    // Other buttons are presses (4) and, with double clicks enabled, event 16; closing is event 9.
    PostMessageA(v, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 40));
    PostMessageA(v, WM_RBUTTONUP, 0, MAKELPARAM(30, 40));
    PostMessageA(v, WM_MBUTTONDBLCLK, MK_MBUTTON, MAKELPARAM(31, 41));
    PostMessageA(v, WM_MBUTTONUP, 0, MAKELPARAM(31, 41));
    PostMessageA(frame(w), WM_CLOSE, 0, 0);
    events = ToolkitSession::eventsBeforeSentinel();
    ASSERT_TRUE(events.has(kEventMousePress));
    EXPECT_EQ(events.of(kEventMousePress).front()[1], 3);
    ASSERT_TRUE(events.has(kEventDoubleClick));
    EXPECT_EQ(events.of(kEventDoubleClick).front()[1], 2);
    EXPECT_TRUE(events.has(kEventClose));
    EXPECT_TRUE(IsWindow(frame(w))) << "a modeless viewer stays open";

    // The viewer on the screen, kept as a PNG with the test results.
    {
        const std::string folder = QV_IMAGE_ARTEFACT_FOLDER;
        for (std::size_t at = folder.find('/', 3); at != std::string::npos; at = folder.find('/', at + 1))
            CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
        RECT area{};
        GetWindowRect(frame(w), &area);
        const WindowDc screen(nullptr);
        HDC saved = gdiDrawingState().DrawingDC;
        gdiDrawingState().DrawingDC = screen.get();
        INTEGER status = -1, code = 0;
        YYImageSave(15, area.left, area.top, area.right - 1, area.bottom - 1, status, code,
                    folder + "/bitmap-viewer.png");
        gdiDrawingState().DrawingDC = saved;
        EXPECT_EQ(status, 0);
    }

    // A modal viewer returns when its window is closed.
    const INTEGER m = child();
    ASSERT_GT(m, 0);
    closingFrame() = frame(m);
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, &closeLater);
    mode = 1;
    EXPECT_EQ(view(m, id, mode), 0);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(windowSlotTable().Slots[static_cast<std::size_t>(m)].Frame) << "the window is gone";
    INTEGER status = -1;
    YYBitmapDestroy(id - 1, status);
    EXPECT_EQ(status, 1036) << "still shown in window " << w;
}
