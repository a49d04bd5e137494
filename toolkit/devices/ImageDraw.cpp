#include "toolkit/devices/ImageDraw.h"

#include <new>
#include <string>
#include <vector>

#include "toolkit/devices/ImageDib.h"
#include "toolkit/devices/PrinterPrimitives.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/graphics/GdiDrawingState.h"

ImageTargetHooks& imageTargetHooks()
{
    static ImageTargetHooks hooks;
    return hooks;
}

ImagePlatformSeam& imagePlatformSeam()
{
    static ImagePlatformSeam seam;
    return seam;
}

namespace {

// The drawing routine's working picture and the BMP name it reads, shared with YYBmpRead.
struct ImageDrawState {
    ImageDib Dib;
    std::string BmpFileName;
};

ImageDrawState& imageDrawState()
{
    static ImageDrawState state;
    return state;
}

// A file read without reports: the drawing routine hands its failures back as status values.
class QuietFileSource final : public ByteSource {
public:
    explicit QuietFileSource(const std::string& name)
        : file_(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)),
          error_(file_ ? 0 : static_cast<INTEGER>(GetLastError()))
    {
    }
    bool isOpen() const { return static_cast<bool>(file_); }
    INTEGER error() const { return error_; }
    INTEGER read(std::span<std::uint8_t> into) override
    {
        DWORD done = 0;
        if (!ReadFile(file_.get(), into.data(), static_cast<DWORD>(into.size()), &done, nullptr)) {
            error_ = static_cast<INTEGER>(GetLastError());
            return -1;
        }
        return static_cast<INTEGER>(done);
    }
    INTEGER seek(INTEGER offset, INTEGER origin) override
    {
        const DWORD method = origin == 0 ? FILE_BEGIN : origin == 1 ? FILE_CURRENT : FILE_END;
        const DWORD at = SetFilePointer(file_.get(), offset, nullptr, method);
        if (at == INVALID_SET_FILE_POINTER) {
            error_ = static_cast<INTEGER>(GetLastError());
            return -1;
        }
        return static_cast<INTEGER>(at);
    }

private:
    FileHandle file_;
    INTEGER error_ = 0;
};

std::string nameOf(std::string_view fileName)
{
    const auto end = fileName.find('\0');
    std::string name(fileName.substr(0, end));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

void targetContext(INTEGER target, HDC& dc, HRGN& clip)
{
    dc = nullptr;
    clip = nullptr;
    if (target == kImageTargetScreen) {
        const GdiDrawingState& gdi = gdiDrawingState();
        dc = gdi.DrawingDC;
        clip = static_cast<HRGN>(gdi.ClipRegion.get());
    } else if (target == kImageTargetPrinter) {
        const PrinterDrawingState& printer = printerDrawingState();
        dc = printer.Printer.get();
        clip = static_cast<HRGN>(printer.ClipRegion.get());
    } else if (target == kImageTargetMetafile && imageTargetHooks().metafileTarget) {
        imageTargetHooks().metafileTarget(dc, clip);
    }
}

const BITMAPINFO* infoOf(const ImageDib& dib) { return reinterpret_cast<const BITMAPINFO*>(dib.Block.data()); }
const void* bitsOf(const ImageDib& dib) { return dib.Block.data() + dib.BitsOffset; }

// The DIB into the rectangle (stretched) or at its own size inside the clip region, which is
// cleared again afterwards.
bool placeDib(HDC dc, HRGN clip, const ImageDib& dib, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER stretch)
{
    if (stretch != 0)
        return StretchDIBits(dc, x1, y1, x2 - x1 + 1, y2 - y1 + 1, 0, 0, dib.DrawWidth, dib.Height, bitsOf(dib),
                             infoOf(dib), DIB_RGB_COLORS, SRCCOPY) > 0;
    if (clip) SelectClipRgn(dc, clip);
    const bool drawn = StretchDIBits(dc, x1, y1, dib.DrawWidth, dib.Height, 0, 0, dib.DrawWidth, dib.Height, bitsOf(dib),
                                     infoOf(dib), DIB_RGB_COLORS, SRCCOPY) > 0;
    if (clip) SelectClipRgn(dc, nullptr);
    return drawn;
}

void placeBitmap(HDC dc, HRGN clip, HDC source, INTEGER width, INTEGER height, INTEGER x1, INTEGER y1, INTEGER x2,
                 INTEGER y2, INTEGER stretch)
{
    if (stretch != 0) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, x1, y1, x2 - x1 + 1, y2 - y1 + 1, source, 0, 0, width, height, SRCCOPY);
        return;
    }
    if (clip) SelectClipRgn(dc, clip);
    BitBlt(dc, x1, y1, width, height, source, 0, 0, SRCCOPY);
    if (clip) SelectClipRgn(dc, nullptr);
}

