// Text on a real window: a centred title lands around its reference point, and text at 90
// degrees runs upwards. Checked by the bounding box of the drawn pixels, not by glyph shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/support/GuiHarness.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/TextDrawing.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
    double centreX() const { return (left + right) / 2.0; }
    double centreY() const { return (top + bottom) / 2.0; }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

// The box of every dark pixel of the client area, read in one transfer.
Box darkBox(HWND window)
{
    const RECT r = clientRect(window);
    const int w = r.right, h = r.bottom;
    WindowDc screen(window);
    MemoryDcHandle memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    Box box;
    if (!memory || !bitmap || !bits) return box;
    {
        DcSelection selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get(), 0, 0, SRCCOPY);
        GdiFlush();
        const auto* px = static_cast<const std::uint32_t*>(bits);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint32_t v = px[y * w + x];
                if (((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF) < 3 * 96) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
            }
    }
    return box;
}

}  // namespace

TEST(WindowText, CentredTitleAndUprightText)
{
    Watchdog watchdog{std::chrono::milliseconds(60000)};
    openMainWindow("Text test", 420, 320, 30, 30);
    HWND client = windowSlotTable().Slots[0].Client;
    ASSERT_TRUE(client);
    ASSERT_TRUE(waitUntil([&] { return !GetUpdateRect(client, nullptr, FALSE); }));
    IGrUnits(0, 0, 10, 10);
    IGrColourN(223);
    INTEGER cx = 0, cy = 0;
    IGrWorldToPixel(5, 5, cx, cy);
    const int centreRow = graphicsState().DrawableHeight - 1 - cy;

    struct Case {
        const char* what;
        REAL angle;
        INTEGER kind;
    };
    const Case cases[] = {{"fixed-pitch title", 0, 101}, {"proportional title", 0, 102}, {"upright", 90, 102}};
    for (const Case& c : cases) {
        WindowClearArea(std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0xFFFFFF);
        WGrTextFont(c.kind, 0, 0.02f, 0.06f, std::nullopt, 2);
        IGrTextAlign(1, c.angle);
        IGrTextDraw(5, 5, "Centred Title");
        Box box;
        ASSERT_TRUE(waitUntil([&] {
            box = darkBox(client);
            return !box.empty();
        })) << c.what;
        const bool upright = c.angle != 0;
        const int along = upright ? box.height() : box.width();
        const int across = upright ? box.width() : box.height();
        EXPECT_GT(along, 2 * across) << c.what;
        // The reference point is the middle of the text on its centre line.
        EXPECT_NEAR(box.centreX(), cx, upright ? 12 : 0.06 * along) << c.what;
        EXPECT_NEAR(box.centreY(), centreRow, upright ? 0.06 * along : 12) << c.what;
    }

    IGrTextAlign(1, 0);
    closeAllWindows();
}
