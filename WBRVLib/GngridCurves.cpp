// Frame mapping, curves, clipping and zoom: the curve half of the graph-frame module.
#include "WBRVLib/Gngrid.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "WBRVLib/Brvl95.h"
#include "WBRVLib/Plotxy.h"

namespace {

constexpr REAL kMissingAbove = 1.0E10f;

// A sample the curve plotters skip with the pen lifted: the missing-value mark and anything that
// is not a finite number (a NaN would otherwise map to the frame corner).
bool missingSample(REAL v) { return !std::isfinite(v) || v > kMissingAbove; }

// Window units (0..9999, y down) to absolute page inches.
REAL windowToPageX(INTEGER ix) { return static_cast<REAL>(ix) * 10.0f / 10000.0f; }
REAL windowToPageY(INTEGER iy) { return static_cast<REAL>(10000 - iy) * 8.0f / 10000.0f; }

REAL powerOfTen(INTEGER k) { return static_cast<REAL>(std::pow(10.0, static_cast<double>(k))); }

// The figure of one symbol kind, drawn with a move and a draw routine.
template <typename Move, typename Draw>
void symbolFigure(INTEGER kind, bool flag, REAL x, REAL y, REAL w, REAL h, Move move, Draw draw)
{
    auto square = [&] {
        move(x - w, y - h);
        draw(x + w, y - h);
        draw(x + w, y + h);
        draw(x - w, y + h);
        draw(x - w, y - h);
    };
    auto diamond = [&] {
        move(x - w, y);
        draw(x, y - h);
        draw(x + w, y);
        draw(x, y + h);
        draw(x - w, y);
    };
    auto plus = [&] {
        move(x - w, y);
        draw(x + w, y);
        move(x, y - h);
        draw(x, y + h);
    };
    auto cross = [&] {
        move(x - w, y + h);
        draw(x + w, y - h);
        move(x - w, y - h);
        draw(x + w, y + h);
    };
    switch (kind) {
    case kSymbolSquare: square(); break;
    case kSymbolDiamond: diamond(); break;
    case kSymbolPlus: plus(); break;
    case kSymbolCross: cross(); break;
    case kSymbolSquareCross: square(); cross(); break;
    case kSymbolDiamondSquare: diamond(); square(); break;
    case kSymbolPlusDiamond: plus(); diamond(); break;
    case kSymbolCrossPlus: cross(); plus(); break;
    case kSymbolTriangle:
        move(x - w, y - h);
        draw(x + w, y - h);
        draw(x, y + h);
        draw(x - w, y - h);
        break;
    case kSymbolTriangleBelowBase:
        move(x - w, y + 2 * h);
        draw(x + w, y + 2 * h);
        draw(x, y);
        draw(x - w, y + 2 * h);
        break;
    case kSymbolTriangleLeftBase:
        move(x - 2 * w, y + h);
        draw(x, y);
        draw(x - 2 * w, y - h);
        draw(x - 2 * w, y + h);
        break;
    default:
        if (flag)
            diamond();
        else
            square();
        break;
    }
    move(x, y);
}

// The curve entries differ in clipping, pen lifts and colours.
enum class CurveMode { Plain, Xor, Direct, NoLift, Sign };

INTEGER alternateColour(INTEGER colour) { return colour >= 11 ? colour - 1 : colour + 1; }

void plotCurve(const REAL* x, const REAL* y, INTEGER n, bool symbols, GraphFrameRecord& frame, CurveMode mode)
{
    CurvePlotState& state = curvePlotState();
    switch (mode) {
    case CurveMode::Plain:
    case CurveMode::Sign: state.ColourAlternation = false; break;
    case CurveMode::Xor:
    case CurveMode::NoLift: state.ColourAlternation = true; break;
    case CurveMode::Direct: break;
    }
    const REAL area = (frame.ClipHighY - frame.ClipLowY) * (frame.ClipHighX - frame.ClipLowX);
    if (std::isnan(area) || std::fabs(area) <= 0.0f || n <= 0) return;
    REAL factor = GET_BOX();
    if (!(factor > 0.0f)) factor = 0.01f;
    const REAL size = std::min(std::sqrt(std::fabs(area) + 1e-30f) * factor, 0.03f);
    if (!(mode == CurveMode::Direct && symbols)) PCLIP(frame.ClipLowX, frame.ClipHighX, frame.ClipLowY, frame.ClipHighY);

    INTEGER startColour = 15;
    GET_PEN(startColour);
    const INTEGER otherColour = alternateColour(startColour);
    INTEGER colour = startColour;
    const bool alternates = state.ColourAlternation && L_XOR() != kFalse && mode != CurveMode::Sign;
    REAL pixel = 0.0f, shift = 0.0f;
    if (alternates) {
        REAL x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        XYIPIX(x1, y1, 1, 1);
        XYIPIX(x2, y2, 2, 2);
        pixel = std::fabs(y2 - y1);
    }
    const bool lifts = mode != CurveMode::NoLift && !isTrue(frame.ConnectReversals);
    const bool rising = x[n - 1] > x[0], falling = x[n - 1] < x[0];

    INTEGER pen = kPenMove;
    for (INTEGER i = 0; i < n; ++i) {
        if (missingSample(x[i]) || missingSample(y[i])) {
            pen = kPenMove;
            continue;
        }
        const REAL px = PLOFX(x[i], frame);
        const REAL py = PLOFY(y[i], frame) + shift;
        const bool inside = 0.99f * px <= frame.ClipHighX && 0.99f * frame.ClipLowX <= px &&
                            0.99f * py <= frame.ClipHighY && 0.99f * frame.ClipLowY <= py;
        if (symbols) {
            if (inside) {
                const bool flag = (y[i] < 0.0f && isTrue(frame.LogY)) || isTrue(frame.AlternateSymbols);
                if (mode == CurveMode::Sign) SET_PEN(flag ? otherColour : startColour);
                BOX(px, py, size, size, toLogical(flag), frame);
            }
        } else {
            if (mode == CurveMode::Sign) {
                const INTEGER wanted = y[i] < 0.0f ? otherColour : y[i] > 0.0f ? startColour : colour;
                if (wanted != colour) {
                    colour = wanted;
                    SET_PEN(colour);
                }
            }
            if (mode == CurveMode::Direct) {
                if (inside) {
                    PLOTXY(px, py, pen, frame);
                    pen = kPenDraw;
                } else {
                    pen = kPenMove;
                }
            } else {
                PLOTCP(px, py, pen, frame);
                pen = kPenDraw;
            }
        }
        // Lifts where x turns back, so that the branches of a folded curve stay separate, and
        // after a repeated x (the last point has no successor to compare).
        if (!(mode == CurveMode::NoLift) && i > 0 && i < n - 1 && lifts) {
            const bool turn = (rising && x[i] > x[i - 1] && x[i] > x[i + 1]) ||
                              (falling && x[i] < x[i - 1] && x[i] < x[i + 1]);
            if (turn) {
                pen = kPenMove;
                if (alternates) {
                    colour = colour == startColour ? otherColour : startColour;
                    SET_PEN(colour);
                    shift = shift > 0.0f ? -pixel : pixel;
                }
            }
        }
        if (mode != CurveMode::NoLift && i < n - 1 && x[i] == x[i + 1]) pen = kPenMove;
    }
    if (alternates || mode == CurveMode::Sign || mode == CurveMode::NoLift) SET_PEN(startColour);
}

// The bounds DS_PLOT keeps its dash ends within.
struct DashBounds {
    REAL LowX, HighX, LowY, HighY;
    bool holds(double x, double y) const { return LowX <= x && x <= HighX && LowY <= y && y <= HighY; }
};

DashBounds dashBounds(const GraphFrameRecord& frame)
{
    const ClipWindowState& clip = clipWindowState();
    if (isTrue(clip.NoBounds)) return {-1e10f, 1e10f, -1e10f, 1e10f};
    if (isTrue(clip.ClippingOn)) return {clip.LowX, clip.HighX, clip.LowY, clip.HighY};
    return {frame.ClipLowX, frame.ClipHighX, frame.ClipLowY, frame.ClipHighY};
}

// The walk of one DS_PLOT call: the remaining dash and gap lengths and the phase start afresh
// with every call, the current position is module state.
class DashWalk {
public:
    DashWalk(REAL dash, REAL gap, const DashBounds& bounds, GraphFrameRecord& frame)
        : dash_(std::max(dash, 0.0f)), gap_(std::max(gap, 0.0f)), bounds_(bounds), frame_(frame)
    {
    }

