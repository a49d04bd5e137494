#include "toolkit/graphics/Lines.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"

namespace {

constexpr REAL kNoIntersection = 2147480064.0f;

// The clipped line goes to each active layer; the drawable also gets the whole device units.
void sendLine()
{
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    if (g.DrawableActive > 0) {
        b.IntX1 = YYDeviceTrunc(b.X1);
        b.IntY1 = YYDeviceTrunc(b.Y1);
        b.IntX2 = YYDeviceTrunc(b.X2);
        b.IntY2 = YYDeviceTrunc(b.Y2);
        YYDriverCurrent(OpLine);
    }
    if (g.HardcopyActive > 0) YYDriverHardcopy(OpLine);
}

void clipAndSend()
{
    DriverParameterBlock& b = driverParameterBlock();
    bool visible = false;
    YYClipLine(b.X1, b.Y1, b.X2, b.Y2, visible);
    if (visible) sendLine();
}

void toDevice(const REAL* x, const REAL* y, INTEGER i, INTEGER device, REAL& xd, REAL& yd)
{
    if (device != 0) {
        xd = x[i];
        yd = y[i];
    } else {
        YYUnitsToDevice(x[i], y[i], xd, yd);
    }
}

void sendPolyline(INTEGER run)
{
    DriverParameterBlock& b = driverParameterBlock();
    b.Count = run;
    YYDriverCurrent(OpPolyline);
    YYDriverHardcopy(OpPolyline);
}

}  // namespace

void IGrPenMove(REAL x, REAL y)
{
    GraphicsTransform& t = graphicsTransform();
    t.CurrentPointX = x;
    t.CurrentPointY = y;
}

void IGrPenMoveRelative(REAL dx, REAL dy)
{
    const GraphicsTransform& t = graphicsTransform();
    IGrPenMove(t.CurrentPointX + dx, t.CurrentPointY + dy);
}

void IGrPenDraw(REAL x, REAL y)
{
    GraphicsTransform& t = graphicsTransform();
    YYLineUnits(t.CurrentPointX, t.CurrentPointY, x, y);
    t.CurrentPointX = x;
    t.CurrentPointY = y;
}

void IGrPenDrawRelative(REAL dx, REAL dy)
{
    const GraphicsTransform& t = graphicsTransform();
    IGrPenDraw(t.CurrentPointX + dx, t.CurrentPointY + dy);
}

void IGrLineStyle(std::optional<INTEGER> type)
{
    const INTEGER value = type.value_or(0);
    graphicsState().LineType = (value >= 0 && value <= 7) ? value : 0;
    YYDriverCurrent(OpLineType);
    YYDriverHardcopy(OpLineType);
}

void IGrLineThickness(std::optional<INTEGER> screen, std::optional<INTEGER> hardcopy, std::optional<INTEGER> metafile)
{
    GraphicsState& g = graphicsState();
    const bool picture = g.DrawableKind == kDrawablePicture;
    if (screen && *screen > 0) {
        g.LineWidth = *screen;
        if (!picture) YYDriverCurrent(OpLineWidth);
    }
    if (hardcopy && *hardcopy > 0) {
        if (drawableHooks().hardcopyLineThickness) drawableHooks().hardcopyLineThickness(*hardcopy);
        YYDriverHardcopy(OpLineWidth);
    }
    if (metafile && *metafile > 0) {
        g.MetafileLineWidth = *metafile;
        if (picture) YYDriverCurrent(OpLineWidth);
    }
}

void IGrDrawMode(std::optional<std::string_view> letter)
{
    constexpr std::string_view letters = "NOoAaEe";
    INTEGER mode = 0;
    if (letter && !letter->empty()) {
        const std::size_t p = letters.find(letter->front());
        if (p != std::string_view::npos) mode = static_cast<INTEGER>((p + 1) / 2);
    }
    YYPlotModeSet(mode);
}

void YYPlotModeSet(INTEGER mode)
{
    graphicsState().PlotMode = mode;
    YYDriverCurrent(OpPlotMode);
}

