#include "toolkit/devices/BitmapStore.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "toolkit/devices/ImageDib.h"
#include "toolkit/devices/ImageDraw.h"
#include "toolkit/graphics/GdiDrawingState.h"

BitmapSlotTable& bitmapSlotTable()
{
    static BitmapSlotTable table;
    return table;
}

BitmapViewerQuery& bitmapViewerQuery()
{
    static BitmapViewerQuery query;
    return query;
}

void YYBitmapStoreClear()
{
    for (BitmapSlot& slot : bitmapSlotTable().Slots) {
        slot.Bitmap.reset();
        slot.Width = slot.Height = 0;
    }
}

namespace {

BitmapSlot* occupied(INTEGER slot)
{
    if (slot < 0 || slot >= kBitmapSlots) return nullptr;
    BitmapSlot& s = bitmapSlotTable().Slots[static_cast<std::size_t>(slot)];
    return s.Bitmap ? &s : nullptr;
}

HPALETTE toolkitPalette()
{
    const GdiDrawingState& gdi = gdiDrawingState();
    return gdi.PaletteHandle ? static_cast<HPALETTE>(gdi.PaletteHandle.get()) : nullptr;
}

bool isDrawingTarget(INTEGER slot)
{
    const GdiDrawingState& gdi = gdiDrawingState();
    return slot >= 0 && gdi.BitmapSelected != 0 && gdi.PictureDC && bitmapSlotTable().SelectedSlot == slot;
}

// A context with the slot's bitmap in it: the graphics layer's own when the bitmap is its drawing
// target (a bitmap can be selected into one context only), else a memory context of its own.
class SlotDc {
public:
    SlotDc(INTEGER slot, HBITMAP bitmap)
    {
        if (isDrawingTarget(slot)) {
            dc_ = gdiDrawingState().PictureDC.get();
            return;
        }
        const WindowDc screen(nullptr);
        memory_.reset(CreateCompatibleDC(screen.get()));
        if (!memory_) return;
        if (HPALETTE palette = toolkitPalette()) {
            previousPalette_ = SelectPalette(memory_.get(), palette, FALSE);
            RealizePalette(memory_.get());
        }
        previousBitmap_ = SelectObject(memory_.get(), bitmap);
        dc_ = previousBitmap_ ? memory_.get() : nullptr;
    }
    ~SlotDc()
    {
        if (!memory_) return;
        if (previousBitmap_) SelectObject(memory_.get(), previousBitmap_);
        if (previousPalette_) SelectPalette(memory_.get(), previousPalette_, FALSE);
    }
    SlotDc(const SlotDc&) = delete;
    SlotDc& operator=(const SlotDc&) = delete;
    HDC get() const { return dc_; }

private:
    MemoryDcHandle memory_;
    HGDIOBJ previousBitmap_ = nullptr;
    HPALETTE previousPalette_ = nullptr;
    HDC dc_ = nullptr;
};

HDC drawingTarget() { return gdiDrawingState().DrawingDC; }

// Installs a new bitmap in the slot in place of the old one.
void replace(BitmapSlot& s, BitmapHandle bitmap, INTEGER width, INTEGER height)
{
    s.Bitmap = std::move(bitmap);
    s.Width = width;
    s.Height = height;
}

}  // namespace

BitmapHandle YYBitmapMake(INTEGER width, INTEGER height, INTEGER colour)
{
    const WindowDc screen(nullptr);
    BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    const MemoryDcHandle memory(CreateCompatibleDC(screen.get()));
    if (!bitmap || !memory) return BitmapHandle{};
    const DcSelection selected(memory.get(), bitmap.get());
    const DcPaletteSelection palette(memory.get(), toolkitPalette());
    if (toolkitPalette()) RealizePalette(memory.get());
    const GdiObjectHandle brush(CreateSolidBrush(YYNearestTargetColour(memory.get(), static_cast<COLORREF>(colour))));
    const DcSelection brushIn(memory.get(), brush.get());
    const DcSelection penIn(memory.get(), GetStockObject(NULL_PEN));
    SetROP2(memory.get(), R2_COPYPEN);
    Rectangle(memory.get(), 0, 0, width + 1, height + 1);
    return bitmap;
}

