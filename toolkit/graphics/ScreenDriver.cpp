#include "toolkit/graphics/ScreenDriver.h"

#include <algorithm>
#include <cmath>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/OsEnvironment.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/foundation/WindowText.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GdiDrawingState.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/ShadedPolygons.h"

ScreenOutputHooks& screenOutputHooks()
{
    static ScreenOutputHooks hooks;
    return hooks;
}

namespace {

GdiDrawingState& gdi() { return gdiDrawingState(); }

// GDI row of a device y counted upward from the drawable's bottom.
INTEGER row(INTEGER y)
{
    const INTEGER h = graphicsState().DrawableHeight;
    // Saturated so that rows of far-off points do not overflow.
    const long long r = static_cast<long long>(h) - 1 - y;
    return static_cast<INTEGER>(std::clamp<long long>(r, -2147483520LL, 2147483520LL));
}

INTEGER rowOf(REAL y) { return row(YYDeviceTrunc(y)); }

// The clip region of the last OpClipArea, selected for one GDI call only.
class ClipScope {
public:
    ClipScope() : dc_(gdi().DrawingDC), active_(dc_ && gdi().ClipRegion)
    {
        if (active_) SelectClipRgn(dc_, static_cast<HRGN>(gdi().ClipRegion.get()));
    }
    ~ClipScope()
    {
        if (active_) SelectClipRgn(dc_, nullptr);
    }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    HDC dc_;
    bool active_;
};

COLORREF colourRef(INTEGER rgb) { return static_cast<COLORREF>(rgb) & 0xFFFFFF; }

bool paletteDisplay() { return gdi().DisplayColours == 256; }

INTEGER paletteZeroRgb()
{
    INTEGER v = 0;
    YYPaletteRGB(0, v);
    return v;
}

void pointBufferFromPolygon(INTEGER count)
{
    const DriverParameterBlock& b = driverParameterBlock();
    const INTEGER n = std::clamp<INTEGER>(count, 0, static_cast<INTEGER>(std::min(b.PolygonX.size(), b.PolygonY.size())));
    YYPointBufferAlloc(n);
    for (INTEGER i = 0; i < n; ++i)
        YYPointBufferSet(YYDeviceTrunc(b.PolygonX[static_cast<std::size_t>(i)]),
                         rowOf(b.PolygonY[static_cast<std::size_t>(i)]), i);
}

// Start and end points of a sector or arc on its ellipse; a span of 10 degrees or less whose
// points fall on one pixel is nudged one pixel along the ellipse so it is not a full ellipse.
void sectorPoints(INTEGER& xs, INTEGER& ys, INTEGER& xe, INTEGER& ye)
{
    const DriverParameterBlock& b = driverParameterBlock();
    xs = YYDeviceTrunc(static_cast<DOUBLE>(b.IntX1) + std::cos(static_cast<DOUBLE>(b.X3)) * b.X2);
    ys = row(YYDeviceTrunc(static_cast<DOUBLE>(b.IntY1) + b.Y2 * std::sin(static_cast<DOUBLE>(b.X3))));
    xe = YYDeviceTrunc(static_cast<DOUBLE>(b.IntX1) + std::cos(static_cast<DOUBLE>(b.Y3)) * b.X2);
    ye = row(YYDeviceTrunc(static_cast<DOUBLE>(b.IntY1) + b.Y2 * std::sin(static_cast<DOUBLE>(b.Y3))));
    // GDI takes the rays through the two points: points on one ray from the centre, not only
    // on one pixel, would draw the whole ellipse.
    const long long sx = xs - static_cast<long long>(b.IntX1), sy = ys - static_cast<long long>(row(b.IntY1));
    const long long ex = xe - static_cast<long long>(b.IntX1), ey = ye - static_cast<long long>(row(b.IntY1));
    const bool oneRay = sx * ey == ex * sy && sx * ex + sy * ey >= 0;
    if (oneRay && std::fabs(b.Y4) <= 10.0f) {
        REAL a = std::fmod(b.X4, 360.0f);
        if (a < 0.0f) a += 360.0f;
        if (a < 90.0f) { xe -= 1; ye -= 1; }
        else if (a < 180.0f) { xe -= 1; ye += 1; }
        else if (a < 270.0f) { xe += 1; ye += 1; }
        else { xe += 1; ye -= 1; }
    }
}

void opInit()
{
    DeviceCapabilityTable& caps = deviceCapabilityTable();
    caps.TextAngles[0] = 360;
    caps.PlatformLevel[0] = YYOsPlatform() == 4 ? 2 : 1;
    caps.TrueColour[0] = gdi().DisplayColours > 256 ? 1 : 0;
    INTEGER gradient = 1;
    YYGradientFillAvailable(gradient);
    caps.ShadeFillLevel[0] = gradient;
    caps.DeviceTextThreshold[0] = 1.7e38f;
    caps.LineTypeCount[0] = 8;
    std::string text = "11111111111111111110111011111";
    if (graphicsState().DrawableKind == kDrawablePicture) text[28] = '0';
    caps.CapabilityString[0] = std::string_view(text);
}

void opFont()
{
    GdiDrawingState& s = gdi();
    TextState& a = textState();
    const GraphicsTransform& t = graphicsTransform();
    YYTextAreaUpdate();
    // The requested cell: the scale factors make the device size equal to it until the created
    // font says otherwise.
    const REAL requestedW = t.CharWidthFraction * a.TextAreaWidth, requestedH = t.CharHeightFraction * a.TextAreaHeight;
    if (requestedW > 0.0f) a.CharScaleX = a.TextDrawableWidth / requestedW;
    if (requestedH > 0.0f) a.CharScaleY = a.TextDrawableHeight / requestedH;
    INTEGER w = YYDeviceTrunc(requestedW);
    INTEGER h = YYDeviceTrunc(requestedH);
    const INTEGER angle = YYDeviceTrunc(a.DeviceTextAngle);
    INTEGER style = a.TextStyle;
    if (a.CharacterSpacing != 0) {
        REAL f = a.CharacterSpacing == 1 ? 0.607f : 0.78f;
        if (a.DeviceFontVariant == 4) f *= 1.38f;
        w = YYDeviceTrunc(static_cast<REAL>(w) * f);
        h = YYDeviceTrunc(static_cast<REAL>(h) * 0.821f);
        if (a.CharacterSpacing == 1) style &= ~4;
    }
    // A cell under a pixel still gets a font of one pixel: a size of 0 would ask GDI for its
    // default font, whose characters, placed by the tiny cell's advances, pile up in a blob.
    if (requestedW > 0.0f) w = std::max<INTEGER>(w, 1);
    if (requestedH > 0.0f) h = std::max<INTEGER>(h, 1);
    const INTEGER variant = a.DeviceFontVariant;
    const std::string face = variant == 0 ? std::string(a.DeviceFaceName.trimmed()) : std::string();
    GdiFontCache& c = s.FontCache;
    if (style != c.Style || variant != c.Variant || angle != c.Angle || w != c.Width || h != c.Height ||
        (variant == 0 && face != c.FaceName) || !s.Font) {
        c.Style = style;
        c.Variant = variant;
        c.Angle = angle;
        c.Width = w;
        c.Height = h;
        c.FaceName = face;
        INTEGER width = w, height = h, ascent = 0;
        YYGdiCreateFont(width, height, ascent, angle, variant, style, face);
        c.CreatedHeight = height;
        c.CreatedAscent = ascent;
        if (a.CharacterSpacing == 0) c.CreatedWidth = width;
    }
    if (a.CharacterSpacing == 0 && c.CreatedWidth > 0)
        a.CharScaleX = a.TextDrawableWidth * 52.0f / static_cast<REAL>(c.CreatedWidth);
}

void opText()
{
    const DriverParameterBlock& b = driverParameterBlock();
    const TextState& a = textState();
    const GdiFontCache& c = gdi().FontCache;
    const REAL d = static_cast<REAL>(c.CreatedAscent) - static_cast<REAL>(c.CreatedHeight) / 2.0f;
    const REAL x = b.X1 + d * a.TextUpSin, y = b.Y1 - d * a.TextDirCos;
    const std::string_view text = stringWorkBuffer().view();
    const INTEGER length = std::clamp<INTEGER>(b.IntX1, 0, 260);
    if (a.TextStacked == 0) {
        const INTEGER alignment = a.CharacterSpacing == 1 ? 0 : a.TextJustification;
        const INTEGER opaque = (a.CharacterSpacing != 1 && (a.TextStyle & 8) != 0) ? 1 : 0;
        YYGdiText(YYDeviceTrunc(x), rowOf(y), YYDeviceTrunc(b.X3 + d * a.TextUpSin), rowOf(b.Y3 - d * a.TextDirCos),
                  alignment, opaque, text, length);
        driverParameterBlock().IntX4 = 0;
        return;
    }
    for (INTEGER k = 0; k < length; ++k) {
        const REAL cx = x + static_cast<REAL>(k) * a.CharLineX, cy = y - static_cast<REAL>(k) * a.CharLineY;
        YYGdiText(YYDeviceTrunc(cx), rowOf(cy), YYDeviceTrunc(cx), rowOf(cy), 1, 0,
                  text.substr(static_cast<std::size_t>(k)), 1);
    }
}

void opPaletteEntry()
{
    GdiDrawingState& s = gdi();
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsState& g = graphicsState();
    if (paletteDisplay()) {
        INTEGER old = 0;
        if (g.DeviceColours == 16) YYPalette16(b.Value, old);
        else YYPaletteN(b.Value, old);
        if ((s.PaletteBatchMode == 3 && b.IntX4 == 0) || old != b.IntX1) {
            INTEGER mode = 0;
            if (b.IntX4 == 0) {
                mode = s.PaletteBatchMode;
                s.PaletteBatchMode = 0;
            } else {
                mode = s.PaletteBatchMode / 3 + 1;
                s.PaletteBatchMode = 3;
            }
            YYGdiPaletteEntry(b.Value, b.IntX1, mode);
        }
    }
    if (g.ColourModel == kPaletteMode && (b.Value == g.ColourDevice[1] || b.Value == g.ColourDevice[0])) {
        YYGdiSetColour(g.ColourDevice[0], g.ColourRGB[0]);
        YYGdiSetColour(g.ColourDevice[1], g.ColourRGB[1]);
    }
}

void opColourRestore()
{
    GdiDrawingState& s = gdi();
    GraphicsState& g = graphicsState();
    if (paletteDisplay()) {
        const INTEGER n = std::min<INTEGER>(g.DeviceColours, 256);
        INTEGER mode = s.RestoreMode;
        for (INTEGER slot = 0; slot < n; ++slot) {
            INTEGER rgb = 0;
            if (g.DeviceColours == 16) YYPalette16(slot, rgb);
            else YYPaletteN(slot, rgb);
            mode = slot == n - 1 ? 3 : slot == 0 ? s.RestoreMode : 2;
            YYGdiPaletteEntry(slot, rgb, mode);
        }
        s.RestoreMode = mode;
    }
    if (g.ColourModel == kPaletteMode) {
        YYPaletteRGB(g.ColourIndex[0], g.ColourRGB[0]);
        YYPaletteRGB(g.ColourIndex[1], g.ColourRGB[1]);
    }
    YYGdiSetColour(g.ColourDevice[0], g.ColourRGB[0]);
    YYGdiSetColour(g.ColourDevice[1], g.ColourRGB[1]);
}

void opEndPage()
{
    const GraphicsTransform& t = graphicsTransform();
    ScreenOutputHooks& hooks = screenOutputHooks();
    if (!hooks.printerAvailable || !hooks.printerAvailable() || !hooks.screenPrintBegin) {
        libraryErrorState().SystemDetailCode = 0;
        YYErrorReport(1, "YYGAPI");
        return;
    }
    if (!hooks.screenPrintBegin(stringWorkBuffer().trimmed())) {
        libraryErrorState().SystemDetailCode = 0;
        YYErrorReport(1, "YYGAPI");
        return;
    }
    if (!hooks.screenPrintArea || !hooks.screenPrintArea(t.PixelXMin, row(t.PixelYMax), t.PixelXMax, row(t.PixelYMin)))
        YYErrorReport(64, "YYGAPI");
    if (hooks.screenPrintEnd) hooks.screenPrintEnd();
}

void opImage()
{
    const GraphicsTransform& t = graphicsTransform();
    const GraphicsState& g = graphicsState();
    DriverParameterBlock& b = driverParameterBlock();
    if (!screenOutputHooks().imageDraw) return;
    RECT r{t.PixelXMin, row(t.PixelYMax), t.PixelXMax, row(t.PixelYMin)};
    if (YYOsPlatform() > 3 && t.PageAngle % 180 != 0) r = RECT{t.PixelYMin, row(t.PixelXMax), t.PixelYMax, row(t.PixelXMin)};
    const INTEGER h = g.DrawableHeight;
    POINT origin{0, 0};
    switch (t.PageAngle) {
    case 90: origin = POINT{t.PixelXMin + t.PixelXMax - h, h}; break;
    case 180: origin = POINT{t.PixelXMin + t.PixelXMax, 2 * h - t.PixelYMax - t.PixelYMin}; break;
    case 270: origin = POINT{h, h - t.PixelYMax - t.PixelYMin}; break;
    default: break;
    }
    screenOutputHooks().imageDraw(stringWorkBuffer().trimmed(), b.IntX1, r, b.IntY1, t.PageAngle, origin, b.Value, b.Count);
}

}  // namespace