void YYLineUnits(REAL x1, REAL y1, REAL x2, REAL y2)
{
    DriverParameterBlock& b = driverParameterBlock();
    YYUnitsToDevice(x1, y1, b.X1, b.Y1);
    YYUnitsToDevice(x2, y2, b.X2, b.Y2);
    clipAndSend();
}

void YYLineDevice(REAL x1, REAL y1, REAL x2, REAL y2)
{
    DriverParameterBlock& b = driverParameterBlock();
    b.X1 = x1;
    b.Y1 = y1;
    b.X2 = x2;
    b.Y2 = y2;
    clipAndSend();
}

bool YYInsideClip(REAL x, REAL y)
{
    const GraphicsTransform& t = graphicsTransform();
    return t.ClipXMin <= x && x <= t.ClipXMax && t.ClipYMin <= y && y <= t.ClipYMax;
}

bool YYClipTest(REAL px, REAL py, REAL x1, REAL y1, REAL x2, REAL y2)
{
    return YYInsideClip(px, py) && std::min(x1, x2) <= px && px <= std::max(x1, x2) && std::min(y1, y2) <= py &&
           py <= std::max(y1, y2);
}

REAL YYClipIntersectX(REAL x1, REAL y1, REAL x2, REAL y2, REAL yEdge)
{
    const REAL dx = x2 - x1, dy = y2 - y1;
    REAL x = kNoIntersection;
    if (dy > 0.0f) x = x1 + (yEdge - y1) * dx / dy;
    else if (dy < 0.0f) x = x2 + (yEdge - y2) * dx / dy;
    // Far-off and undefined crossings all read as "no crossing".
    if (!(std::fabs(x) <= kNoIntersection)) x = kNoIntersection;
    return x;
}

REAL YYClipIntersectY(REAL x1, REAL y1, REAL x2, REAL y2, REAL xEdge)
{
    const REAL dx = x2 - x1, dy = y2 - y1;
    REAL y = kNoIntersection;
    if (dx > 0.0f) y = y1 + (xEdge - x1) * dy / dx;
    else if (dx < 0.0f) y = y2 + (xEdge - x2) * dy / dx;
    if (!(std::fabs(y) <= kNoIntersection)) y = kNoIntersection;
    return y;
}

void YYClipLine(REAL& x1, REAL& y1, REAL& x2, REAL& y2, bool& visible)
{
    const GraphicsTransform& t = graphicsTransform();
    const REAL left = t.DeviceXMin, right = t.DeviceXMax, bottom = t.DeviceYMin, top = t.DeviceYMax;
    visible = true;
    if (YYInsideClip(x1, y1) && YYInsideClip(x2, y2)) return;
    // A point that is not a number lies nowhere: nothing of the segment can be drawn.
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) {
        visible = false;
        return;
    }
    if (YYDeviceTrunc(x1) == YYDeviceTrunc(x2)) {
        if (std::min(y1, y2) > top || std::max(y1, y2) < bottom) {
            visible = false;
            return;
        }
        if (y1 < y2) {
            y1 = std::max(bottom, y1);
            y2 = std::min(top, y2);
        } else {
            y2 = std::max(bottom, y2);
            y1 = std::min(top, y1);
        }
        visible = YYInsideClip(x1, y1);
        return;
    }
    if (YYDeviceTrunc(y1) == YYDeviceTrunc(y2)) {
        if (std::min(x1, x2) > right || std::max(x1, x2) < left) {
            visible = false;
            return;
        }
        if (x1 < x2) {
            x1 = std::max(left, x1);
            x2 = std::min(right, x2);
        } else {
            x2 = std::max(left, x2);
            x1 = std::min(right, x1);
        }
        visible = YYInsideClip(x1, y1);
        return;
    }
    // General case in double precision, so that the edge points of long segments stay exact
    // enough to land inside the 0.001 margin.
    const double m = (static_cast<double>(y2) - y1) / (static_cast<double>(x2) - x1);
    const double c = y1 - m * x1;
    const auto real = [](double v) {
        return static_cast<REAL>(std::isfinite(v) ? std::clamp(v, -3.0e38, 3.0e38) : (v > 0 ? 3.0e38 : -3.0e38));
    };
    const REAL xTop = real((top - c) / m), xBottom = real((bottom - c) / m);
    const REAL yRight = real(m * right + c), yLeft = real(m * left + c);

    if (YYClipTest(xTop, top, x1, y1, x2, y2)) {
        if (YYInsideClip(x1, y1) && y2 > y1) { x2 = xTop; y2 = top; return; }
        if (YYInsideClip(x2, y2) && y1 > y2) { x1 = xTop; y1 = top; return; }
        if (y2 > y1) { x2 = xTop; y2 = top; } else { x1 = xTop; y1 = top; }
    }
    if (YYClipTest(xBottom, bottom, x1, y1, x2, y2)) {
        if (YYInsideClip(x1, y1) && y1 > y2) { x2 = xBottom; y2 = bottom; return; }
        if (YYInsideClip(x2, y2) && y2 > y1) { x1 = xBottom; y1 = bottom; return; }
        if (y2 < y1) { x2 = xBottom; y2 = bottom; } else { x1 = xBottom; y1 = bottom; }
    }
    if (YYClipTest(right, yRight, x1, y1, x2, y2)) {
        if (YYInsideClip(x1, y1) && x2 > x1) { x2 = right; y2 = yRight; return; }
        if (YYInsideClip(x2, y2) && x1 > x2) { x1 = right; y1 = yRight; return; }
        if (x2 > x1) { x2 = right; y2 = yRight; } else { x1 = right; y1 = yRight; }
    }
    if (YYClipTest(left, yLeft, x1, y1, x2, y2)) {
        if (YYInsideClip(x1, y1)) { x2 = left; y2 = yLeft; return; }
        if (YYInsideClip(x2, y2)) { x1 = left; y1 = yLeft; return; }
    }
    visible = false;
}

