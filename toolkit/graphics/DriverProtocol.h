// The one protocol every output driver implements: operation codes, the shared parameter block,
// the capability table of the two layers (current drawable and hardcopy), and the dispatch to
// them (platform-free).
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

enum DriverOpCode : INTEGER {
    OpInit = 1, OpLine = 2, OpColour = 3, OpEllipse = 4, OpEllipseFill = 5, OpEllipseSolid = 6,
    OpQuadFill = 7, OpQuadSolid = 8, OpRectangleFill = 9, OpRectangleSolid = 10, OpTriangleFill = 11,
    OpTriangleSolid = 12, OpSectorFill = 13, OpSectorSolid = 14, OpPolygonFill = 15, OpPolygonSolid = 16,
    OpClear = 17, OpBeginOutput = 18, OpEndOutput = 19, OpEndPage = 20, OpCharSize = 21, OpText = 22,
    OpCopyArea = 23, OpClipArea = 24, OpTextWidth = 25, OpPoint = 26, OpPlotMode = 27, OpPaletteEntry = 28,
    OpLineType = 29, OpLineWidth = 30, OpReadPixel = 31, OpPolyline = 32, OpTextAngle = 33, OpArc = 34,
    OpColourRestore = 35, OpLineJoin = 36, OpLineCap = 37, OpImage = 38, OpMetafileHeader = 39,
    OpShadedPolygon = 40,
};

// Every sender sets what its op needs; the other fields keep what the previous op left. The
// polygon arrays hold Count device points for polygons, polylines and shaded polygons.
struct DriverParameterBlock {
    INTEGER IntX1 = 0, IntY1 = 0, IntX2 = 0, IntY2 = 0, IntX3 = 0, IntY3 = 0, IntX4 = 0, IntY4 = 0;
    REAL X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0, X4 = 0, Y4 = 0;
    INTEGER Value = 0;
    INTEGER Count = 0;
    std::vector<REAL> PolygonX, PolygonY;
};

// Element 0 describes the current drawable, element 1 the hardcopy device; each driver writes
// its element at OpInit.
struct DeviceCapabilityTable {
    std::array<INTEGER, 2> ShadeFillLevel{1, 1};
    std::array<INTEGER, 2> TrueColour{0, 0};
    std::array<INTEGER, 2> PlatformLevel{1, 1};
    std::array<INTEGER, 2> TextAngles{0, 0};
    std::array<FixedText<29>, 2> CapabilityString{};
    std::array<INTEGER, 2> LineTypeCount{1, 1};
    std::array<REAL, 2> DeviceTextThreshold{1.7e38f, 1.7e38f};
};

DriverParameterBlock& driverParameterBlock();
DeviceCapabilityTable& deviceCapabilityTable();
// The toolkit-wide work text of 260 characters: the string parameter of the protocol.
FixedText<260>& stringWorkBuffer();

// A driver: one routine per op, answers go into the parameter block.
using DriverRoutine = void (*)(INTEGER op);

// The drivers of the two layers. The screen driver is installed by the Windows graphics library,
// the picture recorder and the hardcopy devices by the output devices; an empty entry drops the
// op, which is what a layer without a driver does.
struct DriverHooks {
    DriverRoutine ScreenDriver = nullptr;
    DriverRoutine MetafileDriver = nullptr;
    // The driver table of the hardcopy devices 1-12 (index 0 unused; devices 5 and 7 have none),
    // filled by the output devices' drivers (toolkit/devices/HardcopyJob.h lists them).
    std::array<DriverRoutine, 13> HardcopyDrivers{};
    // The selected hardcopy device, set only by IGrHardcopyDevice; the Windows printer at first.
    INTEGER HardcopyDevice = 10;
};

DriverHooks& driverHooks();

// Toolkit-internal

// The current drawable's driver: the picture recorder while a picture is recorded, else the
// screen driver. Does not test DrawableActive: the screen driver does.
void YYDriverCurrent(INTEGER op);
// The hardcopy driver, only while a hardcopy is open.
void YYDriverHardcopy(INTEGER op);
// The selected hardcopy device's driver, whether or not a hardcopy is open (OpInit at start and
// at the graphics reset go this way).
void YYHardcopyDispatch(INTEGER op);

// Device coordinates arrive as reals from user arithmetic that may overflow: every conversion to
// a whole device unit saturates, and a NaN becomes 0, so no conversion is undefined.
INTEGER YYDeviceTrunc(REAL value);
INTEGER YYDeviceTrunc(DOUBLE value);
// Whole device unit of a real position: truncation, with negative positions taken one unit lower
// (so -0.5 lies in unit -1), saturated like YYDeviceTrunc.
INTEGER YYDeviceFloor(REAL value);