    // The walk from the current position to (px, py).
    void segment(double px, double py)
    {
        CurvePlotState& state = curvePlotState();
        double cx = state.DashX, cy = state.DashY;
        const double dx = px - cx, dy = py - cy;
        // A repeated point has no direction: nothing to draw, the pattern goes on at the next.
        if (dx * dx + dy * dy <= 1e-30) return;
        const double period = static_cast<double>(dash_) + static_cast<double>(gap_);
        const double length = std::sqrt(dx * dx + dy * dy);
        if (period <= 0.0) {
            // Without a pattern the curve is drawn solid (the walk would never advance).
            solid(cx, cy, px, py);
        } else if (length > kMaxPeriods * period) {
            // A position far off the page: only the part near the bounds can show, and walking
            // the rest piece by piece would take forever.
            REAL x1 = static_cast<REAL>(cx), y1 = static_cast<REAL>(cy);
            REAL x2 = static_cast<REAL>(px), y2 = static_cast<REAL>(py);
            LOGICAL visible = kFalse;
            CLIPLN(x1, y1, x2, y2, std::max(bounds_.LowX, -kFar), std::min(bounds_.HighX, kFar),
                   std::max(bounds_.LowY, -kFar), std::min(bounds_.HighY, kFar), visible);
            if (isTrue(visible)) {
                const double part = std::hypot(static_cast<double>(x2 - x1), static_cast<double>(y2 - y1));
                if (part > kMaxPeriods * period)
                    solid(x1, y1, x2, y2);
                else if (part > 0.0)
                    walk(x1, y1, x2, y2);
            }
        } else {
            walk(cx, cy, px, py);
        }
        state.DashX = static_cast<REAL>(px);
        state.DashY = static_cast<REAL>(py);
    }

private:
    static constexpr double kMaxPeriods = 100000.0;
    static constexpr REAL kFar = 100.0f;

