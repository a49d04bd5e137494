// Graph frames and axes, nice axis limits and the mapping constants of a frame.
#include "WBRVLib/Gngrid.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include "WBRVLib/Brvl95.h"
#include "WBRVLib/Plotxy.h"
#include "WBRVLib/Strings.h"

namespace {

// Real to integer toward zero; a NaN gives 0 and values beyond the integer range are clamped,
// where a plain conversion would be undefined.
INTEGER truncated(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<INTEGER>(v);
}

void line(GraphFrameRecord& frame, REAL x1, REAL y1, REAL x2, REAL y2)
{
    PLOTXY(x1, y1, kPenMove, frame);
    PLOTXY(x2, y2, kPenDraw, frame);
}

void widenLeft(REAL x) { gridExtentState().LeftmostX = std::min(gridExtentState().LeftmostX, x); }
void widenRight(REAL x) { gridExtentState().RightmostX = std::max(gridExtentState().RightmostX, x); }
void widenLow(REAL y) { gridExtentState().LowestY = std::min(gridExtentState().LowestY, y); }

// The number text of a linear axis: MAKNUM with the tick's decimals, trailing zeros and then a
// trailing point removed. Returns the characters to draw.
INTEGER axisNumber(REAL value, REAL first, REAL step, bool linearSeries, std::string& text)
{
    INTEGER decimals = JSIG(value);
    if (linearSeries && first != 0.0f && std::fabs(step / first) < 100.0f) ++decimals;
    if (decimals < 0) decimals = 0;
    MAKNUM(value, text, 20, decimals);
    INTEGER n = decimals;
    NTRAIL(text, n, '0');
    NTRAIL(text, n, '.');
    return n;
}

// 10^k for a decade label in the plain range -3..3, with its decimals.
INTEGER decadeNumber(INTEGER k, std::string& text)
{
    const REAL value = std::pow(10.0f, static_cast<REAL>(k));
    INTEGER decimals = k < 0 ? -k : JSIG(value);
    MAKNUM(value, text, 20, decimals);
    return decimals;
}

// Numbers of linear axes and the "10" of a power along a horizontal axis are drawn 1.5 times the
// number size, plain decade numbers 1.3 times.
constexpr REAL kTallestNumber = 1.5f;

// A power of ten outside the plain range, written as "10" with its exponent as a superscript: the
// exponent starts where the "10" ends and its centre line lies a little over half the height of
// the "10" above the "10"'s own, so that the two read as one number.
struct PowerOfTen {
    std::string Exponent;
    INTEGER ExponentLength = 0;
    REAL BaseHeight = 0, ExponentHeight = 0;
    REAL BaseWidth = 0, ExponentWidth = 0;
    REAL width() const { return BaseWidth + ExponentWidth; }
};
constexpr REAL kExponentRaise = 0.55f;  // of the base height, centre line to centre line

PowerOfTen powerOfTen(INTEGER k, REAL baseHeight, REAL exponentHeight)
{
    PowerOfTen p;
    INTEGER n = -1;  // the integer without its decimal point
    MAKNUM(static_cast<REAL>(k), p.Exponent, 20, n);
    p.ExponentLength = n;
    p.BaseHeight = baseHeight;
    p.ExponentHeight = exponentHeight;
    p.BaseWidth = STRINGWIDTH(baseHeight, "10", 0.0f, 2);
    p.ExponentWidth = STRINGWIDTH(exponentHeight, p.Exponent, 0.0f, n);
    return p;
}

// Draws the power with its left end at x and the centre line of the "10" at y. (SYMBOL's reference
// point lies half a height above the point it is given.)
void drawPowerOfTen(const PowerOfTen& p, REAL x, REAL y)
{
    SYMBOL(x, y - 0.5f * p.BaseHeight, p.BaseHeight, "10", 0.0f, 2);
    const REAL exponentY = y + kExponentRaise * p.BaseHeight;
    SYMBOL(x + p.BaseWidth, exponentY - 0.5f * p.ExponentHeight, p.ExponentHeight, p.Exponent, 0.0f, p.ExponentLength);
}

REAL tickValue(REAL first, REAL step, INTEGER minor, INTEGER j)
{
    if (minor <= 0) return first * std::pow(step, static_cast<REAL>(j));
    return first + static_cast<REAL>(j) * step;
}

REAL signOf(REAL v) { return v < 0.0f ? -1.0f : 1.0f; }

}  // namespace

