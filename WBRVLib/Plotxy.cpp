// The pen plotter on the 10 by 8 inch page.
#include "WBRVLib/Plotxy.h"

#include <cmath>

#include "WBRVLib/ToolkitLink.h"

namespace {

constexpr REAL kPageWidth = 10.0f, kPageHeight = 8.0f;
constexpr INTEGER kWhitePen = 15;
constexpr INTEGER kWhiteRgb = 16777215;

void transform(REAL x, REAL y, REAL& xt, REAL& yt)
{
    const PlotPenState& s = plotPenState();
    xt = (x + s.OriginX) * s.FactorX;
    yt = (y + s.OriginY) * s.FactorY;
}

void plotStart(REAL x, REAL y)
{
    PlotPenState& s = plotPenState();
    s.EraseMode = false;
    s.XorMode = false;
    if (y > 0.0f) {
        // Screen output off, hardcopy options kept, then the job on the selected device.
        IGrResetGraphics("HP");
        IGrHardcopyBeginEnd(" ", "");
    }
    if (x > 0.0f) {
        if (s.PalettePending) {
            for (const PlotPaletteEntry& e : plotPaletteTable())
                IGrDefineColourHLS(e.Index, e.Hue, e.Lightness, e.Saturation, 0);
            s.PalettePending = false;
        }
        WindowClearArea(std::nullopt, std::nullopt, std::nullopt, std::nullopt, kWhiteRgb);
    }
    IGrUnits(0.0f, 0.0f, kPageWidth, kPageHeight);
    selectPlotFont();
    s.FactorX = s.FactorY = 1.0f;
    s.OriginX = s.OriginY = 0.0f;
}

// Window units (0..9999, y down) to the page.
REAL windowToPageX(INTEGER ix) { return static_cast<REAL>(ix) * kPageWidth / 10000.0f; }
REAL windowToPageY(INTEGER iy) { return static_cast<REAL>(10000 - iy) * kPageHeight / 10000.0f; }

// Rubber bands draw in exclusive-or directly in page units: neither origin nor factors apply and
// the last pen position stays, so the next plotter draw is not disturbed.
template <typename Draw>
void rubberBand(Draw draw)
{
    XORSAVE();
    XORON();
    draw();
    XORRESTORE();
}

}  // namespace

PlotPenState& plotPenState()
{
    static PlotPenState state;
    return state;
}

const PlotPaletteTable& plotPaletteTable()
{
    static const PlotPaletteTable table{{
        {0, 0, 0, 100},      // black
        {1, 300, 50, 100},   // cyan
        {2, 60, 25, 100},    // dark magenta
        {3, 60, 50, 100},    // magenta
        {4, 0, 50, 100},     // blue
        {5, 300, 25, 100},   // dark cyan
        {6, 0, 25, 100},     // dark blue
        {7, 240, 25, 100},   // dark green
        {8, 240, 50, 100},   // green
        {9, 180, 50, 100},   // yellow
        {10, 180, 25, 100},  // dark yellow
        {11, 120, 50, 100},  // red
        {12, 120, 25, 100},  // dark red
        {13, 0, 33, 0},      // grey
        {15, 0, 100, 0},     // white
    }};
    return table;
}

void PLOTXY(REAL x, REAL y, INTEGER pen, GraphFrameRecord& frame)
{
    PlotPenState& s = plotPenState();
    if (pen < 0) {
        // The new origin replaces the old one; the pen then acts at it.
        s.OriginX = x;
        s.OriginY = y;
        frame.OriginX = x;
        frame.OriginY = y;
        x = 0.0f;
        y = 0.0f;
        pen = -pen;
        if (pen == kPenStart || pen == kPenStartAlso) return;
    } else if (pen == kPenStart || pen == kPenStartAlso) {
        plotStart(x, y);
        return;
    }
    if (pen != kPenDraw && pen != kPenMove) return;
    REAL xt = 0, yt = 0;
    transform(x, y, xt, yt);
    if (pen == kPenDraw) {
        if (s.EraseMode) {
            // Erasing paints in the page's white; pen 0 of the plot palette is black.
            IGrColourN(kWhitePen);
        } else {
            IGrColourN(s.PenColour);
            if (s.XorMode) IGrPenDraw(s.LastX, s.LastY);
        }
        IGrPenDraw(xt, yt);
    } else {
        IGrPenMove(xt, yt);
    }
    s.LastX = xt;
    s.LastY = yt;
}

void PLOTNOP1() {}
void PLOTNOP2() {}

void SET_FACT(REAL fx, REAL fy)
{
    plotPenState().FactorX = fx;
    plotPenState().FactorY = fy;
}