void YYPointBufferAlloc(INTEGER n) { gdi().PointBuffer.assign(static_cast<std::size_t>(std::max<INTEGER>(n, 0)), POINT{0, 0}); }

void YYPointBufferSet(INTEGER x, INTEGER y, INTEGER i)
{
    auto& points = gdi().PointBuffer;
    if (i >= 0 && static_cast<std::size_t>(i) < points.size()) points[static_cast<std::size_t>(i)] = POINT{x, y};
}

void YYPointBufferFree() { std::vector<POINT>().swap(gdi().PointBuffer); }

void YYGdiLine(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2)
{
    GdiDrawingState& s = gdi();
    if (!s.DrawingDC) return;
    MoveToEx(s.DrawingDC, x1, y1, nullptr);
    LineTo(s.DrawingDC, x2, y2);
    if (s.PenStyle != 0) return;
    // GDI leaves a line's last pixel out. In copy mode it is set here; in exclusive-or mode it is
    // left alone, so that a figure drawn twice restores every pixel; OR and AND draw it through
    // the mix mode.
    if (s.RasterOp == R2_COPYPEN) SetPixel(s.DrawingDC, x2, y2, s.CurrentColourRef);
    else if (s.RasterOp != R2_XORPEN) {
        MoveToEx(s.DrawingDC, x2, y2, nullptr);
        LineTo(s.DrawingDC, x2 + 1, y2);
    }
}