GridExtentState& gridExtentState()
{
    static GridExtentState state;
    return state;
}

void GNGRID(GraphFrameRecord& frame)
{
    GridExtentState& ext = gridExtentState();
    ext.LeftmostX = frame.LeftmostX;
    ext.RightmostX = frame.RightmostX;
    ext.LowestY = frame.LowestY;
    const bool yNegative = frame.StepsY < 0;
    frame.StepsY = std::abs(frame.StepsY);
    const bool xPositive = frame.StepsX > 0;
    frame.StepsX = std::abs(frame.StepsX);

    const REAL width = std::fabs(frame.LengthX) * static_cast<REAL>(frame.StepsX);
    const REAL height = std::fabs(frame.LengthY) * static_cast<REAL>(frame.StepsY);
    if (!std::isnan(width) && !std::isnan(height) && width * height > 0.0f) {
        const bool doubled = !isTrue(frame.SingleBorder) && !(width <= 12.0f && height <= 7.0f);
        const REAL x0 = frame.LengthX < 0.0f ? static_cast<REAL>(frame.StepsX) * frame.LengthX : 0.0f;
        const REAL y0 = frame.LengthY < 0.0f ? static_cast<REAL>(frame.StepsY) * frame.LengthY : 0.0f;

        const REAL tick = frameTickLength(frame);

        // Left border, ticks hanging from the top, right border; a doubled border is drawn again
        // 0.01 inch to the right.
        const INTEGER columns = frame.StepsX + 1;
        for (INTEGER i = 1; i <= columns; ++i) {
            const REAL x = x0 + static_cast<REAL>(i - 1) * std::fabs(frame.LengthX);
            const bool border = i == 1 || i == columns;
            if (i == 1) line(frame, x, y0, x, y0 + height);
            else if (i == columns) line(frame, x, y0 + height, x, y0);
            else line(frame, x, y0 + height - tick, x, y0 + height);
            widenLeft(x);
            widenRight(x);
            if (border && doubled) {
                line(frame, x + 0.01f, y0, x + 0.01f, y0 + height);
                widenRight(x + 0.01f);
            }
        }
        // Bottom border, ticks pointing in from the right border, top border.
        if (xPositive) {
            const INTEGER rows = frame.StepsY + 1;
            for (INTEGER i = 1; i <= rows; ++i) {
                const REAL y = y0 + static_cast<REAL>(i - 1) * std::fabs(frame.LengthY);
                const bool border = i == 1 || i == rows;
                if (!border && yNegative) continue;
                if (i == 1) line(frame, x0, y, x0 + width, y);
                else if (i == rows) line(frame, x0 + width, y, x0, y);
                else line(frame, x0 + width - tick, y, x0 + width, y);
                if (border && doubled) line(frame, x0, y + 0.01f, x0 + width, y + 0.01f);
            }
        }

        const REAL xEnd = static_cast<REAL>(frame.StepsX) * frame.LengthX;
        const REAL yEnd = static_cast<REAL>(frame.StepsY) * frame.LengthY;
        const auto horizontal = [&](REAL y, REAL t) {
            if (frame.StepX != 0.0f)
                LNHAX(0.0f, y, t, frame.FirstTickX, frame.StepX, frame.LengthX, tick, frame.MinorX, frame.StepsX, frame);
            else
                LGHAX(y, 0.0f, t, frame.LengthX, tick, frame.MinorX, frame.StepsX);
        };
        const auto vertical = [&](REAL x, REAL t) {
            if (frame.StepY != 0.0f)
                LNVAX(x, 0.0f, t, frame.FirstTickY, frame.StepY, frame.LengthY, tick, frame.MinorY, frame.StepsY, frame);
            else
                LGVAX(x, 0.0f, t, frame.LengthY, tick, frame.MinorY, frame.StepsY, frame);
        };
        if (isTrue(frame.NumberBottom)) horizontal(y0, tick);
        if (isTrue(frame.NumberTop)) horizontal(frame.LengthY > 0.0f ? yEnd : 0.0f, -tick);
        if (isTrue(frame.NumberLeft)) {
            vertical(frame.LengthX > 0.0f ? 0.0f : x0, tick);
            if (yNegative) vertical(frame.LengthX > 0.0f ? xEnd : 0.0f, -tick);
        }
        if (isTrue(frame.NumberRight)) vertical(frame.LengthX > 0.0f ? xEnd : 0.0f, -tick);
    }
    frame.LeftmostX = ext.LeftmostX;
    frame.RightmostX = ext.RightmostX;
    frame.LowestY = ext.LowestY;
}