    void move(double x, double y) { PLOTXY(static_cast<REAL>(x), static_cast<REAL>(y), kPenMove, frame_); }
    void reach(double x, double y)
    {
        PLOTXY(static_cast<REAL>(x), static_cast<REAL>(y), bounds_.holds(x, y) ? kPenDraw : kPenMove, frame_);
    }
    void solid(double x1, double y1, double x2, double y2)
    {
        move(x1, y1);
        reach(x2, y2);
    }
    void walk(double cx, double cy, double px, double py)
    {
        double d = std::hypot(px - cx, py - cy);
        const double ux = (px - cx) / d, uy = (py - cy) / d;
        while (d > 0.0) {
            if (inDash_) {
                if (d >= remainingDash_) {
                    move(cx, cy);
                    cx += remainingDash_ * ux;
                    cy += remainingDash_ * uy;
                    reach(cx, cy);
                    d -= remainingDash_;
                    remainingDash_ = dash_;
                    inDash_ = false;
                } else {
                    // A dash cut by the end of the segment is not continued into the next one.
                    cx += d * ux;
                    cy += d * uy;
                    reach(cx, cy);
                    d = 0.0;
                }
            } else if (d >= remainingGap_) {
                cx += remainingGap_ * ux;
                cy += remainingGap_ * uy;
                move(cx, cy);
                d -= remainingGap_;
                remainingGap_ = gap_;
                inDash_ = true;
            } else {
                // An unfinished gap carries its remainder into the next segment.
                remainingGap_ -= d;
                d = 0.0;
            }
        }
    }

    double dash_, gap_;
    DashBounds bounds_;
    GraphFrameRecord& frame_;
    double remainingDash_ = 0.0, remainingGap_ = 0.0;
    bool inDash_ = true;
};

void dashedCurve(const REAL* x, const REAL* y, INTEGER n, REAL dash, REAL gap, GraphFrameRecord& frame, bool mapped)
{
    DashWalk walk(dash, gap, dashBounds(frame), frame);
    CurvePlotState& state = curvePlotState();
    bool started = false;
    for (INTEGER i = 0; i < n; ++i) {
        if (missingSample(x[i]) || missingSample(y[i])) {
            // The curve resumes at the next sample, as at the first.
            started = false;
            continue;
        }
        const REAL px = mapped ? PLOFX(x[i], frame) : x[i];
        const REAL py = mapped ? PLOFY(y[i], frame) : y[i];
        if (!std::isfinite(px) || !std::isfinite(py)) {
            started = false;
            continue;
        }
        if (!started) {
            state.DashX = px;
            state.DashY = py;
            started = true;
            continue;
        }
        walk.segment(px, py);
    }
}

// Nice limits for one axis between two data values, keeping the axis' page length.
void zoomAxis(REAL a, REAL b, bool logarithmic, bool keepReversed, REAL& length, REAL& first, REAL& step,
              INTEGER& steps, INTEGER& minor)
{
    const REAL total = static_cast<REAL>(steps) * length;
    const REAL low = std::min(a, b), high = std::max(a, b);
    if (logarithmic) {
        INTEGER e1 = 0, e2 = 0;
        LOGNX(low, high, e1, e2);
        minor = e1;
        steps = std::max(e2 - e1, 1);
    } else {
        const bool reversed = step < 0.0f;
        LINNX(low, high, first, step, steps, minor);
        if (keepReversed && reversed) {
            first = static_cast<REAL>(steps) * step + first;
            step = -std::fabs(step);
        }
    }
    if (steps != 0) length = total / static_cast<REAL>(steps);
}

}  // namespace