HBRUSH YYGdiHalftoneBrush()
{
    GdiDrawingState& s = gdi();
    if (s.EmfTarget) {
        const COLORREF p = s.PreviousColourRef, c = s.CurrentColourRef;
        return CreateSolidBrush(RGB((GetRValue(p) + GetRValue(c)) / 2, (GetGValue(p) + GetGValue(c)) / 2,
                                    (GetBValue(p) + GetBValue(c)) / 2));
    }
    if (!s.PatternBitmap && s.DrawingDC) {
        s.PatternBitmap.reset(CreateCompatibleBitmap(s.DrawingDC, 8, 8));
        s.PatternStale = 1;
    }
    if (s.PatternStale && s.DrawingDC) {
        MemoryDcHandle memory(CreateCompatibleDC(s.DrawingDC));
        if (memory) {
            const DcPaletteSelection palette(memory.get(), static_cast<HPALETTE>(s.PaletteHandle.get()));
            {
                DcSelection bitmap(memory.get(), s.PatternBitmap.get());
                for (int i = 0; i < 8; i += 2)
                    for (int j = 0; j < 8; j += 2) {
                        SetPixel(memory.get(), j, i, s.CurrentColourRef);
                        SetPixel(memory.get(), j + 1, i, s.PreviousColourRef);
                        SetPixel(memory.get(), j, i + 1, s.PreviousColourRef);
                        SetPixel(memory.get(), j + 1, i + 1, s.CurrentColourRef);
                    }
            }
            s.PatternStale = 0;
        }
    }
    return CreatePatternBrush(s.PatternBitmap.get());
}