void GET_PEN(INTEGER& pen) { pen = plotPenState().PenColour; }

void SET_PEN(INTEGER pen)
{
    if (pen < 0 || pen > 15) return;
    plotPenState().PenColour = pen;
    IGrColourN(pen);
}

void FILLBOX(REAL x1, REAL y1, REAL x2, REAL y2, REAL width, INTEGER colour)
{
    IGrColourN(colour);
    REAL ax = 0, ay = 0, bx = 0, by = 0;
    transform(x1, y1, ax, ay);
    transform(x2, y2, bx, by);
    IGrFillStyle(4, 1, 1);
    IGrTrapezium(std::fmin(ax, bx), std::fmin(ay, by), std::fmax(ax, bx), std::fmax(ay, by),
                 std::fabs(width * plotPenState().FactorX), 2);
}

void FILLPOLY(REAL* x, REAL* y, INTEGER n, INTEGER colour)
{
    IGrColourN(colour);
    if (n <= 0) return;
    for (INTEGER i = 0; i < n; ++i) transform(x[i], y[i], x[i], y[i]);
    IGrPolygonDecomposed(x, y, n);
}

void FILLTRI(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, INTEGER colour)
{
    IGrColourN(colour);
    transform(x1, y1, x1, y1);
    transform(x2, y2, x2, y2);
    transform(x3, y3, x3, y3);
    IGrTriangle(x1, y1, x2, y2, x3, y3);
}

void CLEARBOX(REAL x1, REAL y1, REAL x2, REAL y2, REAL width)
{
    const PlotPenState& s = plotPenState();
    IGrColourN(kWhitePen);
    IGrTrapezium(x1 + s.OriginX, y1 + s.OriginY, x2 + s.OriginX, y2 + s.OriginY, width, 2);
}

void ERASEON()
{
    plotPenState().EraseMode = true;
    IGrColour("WHITE");
    IGrColourN(kWhitePen);
    IGrDrawMode("N");
}

void ERASEOFF()
{
    PlotPenState& s = plotPenState();
    s.EraseMode = false;
    IGrColourN(s.PenColour);
    IGrDrawMode(s.XorMode ? "E" : "N");
}

void XORON()
{
    PlotPenState& s = plotPenState();
    s.XorMode = true;
    IGrColourN(s.PenColour);
    IGrDrawMode("E");
}

void XOROFF()
{
    PlotPenState& s = plotPenState();
    s.XorMode = false;
    if (s.EraseMode) {
        IGrColour("WHITE");
        IGrColourN(kWhitePen);
    } else {
        IGrColourN(s.PenColour);
    }
    IGrDrawMode("N");
}

void XORSAVE() { plotPenState().SavedXorMode = plotPenState().XorMode; }

void XORRESTORE()
{
    PlotPenState& s = plotPenState();
    s.XorMode = s.SavedXorMode;
    IGrDrawMode(s.XorMode ? "E" : "N");
}

LOGICAL L_XOR() { return toLogical(plotPenState().XorMode); }
LOGICAL L_ERASE() { return toLogical(plotPenState().EraseMode); }

void SET_BOX(REAL value) { plotPenState().SymbolSizeFactor = value; }
REAL GET_BOX() { return plotPenState().SymbolSizeFactor; }

void SET_SCL(REAL sx, REAL sy)
{
    PlotPenState& s = plotPenState();
    if (sx > 0.0f && sy > 0.0f) {
        s.PixelScaleX = sx;
        s.PixelScaleY = sy;
        s.PixelScaleActive = true;
    } else {
        s.PixelScaleActive = false;
    }
}

void IPIXXY(REAL x, REAL y, INTEGER& ix, INTEGER& iy)
{
    const PlotPenState& s = plotPenState();
    if (s.PixelScaleActive) {
        x *= s.PixelScaleX;
        y *= s.PixelScaleY;
    }
    transform(x, y, x, y);
    IGrWorldToPixel(x, y, ix, iy);
}

void XYIPIX(REAL& x, REAL& y, INTEGER ix, INTEGER iy)
{
    PlotPenState& s = plotPenState();
    IGrPixelToWorld(ix, iy, x, y);
    // A factor of 0 maps every position onto one point; there is nothing to divide back.
    if (s.FactorX != 0.0f) x /= s.FactorX;
    if (s.FactorY != 0.0f) y /= s.FactorY;
    x -= s.OriginX;
    y -= s.OriginY;
    if (!(s.PixelScaleX > 0.0f && s.PixelScaleY > 0.0f)) s.PixelScaleActive = false;
    if (s.PixelScaleActive) {
        x /= s.PixelScaleX;
        y /= s.PixelScaleY;
    }
}

