#include "toolkit/graphics/FillPrimitives.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/ShadedPolygons.h"

HardcopyFillState& hardcopyFillState()
{
    static HardcopyFillState state;
    return state;
}

namespace {

struct HatchSpacing {
    REAL stepX = 1, stepY = 1;
    INTEGER gridX = 1, gridY = 1;
    REAL inset = 0;
    bool serpentine = false;
};

HatchSpacing spacingFor(INTEGER layer)
{
    HatchSpacing h;
    YYHatchSpacing(layer, graphicsState().HatchDensity, h.stepX, h.stepY, h.gridX, h.gridY, h.inset, h.serpentine);
    return h;
}

// The largest multiple of the grid not above the value truncated toward zero.
REAL gridStart(REAL value, INTEGER grid)
{
    const long long v = YYDeviceTrunc(value), g = std::max(grid, 1);
    long long q = v / g;
    if (v % g != 0 && v < 0) --q;
    return static_cast<REAL>(q * g);
}

// Runs t over a family of lines from m to M; a step below a thousandth of the span cannot be
// meant and would take forever, so such a family is drawn at that thousandth.
void family(REAL start, REAL step, REAL m, REAL M, const std::function<void(REAL)>& line)
{
    if (!(step > 0.0f) || !std::isfinite(m) || !std::isfinite(M)) return;
    step = std::max(step, (M - m) / 100000.0f);
    for (REAL t = std::max(start, m); t <= M; t = std::max(t + step, m)) line(t);
}

bool outsideDeviceArea(REAL xmin, REAL xmax, REAL ymin, REAL ymax)
{
    const GraphicsTransform& t = graphicsTransform();
    return ymax < t.DeviceYMin || ymin > t.DeviceYMax || xmin > t.DeviceXMax || xmax < t.DeviceXMin;
}

// What one shape contributes to the common fill protocol.
struct Shape {
    INTEGER oddCode = 0;
    std::function<void()> fillBlock;
    std::function<void()> outline;
    std::function<void(INTEGER layer, INTEGER style, INTEGER direction)> lineFill;
};

void fillProtocol(const Shape& shape)
{
    GraphicsState& g = graphicsState();
    shape.fillBlock();
    INTEGER style = g.FillStyle, direction = g.HatchDirection;
    const bool deviceFill = g.FillStyle >= 3;
    if (deviceFill) {
        INTEGER code = shape.oddCode + (g.FillStyle - 3);
        YYHalftoneOp(shape.oddCode + 1, code);
        YYDriverCurrent(code);
        if (g.LayerFillRequest[0] == 0 && g.HardcopyActive <= 0) return;
        style = 1;
        direction = 3;
    }
    if (g.HardcopyActive > 0) {
        shape.fillBlock();  // the screen driver may have used the block
        YYDriverHardcopy(shape.oddCode);
    }
    const INTEGER savedDrawable = g.DrawableActive, savedHardcopy = g.HardcopyActive;
    for (INTEGER layer = 1; layer <= 2; ++layer) {
        const std::size_t k = static_cast<std::size_t>(layer - 1);
        const bool wanted = !(deviceFill && g.LayerFillRequest[k] == 0) &&
                            (layer == 1 ? savedDrawable != 0 : savedHardcopy > 0);
        if (wanted) {
            if (layer == 1) {
                g.DrawableActive = savedDrawable;
                g.HardcopyActive = 0;
            } else {
                g.HardcopyActive = 1;
                g.DrawableActive = 0;
            }
            if (!deviceFill && g.FillOutline != 0) shape.outline();
            if (style == 1 || style == 2) shape.lineFill(layer, style, direction);
        }
        g.LayerFillRequest[k] = 0;
    }
    g.DrawableActive = savedDrawable;
    g.HardcopyActive = savedHardcopy;
    driverParameterBlock().Value = -1;
    YYDriverHardcopy(shape.oddCode);
}

// Either side of a crossing, the part of lo..hi that the two sides leave.
void spanBetween(REAL a, REAL b, REAL lo, REAL hi, bool aLowSide, bool bLowSide, REAL& from, REAL& to)
{
    const bool aIn = a >= lo && a <= hi, bIn = b >= lo && b <= hi;
    if (aIn && bIn) { from = std::min(a, b); to = std::max(a, b); }
    else if (aIn) { from = aLowSide ? lo : a; to = aLowSide ? a : hi; }
    else if (bIn) { from = bLowSide ? lo : b; to = bLowSide ? b : hi; }
    else { from = lo; to = hi; }
}

// A halftone fill hatches twice: the lines at the first offset, then, once YYHalftoneColours has
// switched the colours, the lines between them at the second offset, and the colours go back.
// draw(offset) hatches one family of lines; false from the first family ends the fill there.
template <class Draw>
bool halftoneHatch(INTEGER layer, REAL first, REAL second, Draw draw)
{
    if (!draw(first)) return false;
    INTEGER pass = 1;
    YYHalftoneColours(layer, pass);
    if (pass == 2) {
        draw(second);
        YYHalftoneColours(layer, pass);
    }
    return true;
}

void trapezium(REAL x1, REAL y1, REAL x2, REAL y2, REAL w1, REAL w2, INTEGER type)
{
    if ((type == 1 && x2 < x1) || (type == 2 && y2 < y1)) {
        YYSwapReal(x1, x2);
        YYSwapReal(y1, y2);
    }
    if (type == 1 || type == 2) {
        if (w2 <= 0.0f || w1 <= 0.0f) {
            YYErrorReport(21, "IGrTrapezium");
            return;
        }
        if ((type == 1 && x1 == x2) || (type == 2 && y1 == y2)) {
            YYErrorReport(22, "IGrTrapezium");
            return;
        }
    }
    std::array<REAL, 4> X{}, Y{};
    YYUnitsToDevice(x1, y1, X[0], Y[0]);
    YYUnitsToDevice(x2, y2, X[2], Y[2]);
    if (type == 1) {
        YYUnitsToDevice(x2, y2 - w2, X[1], Y[1]);
        YYUnitsToDevice(x1, y1 + w1, X[3], Y[3]);
    } else {
        YYUnitsToDevice(x1 + w1, y1, X[1], Y[1]);
        YYUnitsToDevice(x2 - w2, y2, X[3], Y[3]);
    }
    const REAL xmin = *std::min_element(X.begin(), X.end()), xmax = *std::max_element(X.begin(), X.end());
    const REAL ymin = *std::min_element(Y.begin(), Y.end()), ymax = *std::max_element(Y.begin(), Y.end());
    if (!outsideDeviceArea(xmin, xmax, ymin, ymax)) {
        Shape shape;
        shape.oddCode = OpQuadFill;
        shape.fillBlock = [&] {
            DriverParameterBlock& b = driverParameterBlock();
            b.X1 = X[0]; b.Y1 = Y[0]; b.X2 = X[1]; b.Y2 = Y[1]; b.X3 = X[2]; b.Y3 = Y[2]; b.X4 = X[3]; b.Y4 = Y[3];
            b.IntX1 = YYDeviceTrunc(X[0]); b.IntY1 = YYDeviceTrunc(Y[0]);
            b.IntX2 = YYDeviceTrunc(X[1]); b.IntY2 = YYDeviceTrunc(Y[1]);
            b.IntX3 = YYDeviceTrunc(X[2]); b.IntY3 = YYDeviceTrunc(Y[2]);
            b.IntX4 = YYDeviceTrunc(X[3]); b.IntY4 = YYDeviceTrunc(Y[3]);
            b.Value = type;
        };
        shape.outline = [&] {
            for (int i = 0; i < 4; ++i) YYLineDevice(X[i], Y[i], X[(i + 1) % 4], Y[(i + 1) % 4]);
        };
        shape.lineFill = [&](INTEGER layer, INTEGER style, INTEGER direction) {
            const HatchSpacing h = spacingFor(layer);
            if ((direction == 1 || direction == 2) && w1 != w2) direction = 3;
            const REAL in = h.inset;
            if (direction == 1 || direction == 2) {
                if (type == 1)
                    family(gridStart(Y[0], h.gridY) + h.stepY, h.stepY, Y[0], Y[3], [&](REAL t) {
                        YYLineDevice(X[0] + in, t, X[1] - in, t + Y[2] - Y[3]);
                    });
                else
                    family(gridStart(X[0], h.gridX) + h.stepX, h.stepX, X[0], X[1], [&](REAL t) {
                        YYLineDevice(t, Y[0] + in, t + X[2] - X[1], Y[3] - in);
                    });
            }
            const bool sideways = direction == 1 || direction == 2;
            const auto horizontal = [&](REAL offset) {
                family(gridStart(ymin, h.gridY) + offset, h.stepY, ymin, ymax, [&](REAL t) {
                    REAL from = xmin, to = xmax;
                    if (type == 1) {
                        spanBetween(YYClipIntersectX(X[0], Y[0], X[1], Y[1], t), YYClipIntersectX(X[3], Y[3], X[2], Y[2], t),
                                    xmin, xmax, Y[0] <= Y[1], Y[3] >= Y[2], from, to);
                    } else {
                        from = YYClipIntersectX(X[0], Y[0], X[3], Y[3], t);
                        to = YYClipIntersectX(X[1], Y[1], X[2], Y[2], t);
                        if (from > to) std::swap(from, to);
                        from = std::max(from, xmin);
                        to = std::min(to, xmax);
                    }
                    YYLineDevice(from + in, t, to - in, t);
                });
            };
            if ((direction == 3 || style == 2) && !(type == 1 && sideways)) {
                halftoneHatch(layer, h.stepY, 1.5f * h.stepY, [&](REAL offset) {
                    horizontal(offset);
                    return true;
                });
            }
            if ((direction == 4 || style == 2) && !(type != 1 && sideways)) {
                family(gridStart(xmin, h.gridX) + h.stepX, h.stepX, xmin, xmax, [&](REAL t) {
                    REAL from = ymin, to = ymax;
                    if (type == 1) {
                        from = YYClipIntersectY(X[0], Y[0], X[1], Y[1], t);
                        to = YYClipIntersectY(X[3], Y[3], X[2], Y[2], t);
                        if (from > to) std::swap(from, to);
                        from = std::max(from, ymin);
                        to = std::min(to, ymax);
                    } else {
                        spanBetween(YYClipIntersectY(X[0], Y[0], X[3], Y[3], t), YYClipIntersectY(X[1], Y[1], X[2], Y[2], t),
                                    ymin, ymax, X[0] <= X[3], X[1] >= X[2], from, to);
                    }
                    YYLineDevice(t, from + in, t, to - in);
                });
            }
        };
        fillProtocol(shape);
    }
    IGrPenMove(x1, y1);
}

// One family of lines across a triangle whose corners are sorted by the scan coordinate (u);
// draw(u, from, to) draws one line across at u.
void triangleFamily(std::array<REAL, 3> u, std::array<REAL, 3> v, INTEGER grid, REAL step, REAL offset, REAL inset,
                    bool serpentine, const std::function<void(REAL, REAL, REAL)>& draw)
{
    bool forward = true;
    family(gridStart(u[0], grid) + offset, step, u[0], u[2], [&](REAL t) {
        REAL a = 0, b = 0;
        if (t == u[1] && u[1] == u[2]) {
            a = v[1];
            b = v[2];
        } else {
            a = YYClipIntersectX(v[0], u[0], v[2], u[2], t);
            b = t < u[1] ? YYClipIntersectX(v[0], u[0], v[1], u[1], t) : YYClipIntersectX(v[1], u[1], v[2], u[2], t);
        }
        const REAL lo = std::min(a, b) + inset, hi = std::max(a, b) - inset;
        if (serpentine) {
            if (forward) draw(t, lo, hi);
            else draw(t, hi, lo);
            forward = !forward;
        } else {
            draw(t, hi, lo);
        }
    });
}

void sortBy(std::array<REAL, 3>& key, std::array<REAL, 3>& other)
{
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < 2; ++i)
            if (key[static_cast<std::size_t>(i)] > key[static_cast<std::size_t>(i + 1)]) {
                std::swap(key[static_cast<std::size_t>(i)], key[static_cast<std::size_t>(i + 1)]);
                std::swap(other[static_cast<std::size_t>(i)], other[static_cast<std::size_t>(i + 1)]);
            }
}