void YYGdiSetColour(INTEGER index, INTEGER rgb)
{
    GdiDrawingState& s = gdi();
    s.PreviousColourRef = s.CurrentColourRef;
    if (s.EmfTarget) s.CurrentColourRef = colourRef(rgb);
    else if (s.PaletteHandle) s.CurrentColourRef = PALETTEINDEX(static_cast<WORD>(index & 0xFFFF));
    else if (s.DrawingDC) s.CurrentColourRef = GetNearestColor(s.DrawingDC, colourRef(rgb));
    else s.CurrentColourRef = colourRef(rgb);
    s.PatternStale = 1;
    YYGdiCreatePen();
}

void YYGdiEllipse(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER op, INTEGER mode)
{
    GdiDrawingState& s = gdi();
    if (!s.DrawingDC) return;
    ClipScope clip;
    GdiObjectHandle brush, pen;
    HGDIOBJ brushToUse = GetStockObject(NULL_BRUSH), penToUse = nullptr;
    if (op != 4) {
        if (mode == 3) {
            brush.reset(YYGdiHalftoneBrush());
            penToUse = GetStockObject(NULL_PEN);
        } else {
            brush.reset(CreateSolidBrush(s.CurrentColourRef));
            pen.reset(CreatePen(PS_SOLID, 1, s.CurrentColourRef));
            penToUse = pen.get();
        }
        brushToUse = brush.get();
    }
    DcSelection b(s.DrawingDC, brushToUse), p(s.DrawingDC, penToUse);
    const INTEGER c = (op != 4 && mode == 3) ? 3 : 2;
    Ellipse(s.DrawingDC, x - rx - 1, y - ry - 1, x + rx + c, y + ry + c);
}

void YYGdiRectangle(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom, INTEGER mode)
{
    GdiDrawingState& s = gdi();
    if (!s.DrawingDC) return;
    GdiObjectHandle brush(mode == 3 ? YYGdiHalftoneBrush() : CreateSolidBrush(s.CurrentColourRef));
    DcSelection b(s.DrawingDC, brush.get()), p(s.DrawingDC, GetStockObject(NULL_PEN));
    Rectangle(s.DrawingDC, left, top, right + 2, bottom + 2);
}

void YYGdiPie(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER xs, INTEGER ys, INTEGER xe, INTEGER ye, INTEGER mode)
{
    GdiDrawingState& s = gdi();
    if (!s.DrawingDC) return;
    ClipScope clip;
    GdiObjectHandle brush(mode == 3 ? YYGdiHalftoneBrush() : CreateSolidBrush(s.CurrentColourRef));
    GdiObjectHandle pen(mode == 3 ? nullptr : CreatePen(PS_SOLID, 1, s.CurrentColourRef));
    DcSelection b(s.DrawingDC, brush.get()), p(s.DrawingDC, pen ? pen.get() : GetStockObject(NULL_PEN));
    const INTEGER c = mode == 3 ? 3 : 2;
    Pie(s.DrawingDC, x - rx - 1, y - ry - 1, x + rx + c, y + ry + c, xs, ys, xe, ye);
}

void YYGdiPolygon(INTEGER n, INTEGER mode)
{
    GdiDrawingState& s = gdi();
    const INTEGER count = std::min<INTEGER>(n, static_cast<INTEGER>(s.PointBuffer.size()));
    if (!s.DrawingDC || count < 2) return;
    ClipScope clip;
    GdiObjectHandle brush(mode == 3 ? YYGdiHalftoneBrush() : CreateSolidBrush(s.CurrentColourRef));
    GdiObjectHandle pen((mode == 3 || s.RasterOp == R2_XORPEN) ? nullptr : CreatePen(PS_SOLID, 1, s.CurrentColourRef));
    DcSelection b(s.DrawingDC, brush.get()), p(s.DrawingDC, pen ? pen.get() : GetStockObject(NULL_PEN));
    Polygon(s.DrawingDC, s.PointBuffer.data(), count);
}