ClipWindowState& clipWindowState()
{
    static ClipWindowState state;
    return state;
}

CurvePlotState& curvePlotState()
{
    static CurvePlotState state;
    return state;
}

// ---- mapping ---------------------------------------------------------------------------------

REAL PLOFX(REAL x, const GraphFrameRecord& frame)
{
    if (std::isnan(x)) return 0.0f;
    if (isTrue(frame.LogX)) {
        REAL length = frame.LengthX;
        if (frame.ScaleX > 0.0f) length *= frame.ScaleX;
        return std::log10(std::fabs(x) + 1e-20f) * length + frame.OffsetX;
    }
    return frame.ScaleX * x + frame.OffsetX;
}

REAL PLOFY(REAL y, const GraphFrameRecord& frame)
{
    if (std::isnan(y)) return 0.0f;
    if (isTrue(frame.LogY)) {
        REAL length = frame.LengthY;
        if (frame.ScaleY > 0.0f) length *= frame.ScaleY;
        return std::log10(std::fabs(y) + 1e-20f) * length + frame.OffsetY;
    }
    return frame.ScaleY * y + frame.OffsetY;
}

void PLOF_XY(REAL x, REAL y, REAL& px, REAL& py, const GraphFrameRecord& frame)
{
    px = PLOFX(x, frame);
    py = PLOFY(y, frame);
}

REAL XOFPL(REAL px, const GraphFrameRecord& frame)
{
    const REAL u = px - frame.OffsetX - frame.OriginX;
    if (isTrue(frame.LogX)) {
        REAL length = frame.LengthX;
        if (frame.ScaleX > 0.0f) length *= frame.ScaleX;
        return std::pow(10.0f, u / length);
    }
    return u / frame.ScaleX;
}

REAL YOFPL(REAL py, const GraphFrameRecord& frame)
{
    const REAL u = py - frame.OffsetY - frame.OriginY;
    if (isTrue(frame.LogY)) {
        REAL length = frame.LengthY;
        if (frame.ScaleY > 0.0f) length *= frame.ScaleY;
        return std::pow(10.0f, u / length);
    }
    return u / frame.ScaleY;
}

namespace {
bool withinAxis(REAL v, bool logarithmic, REAL first, REAL step, INTEGER steps, INTEGER firstExponent)
{
    if (logarithmic) return powerOfTen(firstExponent) <= v && v <= powerOfTen(firstExponent + steps);
    const REAL last = first + step * static_cast<REAL>(steps);
    return std::min(first, last) <= v && v <= std::max(first, last);
}
}  // namespace

LOGICAL LINGRAPH(REAL x, REAL y, const GraphFrameRecord& frame)
{
    return toLogical(withinAxis(x, isTrue(frame.LogX), frame.FirstTickX, frame.StepX, frame.StepsX, frame.MinorX) &&
                     withinAxis(y, isTrue(frame.LogY), frame.FirstTickY, frame.StepY, frame.StepsY, frame.MinorY));
}

// ---- symbols ---------------------------------------------------------------------------------

void BOX(REAL x, REAL y, REAL w, REAL h, LOGICAL flag, GraphFrameRecord& frame)
{
    symbolFigure(
        frame.SymbolKind, isTrue(flag), x, y, w, h, [&](REAL a, REAL b) { PLOTXY(a, b, kPenMove, frame); },
        [&](REAL a, REAL b) { PLOTXY(a, b, kPenDraw, frame); });
}

void BOX_CP(REAL x, REAL y, REAL w, REAL h, LOGICAL flag, GraphFrameRecord& frame)
{
    symbolFigure(
        frame.SymbolKind, isTrue(flag), x, y, w, h, [&](REAL a, REAL b) { PLOTCP(a, b, kPenMove, frame); },
        [&](REAL a, REAL b) { PLOTCP(a, b, kPenDraw, frame); });
}

void SET_SYMB(INTEGER kind, GraphFrameRecord& frame) { frame.SymbolKind = kind; }

// ---- clipping --------------------------------------------------------------------------------

LOGICAL PCLIP(REAL xLow, REAL xHigh, REAL yLow, REAL yHigh)
{
    ClipWindowState& clip = clipWindowState();
    clip.LowX = xLow;
    clip.HighX = xHigh;
    clip.LowY = yLow;
    clip.HighY = yHigh;
    clip.ClippingOn = kTrue;
    clip.NoBounds = kFalse;
    return kTrue;
}