void IPIXXY2(REAL x, REAL y, INTEGER& ix, INTEGER& iy)
{
    const PlotPenState& s = plotPenState();
    IGrWorldToPixel(s.FactorX * x + s.OriginX, s.FactorY * y + s.OriginY, ix, iy);
}

LOGICAL LRASTR(INTEGER) { return kFalse; }
LOGICAL LINTERACTER(INTEGER) { return kFalse; }
REAL PENWTH(INTEGER) { return 0.0f; }

void FILSCR(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2, INTEGER colour, LOGICAL xorMode)
{
    IGrDrawMode(isTrue(xorMode) ? "E" : "N");
    REAL x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    XYIPIX(x1, y1, ix1, iy2);
    XYIPIX(x2, y2, ix2, iy1);
    IGrFillStyle(4, 1, 1);
    FILLBOX(x1, y1, x2, y2, std::fabs(x2 - x1), colour);
    IGrDrawMode("N");
}

void RUBBERBOX(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2)
{
    rubberBand([&] {
        const REAL x1 = windowToPageX(ix1), y1 = windowToPageY(iy1);
        const REAL x2 = windowToPageX(ix2), y2 = windowToPageY(iy2);
        IGrPenMove(x1, y1);
        IGrPenDraw(x1, y2);
        IGrPenDraw(x2, y2);
        IGrPenDraw(x2, y1);
        IGrPenDraw(x1, y1);
    });
}

void RUBBERLINE(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2)
{
    rubberBand([&] {
        IGrPenMove(windowToPageX(ix1), windowToPageY(iy1));
        IGrPenDraw(windowToPageX(ix2), windowToPageY(iy2));
    });
}

void RUBBERVLINE(INTEGER ix, INTEGER iy1, INTEGER iy2)
{
    rubberBand([&] {
        IGrPenMove(windowToPageX(ix), windowToPageY(iy1));
        IGrPenDraw(windowToPageX(ix), windowToPageY(iy2));
    });
}

void RUBBERPOLY(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2, INTEGER ix3, INTEGER iy3)
{
    rubberBand([&] {
        IGrPenMove(windowToPageX(ix1), windowToPageY(iy1));
        IGrPenDraw(windowToPageX(ix2), windowToPageY(iy2));
        IGrPenDraw(windowToPageX(ix3), windowToPageY(iy3));
    });
}

void COPYXAXIS(GraphFrameRecord& to, const GraphFrameRecord& from)
{
    to.LogX = from.LogX;
    to.OriginX = from.OriginX;
    to.LengthX = from.LengthX;
    to.StepX = from.StepX;
    to.StepsX = from.StepsX;
    to.MinorX = from.MinorX;
    to.FirstTickX = from.FirstTickX;
    to.OffsetX = from.OffsetX;
    to.ScaleX = from.ScaleX;
}

void COPYYAXIS(GraphFrameRecord& to, const GraphFrameRecord& from)
{
    to.LogY = from.LogY;
    to.OriginY = from.OriginY;
    to.LengthY = from.LengthY;
    to.StepY = from.StepY;
    to.StepsY = from.StepsY;
    to.MinorY = from.MinorY;
    to.FirstTickY = from.FirstTickY;
    to.OffsetY = from.OffsetY;
    to.ScaleY = from.ScaleY;
    to.SpareY1 = from.SpareY1;
    to.SpareY2 = from.SpareY2;
}

void COPYXAXISY(GraphFrameRecord& to, const GraphFrameRecord& from)
{
    to.LogX = from.LogY;
    to.OriginX = from.OriginY;
    to.LengthX = from.LengthY;
    to.StepX = from.StepY;
    to.StepsX = from.StepsY;
    to.MinorX = from.MinorY;
    to.FirstTickX = from.FirstTickY;
    to.OffsetX = from.OffsetY;
    to.ScaleX = from.ScaleY;
}

void COPYYAXISX(GraphFrameRecord& to, const GraphFrameRecord& from)
{
    to.LogY = from.LogX;
    to.OriginY = from.OriginX;
    to.LengthY = from.LengthX;
    to.StepY = from.StepX;
    to.StepsY = from.StepsX;
    to.MinorY = from.MinorX;
    to.FirstTickY = from.FirstTickX;
    to.OffsetY = from.OffsetX;
    to.ScaleY = from.ScaleX;
}

void WHERE(REAL& x, REAL& y, REAL& factor)
{
    const PlotPenState& s = plotPenState();
    x = (s.FactorX != 0.0f ? s.LastX / s.FactorX : s.LastX) - s.OriginX;
    y = (s.FactorY != 0.0f ? s.LastY / s.FactorY : s.LastY) - s.OriginY;
    factor = 1.0f;
}