void YYGdiGradientTriangles(const INTEGER* xs, const INTEGER* ys, const INTEGER* colours, const INTEGER* triangles,
                            INTEGER n, INTEGER m, INTEGER& status)
{
    status = 1;
    GdiDrawingState& s = gdi();
    using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    const FARPROC entry = windowEngineState().GradientFill;
    if (!s.DrawingDC || !entry || n <= 0 || m <= 0) return;
    std::vector<TRIVERTEX> vertices(static_cast<std::size_t>(n));
    for (INTEGER i = 0; i < n; ++i) {
        const INTEGER c = colours[i];
        vertices[static_cast<std::size_t>(i)] = TRIVERTEX{xs[i], ys[i], static_cast<COLOR16>((c % 256) * 256),
                                                          static_cast<COLOR16>(((c / 256) % 256) * 256),
                                                          static_cast<COLOR16>(((c / 65536) % 256) * 256), 0};
    }
    std::vector<GRADIENT_TRIANGLE> mesh(static_cast<std::size_t>(m));
    for (INTEGER k = 0; k < m; ++k) {
        const auto vertex = [&](int j) {
            const INTEGER v = triangles[3 * k + j] - 1;
            return static_cast<ULONG>(std::clamp<INTEGER>(v, 0, n - 1));
        };
        mesh[static_cast<std::size_t>(k)] = GRADIENT_TRIANGLE{vertex(0), vertex(1), vertex(2)};
    }
    ClipScope clip;
    const auto fill = reinterpret_cast<GradientFillFunction>(reinterpret_cast<void*>(entry));
    status = fill(s.DrawingDC, vertices.data(), static_cast<ULONG>(n), mesh.data(), static_cast<ULONG>(m),
                  GRADIENT_FILL_TRIANGLE)
                 ? 0
                 : 1;
}

void YYGdiClear(INTEGER width, INTEGER height, INTEGER rgb)
{
    GdiDrawingState& s = gdi();
    if (!s.DrawingDC) return;
    COLORREF colour = colourRef(rgb);
    if (!s.EmfTarget) colour = s.PaletteHandle ? PALETTEINDEX(0) : GetNearestColor(s.DrawingDC, colourRef(rgb));
    GdiObjectHandle brush(CreateSolidBrush(colour));
    DcSelection b(s.DrawingDC, brush.get()), p(s.DrawingDC, GetStockObject(NULL_PEN));
    const int mix = SetROP2(s.DrawingDC, R2_COPYPEN);
    Rectangle(s.DrawingDC, 0, 0, width + 1, height + 1);
    SetROP2(s.DrawingDC, mix);
}

void YYGdiCreateFont(INTEGER& width, INTEGER& height, INTEGER& ascent, INTEGER angle, INTEGER variant, INTEGER style,
                     std::string_view faceName)
{
    GdiDrawingState& s = gdi();
    if (s.DrawingDC && s.PreviousFont) {
        SelectObject(s.DrawingDC, s.PreviousFont);
        s.PreviousFont = nullptr;
    }
    s.Font.reset();
    std::string face;
    DWORD charset = ANSI_CHARSET, family = 0;
    switch (variant) {
    case 1: face = "Courier New"; family = FF_MODERN; break;
    case 2: face = "Arial"; family = FF_SWISS; break;
    case 3: face = "Times New Roman"; family = FF_ROMAN; break;
    case 4: face = "Symbol"; family = FF_ROMAN; charset = SYMBOL_CHARSET; break;
    default: face = std::string(faceName.substr(0, LF_FACESIZE - 1)); charset = DEFAULT_CHARSET; break;
    }
    const int weight = (style & 1) ? 700 : 400;
    const DWORD italic = (style & 2) ? 1 : 0, underline = (style & 4) ? 1 : 0;
    // The cell size asked for; width and height answer the measured font afterwards.
    const int cellWidth = width, cellHeight = height;
    const auto create = [&](int escapement) {
        return CreateFontA(-cellHeight, cellWidth, escapement, escapement, weight, italic, underline, 0, charset, OUT_TT_PRECIS,
                           CLIP_LH_ANGLES, DEFAULT_QUALITY, family | VARIABLE_PITCH, face.c_str());
    };
    if (!s.DrawingDC) return;
    {
        GdiObjectHandle upright(create(0));
        DcSelection selected(s.DrawingDC, upright.get());
        TEXTMETRICA metrics{};
        GetTextMetricsA(s.DrawingDC, &metrics);
        height = metrics.tmHeight;
        ascent = metrics.tmAscent;
        SIZE extent{};
        GetTextExtentPoint32A(s.DrawingDC, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &extent);
        width = extent.cx;
    }
    s.Font.reset(create(angle * 10));
    s.PreviousFont = SelectObject(s.DrawingDC, s.Font.get());
}