// Polygon line fill in scan passes; returns false after error 49.
bool scanPass(const std::vector<REAL>& px, const std::vector<REAL>& py, INTEGER layer, bool vertical, REAL offset,
              REAL step)
{
    struct Edge { REAL low, high, other, inverse; };
    const std::size_t n = px.size();
    const std::vector<REAL>& scan = vertical ? px : py;
    const std::vector<REAL>& across = vertical ? py : px;
    std::vector<Edge> edges;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        if (scan[i] == scan[j]) continue;
        const std::size_t lo = scan[i] < scan[j] ? i : j, hi = lo == i ? j : i;
        edges.push_back(Edge{scan[lo], scan[hi], across[lo], (across[hi] - across[lo]) / (scan[hi] - scan[lo])});
    }
    if (edges.empty()) return true;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.low < b.low; });
    REAL first = *std::min_element(scan.begin(), scan.end());
    const REAL last = *std::max_element(scan.begin(), scan.end());
    if (layer == 1) first = static_cast<REAL>(YYDeviceTrunc(first)) + (first < 0.0f ? -0.5f : 0.5f);
    bool ok = true;
    std::vector<REAL> crossings;
    family(first + offset, step, first + offset, last, [&](REAL s) {
        if (!ok) return;
        crossings.clear();
        for (const Edge& e : edges) {
            if (e.low > s) break;
            if (e.high <= s) continue;
            if (crossings.size() >= 99) {
                ok = false;
                return;
            }
            crossings.push_back((s - e.low) * e.inverse + e.other);
        }
        if (crossings.size() % 2 == 1 || crossings.empty()) return;
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k < crossings.size(); k += 2) {
            REAL from = crossings[k], to = crossings[k + 1];
            if (!vertical && k + 2 < crossings.size()) {
                const bool join = layer == 1 ? YYDeviceTrunc(to) == YYDeviceTrunc(crossings[k + 2])
                                             : to == crossings[k + 2];
                if (join) {
                    to = crossings[k + 3];
                    k += 2;
                }
            }
            if (vertical) YYLineDevice(s, from, s, to);
            else YYLineDevice(from, s, to, s);
        }
    });
    if (!ok) YYErrorReport(49, "YYPLYGON");
    return ok;
}

}  // namespace