LOGICAL PCLIPOFF()
{
    ClipWindowState& clip = clipWindowState();
    clip.ClippingOn = kFalse;
    clip.NoBounds = kTrue;
    return kTrue;
}

void PLOTCP(REAL x, REAL y, INTEGER pen, GraphFrameRecord& frame)
{
    ClipWindowState& clip = clipWindowState();
    if (isTrue(clip.ClippingOn) && (pen == kPenDraw || pen == kPenMove)) {
        const bool inside = clip.LowX <= x && x <= clip.HighX && clip.LowY <= y && y <= clip.HighY;
        if (pen == kPenMove) {
            if (inside) PLOTXY(x, y, kPenMove, frame);
        } else if (inside && isTrue(clip.LastInside)) {
            PLOTXY(x, y, kPenDraw, frame);
        } else {
            REAL x1 = clip.LastX, y1 = clip.LastY, x2 = x, y2 = y;
            LOGICAL visible = kFalse;
            CLIPLN(x1, y1, x2, y2, clip.LowX, clip.HighX, clip.LowY, clip.HighY, visible);
            if (isTrue(visible)) {
                if (!isTrue(clip.LastInside)) PLOTXY(x1, y1, kPenMove, frame);
                PLOTXY(x2, y2, kPenDraw, frame);
            }
        }
        clip.LastX = x;
        clip.LastY = y;
        clip.LastInside = toLogical(inside);
        return;
    }
    if (pen == kPenStart) clip.ClippingOn = kFalse;
    if (pen == kPenDraw || pen == kPenMove) {
        clip.LastX = x;
        clip.LastY = y;
        clip.LastInside = kTrue;
    }
    PLOTXY(x, y, pen, frame);
}

void CLIP2(REAL& x1, REAL& y1, REAL& x2, REAL& y2, REAL bound, LOGICAL lowSide, LOGICAL& visible)
{
    visible = kTrue;
    auto onBound = [&](REAL xa, REAL ya) { return ya + (bound - xa) * (y2 - y1) / (x2 - x1); };
    if (isTrue(lowSide)) {
        if (x1 < bound) {
            if (x2 < bound) {
                visible = kFalse;
                return;
            }
            y1 = onBound(x1, y1);
            x1 = bound;
        } else if (x2 < bound) {
            y2 = onBound(x1, y1);
            x2 = bound;
        }
    } else {
        if (x1 < bound) {
            if (x2 >= bound) {
                y2 = onBound(x1, y1);
                x2 = bound;
            }
        } else {
            if (x2 >= bound) {
                visible = kFalse;
                return;
            }
            y1 = onBound(x1, y1);
            x1 = bound;
        }
    }
}

void CLIPLN(REAL& x1, REAL& y1, REAL& x2, REAL& y2, REAL xLow, REAL xHigh, REAL yLow, REAL yHigh, LOGICAL& visible)
{
    REAL a1 = x1, b1 = y1, a2 = x2, b2 = y2;
    CLIP2(a1, b1, a2, b2, xLow, kTrue, visible);
    if (isTrue(visible)) CLIP2(a1, b1, a2, b2, xHigh, kFalse, visible);
    if (isTrue(visible)) CLIP2(b1, a1, b2, a2, yLow, kTrue, visible);
    if (isTrue(visible)) CLIP2(b1, a1, b2, a2, yHigh, kFalse, visible);
    if (!isTrue(visible)) return;
    x1 = a1;
    y1 = b1;
    x2 = a2;
    y2 = b2;
}

// ---- curves ----------------------------------------------------------------------------------

void GNPLOT(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame)
{
    plotCurve(x, y, n, isTrue(symbols), frame, CurveMode::Plain);
}

void GNPLOTXOR(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame)
{
    plotCurve(x, y, n, isTrue(symbols), frame, CurveMode::Xor);
}

void GNPLOTDIRECT(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame)
{
    plotCurve(x, y, n, isTrue(symbols), frame, CurveMode::Direct);
}

void GNPLOTNOLIFT(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame)
{
    plotCurve(x, y, n, isTrue(symbols), frame, CurveMode::NoLift);
}

void GNPLOTSIGN(const REAL* x, const REAL* y, INTEGER n, LOGICAL symbols, GraphFrameRecord& frame)
{
    plotCurve(x, y, n, isTrue(symbols), frame, CurveMode::Sign);
}

