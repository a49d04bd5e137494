#include "toolkit/devices/DriverSetup.h"

#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/OutputUnit.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"

namespace {

// A limit not yet set falls back to the drawable's size, a hundredth short of its last pixel.
REAL extentOr(REAL limit, INTEGER size) { return limit > 0.0f ? limit : static_cast<REAL>(size) - 0.01f; }

void setScales(REAL extentX, REAL extentY, REAL pageWidth, REAL pageHeight)
{
    HardcopyDriverState& d = hardcopyDriverState();
    d.XScale = extentX > 0.0f ? pageWidth / extentX : 1.0f;
    d.YScale = extentY > 0.0f ? pageHeight / extentY : 1.0f;
}

}  // namespace

bool YYDriverIdentify(INTEGER device)
{
    DriverParameterBlock& b = driverParameterBlock();
    if (b.Count != -999) return false;
    b.Count = device;
    return true;
}

void YYDeviceCapabilitiesSet(std::size_t element, const DeviceCapabilityEntry& entry)
{
    DeviceCapabilityTable& caps = deviceCapabilityTable();
    caps.ShadeFillLevel[element] = entry.ShadeFillLevel;
    caps.TrueColour[element] = entry.TrueColour;
    caps.PlatformLevel[element] = entry.PlatformLevel;
    caps.TextAngles[element] = entry.TextAngles;
    caps.LineTypeCount[element] = entry.LineTypeCount;
    caps.DeviceTextThreshold[element] = entry.DeviceTextThreshold;
    caps.CapabilityString[element].assign(entry.CapabilityString);
}

void YYHardcopyDeviceFactsSet(const HardcopyDeviceFacts& facts)
{
    YYDeviceCapabilitiesSet(1, facts.Capabilities);
    HardcopyTextScaling& text = hardcopyTextScaling();
    text.TextBoxFlag = facts.TextBoxFlag;
    text.TextSpacingFlag = facts.TextSpacingFlag;
    HardcopyJobState& job = hardcopyJobState();
    job.PrintByCommand = facts.PrintByCommand;
    job.DriverDevice = facts.DriverDevice;
}

bool YYDriverOutputOpen(INTEGER unit)
{
    LibraryErrorState& errors = libraryErrorState();
    const INTEGER previous = errors.LastErrorNumber;
    errors.LastErrorNumber = 0;
    YYProuOpen(unit);
    if (errors.LastErrorNumber != 0) {
        graphicsState().HardcopyActive = 0;
        return false;
    }
    errors.LastErrorNumber = previous;
    return true;
}

INTEGER YYModelColour(std::size_t which)
{
    const GraphicsState& g = graphicsState();
    return g.ColourModel == kRgbMode ? g.ColourRGB[which] : g.ColourIndex[which];
}

REAL YYDrawableXExtent() { return extentOr(graphicsTransform().DrawableXLimit, graphicsState().DrawableWidth); }
REAL YYDrawableYExtent() { return extentOr(graphicsTransform().DrawableYLimit, graphicsState().DrawableHeight); }

void YYScalesFromDrawable(REAL pageWidth, REAL pageHeight)
{
    setScales(YYDrawableXExtent(), YYDrawableYExtent(), pageWidth, pageHeight);
}