void YYPolylineUnits(const REAL* x, const REAL* y, INTEGER n, INTEGER device)
{
    if (n < 2 || !x || !y) return;
    DriverParameterBlock& b = driverParameterBlock();
    b.PolygonX.assign(static_cast<std::size_t>(n), 0.0f);
    b.PolygonY.assign(static_cast<std::size_t>(n), 0.0f);
    INTEGER run = 0;
    REAL px = 0, py = 0;
    toDevice(x, y, 0, device, px, py);
    const auto put = [&](INTEGER k, REAL vx, REAL vy) {
        b.PolygonX[static_cast<std::size_t>(k)] = vx;
        b.PolygonY[static_cast<std::size_t>(k)] = vy;
    };
    if (YYInsideClip(px, py)) {
        put(0, px, py);
        run = 1;
    }
    for (INTEGER i = 1; i < n; ++i) {
        REAL qx = 0, qy = 0;
        toDevice(x, y, i, device, qx, qy);
        const bool inside = YYInsideClip(qx, qy);
        if (run > 0 && inside) {
            put(run++, qx, qy);
        } else if (run > 0) {
            REAL ax = b.PolygonX[static_cast<std::size_t>(run - 1)], ay = b.PolygonY[static_cast<std::size_t>(run - 1)];
            REAL cx = qx, cy = qy;
            bool visible = false;
            YYClipLine(ax, ay, cx, cy, visible);
            if (visible) put(run++, cx, cy);
            if (run > 1) sendPolyline(run);
            run = 0;
        } else if (inside) {
            REAL ax = px, ay = py, cx = qx, cy = qy;
            bool visible = false;
            YYClipLine(ax, ay, cx, cy, visible);
            if (visible) {
                put(0, ax, ay);
                put(1, cx, cy);
                run = 2;
            }
        } else {
            REAL ax = px, ay = py, cx = qx, cy = qy;
            bool visible = false;
            YYClipLine(ax, ay, cx, cy, visible);
            if (visible) {
                // The piece needs the polygon arrays no longer than this call keeps them.
                YYLineDevice(ax, ay, cx, cy);
            }
        }
        px = qx;
        py = qy;
    }
    if (run > 1) sendPolyline(run);
    if (device == 0) IGrPenMove(x[n - 1], y[n - 1]);
    std::vector<REAL>().swap(b.PolygonX);
    std::vector<REAL>().swap(b.PolygonY);
}