void YYSwapReal(REAL& a, REAL& b) { std::swap(a, b); }

void IGrFillStyle(INTEGER style, std::optional<INTEGER> density, std::optional<INTEGER> direction)
{
    GraphicsState& g = graphicsState();
    g.FillOutline = 1;
    if (style >= -2 && style <= 4) {
        g.FillStyle = style < 0 ? -style : style;
        g.FillOutline = style >= 0 ? 1 : 0;
    } else {
        g.FillStyle = 0;
    }
    const INTEGER d = density.value_or(0), r = direction.value_or(0);
    g.HatchDensity = (d >= 1 && d <= 5) ? d : 2;
    g.HatchDirection = (r >= 1 && r <= 4) ? r : 3;
}

void YYHatchSpacing(INTEGER layer, INTEGER density, REAL& stepX, REAL& stepY, INTEGER& gridX, INTEGER& gridY,
                    REAL& inset, bool& serpentine)
{
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    const INTEGER d = std::clamp(density, 1, 5);
    const INTEGER p = 1 << (d - 1);
    inset = (layer == 1 && g.PlotMode != 0) ? 1.0f : 0.0f;
    serpentine = layer == 2 && g.FillStyle < 3;
    if (layer == 1) {
        if (g.FillStyle < 3) {
            gridY = std::max(2, g.DrawableHeight / (20 + 10 * p));
            gridX = std::max(2, g.DrawableWidth / (10 + 10 * 2 * p));
        } else {
            gridY = (g.FillStyle == 3 && g.LayerFillRequest[0] == 2) ? 2 : 1;
            gridX = gridY;
        }
        stepY = static_cast<REAL>(gridY);
        stepX = static_cast<REAL>(gridX);
        return;
    }
    if (g.FillStyle < 3) {
        stepY = t.HardcopyYExtent / static_cast<REAL>(20 + 10 * p);
        stepX = t.HardcopyXExtent / static_cast<REAL>(10 + 10 * 2 * p);
    } else {
        stepY = stepX = hardcopyFillState().HardcopyFillSpacing;
    }
    gridY = YYDeviceTrunc(std::max(stepY, 1.0f));
    gridX = YYDeviceTrunc(std::max(stepX, 1.0f));
}