REAL frameTickLength(const GraphFrameRecord& frame)
{
    const REAL width = std::fabs(frame.LengthX) * static_cast<REAL>(std::abs(frame.StepsX));
    const REAL height = std::fabs(frame.LengthY) * static_cast<REAL>(std::abs(frame.StepsY));
    REAL tick = 0.035f * std::sqrt(width * height);
    if (isTrue(frame.TickCap)) tick = std::min(tick, frame.MaxTick);
    if (isTrue(frame.NumberBottom) || isTrue(frame.NumberTop)) tick = std::min(tick, std::fabs(0.2f * frame.LengthX));
    tick = std::min(tick, std::fabs(0.2f * frame.LengthY));
    if (tick < 0.1f) tick = 0.12f;
    return tick;
}

REAL axisNumberHeight(const GraphFrameRecord& frame) { return kTallestNumber * frameTickLength(frame); }

void LNHAX(REAL x, REAL y, REAL tick, REAL first, REAL step, REAL length, REAL h, INTEGER minor, INTEGER steps,
           GraphFrameRecord& frame)
{
    gridExtentState().LowestY = 1.0e30f;
    const bool linearSeries = minor > 0;
    std::string text;
    // First pass: the widest number decides how many ticks can carry one.
    REAL widest = 0.0f;
    for (INTEGER j = 0; j <= steps; ++j) {
        const INTEGER n = axisNumber(tickValue(first, step, minor, j), first, step, linearSeries, text);
        widest = std::max(widest, static_cast<REAL>(n) * 1.5f * h);
    }
    // Every k-th tick is numbered when the numbers are wider than a step (either direction).
    const REAL stepLength = std::fabs(length);
    INTEGER every = widest > stepLength ? truncated(widest / stepLength) + 1 : 1;
    every = std::max(every, 1);
    const bool oddPositionsOnly = !linearSeries && steps >= 10;
    if (oddPositionsOnly) every = std::max(every, 2);

    INTEGER lastNumbered = 0;
    for (INTEGER j = 0; j <= steps; ++j) {
        const REAL xj = x + static_cast<REAL>(j) * length;
        line(frame, xj, y, xj, y - tick);
        bool numbered = j == 0 || j - lastNumbered >= every;
        if (oddPositionsOnly && j % 2 != 0) numbered = false;
        if (numbered) {
            lastNumbered = j;
            REAL value = tickValue(first, step, minor, j);
            const bool milli = std::fabs(value) < 0.01f && !isTrue(LNLYEQ(value, 0.0f));
            if (milli) value *= 1000.0f;
            INTEGER n = axisNumber(value, first, step, linearSeries, text);
            if (milli) {
                text.resize(static_cast<std::size_t>(n));
                text += 'm';
                ++n;
            }
            // Numbers above an axis whose ticks point up stand clear of the tick ends.
            const REAL yText = tick >= 0.0f ? y - tick - 2.7f * h : y - tick + 0.5f * h;
            SYMBOL(xj - 0.43f * h * static_cast<REAL>(n), yText, 1.5f * h, text, 0.0f, n);
            widenLow(yText);
        }
        if (minor >= 1 && j < steps) {
            for (INTEGER m = 1; m <= minor; ++m) {
                const REAL xm = xj + static_cast<REAL>(m) / static_cast<REAL>(minor) * length;
                line(frame, xm, y, xm, y - tick / 2.0f);
            }
        }
    }
}

