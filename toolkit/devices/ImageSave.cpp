#include "toolkit/devices/ImageSave.h"

#include <string>
#include <vector>

#include "toolkit/devices/ImageDib.h"
#include "toolkit/devices/ImageDraw.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WorkFiles.h"
#include "toolkit/graphics/GdiDrawingState.h"

namespace {

// A new file written through a buffer (the PCX runs come a byte or two at a time) into a work
// file, which takes the named file's place only when the picture is complete: a failed save
// leaves an earlier file of that name as it was.
class SavedFileSink final : public ByteSink {
public:
    explicit SavedFileSink(const std::string& name) : name_(name)
    {
        if (!file_.createFor(name)) error_ = file_.error();
    }
    bool isOpen() const { return file_.isOpen(); }
    INTEGER error() const { return error_; }
    INTEGER write(std::span<const std::uint8_t> bytes, INTEGER& systemCode) override
    {
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
        if (buffer_.size() >= 65536 && !flush(systemCode)) return 0;
        return static_cast<INTEGER>(bytes.size());
    }
    // Writes what is buffered and puts the file in place; false with the reason on any failure.
    bool finish(INTEGER& systemCode)
    {
        if (flush(systemCode) && file_.commit(name_)) return true;
        systemCode = file_.error();
        return false;
    }

private:
    bool flush(INTEGER& systemCode)
    {
        const bool whole = buffer_.empty() || file_.write(buffer_);
        if (!whole) systemCode = file_.error();
        buffer_.clear();
        return whole;
    }
    std::string name_;
    WorkFile file_;
    INTEGER error_ = 0;
    std::vector<std::uint8_t> buffer_;
};

std::string nameOf(std::string_view fileName)
{
    std::string name(fileName.substr(0, fileName.find('\0')));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

INTEGER lastError() { return static_cast<INTEGER>(GetLastError()); }

// The drawable's area copied into a new bitmap of width x height.
BitmapHandle captureArea(HDC source, INTEGER x, INTEGER y, INTEGER width, INTEGER height, INTEGER areaWidth)
{
    BitmapHandle bitmap(CreateCompatibleBitmap(source, width, height));
    const MemoryDcHandle memory(CreateCompatibleDC(source));
    if (!bitmap || !memory) return BitmapHandle{};
    const DcSelection selected(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, areaWidth, height, source, x, y, SRCCOPY);
    return bitmap;
}

// The bitmap as a DIB block at the display's depth (or the seam's): header, colour table, rows.
bool dibOf(HDC source, HBITMAP bitmap, std::vector<std::uint8_t>& block)
{
    BITMAP facts{};
    if (GetObjectA(bitmap, sizeof facts, &facts) == 0) return false;
    const INTEGER seamBits = imagePlatformSeam().DisplayBits;
    const INTEGER bits = seamBits > 0 ? seamBits : facts.bmPlanes * facts.bmBitsPixel;
    block.assign(40 + 256 * 4, 0);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    header->biSize = 40;
    header->biWidth = facts.bmWidth;
    header->biHeight = facts.bmHeight;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    const GdiDrawingState& gdi = gdiDrawingState();
    HPALETTE palette = gdi.PaletteHandle ? static_cast<HPALETTE>(gdi.PaletteHandle.get())
                                         : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    const DcPaletteSelection selected(source, palette);
    RealizePalette(source);
    if (GetDIBits(source, bitmap, 0, static_cast<UINT>(facts.bmHeight), nullptr, reinterpret_cast<BITMAPINFO*>(block.data()),
                  DIB_RGB_COLORS) == 0)
        return false;
    header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    if (header->biSizeImage == 0)
        header->biSizeImage = static_cast<DWORD>(YYDibStride(header->biWidth, header->biBitCount) * std::abs(header->biHeight));
    const INTEGER table = YYDibColourTableSize(block.data());
    const std::size_t bitsAt = 40 + static_cast<std::size_t>(header->biCompression == BI_BITFIELDS ? std::max(table, 12) : table);
    const DWORD imageSize = header->biSizeImage;
    block.resize(bitsAt + imageSize);
    return GetDIBits(source, bitmap, 0, static_cast<UINT>(facts.bmHeight), block.data() + bitsAt,
                     reinterpret_cast<BITMAPINFO*>(block.data()), DIB_RGB_COLORS) != 0;
}

void saveClipboard(HDC source, INTEGER x1, INTEGER y1, INTEGER width, INTEGER height, INTEGER& status, INTEGER& systemCode)
{
    BitmapHandle bitmap = captureArea(source, x1, y1, width, height, width);
    if (!bitmap) {
        status = 1072;
        systemCode = lastError();
        return;
    }
    // The clipboard takes data only from an owner window: the drawing window, else a message
    // window made for the moment (the data stay when it goes).
    WindowHandle ownWindow;
    HWND owner = gdiDrawingState().DrawingWindow;
    if (!owner) {
        ownWindow.reset(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
        owner = ownWindow.get();
    }
    const ClipboardSession clipboard(owner);
    if (!clipboard.isOpen()) {
        status = 1094;
        systemCode = lastError();
        return;
    }
    EmptyClipboard();
    // The clipboard owns the bitmap from here on.
    if (!SetClipboardData(CF_BITMAP, bitmap.get())) {
        status = 1072;
        systemCode = lastError();
        return;
    }
    bitmap.release();
}

void saveBmp(HDC source, INTEGER x1, INTEGER y1, INTEGER width, INTEGER height, const std::string& name, INTEGER& status,
             INTEGER& systemCode)
{
    const BitmapHandle bitmap = captureArea(source, x1, y1, width, height, width);
    std::vector<std::uint8_t> block;
    if (!bitmap || !dibOf(source, bitmap.get(), block)) {
        status = 1072;
        systemCode = lastError();
        return;
    }
    SavedFileSink file(name);
    if (!file.isOpen()) {
        status = 1;
        systemCode = file.error();
        return;
    }
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(block.data());
    const INTEGER table = static_cast<INTEGER>(block.size()) - 40 - static_cast<INTEGER>(header->biSizeImage);
    std::vector<std::uint8_t> fileHeader(14, 0);
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) fileHeader[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    put32(2, static_cast<std::uint32_t>(table) + header->biSizeImage + 54);
    put32(10, static_cast<std::uint32_t>(table) + 54);
    fileHeader.insert(fileHeader.end(), block.begin(), block.end());
    if (file.write(fileHeader, systemCode) != static_cast<INTEGER>(fileHeader.size()) || !file.finish(systemCode)) status = 2;
}

void saveCoded(INTEGER format, HDC source, INTEGER x1, INTEGER y1, INTEGER width, INTEGER height,
               const std::string& name, INTEGER& status, INTEGER& systemCode)
{
    SavedFileSink file(name);
    if (!file.isOpen()) {
        status = 1;
        systemCode = file.error();
        return;
    }
    const INTEGER evenWidth = width + width % 2;
    const BitmapHandle bitmap = captureArea(source, x1, y1, evenWidth, height, width);
    std::vector<std::uint8_t> block;
    if (!bitmap || !dibOf(source, bitmap.get(), block)) {
        status = 1072;
        systemCode = lastError();
        return;
    }
    status = format == 2 ? YYPcxWriteDib(block, width, file, systemCode) : YYPngWriteDib(block, width, file, systemCode);
    if (status == 0 && !file.finish(systemCode)) status = 2;
}

}  // namespace

void YYImageSave(INTEGER format, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER& status, INTEGER& systemCode,
                 std::string_view fileName)
{
    status = 0;
    systemCode = 0;
    if (format != 0 && format != 1 && format != 2 && format != 15) return;
    HDC source = gdiDrawingState().DrawingDC;
    const INTEGER width = x2 - x1 + 1, height = y2 - y1 + 1;
    const INTEGER seamBits = imagePlatformSeam().DisplayBits;
    const INTEGER displayBits = source ? GetDeviceCaps(source, BITSPIXEL) * GetDeviceCaps(source, PLANES) : 0;
    // A one-bit display has no DIB layout the writers take; nothing is written for it.
    if (!source || width <= 0 || height <= 0 || (seamBits > 0 ? seamBits : displayBits) <= 1) {
        status = 1072;
        return;
    }
    if (format == 0) saveClipboard(source, x1, y1, width, height, status, systemCode);
    else if (format == 1) saveBmp(source, x1, y1, width, height, nameOf(fileName), status, systemCode);
    else saveCoded(format, source, x1, y1, width, height, nameOf(fileName), status, systemCode);
}