// The turn without world transforms: the picture into a screen bitmap, every pixel moved into a
// second one, which is then drawn. The offsets do not apply here.
void placeTurnedByPixels(HDC dc, HRGN clip, const ImageDib& dib, INTEGER angle, INTEGER x1, INTEGER y1, INTEGER x2,
                         INTEGER y2, INTEGER stretch)
{
    const INTEGER w = dib.DrawWidth, h = dib.Height;
    const WindowDc screen(nullptr);
    const BitmapHandle upright(CreateCompatibleBitmap(screen.get(), w, h));
    const bool quarter = angle != 180;
    const INTEGER tw = quarter ? h : w, th = quarter ? w : h;
    const BitmapHandle turned(CreateCompatibleBitmap(screen.get(), tw, th));
    const MemoryDcHandle from(CreateCompatibleDC(screen.get())), to(CreateCompatibleDC(screen.get()));
    if (!upright || !turned || !from || !to) return;
    const DcSelection fromBitmap(from.get(), upright.get()), toBitmap(to.get(), turned.get());
    StretchDIBits(from.get(), 0, 0, w, h, 0, 0, w, h, bitsOf(dib), infoOf(dib), DIB_RGB_COLORS, SRCCOPY);
    for (INTEGER y = 0; y < h; ++y)
        for (INTEGER x = 0; x < w; ++x) {
            INTEGER tx = 0, ty = 0;
            if (angle == 90) tx = y, ty = w - 1 - x;
            else if (angle == 180) tx = w - 1 - x, ty = h - 1 - y;
            else tx = h - 1 - y, ty = x;
            SetPixel(to.get(), tx, ty, YYNearestTargetColour(dc, GetPixel(from.get(), x, y)));
        }
    placeBitmap(dc, clip, to.get(), tw, th, x1, y1, x2, y2, stretch);
}