void YYHalftoneOp(INTEGER solid, INTEGER& code)
{
    const GraphicsState& g = graphicsState();
    if (g.FillStyle != 3) return;
    const bool same = g.DeviceColours > 2 ? g.ColourDevice[0] == g.ColourDevice[1]
                      : g.ColourModel == kRgbMode ? g.ColourRGB[0] == g.ColourRGB[1]
                                                  : g.ColourIndex[0] == g.ColourIndex[1];
    if (same) code = solid;
}

void YYHalftoneColours(INTEGER layer, INTEGER& pass)
{
    GraphicsState& g = graphicsState();
    static std::array<INTEGER, 3> savedPrevious{}, savedCurrent{};
    if (g.FillStyle != 3 || layer < 1 || layer > 2 || g.LayerFillRequest[static_cast<std::size_t>(layer - 1)] != 2) return;
    if (pass == 1) {
        const INTEGER c = layer == 1 ? g.DeviceColours : hardcopyFillState().HardcopyColours;
        if (c == 1) return;
        savedPrevious = {g.ColourIndex[0], g.ColourRGB[0], g.ColourDevice[0]};
        savedCurrent = {g.ColourIndex[1], g.ColourRGB[1], g.ColourDevice[1]};
        if (c == 2 && g.ColourIndex[1] != 0) YYColourTriple(0, 0, 0, layer);
        else YYColourTriple(savedPrevious[0], savedPrevious[1], savedPrevious[2], layer);
        pass = 2;
    } else if (pass == 2) {
        g.ColourIndex[1] = savedPrevious[0];
        g.ColourRGB[1] = savedPrevious[1];
        g.ColourDevice[1] = savedPrevious[2];
        YYColourTriple(savedCurrent[0], savedCurrent[1], savedCurrent[2], layer);
        pass = 3;
    }
}