void LNVAX(REAL x, REAL y, REAL tick, REAL first, REAL step, REAL length, REAL h, INTEGER minor, INTEGER steps,
           GraphFrameRecord& frame)
{
    const bool linearSeries = minor > 0;
    std::string text;
    for (INTEGER j = 0; j <= steps; ++j) {
        const REAL yj = y + static_cast<REAL>(j) * length;
        line(frame, x, yj, x - tick, yj);
        const INTEGER n = axisNumber(tickValue(first, step, minor, j), first, step, linearSeries, text);
        // The end numbers are moved inwards so that they stay within the axis.
        REAL yNumber = yj;
        if (j == 0) yNumber += signOf(length) * 0.9375f * h;
        if (j == steps) yNumber -= signOf(length) * 0.9375f * h;
        if (tick > 0.0f) {
            const REAL xEnd = x - tick - 0.1f * h;
            SYMBOR(xEnd, yNumber, 1.5f * h, text, 0.0f, n);
            widenLeft(xEnd - STRINGWIDTH(1.5f * h, text, 0.0f, n));
        } else {
            const REAL xStart = x - tick + 0.1f * h;
            SYMBOL(xStart, yNumber - 0.75f * h, 1.5f * h, text, 0.0f, n);
            widenRight(xStart + STRINGWIDTH(1.5f * h, text, 0.0f, n));
        }
        if (minor >= 1 && j < steps) {
            for (INTEGER m = 1; m <= minor; ++m) {
                const REAL ym = yj + static_cast<REAL>(m) / static_cast<REAL>(minor) * length;
                line(frame, x, ym, x - tick / 2.0f, ym);
            }
        }
    }
}

void LGHAX(REAL y, REAL x, REAL tick, REAL length, REAL h, INTEGER firstExponent, INTEGER decades)
{
    // The pen moves and draws need a frame argument, which only a new origin would write.
    GraphFrameRecord frame;
    const INTEGER lastExponent = firstExponent + decades;
    // Raised exponents below the plain labels need more room under the axis.
    const REAL gap = (lastExponent > 4 || firstExponent < -3) ? 2.6f : 1.2f;
    std::string text;
    for (INTEGER i = 1; i <= decades + 1; ++i) {
        const INTEGER k = firstExponent + i - 1;
        const REAL xi = x + static_cast<REAL>(i - 1) * length;
        line(frame, xi, y, xi, y - tick);
        const REAL yb = y - tick / 2.0f;
        const bool atStart = length > 0.0f ? i == 1 : i == decades + 1;
        const bool atEnd = length > 0.0f ? i == decades + 1 : i == 1;
        if (k >= -3 && k <= 3) {
            const INTEGER n = decadeNumber(k, text);
            REAL xl = xi;
            if (atStart) xl += 0.43f * h * static_cast<REAL>(n);
            if (atEnd) xl -= 0.43f * h * static_cast<REAL>(n);
            REAL yl = yb + 0.4f * h;
            if (tick > 0.0f) {
                yl = yb - h - gap * h;
                widenLow(yl - 0.65f * h);
            }
            CENTSY(xl, yl, 1.3f * h, text, 0.0f, n);
        } else {
            // On the row of the plain numbers, centred on the tick; at the axis ends kept within
            // the axis as the plain numbers are.
            const PowerOfTen p = powerOfTen(k, kTallestNumber * h, h);
            REAL left = xi - 0.5f * p.width();
            if (atStart) left = xi;
            if (atEnd) left = xi - p.width();
            const REAL y10 = tick > 0.0f ? yb - h - gap * h : yb + 0.4f * h;
            drawPowerOfTen(p, left, y10);
            widenLow(y10 - 0.5f * p.BaseHeight);
        }
        if (i <= decades) {
            for (int m = 2; m <= 9; ++m) {
                const REAL xm = xi + std::log10(static_cast<REAL>(m)) * length;
                line(frame, xm, y, xm, y - tick / 2.0f);
            }
        }
    }
}