void YYGdiText(INTEGER x1, INTEGER y1, INTEGER x3, INTEGER y3, INTEGER alignment, INTEGER opaque, std::string_view text,
               INTEGER length)
{
    GdiDrawingState& s = gdi();
    if (!s.DrawingDC || alignment < 0 || alignment > 2) return;
    const INTEGER n = std::clamp<INTEGER>(length, 0, static_cast<INTEGER>(text.size()));
    const COLORREF oldText = SetTextColor(s.DrawingDC, s.CurrentColourRef);
    const COLORREF oldBack = SetBkColor(s.DrawingDC, s.PreviousColourRef);
    const int oldMode = SetBkMode(s.DrawingDC, opaque ? OPAQUE : TRANSPARENT);
    UINT align = TA_BASELINE | TA_LEFT;
    INTEGER x = x1, y = y1;
    if (alignment == 1) {
        align = TA_BASELINE | TA_CENTER;
        x = static_cast<INTEGER>((static_cast<long long>(x1) + x3) / 2);
        y = static_cast<INTEGER>((static_cast<long long>(y1) + y3) / 2);
    } else if (alignment == 2) {
        align = TA_BASELINE | TA_RIGHT;
        x = x3;
        y = y3;
    }
    const UINT oldAlign = SetTextAlign(s.DrawingDC, align);
    TextOutA(s.DrawingDC, x, y, text.data(), n);
    SetTextAlign(s.DrawingDC, oldAlign);
    SetBkMode(s.DrawingDC, oldMode);
    SetBkColor(s.DrawingDC, oldBack);
    SetTextColor(s.DrawingDC, oldText);
}

void YYGdiCopyArea(INTEGER x, INTEGER y, INTEGER dx, INTEGER dy, INTEGER width, INTEGER height, INTEGER move,
                   INTEGER blank)
{
    GdiDrawingState& s = gdi();
    if (!s.DrawingDC || width <= 0 || height <= 0) return;
    DWORD rop = SRCCOPY;
    switch (s.RasterOp) {
    case R2_MERGEPEN: rop = SRCPAINT; break;
    case R2_MASKPEN: rop = SRCAND; break;
    case R2_XORPEN: rop = SRCINVERT; break;
    default: break;
    }
    {
        ClipScope clip;
        BitBlt(s.DrawingDC, dx, dy, width, height, s.DrawingDC, x, y, rop);
    }
    if (!move) return;
    // The uncovered part of the source: the source less its overlap with the destination.
    const RECT source{x, y, x + width, y + height}, target{dx, dy, dx + width, dy + height};
    GdiObjectHandle region(CreateRectRgnIndirect(&source)), covered(CreateRectRgnIndirect(&target));
    CombineRgn(static_cast<HRGN>(region.get()), static_cast<HRGN>(region.get()), static_cast<HRGN>(covered.get()), RGN_DIFF);
    GdiObjectHandle brush(CreateSolidBrush(colourRef(blank)));
    FillRgn(s.DrawingDC, static_cast<HRGN>(region.get()), static_cast<HBRUSH>(brush.get()));
}

void YYGdiClipRect(INTEGER left, INTEGER top, INTEGER right, INTEGER bottom)
{
    GdiDrawingState& s = gdi();
    s.ClipRegion.reset();
    if (bottom == -1) return;
    // A region excludes its right and bottom edges: widen it by one so the area's last column and
    // row are filled too.
    s.ClipRegion.reset(CreateRectRgn(left, top, right + 1, bottom + 1));
}

void YYGdiTextExtent(INTEGER& width, std::string_view text, INTEGER length)
{
    width = 0;
    GdiDrawingState& s = gdi();
    const INTEGER n = std::clamp<INTEGER>(length, 0, static_cast<INTEGER>(text.size()));
    if (!s.DrawingDC || n == 0) return;
    SIZE extent{};
    GetTextExtentPoint32A(s.DrawingDC, text.data(), n, &extent);
    width = extent.cx;
}

void YYGdiPixel(INTEGER x, INTEGER y)
{
    if (gdi().DrawingDC) SetPixel(gdi().DrawingDC, x, y, gdi().CurrentColourRef);
}

void YYGdiPlotMode(INTEGER mode)
{
    GdiDrawingState& s = gdi();
    switch (mode) {
    case 0: s.RasterOp = R2_COPYPEN; break;
    case 1: s.RasterOp = R2_MERGEPEN; break;
    case 2: s.RasterOp = R2_MASKPEN; break;
    case 3: s.RasterOp = R2_XORPEN; break;
    default: break;
    }
    if (s.DrawingDC) SetROP2(s.DrawingDC, s.RasterOp);
}

void YYGdiPaletteEntry(INTEGER slot, INTEGER rgb, INTEGER mode) { YYGdiPaletteSet(slot, rgb, mode); }

void YYGdiLineType(INTEGER lineType)
{
    static constexpr INTEGER kStyles[8] = {PS_SOLID, PS_DOT, PS_DASH, PS_DASHDOT, PS_DASHDOTDOT, PS_DASHDOT, PS_DASH, PS_DASHDOTDOT};
    GdiDrawingState& s = gdi();
    s.PenStyle = (lineType >= 0 && lineType <= 7) ? kStyles[lineType] : PS_SOLID;
    s.LineTypeInUse = lineType;
    YYGdiCreatePen();
}

void YYGdiLineWidth(INTEGER width)
{
    GdiDrawingState& s = gdi();
    s.PenWidth = std::max<INTEGER>(width, 1);
    YYScaleDashPatterns();
    YYGdiCreatePen();
}