void YYBitmapCreate(INTEGER& identifier, INTEGER width, INTEGER height, INTEGER colour)
{
    identifier = 0;
    for (INTEGER slot = 0; slot < kBitmapSlots; ++slot) {
        BitmapSlot& s = bitmapSlotTable().Slots[static_cast<std::size_t>(slot)];
        if (s.Bitmap) continue;
        BitmapHandle bitmap = YYBitmapMake(width, height, colour);
        if (!bitmap) continue;
        replace(s, std::move(bitmap), width, height);
        identifier = slot + 1;
        return;
    }
}

void YYBitmapDestroy(INTEGER slot, INTEGER& status)
{
    BitmapSlot* s = occupied(slot);
    if (!s) {
        status = 1021;
        return;
    }
    if (YYBitmapViewerOf(slot) != 0) {
        status = 1036;
        return;
    }
    replace(*s, BitmapHandle{}, 0, 0);
    status = 0;
}

void YYBitmapGetArea(INTEGER slot, INTEGER x, INTEGER y, INTEGER width, INTEGER height, INTEGER& status)
{
    BitmapSlot* s = occupied(slot);
    if (!s) {
        status = 1021;
        return;
    }
    const SlotDc dc(slot, s->Bitmap.get());
    const bool done = dc.get() && drawingTarget() &&
                      BitBlt(dc.get(), 0, 0, width, height, drawingTarget(), x, y, bitmapSlotTable().CopyMode);
    status = done ? 0 : 1066;
}

void YYBitmapPutPixels(INTEGER slot, std::span<const INTEGER> colours, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2,
                       INTEGER& status)
{
    BitmapSlot* s = occupied(slot);
    if (!s) {
        status = 1021;
        return;
    }
    const SlotDc dc(slot, s->Bitmap.get());
    const INTEGER perRow = x2 - x1 + 1;
    for (INTEGER y = y2; y >= y1; --y)
        for (INTEGER x = x1; x <= x2; ++x) {
            const auto at = static_cast<std::size_t>(perRow * (y - y1) + (x - x1));
            if (at < colours.size())
                SetPixel(dc.get(), x, y, YYNearestTargetColour(dc.get(), static_cast<COLORREF>(colours[at])));
        }
    status = 0;
}

void YYBitmapGetPixels(INTEGER slot, std::span<INTEGER> colours, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2,
                       INTEGER& status)
{
    BitmapSlot* s = occupied(slot);
    if (!s) {
        status = 1021;
        return;
    }
    const SlotDc dc(slot, s->Bitmap.get());
    const INTEGER perRow = x2 - x1 + 1;
    for (INTEGER y = y2; y >= y1; --y)
        for (INTEGER x = x1; x <= x2; ++x) {
            const auto at = static_cast<std::size_t>(perRow * (y - y1) + (x - x1));
            if (at < colours.size()) colours[at] = static_cast<INTEGER>(GetPixel(dc.get(), x, y));
        }
    status = 0;
}

void YYBitmapLoadResource(INTEGER slot, INTEGER resource, INTEGER& status)
{
    BitmapSlot* s = occupied(slot);
    if (!s) {
        status = 1021;
        return;
    }
    const ImageHandle image(IMAGE_BITMAP, LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, 0));
    BITMAP facts{};
    if (!image || GetObjectA(image.get(), sizeof facts, &facts) == 0) {
        status = 1066;
        return;
    }
    const SlotDc dc(slot, s->Bitmap.get());
    const MemoryDcHandle source(CreateCompatibleDC(dc.get()));
    if (!dc.get() || !source) {
        status = 1066;
        return;
    }
    const DcSelection selected(source.get(), image.get());
    const bool done = BitBlt(dc.get(), 0, 0, std::min<INTEGER>(facts.bmWidth, s->Width),
                             std::min<INTEGER>(facts.bmHeight, s->Height), source.get(), 0, 0, SRCCOPY);
    status = done ? 0 : 1066;
}

