#include "toolkit/devices/GdiPrimitives.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "toolkit/devices/HardcopyState.h"
#include "toolkit/devices/PrinterArithmetic.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/ShadedPolygons.h"

namespace {

std::size_t polygonLength()
{
    const DriverParameterBlock& b = driverParameterBlock();
    return std::min(b.PolygonX.size(), b.PolygonY.size());
}

}  // namespace

INTEGER YYGdiX(REAL x) { return YYDeviceTrunc(static_cast<DOUBLE>(hardcopyDriverState().XScale) * x); }
INTEGER YYGdiY(REAL y) { return YYDeviceTrunc((static_cast<DOUBLE>(YYDrawableYExtent()) - y) * hardcopyDriverState().YScale); }
INTEGER YYGdiXLength(REAL length) { return YYDeviceTrunc(static_cast<DOUBLE>(hardcopyDriverState().XScale) * length); }
INTEGER YYGdiYLength(REAL length) { return YYDeviceTrunc(static_cast<DOUBLE>(hardcopyDriverState().YScale) * length); }

void YYGdiCornerPoints(INTEGER n)
{
    const DriverParameterBlock& b = driverParameterBlock();
    YYPointBufferAlloc(n);
    const REAL xs[4] = {b.X1, b.X2, b.X3, b.X4}, ys[4] = {b.Y1, b.Y2, b.Y3, b.Y4};
    for (INTEGER k = 0; k < n; ++k) YYPointBufferSet(YYGdiX(xs[k]), YYGdiY(ys[k]), k);
}

INTEGER YYGdiPolygonPoints(INTEGER n)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const INTEGER count = std::clamp<INTEGER>(n, 0, static_cast<INTEGER>(polygonLength()));
    YYPointBufferAlloc(count);
    for (INTEGER k = 0; k < count; ++k) {
        const auto i = static_cast<std::size_t>(k);
        YYPointBufferSet(YYGdiX(b.PolygonX[i]), YYGdiY(b.PolygonY[i]), k);
    }
    return count;
}

bool YYGdiSectorPoints(INTEGER& xs, INTEGER& ys, INTEGER& xe, INTEGER& ye)
{
    const DriverParameterBlock& b = driverParameterBlock();
    // An angle too large to reduce stands for angle 0 rather than for a point far off the page.
    const auto trig = [](REAL angle, bool cosine) {
        const DOUBLE a = angle;
        if (!std::isfinite(a) || std::fabs(a) > 1.0e15) return cosine ? 1.0 : 0.0;
        return cosine ? std::cos(a) : std::sin(a);
    };
    xs = YYGdiX(static_cast<REAL>(b.X1 + b.X2 * trig(b.X3, true)));
    ys = YYGdiY(static_cast<REAL>(b.Y1 + b.Y2 * trig(b.X3, false)));
    xe = YYGdiX(static_cast<REAL>(b.X1 + b.X2 * trig(b.Y3, true)));
    ye = YYGdiY(static_cast<REAL>(b.Y1 + b.Y2 * trig(b.Y3, false)));
    const bool met = xs == xe && ys == ye && std::fabs(b.Y4) < 10.0f;
    YYSectorEndNudge(xs, ys, xe, ye, b.X4, b.Y4);
    return met;
}

void YYGdiFontSize(REAL& width, REAL& height, INTEGER& style)
{
    const TextState& a = textState();
    const HardcopyTextScaling& scaling = hardcopyTextScaling();
    YYRequestedCharSize(width, height);
    width *= scaling.ScaleX;
    height *= scaling.ScaleY;
    style = a.TextStyle;
    if (a.CharacterSpacing != 0) {
        width *= a.CharacterSpacing == 1 ? 0.607f : 0.725f;
        if (a.DeviceFontVariant == 4) width *= 1.38f;
        height *= 0.821f;
        if (a.CharacterSpacing == 1) style &= ~kTextUnderline;
    }
}

void YYGdiPageClip(INTEGER& left, INTEGER& top, INTEGER& right, INTEGER& bottom)
{
    const HardcopyDriverState& d = hardcopyDriverState();
    const GraphicsTransform& t = graphicsTransform();
    const REAL e = YYDrawableYExtent();
    left = YYDeviceTrunc(d.XScale * t.ClipXMin);
    top = YYDeviceTrunc((e - t.ClipYMax) * d.YScale);
    right = YYDeviceTrunc(d.XScale * t.ClipXMax + 0.99f);
    bottom = YYDeviceTrunc((e - t.ClipYMin) * d.YScale + 0.99f);
}

std::string_view YYGdiTextToMeasure()
{
    const INTEGER n = std::clamp<INTEGER>(driverParameterBlock().Value, 0, 260);
    return stringWorkBuffer().view().substr(0, static_cast<std::size_t>(n));
}

void YYGdiTextWidthAnswer(INTEGER width)
{
    DriverParameterBlock& b = driverParameterBlock();
    b.Count = 1;
    const REAL sx = hardcopyTextScaling().ScaleX;
    b.X1 = sx != 0.0f ? static_cast<REAL>(width) / sx : static_cast<REAL>(width);
}

DeviceCapabilityEntry YYGdiCapabilities()
{
    INTEGER gradient = 1;
    YYGradientFillAvailable(gradient);
    return {.ShadeFillLevel = gradient,
            .TrueColour = 1,
            .PlatformLevel = YYOsPlatform() == 4 ? 2 : 1,
            .TextAngles = 360,
            .LineTypeCount = 8,
            .DeviceTextThreshold = 1.7e38f,
            .CapabilityString = "00000111111111100010011011110"};
}

INTEGER YYGdiGradientMesh(HDC dc, const INTEGER* xs, const INTEGER* ys, const INTEGER* colours,
                          const INTEGER* triangles, INTEGER n, INTEGER m)
{
    using GradientFillRoutine = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    const auto fill = reinterpret_cast<GradientFillRoutine>(reinterpret_cast<void*>(windowEngineState().GradientFill));
    if (!dc || !fill || n <= 0 || m <= 0) return 1;
    std::vector<TRIVERTEX> vertices(static_cast<std::size_t>(n));
    for (INTEGER k = 0; k < n; ++k) {
        const GradientVertex v = YYGradientVertex(xs[k], ys[k], colours[k]);
        vertices[static_cast<std::size_t>(k)] = TRIVERTEX{v.x, v.y, v.red, v.green, v.blue, v.alpha};
    }
    const std::vector<std::uint32_t> corners = YYGradientTriangles(triangles, m, n);
    if (corners.empty()) return 1;
    std::vector<GRADIENT_TRIANGLE> mesh(static_cast<std::size_t>(m));
    for (std::size_t k = 0; k < mesh.size(); ++k)
        mesh[k] = GRADIENT_TRIANGLE{corners[3 * k], corners[3 * k + 1], corners[3 * k + 2]};
    return fill(dc, vertices.data(), static_cast<ULONG>(n), mesh.data(), static_cast<ULONG>(m), GRADIENT_FILL_TRIANGLE)
               ? 0
               : 1;
}