void GN_MOVE(REAL x, REAL y, GraphFrameRecord& frame) { PLOTXY(PLOFX(x, frame), PLOFY(y, frame), kPenMove, frame); }
void GN_DRAW(REAL x, REAL y, GraphFrameRecord& frame) { PLOTXY(PLOFX(x, frame), PLOFY(y, frame), kPenDraw, frame); }
void GN_BOX(REAL x, REAL y, GraphFrameRecord& frame) { GNPLOT(&x, &y, 1, kTrue, frame); }
void GN_SYMB(const REAL* x, const REAL* y, INTEGER n, GraphFrameRecord& frame) { GNPLOT(x, y, n, kTrue, frame); }

void DS_PLOT(const REAL* x, const REAL* y, INTEGER n, REAL dash, REAL gap, GraphFrameRecord& frame)
{
    dashedCurve(x, y, n, dash, gap, frame, true);
}

void DS_PLOTP(const REAL* x, const REAL* y, INTEGER n, REAL dash, REAL gap, GraphFrameRecord& frame)
{
    dashedCurve(x, y, n, dash, gap, frame, false);
}

void DSPLOT(const REAL* x, const REAL* y, INTEGER n, REAL dash, REAL gap, GraphFrameRecord& frame)
{
    if (n <= 0) return;
    INTEGER start = 0, direction = 0;
    for (INTEGER i = 1; i < n; ++i) {
        const INTEGER s = x[i] > x[i - 1] ? 1 : x[i] < x[i - 1] ? -1 : 0;
        if (s == 0) continue;
        if (direction != 0 && s != direction) {
            DS_PLOT(x + start, y + start, i - start, dash, gap, frame);
            start = i - 1;
        }
        direction = s;
    }
    DS_PLOT(x + start, y + start, n - start, dash, gap, frame);
}

// ---- fills and further curve forms -----------------------------------------------------------

void GNFILL(REAL x1, REAL y1, REAL x2, REAL y2, REAL, INTEGER colour, GraphFrameRecord& frame)
{
    if (frame.ClipLowX < frame.ClipHighX) {
        x1 = std::clamp(x1, frame.ClipLowX, frame.ClipHighX);
        x2 = std::clamp(x2, frame.ClipLowX, frame.ClipHighX);
    }
    if (frame.ClipLowY < frame.ClipHighY) {
        y1 = std::clamp(y1, frame.ClipLowY, frame.ClipHighY);
        y2 = std::clamp(y2, frame.ClipLowY, frame.ClipHighY);
    }
    if (isTrue(LNLYEQ(x1, x2)) || isTrue(LNLYEQ(y1, y2))) return;
    FILLBOX(x1, y1, x2, y2, x2 - x1, colour);
}

void PAGECLEAR() { FILLBOX(0.0f, 0.0f, 10.0f, 8.0f, 10.0f, 15); }

void GNPOLYFILL(const REAL* x, const REAL* y, INTEGER n, INTEGER colour, GraphFrameRecord& frame)
{
    if (n <= 0) return;
    std::vector<REAL> px(static_cast<std::size_t>(n)), py(static_cast<std::size_t>(n));
    const REAL loX = std::min(frame.ClipLowX + 0.01f, frame.ClipHighX - 0.01f);
    const REAL hiX = std::max(frame.ClipLowX + 0.01f, frame.ClipHighX - 0.01f);
    const REAL loY = std::min(frame.ClipLowY + 0.01f, frame.ClipHighY - 0.01f);
    const REAL hiY = std::max(frame.ClipLowY + 0.01f, frame.ClipHighY - 0.01f);
    for (INTEGER i = 0; i < n; ++i) {
        px[static_cast<std::size_t>(i)] = std::clamp(PLOFX(x[i], frame), loX, hiX);
        py[static_cast<std::size_t>(i)] = std::clamp(PLOFY(y[i], frame), loY, hiY);
    }
    FILLPOLY(px.data(), py.data(), n, colour);
}

namespace {
// A data point mapped into the frame's clip limits (missing samples are never inside).
bool insideClip(REAL x, REAL y, const GraphFrameRecord& frame, REAL& px, REAL& py)
{
    if (missingSample(x) || missingSample(y)) return false;
    px = PLOFX(x, frame);
    py = PLOFY(y, frame);
    return frame.ClipLowX <= px && px <= frame.ClipHighX && frame.ClipLowY <= py && py <= frame.ClipHighY;
}

void symbolOfKind(INTEGER kind, REAL px, REAL py, REAL size, GraphFrameRecord& frame)
{
    const INTEGER kept = frame.SymbolKind;
    frame.SymbolKind = kind;
    BOX(px, py, size, size, kFalse, frame);
    frame.SymbolKind = kept;
}

REAL smallSymbolSize(const GraphFrameRecord& frame)
{
    const REAL area = std::fabs((frame.ClipHighY - frame.ClipLowY) * (frame.ClipHighX - frame.ClipLowX));
    return std::min(0.01f * std::sqrt(area), 0.03f);
}
}  // namespace