void YYGdiReadPixel(INTEGER x, INTEGER y, INTEGER& r, INTEGER& g, INTEGER& b)
{
    const COLORREF c = gdi().DrawingDC ? GetPixel(gdi().DrawingDC, x, y) : CLR_INVALID;
    if (c == CLR_INVALID) {
        r = -1;
        return;
    }
    r = GetRValue(c);
    g = GetGValue(c);
    b = GetBValue(c);
}

void YYGdiPolyline(INTEGER n)
{
    GdiDrawingState& s = gdi();
    const INTEGER count = std::min<INTEGER>(n, static_cast<INTEGER>(s.PointBuffer.size()));
    if (!s.DrawingDC || count < 1) return;
    Polyline(s.DrawingDC, s.PointBuffer.data(), count);
    const POINT first = s.PointBuffer.front(), last = s.PointBuffer[static_cast<std::size_t>(count - 1)];
    if (s.PenStyle != 0 || (first.x == last.x && first.y == last.y)) return;
    if (s.RasterOp == R2_COPYPEN) SetPixel(s.DrawingDC, last.x, last.y, s.CurrentColourRef);
    else if (s.RasterOp != R2_XORPEN) {
        MoveToEx(s.DrawingDC, last.x, last.y, nullptr);
        LineTo(s.DrawingDC, last.x + 1, last.y);
    }
}

void YYGdiArc(INTEGER x, INTEGER y, INTEGER rx, INTEGER ry, INTEGER xs, INTEGER ys, INTEGER xe, INTEGER ye,
              INTEGER density, INTEGER style)
{
    GdiDrawingState& s = gdi();
    if (!s.DrawingDC) return;
    ClipScope clip;
    DcSelection b(s.DrawingDC, GetStockObject(NULL_BRUSH));
    if (density < 3 || style > 0) Pie(s.DrawingDC, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, xs, ys, xe, ye);
    else Arc(s.DrawingDC, x - rx - 1, y - ry - 1, x + rx + 2, y + ry + 2, xs, ys, xe, ye);
}

void YYGdiShadePixel(INTEGER x, INTEGER y, INTEGER rgb)
{
    GdiDrawingState& s = gdi();
    if (!s.DrawingDC) return;
    COLORREF c = colourRef(rgb);
    if (s.PaletteHandle)
        c = PALETTEINDEX(static_cast<WORD>(GetNearestPaletteIndex(static_cast<HPALETTE>(s.PaletteHandle.get()), c)));
    SetPixel(s.DrawingDC, x, y, c);
}