void YYBitmapResourceSize(INTEGER resource, INTEGER& width, INTEGER& height)
{
    width = height = 0;
    const ImageHandle image(IMAGE_BITMAP, LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, 0));
    BITMAP facts{};
    if (!image || GetObjectA(image.get(), sizeof facts, &facts) == 0) return;
    width = facts.bmWidth & 0xFFFF;
    height = facts.bmHeight & 0xFFFF;
}

INTEGER YYBitmapViewerOf(INTEGER slot)
{
    const BitmapSlot* s = occupied(slot);
    if (!s || !bitmapViewerQuery().shows) return 0;
    for (INTEGER window = 1; window <= 50; ++window)
        if (bitmapViewerQuery().shows(window, s->Bitmap.get())) return window;
    return 0;
}

void YYBitmapFlip(INTEGER slot, INTEGER direction, INTEGER& viewer, INTEGER& status)
{
    BitmapSlot* s = occupied(slot);
    viewer = 0;
    if (!s) {
        status = 1021;
        return;
    }
    const SlotDc dc(slot, s->Bitmap.get());
    const auto swap = [&](INTEGER xa, INTEGER ya, INTEGER xb, INTEGER yb) {
        const COLORREF a = GetPixel(dc.get(), xa, ya), b = GetPixel(dc.get(), xb, yb);
        SetPixel(dc.get(), xa, ya, b);
        SetPixel(dc.get(), xb, yb, a);
    };
    if (direction != 0) {
        for (INTEGER i = 0; i < s->Height / 2; ++i)
            for (INTEGER x = 0; x < s->Width; ++x) swap(x, i, x, s->Height - 1 - i);
    } else {
        for (INTEGER i = 0; i < s->Width / 2; ++i)
            for (INTEGER y = 0; y < s->Height; ++y) swap(i, y, s->Width - 1 - i, y);
    }
    viewer = YYBitmapViewerOf(slot);
    status = 0;
}

void YYBitmapCopyMode(INTEGER mode)
{
    static constexpr std::array<DWORD, 4> kModes{SRCCOPY, SRCPAINT, SRCAND, SRCINVERT};
    if (mode >= 0 && mode <= 3) bitmapSlotTable().CopyMode = kModes[static_cast<std::size_t>(mode)];
}

void YYBitmapCopyArea(INTEGER slot, INTEGER sourceX, INTEGER sourceY, INTEGER destinationX, INTEGER destinationY,
                      INTEGER width, INTEGER height, INTEGER direction, INTEGER& status)
{
    BitmapSlot* s = occupied(slot);
    if (!s) {
        status = 1021;
        return;
    }
    const SlotDc dc(slot, s->Bitmap.get());
    HDC from = direction != 0 ? dc.get() : drawingTarget();
    HDC to = direction != 0 ? drawingTarget() : dc.get();
    const bool done = from && to &&
                      BitBlt(to, destinationX, destinationY, width, height, from, sourceX, sourceY, bitmapSlotTable().CopyMode);
    status = done ? 0 : 1066;
}

void YYBitmapPutImage(INTEGER slot, INTEGER stretch, INTEGER x, INTEGER y, INTEGER width, INTEGER height, INTEGER& status)
{
    BitmapSlot* s = occupied(slot);
    if (!s) {
        status = 1021;
        return;
    }
    const SlotDc dc(slot, s->Bitmap.get());
    HDC target = drawingTarget();
    bool done = false;
    if (dc.get() && target) {
        const DWORD mode = bitmapSlotTable().CopyMode;
        if (stretch != 0) {
            SetStretchBltMode(target, COLORONCOLOR);
            done = StretchBlt(target, x, y, width, height, dc.get(), 0, 0, s->Width, s->Height, mode);
        } else {
            done = BitBlt(target, x, y, std::min(width, s->Width), std::min(height, s->Height), dc.get(), 0, 0, mode);
        }
    }
    status = done ? 0 : 1066;
}