// The picture as the platform draws it, upright: 32-bit pixels, rows top first (any file layout,
// run-length ones included).
std::vector<std::uint32_t> uprightPixels(const ImageDib& dib)
{
    const INTEGER w = dib.DrawWidth, h = dib.Height;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const MemoryDcHandle memory(CreateCompatibleDC(nullptr));
    const BitmapHandle section(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !section || !bits) return {};
    const DcSelection selected(memory.get(), section.get());
    StretchDIBits(memory.get(), 0, 0, w, h, 0, 0, w, h, bitsOf(dib), infoOf(dib), DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    return std::vector<std::uint32_t>(p, p + static_cast<std::size_t>(w) * h);
}

// The turn on the NT family: where the world transform (0, -1, 1, 0) for 90, (-1, 0, 0, -1) for
// 180 or (0, 1, -1, 0) for 270 with the offsets puts the rectangle, the picture turned the same
// way. The turn itself is done on the pixels: Wine's blits place a rotated rectangle but do not
// turn what they copy.
void placeTurnedByTransform(HDC dc, HRGN clip, const ImageDib& dib, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2,
                            INTEGER stretch, INTEGER angle, INTEGER dx, INTEGER dy)
{
    const INTEGER w = dib.DrawWidth, h = dib.Height;
    const std::vector<std::uint32_t> turned = YYTurnPixels(uprightPixels(dib), w, h, angle);
    if (turned.empty()) return;
    const INTEGER tw = angle == 180 ? w : h, th = angle == 180 ? h : w;
    const INTEGER left = x1, top = y1;
    const INTEGER right = stretch != 0 ? x2 + 1 : x1 + w, bottom = stretch != 0 ? y2 + 1 : y1 + h;
    RECT to{};
    if (angle == 90) to = RECT{top + dx, dy - right, bottom + dx, dy - left};
    else if (angle == 180) to = RECT{dx - right, dy - bottom, dx - left, dy - top};
    else to = RECT{dx - bottom, left + dy, dx - top, right + dy};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = tw;
    info.bmiHeader.biHeight = -th;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    if (stretch == 0 && clip) SelectClipRgn(dc, clip);
    StretchDIBits(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, 0, tw, th, turned.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    if (stretch == 0 && clip) SelectClipRgn(dc, nullptr);
}

void place(HDC dc, HRGN clip, const ImageDib& dib, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER stretch,
           INTEGER angle, INTEGER offsetX, INTEGER offsetY)
{
    if (angle != 90 && angle != 180 && angle != 270) {
        placeDib(dc, clip, dib, x1, y1, x2, y2, stretch);
        return;
    }
    if (YYWorldTransformsAvailable()) placeTurnedByTransform(dc, clip, dib, x1, y1, x2, y2, stretch, angle, offsetX, offsetY);
    else placeTurnedByPixels(dc, clip, dib, angle, x1, y1, x2, y2, stretch);
}

void drawClipboard(HDC dc, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER stretch, INTEGER& status,
                   INTEGER& systemCode)
{
    if (!IsClipboardFormatAvailable(CF_BITMAP)) {
        status = 1095;
        systemCode = static_cast<INTEGER>(GetLastError());
        return;
    }
    const ClipboardSession clipboard(nullptr);
    if (!clipboard.isOpen()) {
        status = 1094;
        systemCode = static_cast<INTEGER>(GetLastError());
        return;
    }
    auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    const MemoryDcHandle memory(CreateCompatibleDC(dc));
    BITMAP facts{};
    if (!bitmap || !memory || GetObjectA(bitmap, sizeof facts, &facts) == 0) {
        status = 1066;
        systemCode = static_cast<INTEGER>(GetLastError());
        return;
    }
    const DcSelection selected(memory.get(), bitmap);
    BOOL done = FALSE;
    if (stretch != 0) {
        SetStretchBltMode(dc, COLORONCOLOR);
        done = StretchBlt(dc, x1, y1, x2 - x1 + 1, y2 - y1 + 1, memory.get(), 0, 0, facts.bmWidth, facts.bmHeight, SRCCOPY);
    } else {
        done = BitBlt(dc, x1, y1, facts.bmWidth, facts.bmHeight, memory.get(), 0, 0, SRCCOPY);
    }
    status = done ? 0 : 1066;
    if (!done) systemCode = static_cast<INTEGER>(GetLastError());
}

}  // namespace

bool YYWorldTransformsAvailable()
{
    const INTEGER seam = imagePlatformSeam().WorldTransforms;
    return seam >= 0 ? seam != 0 : YYOsPlatform() >= 4;
}

COLORREF YYNearestTargetColour(HDC dc, COLORREF rgb)
{
    const GdiDrawingState& gdi = gdiDrawingState();
    if (gdi.PaletteHandle)
        return PALETTEINDEX(GetNearestPaletteIndex(static_cast<HPALETTE>(gdi.PaletteHandle.get()), rgb & 0xFFFFFF));
    const COLORREF nearest = dc ? GetNearestColor(dc, rgb & 0xFFFFFF) : CLR_INVALID;
    return nearest == CLR_INVALID ? (rgb & 0xFFFFFF) : nearest;
}

INTEGER YYBmpRead()
{
    ImageDrawState& state = imageDrawState();
    QuietFileSource file(state.BmpFileName);
    if (!file.isOpen()) return 1;
    return YYDibFromBmp(file, state.Dib);
}

void YYImageDraw(INTEGER format, INTEGER target, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER stretch,
                 INTEGER angle, INTEGER offsetX, INTEGER offsetY, INTEGER& status, INTEGER& systemCode,
                 std::string_view fileName)
{
    status = 0;
    systemCode = 0;
    HDC dc = nullptr;
    HRGN clip = nullptr;
    targetContext(target, dc, clip);
    if (!dc) {
        // No context to draw into (a metafile target before the metafile module is there).
        status = 1;
        return;
    }
    if (format == 0) {
        drawClipboard(dc, x1, y1, x2, y2, stretch, status, systemCode);
        return;
    }
    if (format != 1 && format != 2 && format != 15) return;

    ImageDrawState& state = imageDrawState();
    state.Dib = ImageDib{};
    // Memory that is not there (a turned copy of a large picture) draws nothing: the picture is
    // one this routine cannot take.
    try {
        if (format == 1) {
            state.BmpFileName = nameOf(fileName);
            status = YYBmpRead();
            if (status == 1) systemCode = static_cast<INTEGER>(GetLastError());
        } else {
            QuietFileSource file(nameOf(fileName));
            if (!file.isOpen()) {
                status = 1;
                systemCode = file.error();
            } else {
                status = format == 2 ? YYDibFromPcx(file, state.Dib) : YYDibFromPng(file, state.Dib, systemCode);
                if (status == 2) systemCode = file.error();
            }
        }
        if (status == 0) place(dc, clip, state.Dib, x1, y1, x2, y2, stretch, angle, offsetX, offsetY);
    } catch (const std::bad_alloc&) {
        status = 27;
        systemCode = 0;
    }
    state.Dib = ImageDib{};
}