void GNPLTS(const REAL* x, const REAL* y, const REAL* sizes, const LOGICAL* flags, INTEGER n, GraphFrameRecord& frame)
{
    for (INTEGER i = 0; i < n; ++i) {
        REAL px = 0, py = 0;
        if (!insideClip(x[i], y[i], frame, px, py)) continue;
        REAL size = isTrue(frame.LogY) ? std::log10(std::fabs(sizes[i]) + 1e-20f) * frame.LengthY
                                       : sizes[i] * frame.ScaleY;
        size = std::fabs(size);
        if (!(size >= 0.025f)) size = 0.025f;
        symbolOfKind(isTrue(flags[i]) ? kSymbolCross : frame.SymbolKind, px, py, size, frame);
    }
}

void GNPLTM(const REAL* x, const REAL* y, INTEGER n, const LOGICAL* flags, GraphFrameRecord& frame)
{
    const REAL size = smallSymbolSize(frame);
    for (INTEGER i = 0; i < n; ++i) {
        REAL px = 0, py = 0;
        if (!insideClip(x[i], y[i], frame, px, py)) continue;
        symbolOfKind(isTrue(flags[i]) ? kSymbolCross : kSymbolSquare, px, py, size, frame);
    }
}

void GNPLTL(const REAL* x, const REAL* y, INTEGER n, const INTEGER* codes, const INTEGER* colours, LOGICAL symbols,
            GraphFrameRecord& frame)
{
    const REAL size = smallSymbolSize(frame);
    INTEGER pen = kPenMove;
    for (INTEGER i = 0; i < n; ++i) {
        REAL px = 0, py = 0;
        if (!insideClip(x[i], y[i], frame, px, py)) continue;
        if (codes[i] >= 0) SET_PEN(colours[codes[i] % 5]);
        if (isTrue(symbols)) {
            BOX(px, py, size, size, kFalse, frame);
        } else {
            PLOTXY(px, py, pen, frame);
            pen = kPenDraw;
        }
    }
}

void GNPLTLM(const REAL* x, const REAL* y, INTEGER n, const INTEGER* codes, const INTEGER* colours,
             const LOGICAL* flags, GraphFrameRecord& frame)
{
    const REAL size = smallSymbolSize(frame);
    for (INTEGER i = 0; i < n; ++i) {
        REAL px = 0, py = 0;
        if (!insideClip(x[i], y[i], frame, px, py)) continue;
        if (codes[i] >= 0) SET_PEN(colours[codes[i] % 15]);
        symbolOfKind(isTrue(flags[i]) ? kSymbolCross : frame.SymbolKind, px, py, size, frame);
    }
}

void DRAWANGLINE(GraphFrameRecord& frame, REAL slope)
{
    // Inches per axis unit: the decade length on a logarithmic axis, the scale on a linear one.
    const REAL perX = isTrue(frame.LogX) ? frame.LengthX : frame.ScaleX;
    const REAL perY = isTrue(frame.LogY) ? frame.LengthY : frame.ScaleY;
    if (!(std::fabs(perX) > 0.0f)) return;
    const REAL pageSlope = slope * perY / perX;
    const REAL cx = 0.5f * (frame.ClipLowX + frame.ClipHighX), cy = 0.5f * (frame.ClipLowY + frame.ClipHighY);
    const REAL halfWidth = std::fabs(frame.ClipHighX - frame.ClipLowX);
    REAL x1 = cx - halfWidth, y1 = cy - pageSlope * halfWidth, x2 = cx + halfWidth, y2 = cy + pageSlope * halfWidth;
    if (!std::isfinite(y1) || !std::isfinite(y2)) return;
    LOGICAL visible = kFalse;
    CLIPLN(x1, y1, x2, y2, std::min(frame.ClipLowX, frame.ClipHighX), std::max(frame.ClipLowX, frame.ClipHighX),
           std::min(frame.ClipLowY, frame.ClipHighY), std::max(frame.ClipLowY, frame.ClipHighY), visible);
    if (!isTrue(visible)) return;
    PLOTXY(x1, y1, kPenMove, frame);
    PLOTXY(x2, y2, kPenDraw, frame);
}

// ---- window positions and zoom ---------------------------------------------------------------