void YYBitmapResize(INTEGER slot, INTEGER width, INTEGER height, INTEGER& viewer, INTEGER& status)
{
    BitmapSlot* s = occupied(slot);
    viewer = 0;
    if (!s) {
        status = 1021;
        return;
    }
    BitmapHandle resized = YYBitmapMake(width, height, 0);
    if (!resized) {
        status = 1020;
        return;
    }
    {
        const SlotDc from(slot, s->Bitmap.get());
        const SlotDc to(-1, resized.get());
        SetStretchBltMode(to.get(), COLORONCOLOR);
        StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, s->Width, s->Height, bitmapSlotTable().CopyMode);
    }
    viewer = YYBitmapViewerOf(slot);
    replace(*s, std::move(resized), width, height);
    status = 0;
}

void YYBitmapRotate(INTEGER slot, INTEGER angle, INTEGER& viewer, INTEGER& status)
{
    BitmapSlot* s = occupied(slot);
    viewer = 0;
    if (!s) {
        status = 1021;
        return;
    }
    const INTEGER w = s->Width, h = s->Height;
    const INTEGER nw = angle == 180 ? w : h, nh = angle == 180 ? h : w;
    BitmapHandle turned = YYBitmapMake(nw, nh, 0);
    if (!turned) {
        status = 1020;
        return;
    }
    {
        const SlotDc from(slot, s->Bitmap.get());
        const SlotDc to(-1, turned.get());
        if (YYWorldTransformsAvailable()) {
            // The picture turned once as a whole, as a world transform maps it: (x, y) to (y, w - x)
            // for 90, (w - x, h - y) for 180, (h - y, x) for 270. The turn is done on the pixels,
            // because Wine's blits do not turn what they copy through a rotating transform.
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            info.bmiHeader.biWidth = w;
            info.bmiHeader.biHeight = -h;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
            GdiFlush();
            if (GetDIBits(from.get(), s->Bitmap.get(), 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS) == 0) {
                // Where the platform does not read a selected bitmap, its context does.
                for (INTEGER y = 0; y < h; ++y)
                    for (INTEGER x = 0; x < w; ++x) {
                        const COLORREF c = GetPixel(from.get(), x, y);
                        pixels[static_cast<std::size_t>(y) * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
                    }
            }
            const std::vector<std::uint32_t> turned = YYTurnPixels(pixels, w, h, angle);
            info.bmiHeader.biWidth = nw;
            info.bmiHeader.biHeight = -nh;
            StretchDIBits(to.get(), 0, 0, nw, nh, 0, 0, nw, nh, turned.data(), &info, DIB_RGB_COLORS, SRCCOPY);
        } else {
            for (INTEGER y = 0; y < h; ++y)
                for (INTEGER x = 0; x < w; ++x) {
                    INTEGER tx = 0, ty = 0;
                    if (angle == 90) tx = y, ty = w - x - 1;
                    else if (angle == 180) tx = w - x - 1, ty = h - y - 1;
                    else tx = h - y - 1, ty = x;
                    SetPixel(to.get(), tx, ty, YYNearestTargetColour(to.get(), GetPixel(from.get(), x, y)));
                }
        }
    }
    viewer = YYBitmapViewerOf(slot);
    replace(*s, std::move(turned), nw, nh);
    status = 0;
}

void YYBitmapSize(INTEGER slot, INTEGER& width, INTEGER& height)
{
    const BitmapSlot* s = occupied(slot);
    width = s ? s->Width : 0;
    height = s ? s->Height : 0;
}

void YYBitmapSelect(INTEGER slot, INTEGER& status, INTEGER& width, INTEGER& height)
{
    const BitmapSlot* s = occupied(slot);
    if (!s) {
        status = 1;
        return;
    }
    GdiDrawingState& gdi = gdiDrawingState();
    const WindowDc screen(nullptr);
    gdi.PictureDC.reset(CreateCompatibleDC(screen.get()));
    if (!gdi.PictureDC || !SelectObject(gdi.PictureDC.get(), s->Bitmap.get())) {
        gdi.PictureDC.reset();
        status = 1;
        return;
    }
    gdi.BitmapSelected = 1;
    bitmapSlotTable().SelectedSlot = slot;
    YYGdiAttachDrawingDC(gdi.PictureDC.get(), nullptr);
    width = s->Width;
    height = s->Height;
    status = 0;
}