void YYGAPI(INTEGER op)
{
    GraphicsState& g = graphicsState();
    if (g.DrawableActive == 0 || op < 1 || op > 40) return;
    DriverParameterBlock& b = driverParameterBlock();
    const GraphicsTransform& t = graphicsTransform();
    GdiDrawingState& s = gdi();
    switch (op) {
    case OpInit: opInit(); break;
    case OpLine: YYGdiLine(b.IntX1, row(b.IntY1), b.IntX2, row(b.IntY2)); break;
    case OpColour: YYGdiSetColour(g.ColourDevice[1], g.ColourRGB[1]); break;
    case OpEllipse: YYGdiEllipse(b.IntX1, row(b.IntY1), b.IntX2, b.IntY2, 4, 0); break;
    case OpEllipseFill:
    case OpEllipseSolid: YYGdiEllipse(b.IntX1, row(b.IntY1), b.IntX2, b.IntY2, op, op - 2); break;
    case OpQuadFill:
    case OpQuadSolid: {
        YYPointBufferAlloc(4);
        const INTEGER xs[4] = {b.IntX1, b.IntX2, b.IntX3, b.IntX4}, ys[4] = {b.IntY1, b.IntY2, b.IntY3, b.IntY4};
        for (INTEGER i = 0; i < 4; ++i) YYPointBufferSet(xs[i], row(ys[i]), i);
        YYGdiPolygon(4, op - 4);
        YYPointBufferFree();
        break;
    }
    case OpRectangleFill:
    case OpRectangleSolid: YYGdiRectangle(b.IntX1, row(b.IntY2), b.IntX2, row(b.IntY1), op - 6); break;
    case OpTriangleFill:
    case OpTriangleSolid: {
        YYPointBufferAlloc(3);
        const INTEGER xs[3] = {b.IntX1, b.IntX2, b.IntX3}, ys[3] = {b.IntY1, b.IntY2, b.IntY3};
        for (INTEGER i = 0; i < 3; ++i) YYPointBufferSet(xs[i], row(ys[i]), i);
        YYGdiPolygon(3, op - 8);
        YYPointBufferFree();
        break;
    }
    case OpSectorFill:
    case OpSectorSolid: {
        INTEGER xs = 0, ys = 0, xe = 0, ye = 0;
        sectorPoints(xs, ys, xe, ye);
        YYGdiPie(b.IntX1, row(b.IntY1), YYDeviceTrunc(b.X2), YYDeviceTrunc(b.Y2), xs, ys, xe, ye, op - 10);
        break;
    }
    case OpPolygonFill:
    case OpPolygonSolid:
        pointBufferFromPolygon(b.Count);
        YYGdiPolygon(b.Count, op - 12);
        YYPointBufferFree();
        break;
    case OpClear: YYGdiClear(g.DrawableWidth, g.DrawableHeight, paletteZeroRgb()); break;
    case OpBeginOutput:
        s.FontCache = GdiFontCache{};
        s.PaletteBatchMode = 0;
        break;
    case OpEndPage: opEndPage(); break;
    case OpCharSize:
    case OpTextAngle: opFont(); break;
    case OpText: opText(); break;
    case OpCopyArea:
        if (g.DrawableKind == kDrawablePicture) break;
        YYPointBufferAlloc(6);
        YYGdiCopyArea(b.IntX1, row(b.IntY2), b.IntX3, row(b.IntY3 + b.IntY2 - b.IntY1), b.IntX2 - b.IntX1 + 1,
                      b.IntY2 - b.IntY1 + 1, b.Value, paletteZeroRgb());
        YYPointBufferFree();
        break;
    case OpClipArea:
        if (t.PixelXMin == 0 && t.PixelYMin == 0 && t.PixelXMax == g.DrawableWidth - 1 &&
            t.PixelYMax == g.DrawableHeight - 1 && g.DrawableKind != kDrawableDialogField)
            YYGdiClipRect(0, 0, 0, -1);
        else
            YYGdiClipRect(t.PixelXMin, row(t.PixelYMax), t.PixelXMax, row(t.PixelYMin));
        break;
    case OpTextWidth: {
        INTEGER width = 0;
        YYGdiTextExtent(width, stringWorkBuffer().view(), std::clamp<INTEGER>(b.Value, 0, 260));
        b.X1 = static_cast<REAL>(width);
        b.Count = 1;
        break;
    }
    case OpPoint: YYGdiPixel(b.IntX1, row(b.IntY1)); break;
    case OpPlotMode: YYGdiPlotMode(g.PlotMode); break;
    case OpPaletteEntry: opPaletteEntry(); break;
    case OpLineType: YYGdiLineType(g.LineType); break;
    case OpLineWidth: {
        INTEGER w = g.LineWidth;
        if (g.DrawableKind == kDrawablePicture)
            w = screenOutputHooks().pictureSlotPenWidth
                    ? screenOutputHooks().pictureSlotPenWidth(g.DrawableId, g.MetafileLineWidth)
                    : 1;
        YYGdiLineWidth(w);
        break;
    }
    case OpReadPixel:
        if (g.DrawableKind == kDrawablePicture) {
            b.IntX1 = -1;
            break;
        }
        YYGdiReadPixel(b.IntX1, row(b.IntY1), b.IntX1, b.IntX2, b.IntX3);
        if (b.IntX1 != -1) b.IntX1 = b.IntX3 * 65536 + b.IntX2 * 256 + b.IntX1;
        break;
    case OpPolyline:
        pointBufferFromPolygon(b.Count);
        YYGdiPolyline(b.Count);
        YYPointBufferFree();
        break;
    case OpArc: {
        INTEGER xs = 0, ys = 0, xe = 0, ye = 0;
        sectorPoints(xs, ys, xe, ye);
        YYGdiArc(b.IntX1, row(b.IntY1), YYDeviceTrunc(b.X2), YYDeviceTrunc(b.Y2), xs, ys, xe, ye, g.HatchDensity,
                 g.FillStyle);
        break;
    }
    case OpColourRestore: opColourRestore(); break;
    case OpImage: opImage(); break;
    case OpShadedPolygon: {
        YYShadedPolygonPixels([](REAL x) { return YYDeviceFloor(x); }, [](REAL y) { return row(YYDeviceFloor(y)); });
        YYShadedPolygonFill(deviceCapabilityTable().ShadeFillLevel[0], t.PixelXMin, row(t.PixelYMax), t.PixelXMax,
                            row(t.PixelYMin), &YYGdiShadePixel, &YYGdiGradientTriangles);
        break;
    }
    default: break;  // 19, 36, 37, 39: nothing for the screen
    }
}

void YYScreenDriverInstall() { driverHooks().ScreenDriver = &YYGAPI; }

void WindowClearArea(std::optional<INTEGER> x1, std::optional<INTEGER> y1, std::optional<INTEGER> x2,
                     std::optional<INTEGER> y2, std::optional<INTEGER> colour)
{
    const WindowEngineState& e = windowEngineState();
    YYRasterRectangle(x1.value_or(0), y1.value_or(0), x2.value_or(e.ClientWidth - 1), y2.value_or(e.ClientHeight - 1),
                      colour.value_or(-1));
}

namespace {

INTEGER systemColour(INTEGER code)
{
    const COLORREF c = GetSysColor(code == 45 ? COLOR_WINDOWTEXT : COLOR_WINDOW);
    return static_cast<INTEGER>(c & 0xFFFFFF);
}

void windowSize(INTEGER& width, INTEGER& height)
{
    width = windowEngineState().ClientWidth;
    height = windowEngineState().ClientHeight;
}

}  // namespace

void YYWindowDrawableInstall()
{
    DrawableHooks& hooks = drawableHooks();
    hooks.releaseDrawingDC = &YYReleaseDrawingDC;
    hooks.windowSetCurrent = &WindowSetCurrent;
    hooks.currentWindowSize = &windowSize;
    hooks.winTextScale = &YYWinTextScale;
    hooks.systemColour = &systemColour;
    gdiDrawingState().DisplayColours = windowEngineState().DisplayColours;
}