void LINEBACK(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2, REAL& x1, REAL& y1, REAL& x2, REAL& y2,
              const GraphFrameRecord& frame)
{
    x1 = XOFPL(windowToPageX(ix1), frame);
    y1 = YOFPL(windowToPageY(iy1), frame);
    x2 = XOFPL(windowToPageX(ix2), frame);
    y2 = YOFPL(windowToPageY(iy2), frame);
}

void ZOOMBOX(INTEGER ix1, INTEGER iy1, INTEGER ix2, INTEGER iy2, GraphFrameRecord& frame)
{
    REAL x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    LINEBACK(ix1, iy1, ix2, iy2, x1, y1, x2, y2, frame);
    zoomAxis(x1, x2, isTrue(frame.LogX), true, frame.LengthX, frame.FirstTickX, frame.StepX, frame.StepsX,
             frame.MinorX);
    zoomAxis(y1, y2, isTrue(frame.LogY), true, frame.LengthY, frame.FirstTickY, frame.StepY, frame.StepsY,
             frame.MinorY);
    FINDASX(frame);
    FINDASY(frame);
}

void ZOOMBOXX(INTEGER ix1, INTEGER ix2, GraphFrameRecord& frame)
{
    const REAL x1 = XOFPL(windowToPageX(ix1), frame), x2 = XOFPL(windowToPageX(ix2), frame);
    zoomAxis(x1, x2, isTrue(frame.LogX), false, frame.LengthX, frame.FirstTickX, frame.StepX, frame.StepsX,
             frame.MinorX);
    FINDASX(frame);
}

void ZOOMBOXZ(INTEGER iy1, INTEGER iy2, GraphFrameRecord& frame)
{
    const REAL y1 = YOFPL(windowToPageY(iy1), frame), y2 = YOFPL(windowToPageY(iy2), frame);
    zoomAxis(y1, y2, isTrue(frame.LogY), false, frame.LengthY, frame.FirstTickY, frame.StepY, frame.StepsY,
             frame.MinorY);
    FINDASY(frame);
}

void GTODPL(const GraphFrameRecord& frame)
{
    SavedAxisFields& s = curvePlotState().Saved;
    s = {frame.LengthX, frame.LengthY, frame.FirstTickX, frame.FirstTickY, frame.StepX, frame.StepY,
         frame.OffsetX, frame.OffsetY, frame.ScaleX, frame.ScaleY, frame.StepsX, frame.StepsY,
         frame.MinorX, frame.MinorY};
}

void DPLTOG(GraphFrameRecord& frame)
{
    const SavedAxisFields& s = curvePlotState().Saved;
    frame.LengthX = s.LengthX;
    frame.LengthY = s.LengthY;
    frame.FirstTickX = s.FirstTickX;
    frame.FirstTickY = s.FirstTickY;
    frame.StepX = s.StepX;
    frame.StepY = s.StepY;
    frame.OffsetX = s.OffsetX;
    frame.OffsetY = s.OffsetY;
    frame.ScaleX = s.ScaleX;
    frame.ScaleY = s.ScaleY;
    frame.StepsX = s.StepsX;
    frame.StepsY = s.StepsY;
    frame.MinorX = s.MinorX;
    frame.MinorY = s.MinorY;
}

void GET_WSCL(REAL& sx, REAL& sy, const GraphFrameRecord& frame)
{
    sx = isTrue(frame.LogX) ? 1.0f : frame.StepX / frame.LengthX;
    sy = isTrue(frame.LogY) ? 1.0f : frame.StepY / frame.LengthY;
}

void GRFCUR(REAL x, REAL y, GraphFrameRecord& frame)
{
    const CurvePlotState& state = curvePlotState();
    const REAL px = PLOFX(x, frame), py = PLOFY(y, frame);
    INTEGER pen = 15;
    GET_PEN(pen);
    XORSAVE();
    XORON();
    SET_PEN(state.CursorColour);
    PLOTXY(px, py - state.CursorSizeY, kPenMove, frame);
    PLOTXY(px, py + state.CursorSizeY, kPenDraw, frame);
    PLOTXY(px - state.CursorSizeX, py, kPenMove, frame);
    PLOTXY(px + state.CursorSizeX, py, kPenDraw, frame);
    XORRESTORE();
    SET_PEN(pen);
}

void SETCURSIZE(REAL sx, REAL sy)
{
    CurvePlotState& state = curvePlotState();
    state.CursorSizeX = sx > 0.0f ? sx : 0.3f;
    state.CursorSizeY = sy > 0.0f ? sy : 0.3f;
}

void SETCURMODE(INTEGER colour) { curvePlotState().CursorColour = colour; }