void LGVAX(REAL x, REAL y, REAL tick, REAL length, REAL h, INTEGER firstExponent, INTEGER decades,
           GraphFrameRecord& frame)
{
    std::string text;
    for (INTEGER i = 1; i <= decades + 1; ++i) {
        const INTEGER k = firstExponent + i - 1;
        const REAL yi = y + static_cast<REAL>(i - 1) * length;
        line(frame, x, yi, x - tick, yi);
        const bool first = i == 1, last = i == decades + 1;
        // The lower end of the axis is its first decade when it runs upwards, its last otherwise.
        const bool lowerEnd = length > 0.0f ? first : last;
        const bool upperEnd = length > 0.0f ? last : first;
        if (k >= -3 && k <= 3) {
            const INTEGER n = decadeNumber(k, text);
            REAL yNumber = yi;
            if (first) yNumber += signOf(length) * 0.9375f * h;
            if (last) yNumber -= signOf(length) * 0.9375f * h;
            if (tick > 0.0f) {
                const REAL xEnd = x - tick - 0.1f * h;
                SYMBOR(xEnd, yNumber, 1.3f * h, text, 0.0f, n);
                widenLeft(xEnd - STRINGWIDTH(1.3f * h, text, 0.0f, n));
            } else {
                const REAL xStart = x - tick + h;
                SYMBOL(xStart, yNumber - 0.65f * h, 1.3f * h, text, 0.0f, n);
                widenRight(xStart + STRINGWIDTH(1.3f * h, text, 0.0f, n));
            }
        } else {
            // Beside the tick where the plain numbers stand, moved inwards at the axis ends as
            // they are; the raised exponent stays below the upper end.
            const PowerOfTen p = powerOfTen(k, h, 0.75f * h);
            REAL y10 = yi;
            if (lowerEnd) y10 += 0.9375f * h;
            if (upperEnd) y10 -= 0.9375f * h;
            if (tick > 0.0f) {
                const REAL left = x - tick - 0.1f * h - p.width();
                drawPowerOfTen(p, left, y10);
                widenLeft(left);
            } else {
                const REAL left = x - tick + h;
                drawPowerOfTen(p, left, y10);
                widenRight(left + p.width());
            }
        }
        if (i <= decades) {
            for (int m = 2; m <= 9; ++m) {
                const REAL ym = yi + std::log10(static_cast<REAL>(m)) * length;
                line(frame, x, ym, x - tick / 2.0f, ym);
            }
        }
    }
}

void LINNX(REAL low, REAL high, REAL& first, REAL& step, INTEGER& steps, INTEGER& minor)
{
    // Scale the range by tens until it spans at least 100, so that the step is at least 25 and its
    // multiples are whole numbers. Double precision keeps a nearly constant range apart from its
    // own magnitude (in REAL the scaled ends drift by more than the range).
    double a = low, b = high;
    if (!std::isfinite(a) || !std::isfinite(b)) {
        a = 0.0;
        b = 1.0;
    }
    double r = 0.0;
    int tens = 0;
    for (int i = 0; i < 50; ++i) {
        r = b - a;
        if (r == 0.0) {
            a -= 10.0;
            b += 10.0;
            r = 20.0;
        }
        if (r < 0.0 || std::isnan(r)) {
            a = 0.0;
            b = 1.0;
            r = 1.0;
        }
        if (r >= 100.0) break;
        a *= 10.0;
        b *= 10.0;
        ++tens;
    }
    minor = 5;
    if (!(r >= 100.0) || !std::isfinite(r)) {
        // A range too narrow to tell from its own magnitude: one step that covers it.
        first = low;
        step = std::max({high - low, std::fabs(low) * 1.0e-6f, 1.0e-30f});
        steps = 1;
        return;
    }
    const double scale = std::pow(10.0, -tens);

    const int k = truncated(std::log10(r));
    const double p = std::pow(10.0, k);
    const int n = std::max(1, truncated(r / p + 1.1));
    const double range = n * p;
    int divisions = n;
    while (divisions < 4) divisions *= 2;
    double st = range / divisions;

    // The first tick, a multiple of the step at or below the low end. From 0 (or -2R below zero)
    // the tick is raised or lowered towards a; the result is computed in closed form, so that it
    // ends for every range however many steps lie between.
    double f = a >= 0.0 ? 0.0 : -2.0 * range;
    if (f + 1000.0 * st <= a) {
        f -= st;
    } else if (f + st <= a) {
        if (f + 2.0 * st > a) f += st;
    } else if (f > a) {
        f -= std::ceil((f - a) / st) * st;
        for (int guard = 0; guard < 4 && f > a; ++guard) f -= st;
        for (int guard = 0; guard < 4 && f + st <= a; ++guard) f += st;
    }

    // The count: the smallest with F + N·step >= b.
    double count = std::max(1.0, std::ceil((b - f) / st));
    for (int guard = 0; guard < 4 && count > 1.0 && f + (count - 1.0) * st >= b; ++guard) count -= 1.0;
    for (int guard = 0; guard < 4 && f + count * st < b; ++guard) count += 1.0;

    // Few steps: halve the step where a half step of room is left at the top or the bottom.
    if (count <= 4.0) {
        const double half = st / 2.0;
        const double top = f + count * st - b, bottom = a - f;
        if (top >= half) {
            st = half;
            if (bottom >= half) {
                f += half;
                count = 2.0 * count - 2.0;
            } else {
                count = 2.0 * count - 1.0;
            }
        } else if (bottom >= half) {
            st = half;
            f += half;
            count = 2.0 * count - 1.0;
        }
    }
    // Drop whole steps below the low end and above the high end.
    if (a - f > st) {
        double j = std::ceil((a - f) / st - 1.0);
        for (int guard = 0; guard < 4 && a - (f + j * st) > st; ++guard) j += 1.0;
        for (int guard = 0; guard < 4 && j > 1.0 && a - (f + (j - 1.0) * st) <= st; ++guard) j -= 1.0;
        f += j * st;
        count -= j;
    }
    if (f + count * st - b > st) {
        double j = std::ceil((f + count * st - b) / st - 1.0);
        for (int guard = 0; guard < 4 && f + (count - j) * st - b > st; ++guard) j += 1.0;
        for (int guard = 0; guard < 4 && j > 1.0 && f + (count - j + 1.0) * st - b <= st; ++guard) j -= 1.0;
        count -= j;
    }
    count = std::max(count, 1.0);
    while (count >= 6.0) {
        count = std::floor((count + 1.0) / 2.0);
        st *= 2.0;
    }
    first = static_cast<REAL>(f * scale);
    step = static_cast<REAL>(st * scale);
    steps = static_cast<INTEGER>(count);
}

