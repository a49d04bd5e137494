#include "toolkit/devices/PrinterDeviceContext.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/PrinterArithmetic.h"
#include "toolkit/devices/PrinterQuery.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/graphics/GdiDrawingState.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace {

struct ScreenPrintJob {
    MemoryDcHandle printer;
    INTEGER targetWidth = 0, targetHeight = 0;
};

ScreenPrintJob& screenJob()
{
    static ScreenPrintJob job;
    return job;
}

// Sets one device-mode field the driver supports; "not set" leaves the printer's default.
template <class Field, class Value>
void applyChoice(DEVMODEA& mode, DWORD supported, DWORD bit, Field& field, Value value, Value notSet)
{
    if (value == notSet || (supported & bit) == 0) return;
    field = static_cast<Field>(value);
    mode.dmFields |= bit;
}

}  // namespace

MemoryDcHandle YYPrinterCreateDC(INTEGER landscape, INTEGER copies)
{
    PageSetupState& s = pageSetupState();
    if (s.deviceName.empty()) YYPrinterDefaultName();
    HANDLE opened = nullptr;
    if (s.deviceName.empty() || !OpenPrinterA(s.deviceName.data(), &opened, nullptr)) return MemoryDcHandle();
    const PrinterHandle printer(opened);
    HWND owner = nullptr;
    const LONG size = DocumentPropertiesA(owner, printer.get(), s.deviceName.data(), nullptr, nullptr, 0);
    if (size <= 0) return MemoryDcHandle();
    std::vector<unsigned char> buffer(static_cast<std::size_t>(size) + sizeof(DEVMODEA), 0);
    auto* mode = reinterpret_cast<DEVMODEA*>(buffer.data());
    if (DocumentPropertiesA(owner, printer.get(), s.deviceName.data(), mode, nullptr, DM_OUT_BUFFER) < 0)
        return MemoryDcHandle();
    const DWORD supported = mode->dmFields;
    mode->dmFields = 0;
    applyChoice(*mode, supported, DM_ORIENTATION, mode->dmOrientation,
                static_cast<INTEGER>(landscape != 0 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT), INTEGER{-1});
    applyChoice(*mode, supported, DM_COPIES, mode->dmCopies, copies, INTEGER{-1});
    applyChoice(*mode, supported, DM_PAPERSIZE, mode->dmPaperSize, s.paperSize, std::int16_t{-1});
    applyChoice(*mode, supported, DM_PAPERLENGTH, mode->dmPaperLength, s.paperLength, std::int16_t{-1});
    applyChoice(*mode, supported, DM_PAPERWIDTH, mode->dmPaperWidth, s.paperWidth, std::int16_t{-1});
    applyChoice(*mode, supported, DM_SCALE, mode->dmScale, s.scale, std::int16_t{-1});
    applyChoice(*mode, supported, DM_DEFAULTSOURCE, mode->dmDefaultSource, s.defaultSource, std::int16_t{-1});
    applyChoice(*mode, supported, DM_PRINTQUALITY, mode->dmPrintQuality, s.printQuality, std::int16_t{-1});
    applyChoice(*mode, supported, DM_COLOR, mode->dmColor, s.colour, std::int16_t{-1});
    applyChoice(*mode, supported, DM_DUPLEX, mode->dmDuplex, s.duplex, std::int16_t{-1});
    applyChoice(*mode, supported, DM_YRESOLUTION, mode->dmYResolution, s.yResolution, std::int16_t{-1});
    applyChoice(*mode, supported, DM_TTOPTION, mode->dmTTOption, s.trueTypeOption, std::int16_t{-1});
    applyChoice(*mode, supported, DM_COLLATE, mode->dmCollate, s.collate, std::int16_t{-1});
    applyChoice(*mode, supported, DM_MEDIATYPE, mode->dmMediaType, s.mediaType, std::int32_t{99999});
    applyChoice(*mode, supported, DM_DITHERTYPE, mode->dmDitherType, s.ditherType, std::int32_t{99999});
    if (mode->dmFields != 0)
        DocumentPropertiesA(owner, printer.get(), s.deviceName.data(), mode, mode, DM_IN_BUFFER | DM_OUT_BUFFER);
    return MemoryDcHandle(CreateDCA(s.driverName.c_str(), s.deviceName.c_str(),
                                    s.outputPort.empty() ? nullptr : s.outputPort.c_str(), mode));
}

void YYScreenPrintBegin(INTEGER width, INTEGER height, INTEGER xOffset, INTEGER yOffset, INTEGER& failure,
                        INTEGER landscape, INTEGER copies, std::string_view documentName)
{
    ScreenPrintJob& job = screenJob();
    failure = 1;
    MemoryDcHandle dc = YYPrinterCreateDC(landscape, copies);
    if (!dc) return;
    const std::string name(documentName.substr(0, documentName.find('\0')));
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = name.c_str();
    // A context that cannot start a document is deleted here, not kept for the next attempt.
    if (StartDocA(dc.get(), &info) <= 0) return;
    failure = 0;
    const INTEGER dpiX = GetDeviceCaps(dc.get(), LOGPIXELSX), dpiY = GetDeviceCaps(dc.get(), LOGPIXELSY);
    const INTEGER originX = YYPrintPageOrigin(GetDeviceCaps(dc.get(), PHYSICALOFFSETX), xOffset, dpiX);
    const INTEGER originY = YYPrintPageOrigin(GetDeviceCaps(dc.get(), PHYSICALOFFSETY), yOffset, dpiY);
    job.targetWidth = YYPrintPointsToPixels(width, dpiX);
    job.targetHeight = YYPrintPointsToPixels(height, dpiY);
    StartPage(dc.get());
    SetWindowOrgEx(dc.get(), originX, originY, nullptr);
    SetWindowExtEx(dc.get(), job.targetWidth, job.targetHeight, nullptr);
    SetBkMode(dc.get(), TRANSPARENT);
    job.printer = std::move(dc);
}

