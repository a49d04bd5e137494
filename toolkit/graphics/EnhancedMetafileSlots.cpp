#include "toolkit/graphics/EnhancedMetafileSlots.h"

#include <cstdint>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/WindowText.h"
#include "toolkit/foundation/WorkFiles.h"
#include "toolkit/graphics/GdiDrawingState.h"

EnhancedMetafileSlots& enhancedMetafileSlots()
{
    static EnhancedMetafileSlots slots;
    return slots;
}

namespace {

bool valid(INTEGER index) { return index >= 0 && index < 20; }
EnhancedMetafileSlots& es() { return enhancedMetafileSlots(); }

void closeRecording(INTEGER index)
{
    auto& recording = es().Recording[static_cast<std::size_t>(index)];
    if (!recording) return;
    GdiDrawingState& gdi = gdiDrawingState();
    if (gdi.EmfTarget == recording.get()) {
        YYGdiDeselectObjects();
        if (gdi.DrawingDC == gdi.EmfTarget) gdi.DrawingDC = nullptr;
        gdi.EmfTarget = nullptr;
    }
    es().Closed[static_cast<std::size_t>(index)].reset(CloseEnhMetaFile(recording.release()));
}

}  // namespace

void YYEmfCreate(INTEGER index, INTEGER widthPoints, INTEGER heightPoints, INTEGER& horizontalPixels,
                 INTEGER& verticalPixels, INTEGER& horizontalMm, INTEGER& verticalMm, INTEGER& status)
{
    status = 1;
    if (!valid(index)) return;
    YYEmfDelete(index);
    const PageSetupState& printer = pageSetupState();
    MemoryDcHandle information;
    if (!printer.deviceName.empty())
        information.reset(CreateICA(printer.driverName.empty() ? nullptr : printer.driverName.c_str(),
                                    printer.deviceName.c_str(), nullptr, nullptr));
    WindowDc screen;
    if (!information) screen = WindowDc(nullptr);
    HDC reference = information ? information.get() : screen.get();
    horizontalPixels = GetDeviceCaps(reference, HORZRES);
    verticalPixels = GetDeviceCaps(reference, VERTRES);
    horizontalMm = GetDeviceCaps(reference, HORZSIZE);
    verticalMm = GetDeviceCaps(reference, VERTSIZE);
    const RECT frame{0, 0, widthPoints * 2540 / 72, heightPoints * 2540 / 72};
    es().Recording[static_cast<std::size_t>(index)].reset(CreateEnhMetaFileA(reference, nullptr, &frame, nullptr));
    gdiDrawingState().EmfResolution = GetDeviceCaps(reference, LOGPIXELSX);
    if (es().Recording[static_cast<std::size_t>(index)]) status = 0;
}

void YYEmfDelete(INTEGER index)
{
    if (!valid(index)) return;
    closeRecording(index);
    es().Closed[static_cast<std::size_t>(index)].reset();
}

void YYEmfLoad(INTEGER index, INTEGER byteCount, INTEGER& status, INTEGER& systemError, std::string_view fileName)
{
    status = 1;
    systemError = 0;
    if (!valid(index)) return;
    YYEmfDelete(index);
    const std::string name(fileName);
    FileHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        systemError = static_cast<INTEGER>(GetLastError());
        return;
    }
    std::vector<BYTE> bytes(static_cast<std::size_t>(std::max<INTEGER>(byteCount, 0)));
    DWORD read = 0;
    const BOOL ok = bytes.empty() ? TRUE : ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    status = 2;
    if (!ok || read != bytes.size()) {
        systemError = static_cast<INTEGER>(GetLastError());
        return;
    }
    es().Closed[static_cast<std::size_t>(index)].reset(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()));
    if (!es().Closed[static_cast<std::size_t>(index)]) {
        // Bytes the system does not take for a picture leave the slot empty, as a short read does.
        systemError = static_cast<INTEGER>(GetLastError());
        return;
    }
    status = 0;
}

void YYEmfPlay(INTEGER index, INTEGER left, INTEGER top, INTEGER right, INTEGER bottom)
{
    if (!valid(index)) return;
    closeRecording(index);
    GdiDrawingState& gdi = gdiDrawingState();
    const HENHMETAFILE picture = es().Closed[static_cast<std::size_t>(index)].get();
    if (!picture || !gdi.DrawingDC) return;
    if (gdi.ClipRegion) SelectClipRgn(gdi.DrawingDC, static_cast<HRGN>(gdi.ClipRegion.get()));
    const RECT box{left, top, right, bottom};
    PlayEnhMetaFile(gdi.DrawingDC, picture, &box);
    if (gdi.ClipRegion) SelectClipRgn(gdi.DrawingDC, nullptr);
}

void YYEmfSave(INTEGER index, INTEGER& status, INTEGER& systemError, std::string_view fileName)
{
    status = 1;
    systemError = 0;
    if (!valid(index)) return;
    closeRecording(index);
    const HENHMETAFILE picture = es().Closed[static_cast<std::size_t>(index)].get();
    if (!picture) return;
    // The picture's bytes go through a work file, which replaces an earlier file of the name only
    // when they were all written: a failed save leaves that file as it was.
    const UINT size = GetEnhMetaFileBits(picture, 0, nullptr);
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        systemError = ERROR_NOT_ENOUGH_MEMORY;
        return;
    }
    if (size == 0 || GetEnhMetaFileBits(picture, size, bytes.data()) != size) {
        systemError = static_cast<INTEGER>(GetLastError() != 0 ? GetLastError() : ERROR_INVALID_DATA);
        return;
    }
    const std::string name(fileName);
    WorkFile work;
    if (!work.createFor(name) || !work.write(std::span<const std::uint8_t>(bytes)) || !work.commit(name)) {
        systemError = work.error();
        return;
    }
    status = 0;
}

void YYEmfSelect(INTEGER index, INTEGER width, INTEGER height, INTEGER& status)
{
    status = 1;
    if (!valid(index)) return;
    HDC dc = es().Recording[static_cast<std::size_t>(index)].get();
    if (!dc || es().Closed[static_cast<std::size_t>(index)]) return;
    SetWindowExtEx(dc, width, height, nullptr);
    GdiDrawingState& gdi = gdiDrawingState();
    YYGdiDeselectObjects();
    gdi.DrawingDC = dc;
    gdi.DrawingWindow = nullptr;
    gdi.EmfTarget = dc;
    SetROP2(dc, gdi.RasterOp);
    SetBkMode(dc, TRANSPARENT);
    YYGdiSelectObjects();
    if (windowTextState().Font) SelectObject(dc, windowTextState().Font);
    YYScaleDashPatterns();
    status = 0;
}

HENHMETAFILE YYEmfClosed(INTEGER index)
{
    if (!valid(index)) return nullptr;
    closeRecording(index);
    return es().Closed[static_cast<std::size_t>(index)].get();
}
