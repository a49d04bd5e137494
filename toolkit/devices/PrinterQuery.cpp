#include "toolkit/devices/PrinterQuery.h"

#include <float.h>

#include <algorithm>

#include <string>

#include "toolkit/devices/DeviceModels.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/Handles.h"

namespace {

// Printer drivers may change the floating-point control word; the program's arithmetic must not
// see that.
class FloatControlKept {
public:
    FloatControlKept() : saved_(_control87(0, 0)) {}
    ~FloatControlKept()
    {
        _clearfp();
        _control87(saved_, _MCW_EM | _MCW_RC | _MCW_DN);
    }
    FloatControlKept(const FloatControlKept&) = delete;
    FloatControlKept& operator=(const FloatControlKept&) = delete;

private:
    unsigned int saved_;
};

void resetDeviceModeChoices(PageSetupState& s)
{
    s.paperSize = s.paperLength = s.paperWidth = s.scale = s.defaultSource = s.printQuality = -1;
    s.colour = s.duplex = s.yResolution = s.trueTypeOption = s.collate = -1;
    s.mediaType = s.ditherType = 99999;
}

}  // namespace

INTEGER YYPrinterDefaultName()
{
    char value[552] = {};
    if (GetProfileStringA("windows", "Device", "", value, sizeof value) == 0 || value[0] == '\0') return 0;
    PageSetupState& s = pageSetupState();
    YYPrinterDeviceSplit(value, s.deviceName, s.driverName, s.outputPort);
    return 1;
}

void YYPrinterQuery(INTEGER& longSide, INTEGER& shortSide, INTEGER& width, INTEGER& height, INTEGER& xOffset,
                    INTEGER& yOffset, INTEGER& orientation, INTEGER& copies, INTEGER& colours, INTEGER& status)
{
    longSide = shortSide = width = height = xOffset = yOffset = orientation = copies = colours = status = 0;
    const FloatControlKept floatControl;
    PageSetupState& s = pageSetupState();
    // A failure the system gives no code for must still not read as success.
    const auto systemCode = [] {
        const DWORD code = GetLastError();
        return static_cast<INTEGER>(code != 0 ? code : ERROR_INVALID_PRINTER_NAME);
    };
    if (s.deviceName.empty()) {
        SetLastError(0);
        if (YYPrinterDefaultName() == 0) {
            status = systemCode();
            return;
        }
    }
    SetLastError(0);
    const MemoryDcHandle information(CreateICA(s.driverName.c_str(), s.deviceName.c_str(), nullptr, nullptr));
    if (!information) {
        status = systemCode();
        return;
    }
    const int dpiX = GetDeviceCaps(information.get(), LOGPIXELSX), dpiY = GetDeviceCaps(information.get(), LOGPIXELSY);
    if (dpiX <= 0 || dpiY <= 0) {
        status = ERROR_INVALID_PRINTER_NAME;
        return;
    }
    const INTEGER across = GetDeviceCaps(information.get(), PHYSICALWIDTH) * 72 / dpiX;
    const INTEGER down = GetDeviceCaps(information.get(), PHYSICALHEIGHT) * 72 / dpiY;
    longSide = std::max(across, down);
    shortSide = std::min(across, down);
    width = longSide - 144;
    height = shortSide - 144;
    xOffset = yOffset = 72;
    orientation = 1;
    copies = 1;
    colours = GetDeviceCaps(information.get(), NUMCOLORS);
    resetDeviceModeChoices(s);
}

INTEGER YYScreenDumpDevice(INTEGER kind)
{
    if (kind == 2 || kind == 4) {
        YYScreenDumpSettings(kind);
        return 0;
    }
    PrinterPage page;
    YYPrinterQuery(page.LongSide, page.ShortSide, page.Width, page.Height, page.XOffset, page.YOffset, page.Orientation,
                   page.Copies, page.Colours, page.Status);
    return YYScreenDumpPrinter(page);
}