void LOGNX(REAL low, REAL high, INTEGER& firstExponent, INTEGER& lastExponent)
{
    const REAL a = std::fabs(low) + 1.0e-20f, c = std::fabs(high) + 1.0e-20f;
    firstExponent = a >= 1.0f ? truncated(std::log10(a)) : truncated(std::log10(a) - 1.0f);
    lastExponent = c >= 1.0f ? truncated(std::log10(c) + 1.0f) : truncated(std::log10(c));
    if (firstExponent >= lastExponent) lastExponent = firstExponent + 1;
}

void LOG2NX(REAL low, REAL high, INTEGER& first, INTEGER& last)
{
    // A limit that is not positive has no power of 2; truncated() turns its NaN or -infinity into
    // a defined exponent.
    const auto log2 = [](REAL v) { return std::log10(v) / 0.30103f; };
    first = low >= 1.0f ? truncated(log2(low)) : truncated(log2(low) - 1.0f);
    last = high >= 1.0f ? truncated(log2(high) + 1.0f) : truncated(log2(high));
    if (first >= last) last = first + 1;
}

void FIGLIM(REAL low, REAL high, REAL& first, REAL& step, INTEGER& minor, INTEGER divisions)
{
    struct Rung {
        REAL Mantissa;
        INTEGER Minor;
    };
    static constexpr Rung kRungs[] = {{1.5f, 3}, {2.0f, 4}, {2.5f, 5}, {3.0f, 6}, {4.0f, 4}, {5.0f, 5}, {8.0f, 4}, {10.0f, 5}};
    const INTEGER parts = std::max(divisions, 2);
    REAL range = high - low;
    if (!(range > 0.0f) || !std::isfinite(range)) range = std::isfinite(low) && low != 0.0f ? std::fabs(low) : 1.0f;
    if (!std::isfinite(low)) low = 0.0f;
    for (int j = 0; j < 100; ++j) {
        const REAL division = range / static_cast<REAL>(parts) * (1.0f + 0.5f * static_cast<REAL>(j) / static_cast<REAL>(parts));
        const REAL power = std::pow(10.0f, std::floor(std::log10(division)));
        const REAL mantissa = division / power;
        REAL chosen = 10.0f;
        minor = 5;
        if (mantissa == 1.0f) {
            chosen = 1.0f;
        } else {
            for (const Rung& rung : kRungs) {
                if (rung.Mantissa >= mantissa) {
                    chosen = rung.Mantissa;
                    minor = rung.Minor;
                    break;
                }
            }
        }
        step = chosen * power;
        first = std::floor(low / step) * step;
        if (first + static_cast<REAL>(parts) * step >= high) return;
    }
}