void IGrTrapezium(REAL x1, REAL y1, REAL x2, REAL y2, REAL w, INTEGER type) { trapezium(x1, y1, x2, y2, w, w, type); }

void IGrTrapeziumWidths(REAL x1, REAL y1, REAL x2, REAL y2, REAL w1, REAL w2, INTEGER type)
{
    trapezium(x1, y1, x2, y2, w1, w2, type);
}

void IGrTrapeziumRelative(REAL dx, REAL dy, REAL w, INTEGER type) { IGrTrapeziumRelativeWidths(dx, dy, w, w, type); }

void IGrTrapeziumRelativeWidths(REAL dx, REAL dy, REAL w1, REAL w2, INTEGER type)
{
    const GraphicsTransform& t = graphicsTransform();
    const REAL x = t.CurrentPointX, y = t.CurrentPointY;
    trapezium(x, y, x + dx, y + dy, w1, w2, type);
}

void IGrTriangle(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3)
{
    GraphicsState& g = graphicsState();
    if ((x1 == x2 && x2 == x3) || (y1 == y2 && y2 == y3)) {
        if (g.FillOutline != 0) YYErrorReport(22, "IGrTriangle");
        return;
    }
    std::array<REAL, 3> X{}, Y{};
    YYUnitsToDevice(x1, y1, X[0], Y[0]);
    YYUnitsToDevice(x2, y2, X[1], Y[1]);
    YYUnitsToDevice(x3, y3, X[2], Y[2]);
    sortBy(Y, X);
    const REAL xmin = *std::min_element(X.begin(), X.end()), xmax = *std::max_element(X.begin(), X.end());
    if (!outsideDeviceArea(xmin, xmax, Y[0], Y[2])) {
        Shape shape;
        shape.oddCode = OpTriangleFill;
        shape.fillBlock = [&] {
            DriverParameterBlock& b = driverParameterBlock();
            b.X1 = X[0]; b.Y1 = Y[0]; b.X2 = X[1]; b.Y2 = Y[1]; b.X3 = X[2]; b.Y3 = Y[2];
            b.IntX1 = YYDeviceTrunc(X[0]); b.IntY1 = YYDeviceTrunc(Y[0]);
            b.IntX2 = YYDeviceTrunc(X[1]); b.IntY2 = YYDeviceTrunc(Y[1]);
            b.IntX3 = YYDeviceTrunc(X[2]); b.IntY3 = YYDeviceTrunc(Y[2]);
            b.Value = 1;
        };
        shape.outline = [&] {
            YYLineDevice(X[0], Y[0], X[1], Y[1]);
            YYLineDevice(X[1], Y[1], X[2], Y[2]);
            YYLineDevice(X[2], Y[2], X[0], Y[0]);
        };
        shape.lineFill = [&](INTEGER layer, INTEGER style, INTEGER direction) {
            const HatchSpacing h = spacingFor(layer);
            if (direction != 4 || style == 2) {
                const auto horizontal = [&](REAL offset) {
                    triangleFamily(Y, X, h.gridY, h.stepY, offset, h.inset, h.serpentine,
                                   [](REAL t, REAL a, REAL b) { YYLineDevice(a, t, b, t); });
                };
                halftoneHatch(layer, h.stepY, 1.5f * h.stepY, [&](REAL offset) {
                    horizontal(offset);
                    return true;
                });
            }
            if (direction == 4 || style == 2) {
                std::array<REAL, 3> u = X, v = Y;
                sortBy(u, v);
                triangleFamily(u, v, h.gridX, h.stepX, h.stepX, h.inset, h.serpentine,
                               [](REAL t, REAL a, REAL b) { YYLineDevice(t, a, t, b); });
            }
        };
        fillProtocol(shape);
    }
    IGrPenMove(x1, y1);
}