INTEGER YYDibColourCount(const BITMAPINFOHEADER& header)
{
    return YYDibColourTableBytes(static_cast<INTEGER>(header.biSize), header.biBitCount,
                                 header.biSize == 12 ? 0 : static_cast<INTEGER>(header.biClrUsed));
}

void YYScreenPrintArea(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2, INTEGER& failure)
{
    failure = 0;
    ScreenPrintJob& job = screenJob();
    GdiDrawingState& gdi = gdiDrawingState();
    const INTEGER w = x2 - x1 + 1, h = y2 - y1 + 1;
    if (!job.printer || !gdi.DrawingDC || w <= 0 || h <= 0) {
        failure = 1;
        return;
    }
    const MemoryDcHandle memory(CreateCompatibleDC(gdi.DrawingDC));
    const BitmapHandle bitmap(CreateCompatibleBitmap(gdi.DrawingDC, w, h));
    if (!memory || !bitmap) {
        failure = 1;
        return;
    }
    {
        const DcSelection selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, w, h, gdi.DrawingDC, x1, y1, SRCCOPY);
    }
    HPALETTE palette = gdi.PaletteHandle ? static_cast<HPALETTE>(gdi.PaletteHandle.get())
                                         : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    HPALETTE previousPalette = SelectPalette(memory.get(), palette, FALSE);
    RealizePalette(memory.get());
    BITMAP facts{};
    GetObjectA(bitmap.get(), sizeof facts, &facts);
    const INTEGER bitCount = YYDibBitCount(facts.bmPlanes, facts.bmBitsPixel);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = BI_RGB;
    const std::size_t table = static_cast<std::size_t>(YYDibColourCount(header));
    std::vector<unsigned char> dib(sizeof header + table, 0);
    std::memcpy(dib.data(), &header, sizeof header);
    auto* info = reinterpret_cast<BITMAPINFO*>(dib.data());
    if (GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(h), nullptr, info,
                  DIB_RGB_COLORS) == 0) {
        failure = 1;
    } else {
        std::size_t image = info->bmiHeader.biSizeImage;
        if (image == 0) {
            image = static_cast<std::size_t>(YYDibImageBytes(w, h, bitCount));
            if (info->bmiHeader.biCompression != BI_RGB) image = image * 3 / 2;
        }
        // GetDIBits may have set a used-colour count: the table the bits follow is sized again.
        const std::size_t tableNow = static_cast<std::size_t>(YYDibColourCount(info->bmiHeader));
        std::vector<unsigned char> full(sizeof header + std::max(table, tableNow) + image, 0);
        std::memcpy(full.data(), dib.data(), dib.size());
        info = reinterpret_cast<BITMAPINFO*>(full.data());
        unsigned char* bits = full.data() + sizeof header + tableNow;
        if (GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(h), bits, info,
                      DIB_RGB_COLORS) == 0) {
            failure = 1;
        } else if (StretchDIBits(job.printer.get(), 0, 0, job.targetWidth, job.targetHeight, 0, 0, w, h, bits, info,
                                 DIB_RGB_COLORS, SRCCOPY) == static_cast<int>(GDI_ERROR)) {
            failure = 1;
        }
    }
    if (previousPalette) SelectPalette(memory.get(), previousPalette, FALSE);
}

void YYScreenPrintEnd()
{
    ScreenPrintJob& job = screenJob();
    if (!job.printer) return;
    EndPage(job.printer.get());
    EndDoc(job.printer.get());
    job.printer.reset();
}

void YYScreenPrintHooksInstall()
{
    ScreenOutputHooks& hooks = screenOutputHooks();
    hooks.printerAvailable = [] {
        const ScreenDumpRecord& dump = screenDumpRecord();
        return dump.Settings[1] > 0 || YYScreenDumpDevice(10) == 1;
    };
    hooks.screenPrintBegin = [](std::string_view title) {
        const ScreenDumpRecord& dump = screenDumpRecord();
        const std::string name = title.empty() ? std::string("Devivozivuz graphic") : std::string(title);
        INTEGER failure = 1;
        YYScreenPrintBegin(dump.Settings[1], dump.Settings[2], dump.Settings[3], dump.Settings[4], failure,
                           dump.Settings[5], std::max<INTEGER>(dump.Settings[8], 1), name);
        return failure == 0;
    };
    hooks.screenPrintArea = [](INTEGER left, INTEGER top, INTEGER right, INTEGER bottom) {
        INTEGER failure = 0;
        YYScreenPrintArea(left, top, right, bottom, failure);
        return failure == 0;
    };
    hooks.screenPrintEnd = [] { YYScreenPrintEnd(); };
}