void X_AXIS(REAL low, REAL high, GraphFrameRecord& frame)
{
    if (isTrue(frame.LogX)) {
        INTEGER e1 = 0, e2 = 0;
        LOGNX(low, high, e1, e2);
        frame.setLogarithmic(FrameAxis::X, true);
        frame.MinorX = e1;
        frame.StepsX = e2 - e1;
    } else {
        LINNX(low, high, frame.FirstTickX, frame.StepX, frame.StepsX, frame.MinorX);
    }
}

void Y_AYIS(REAL low, REAL high, GraphFrameRecord& frame)
{
    if (isTrue(frame.LogY)) {
        INTEGER e1 = 0, e2 = 0;
        LOGNX(low, high, e1, e2);
        frame.setLogarithmic(FrameAxis::Y, true);
        frame.MinorY = e1;
        frame.StepsY = e2 - e1;
    } else {
        LINNX(low, high, frame.FirstTickY, frame.StepY, frame.StepsY, frame.MinorY);
    }
}

void FINDAS(GraphFrameRecord& frame)
{
    FINDASX(frame);
    FINDASY(frame);
}

void FINDASX(GraphFrameRecord& frame)
{
    if (isTrue(frame.LogX)) {
        frame.ScaleX = 1.0f;
        frame.OffsetX = -(frame.LengthX * static_cast<REAL>(frame.MinorX));
    } else {
        frame.ScaleX = frame.LengthX / frame.StepX;
        frame.OffsetX = -(frame.ScaleX * frame.FirstTickX);
    }
    const REAL end = static_cast<REAL>(frame.StepsX) * frame.LengthX;
    frame.ClipLowX = -0.001f;
    frame.ClipHighX = end + 0.001f;
    if (frame.LengthX < 0.0f) {
        // A leftward axis runs from end to 0: the window covers it with the same margin as a
        // rightward one, so that nothing along its first 0.05 inch is cut away.
        frame.ClipLowX = end - 0.001f;
        frame.ClipHighX = 0.001f;
    }
}

void FINDASY(GraphFrameRecord& frame)
{
    if (isTrue(frame.LogY)) {
        frame.ScaleY = 1.0f;
        frame.OffsetY = -(frame.LengthY * static_cast<REAL>(frame.MinorY));
    } else {
        frame.ScaleY = frame.LengthY / frame.StepY;
        frame.OffsetY = -(frame.ScaleY * frame.FirstTickY);
    }
    const REAL end = static_cast<REAL>(frame.StepsY) * frame.LengthY;
    frame.ClipLowY = -0.001f;
    frame.ClipHighY = end + 0.001f;
    if (frame.LengthY < 0.0f) {
        frame.ClipLowY = end + 0.001f;
        frame.ClipHighY = -0.001f;
    }
}

INTEGER JSIG(REAL value)
{
    const REAL magnitude = std::fabs(value);
    if (value == 0.0f) return -1;
    // Beyond the integer range every REAL is a whole number.
    if (magnitude >= 2.0e9f || static_cast<REAL>(truncated(magnitude + 1.0e-5f)) == magnitude) return -1;
    if (magnitude >= 100.0f) return 0;
    if (magnitude >= 10.0f) return 1;
    if (magnitude >= 1.0f) return 2;
    return 3;
}

void GETNX(const REAL* a, INTEGER n, REAL& amin, REAL& amax)
{
    for (INTEGER i = 0; i < n; ++i) {
        const REAL v = std::fabs(a[i]);
        if (v == 0.0f || std::isnan(v) || v <= 1.0e-15f || v >= 1.0e15f) continue;
        amax = std::max(amax, v);
        amin = std::min(amin, v);
    }
}

void IFNDNX(const INTEGER* ia, INTEGER n, INTEGER& imin, INTEGER& imax)
{
    for (INTEGER i = 0; i < n; ++i) {
        imin = std::min(imin, ia[i]);
        imax = std::max(imax, ia[i]);
    }
}
