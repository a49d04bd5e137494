#include "toolkit/devices/DeviceHooks.h"

#include <string>

#include "toolkit/devices/BitImageDriver.h"
#include "toolkit/devices/BitmapStore.h"
#include "toolkit/devices/BitmapViewer.h"
#include "toolkit/devices/CgmFileDriver.h"
#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/DxfDriver.h"
#include "toolkit/devices/FileSinks.h"
#include "toolkit/devices/HardcopyJob.h"
#include "toolkit/devices/HardcopyOptions.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/Hpgl2Driver.h"
#include "toolkit/devices/HpglDriver.h"
#include "toolkit/devices/ImageDraw.h"
#include "toolkit/devices/MetafileOutput.h"
#include "toolkit/devices/MetafileSlots.h"
#include "toolkit/devices/PictureRecorder.h"
#include "toolkit/devices/PostScriptDriver.h"
#include "toolkit/devices/PrinterQuery.h"
#include "toolkit/devices/RasterPrinterDriver.h"
#include "toolkit/devices/SvgDriver.h"
#include "toolkit/devices/WindowsMetafileDriver.h"
#include "toolkit/devices/WindowsPrinterDriver.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/foundation/OsFiles.h"
#include "toolkit/foundation/ToolkitStartUp.h"
#include "toolkit/foundation/WindowEngineHooks.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/EnhancedMetafileSlots.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace {

void devicesStartUp()
{
    // The device number keeps its value: the Windows printer until a device is selected.
    hardcopyJobState() = HardcopyJobState{};
    graphicsState().HardcopyActive = 0;
    printerModelState() = PrinterModelState{};
    hardcopyOptionBlock().Options[32] = 0;
    for (MetafileSlot& slot : metafileSlotTable().Slots) {
        slot.Words = {};
        slot.Bytes.clear();
    }
}

void temporaryFilesSet(std::string_view plotFile, std::string_view dumpFile)
{
    HardcopyJobState& job = hardcopyJobState();
    job.TempPlotFile.assign(plotFile);
    job.TempDumpFile.assign(dumpFile);
}

void hardcopyDefaults(INTEGER printer, INTEGER plotter, INTEGER hpgl2)
{
    YYDeviceModelsSelect(printer, plotter, hpgl2);
    YYScreenDumpDevice(0);
}

void devicesShutDown()
{
    IGrHardcopyBeginEnd("S", " ");
    for (INTEGER slot = 1; slot <= 20; ++slot)
        if (metafileSlotTable().Slots[static_cast<std::size_t>(slot - 1)].Words[kSlotKind] != kSlotKindFree)
            WMetafileDestroy(slot);
}

void hardcopyStop()
{
    hardcopyJobState().PageOpen = 0;
    IGrHardcopyBeginEnd("S", " ");
}

HANDLE storedBitmapCopy(INTEGER slot)
{
    const BitmapSlot& stored = bitmapSlotTable().Slots[static_cast<std::size_t>(slot - 1)];
    return stored.Bitmap ? CopyImage(stored.Bitmap.get(), IMAGE_BITMAP, 0, 0, 0) : nullptr;
}

HANDLE pictureCopy(INTEGER slot)
{
    const HENHMETAFILE picture = YYEmfClosed(slot - 1);
    return picture ? CopyEnhMetaFileA(picture, nullptr) : nullptr;
}

// A picture slot made the drawable: an enhanced metafile becomes the screen driver's target, an
// in-memory picture gets the picture recorder (the graphics layer switches drivers by the kind).
void pictureSlot(INTEGER slot, INTEGER& kind, INTEGER& width, INTEGER& height, INTEGER& status)
{
    const MetafileSlot& s = metafileSlotTable().Slots[static_cast<std::size_t>(slot - 1)];
    kind = s.Words[kSlotKind];
    width = s.Words[kSlotWidthUnits];
    height = s.Words[kSlotHeightUnits];
    if (kind == kSlotKindEnhanced) YYEmfSelect(slot - 1, width, height, status);
}

void screenImageDraw(std::string_view file, INTEGER kind, const RECT& target, INTEGER options, INTEGER angle,
                     POINT origin, INTEGER& value, INTEGER& count)
{
    YYImageDraw(kind, kImageTargetScreen, target.left, target.top, target.right, target.bottom, options, angle, origin.x,
                origin.y, value, count, file);
}

}  // namespace

void YYDeviceHooksInstall()
{
    ToolkitStartUpHooks& startUp = toolkitStartUpHooks();
    startUp.devicesStartUp = &devicesStartUp;
    YYWindowsPrinterInstall();
    startUp.plotFileUnit = [] { return hardcopyJobState().LFNPLOT; };
    startUp.plotFileUnitSet = [](INTEGER unit) { hardcopyJobState().LFNPLOT = unit; };
    startUp.temporaryFilesSet = &temporaryFilesSet;
    startUp.hardcopyDefaults = &hardcopyDefaults;
    startUp.devicesShutDown = &devicesShutDown;

    auto& names = toolkitNameHooks().toolkitName;
    names[1] = [] { return screenDumpRecord().FileName.trimmed(); };
    names[2] = [] { return hardcopyJobState().OutputFile.trimmed(); };

    DriverHooks& drivers = driverHooks();
    drivers.HardcopyDrivers[1] = &XXHPGL;
    drivers.HardcopyDrivers[2] = &XXPOST;
    drivers.HardcopyDrivers[3] = &XXSVG;
    drivers.HardcopyDrivers[4] = &XXRAST;
    drivers.HardcopyDrivers[6] = &XXIMAG;
    drivers.HardcopyDrivers[8] = &XXDXF;
    drivers.HardcopyDrivers[9] = &XXCGM;
    drivers.HardcopyDrivers[11] = &XXWMF;
    drivers.HardcopyDrivers[12] = &XXHPGL2;
    drivers.MetafileDriver = &YYMemoryMetafileDriver;
    drawableHooks().metafileSlot = &pictureSlot;
    screenOutputHooks().pictureSlotPenWidth = &YYPictureSlotPenWidth;
    metafileSlotTable().emfDelete = &YYEmfDelete;

    windowGraphicsHooks().bitmapStoreClear = &YYBitmapStoreClear;
    drawableHooks().hardcopyStop = &hardcopyStop;
    drawableHooks().bitmapSelect = &YYBitmapSelect;
    YYBitmapViewerInstall();
    screenOutputHooks().imageDraw = &screenImageDraw;
    imageTargetHooks().metafileTarget = &YYMetafileImageTarget;
    YYHardcopyOptionHooksInstall();
    DialogImageHooks& images = dialogImageHooks();
    images.storedBitmapCopy = &storedBitmapCopy;
    images.pictureCopy = &pictureCopy;

    // The platform-free drivers reopen files and read images through the toolkit's file routines.
    YYFileSinksInstall();
}