void IGrTriangleRelative(REAL dx1, REAL dy1, REAL dx2, REAL dy2)
{
    const GraphicsTransform& t = graphicsTransform();
    const REAL x = t.CurrentPointX, y = t.CurrentPointY;
    IGrTriangle(x, y, x + dx1, y + dy1, x + dx2, y + dy2);
    IGrPenMove(x, y);
}

void YYPLYGON(const REAL* x, const REAL* y, INTEGER n, INTEGER device)
{
    if (n >= 2 && x && y) {
        if (x[n - 1] == x[0] && y[n - 1] == y[0]) --n;
        std::vector<REAL> px(static_cast<std::size_t>(n)), py(static_cast<std::size_t>(n));
        for (INTEGER i = 0; i < n; ++i) {
            if (device != 0) {
                px[static_cast<std::size_t>(i)] = x[i];
                py[static_cast<std::size_t>(i)] = y[i];
            } else {
                YYUnitsToDevice(x[i], y[i], px[static_cast<std::size_t>(i)], py[static_cast<std::size_t>(i)]);
            }
        }
        const REAL xmin = *std::min_element(px.begin(), px.end()), xmax = *std::max_element(px.begin(), px.end());
        const REAL ymin = *std::min_element(py.begin(), py.end()), ymax = *std::max_element(py.begin(), py.end());
        if (n >= 2 && !outsideDeviceArea(xmin, xmax, ymin, ymax)) {
            Shape shape;
            shape.oddCode = OpPolygonFill;
            shape.fillBlock = [&] {
                DriverParameterBlock& b = driverParameterBlock();
                b.PolygonX = px;
                b.PolygonY = py;
                b.Count = n;
                b.IntX1 = YYDeviceTrunc(px[0]);
                b.IntY1 = YYDeviceTrunc(py[0]);
                b.IntX2 = YYDeviceTrunc(xmin);
                b.IntY2 = YYDeviceTrunc(ymin);
                b.IntX3 = YYDeviceTrunc(xmax);
                b.IntY3 = YYDeviceTrunc(ymax);
                b.Value = 1;
            };
            shape.outline = [&] {
                for (std::size_t i = 0; i < px.size(); ++i) {
                    const std::size_t j = (i + 1) % px.size();
                    YYLineDevice(px[i], py[i], px[j], py[j]);
                }
            };
            shape.lineFill = [&](INTEGER layer, INTEGER style, INTEGER direction) {
                const HatchSpacing h = spacingFor(layer);
                const bool horizontalPass = style == 2 || direction != 4;
                const bool verticalPass = style == 2 || direction == 4;
                if (horizontalPass && !halftoneHatch(layer, 0.0f, 0.5f * h.stepY, [&](REAL offset) {
                        return scanPass(px, py, layer, false, offset, h.stepY);
                    }))
                    return;
                if (verticalPass) scanPass(px, py, layer, true, 0.0f, h.stepX);
            };
            fillProtocol(shape);
            std::vector<REAL>().swap(driverParameterBlock().PolygonX);
            std::vector<REAL>().swap(driverParameterBlock().PolygonY);
        }
    }
    if (device == 0 && n >= 1 && x && y) IGrPenMove(x[0], y[0]);
}

void IGrPolygonDecomposed(const REAL* x, const REAL* y, INTEGER n)
{
    if (n <= 2 || !x || !y) return;
    GraphicsState& g = graphicsState();
    INTEGER count = 0;
    if (g.FillStyle >= 1) {
        std::vector<INTEGER> triangles(static_cast<std::size_t>(3 * (n - 2)));
        YYPolygonDecompose(x, y, n, triangles.data(), count);
        const INTEGER outline = g.FillOutline;
        g.FillOutline = 0;
        for (INTEGER k = 0; k < count; ++k) {
            const auto at = [&](int j) { return static_cast<std::size_t>(triangles[static_cast<std::size_t>(3 * k + j)] - 1); };
            IGrTriangle(x[at(0)], y[at(0)], x[at(1)], y[at(1)], x[at(2)], y[at(2)]);
        }
        g.FillOutline = outline;
    }
    if ((g.FillStyle == 0 || (g.FillStyle < 3 && count > 0)) && g.FillOutline != 0) {
        IGrPenMove(x[0], y[0]);
        for (INTEGER i = 1; i < n; ++i) IGrPenDraw(x[i], y[i]);
        if (x[n - 1] != x[0] || y[n - 1] != y[0]) IGrPenDraw(x[0], y[0]);
    }
    IGrPenMove(x[0], y[0]);
}
