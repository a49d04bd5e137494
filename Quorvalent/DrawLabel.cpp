#include "Quorvalent/DrawLabel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "Quorvalent/AppState.h"
#include "Quorvalent/PlotSettings.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/SuiteState.h"
#include "Quorvalent/plotRho.h"
#include "WBRVLib/Brvl95.h"
#include "WBRVLib/Gngrid.h"
#include "WBRVLib/Plotxy.h"
#include "WBRVLib/Strings.h"
#include "WBRVLib/ToolkitLink.h"

namespace {

constexpr INTEGER kLabelPen = 3;      // the description label and the pen before the loop
constexpr INTEGER kHighlightPen = 7;
constexpr INTEGER kBackgroundColour = 15;
constexpr REAL kMissing = 1.0e20f;
// The text fills its box up to these shares of the box's height and width, so that it sits on
// its white ground with a margin and the box's edges lie clear of it. (A character's cell is 1.28
// times the text height.)
constexpr REAL kHeightFill = 0.7f, kWidthFill = 0.9f;

std::string blankPadded(std::string text)
{
    text.resize(kLabelTextLength, ' ');
    return text;
}

REAL pageX(INTEGER X) { return static_cast<REAL>(X) * 10.0f / 10000.0f; }
REAL pageY(INTEGER Y) { return static_cast<REAL>(10000 - Y) * 8.0f / 10000.0f; }

// The two ends of a box side around value v of size s on a linear or logarithmic axis, with the
// multiplier m of the size (0.5 for the drawn box).
REAL alongAxis(REAL v, REAL s, REAL m, bool logarithmic) { return logarithmic ? v * std::pow(s, m) : v + m * s; }

REAL distance(REAL ax, REAL ay, REAL bx, REAL by) { return std::sqrt((ax - bx) * (ax - bx) + 1.0e-10f + (ay - by) * (ay - by)); }

REAL finiteOrZero(REAL v) { return std::isfinite(v) ? v : 0.0f; }

bool onAnchor(INTEGER i)
{
    const LabelTable& t = labelTable();
    const auto u = static_cast<std::size_t>(i);
    return std::fabs(t.AnchorX[u] - t.X[u]) < 0.0001f && std::fabs(t.AnchorY[u] - t.Y[u]) < 0.0001f;
}

// The characters of label i that are drawn: the printable text without its leading and trailing
// blanks.
std::string printedText(INTEGER i)
{
    std::string text = blankPadded(labelTable().Text[static_cast<std::size_t>(i)]);
    CHR_CHK(text, kLabelTextLength);
    const INTEGER n = INDSTR(text, kLabelTextLength);
    const INTEGER first = IBGSTR(text, kLabelTextLength);
    if (n < 1 || first < 1) return {};
    return text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(n - first + 1));
}

REAL textLength(const std::string& text)
{
    return text.empty() ? 0.0f : IGrTextLength(text, static_cast<INTEGER>(text.size()), 0);
}

// Label i in its frame, in page inches from the frame's origin: the box (its white ground, its
// highlight and what the pointer finds), and the text centred in it at the largest height that
// fits. Drawing and hit test both take it from here, so the pointer finds the label where it is
// drawn.
struct LabelGeometry {
    REAL X = 0.0f, Y = 0.0f;           // box centre
    REAL Width = 0.0f, Height = 0.0f;  // box
    REAL TextWidth = 0.0f, TextHeight = 0.0f;
    std::string Text;                  // printable, without leading and trailing blanks
};
LabelGeometry labelGeometry(INTEGER i, const GraphFrameRecord& frame)
{
    const LabelTable& t = labelTable();
    const auto u = static_cast<std::size_t>(i);
    const bool logX = isTrue(frame.LogX), logY = isTrue(frame.LogY);
    const REAL height = std::fabs(t.Height[u]);
    LabelGeometry g;
    g.X = PLOFX(t.X[u], frame);
    g.Y = PLOFY(t.Y[u], frame);
    g.Width = finiteOrZero(std::fabs(PLOFX(alongAxis(t.X[u], t.Width[u], 0.5f, logX), frame) -
                                     PLOFX(alongAxis(t.X[u], t.Width[u], -0.5f, logX), frame)));
    g.Height = finiteOrZero(std::fabs(PLOFY(alongAxis(t.Y[u], height, 0.5f, logY), frame) -
                                      PLOFY(alongAxis(t.Y[u], height, -0.5f, logY), frame)));
    g.Text = printedText(i);
    if (g.Text.empty() || g.Width <= 0.0f || g.Height <= 0.0f) return g;
    // The text's width per inch of its height, in the font CENTSY draws it with.
    const REAL perInch = plotTextWidth(1.0f, textLength(g.Text), true);
    g.TextHeight = kHeightFill * g.Height;
    if (perInch * g.TextHeight > kWidthFill * g.Width) g.TextHeight = kWidthFill * g.Width / perInch;
    g.TextHeight = finiteOrZero(g.TextHeight);
    g.TextWidth = finiteOrZero(perInch * g.TextHeight);
    return g;
}

void nextCurveColour(INTEGER& colour)
{
    colour += 2;
    if (colour > 14) colour = 2;  // the curves' own colour cycle
}

// Appends a label at the data position of the pointer; the size of the first is a share of the
// frame's tick steps, later ones take the size of the plot's first sized label.
void appendHandLabel(INTEGER plot, INTEGER kind, INTEGER X, INTEGER Y, const GraphFrameRecord& frame,
                     const std::string& text)
{
    LabelTable& t = labelTable();
    if (t.Count >= kLabelLimit) {
        WINMSG(kTooManyLabels);
        return;
    }
    const INTEGER n = ++t.Count;
    const auto u = static_cast<std::size_t>(n);
    t.X[u] = t.AnchorX[u] = XOFPL(pageX(X), frame);
    t.Y[u] = t.AnchorY[u] = YOFPL(pageY(Y), frame);
    t.Kind[u] = kind;
    t.Owner[u] = plot;
    t.CurveNumber[u] = 0;
    t.NanReported[u] = false;
    if (n == 1) {
        t.Width[u] = 0.75f * std::fabs(frame.StepX);
        t.Height[u] = 0.2f * std::fabs(frame.StepY);
    } else {
        t.Width[u] = t.Width[u - 1];
        t.Height[u] = t.Height[u - 1];
        for (INTEGER j = 1; j < n; ++j) {
            const auto v = static_cast<std::size_t>(j);
            if (t.Owner[v] == plot && (t.Width[v] > 0.0f || t.Height[v] > 0.0f)) {
                t.Width[u] = t.Width[v];
                t.Height[u] = t.Height[v];
                break;
            }
        }
    }
    t.Text[u] = blankPadded(text);
}

std::string fixed(REAL value, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
    return buffer;
}

// Removes entry i, shifting the later entries down (colour and curve number stay where they are).
void removeEntry(INTEGER i)
{
    LabelTable& t = labelTable();
    for (INTEGER j = i; j < t.Count; ++j) {
        const auto a = static_cast<std::size_t>(j), b = a + 1;
        t.X[a] = t.X[b];
        t.Y[a] = t.Y[b];
        t.AnchorX[a] = t.AnchorX[b];
        t.AnchorY[a] = t.AnchorY[b];
        t.Width[a] = t.Width[b];
        t.Height[a] = t.Height[b];
        t.Owner[a] = t.Owner[b];
        t.Kind[a] = t.Kind[b];
        t.Text[a] = t.Text[b];
        t.NanReported[a] = t.NanReported[b];
    }
    --t.Count;
}

}  // namespace

LabelTable& labelTable()
{
    static LabelTable table;
    return table;
}

SuiteLabelLayout& suiteLabelLayout()
{
    static SuiteLabelLayout layout;
    return layout;
}

void DRAWLABELS(INTEGER plot, GraphFrameRecord& frame)
{
    SET_PEN(kLabelPen);
    const LabelTable& t = labelTable();
    for (INTEGER i = 1; i <= t.Count; ++i) {
        if (t.Owner[static_cast<std::size_t>(i)] != plot) continue;
        SET_PEN(t.Colour[static_cast<std::size_t>(i)]);
        DRAWLABEL(i, 0, frame);
    }
}

void DRAWLABEL(INTEGER i, INTEGER mode, GraphFrameRecord& frame)
{
    LabelTable& t = labelTable();
    if (i < 1 || i > t.Count) return;
    const auto u = static_cast<std::size_t>(i);
    t.Height[u] = std::fabs(t.Height[u]);
    const LabelGeometry g = labelGeometry(i, frame);
    const bool highlight = (mode & 1) != 0;
    if (highlight) {
        SET_PEN(kHighlightPen);
        XORON();
        GraphFrameRecord scratch = frame;
        PLOTXY(frame.OriginX, frame.OriginY, -kPenMove, scratch);
        BOX(g.X, g.Y, g.Width / 2.0f, g.Height / 2.0f, kFalse, scratch);
    } else if (!g.Text.empty() && g.TextHeight > 0.0f) {
        // The white ground fills the box, so that no curve runs through the text.
        INTEGER saved = 0;
        GET_PEN(saved);
        XOROFF();
        FILLBOX(g.X - g.Width / 2.0f, g.Y - g.Height / 2.0f, g.X + g.Width / 2.0f, g.Y + g.Height / 2.0f, g.Width,
                kBackgroundColour);
        SET_PEN(saved);
        CENTSY(g.X, g.Y, g.TextHeight, g.Text, 0.0f, static_cast<INTEGER>(g.Text.size()));
    }
    if (!onAnchor(i)) {
        // From the middle of the box's side that faces the anchor, a short level stroke, then to
        // the anchor.
        const REAL side = t.AnchorX[u] > t.X[u] ? 1.0f : -1.0f;
        const REAL edge = g.X + side * g.Width / 2.0f;
        const REAL stroke = 0.5f * (g.TextHeight > 0.0f ? g.TextHeight : g.Height);
        GraphFrameRecord scratch = frame;
        PLOTXY(edge, g.Y, kPenMove, scratch);
        PLOTXY(edge + side * stroke, g.Y, kPenDraw, scratch);
        PLOTXY(PLOFX(t.AnchorX[u], frame), PLOFY(t.AnchorY[u], frame), kPenDraw, scratch);
    }
    if (highlight) XOROFF();
}

void TESTLABEL(INTEGER& current, REAL& tolerance, INTEGER X, INTEGER Y, const GraphFrameRecord& frame,
               GraphFrameRecord& foundFrame, LOGICAL& anchorGrabbed, LabelGrabCode& grab, INTEGER plot)
{
    LabelTable& t = labelTable();
    if (!isTrue(graphOptionsState().LabelsShown) || t.Count == 0) return;
    const REAL px = pageX(X), py = pageY(Y);
    const bool logX = isTrue(frame.LogX), logY = isTrue(frame.LogY);
    const auto absX = [&](REAL v) { return PLOFX(v, frame) + frame.OriginX; };
    const auto absY = [&](REAL v) { return PLOFY(v, frame) + frame.OriginY; };
    const auto take = [&](INTEGER i, REAL d, bool anchor, LabelGrabCode code) {
        tolerance = d;
        current = i;
        foundFrame = frame;
        anchorGrabbed = toLogical(anchor);
        grab = code;
    };
    // The pointer on a label's text holds that label's body: a press there moves the label, and
    // no edge or corner nearby (of this label or of a neighbour in the stack) turns it into a
    // resize. The label drawn last lies on top.
    for (INTEGER i = t.Count; i >= 1; --i) {
        const auto u = static_cast<std::size_t>(i);
        if (t.Owner[u] != plot || !std::isfinite(t.X[u]) || !std::isfinite(t.Y[u])) continue;
        const LabelGeometry g = labelGeometry(i, frame);
        const REAL cx = g.X + frame.OriginX, cy = g.Y + frame.OriginY;
        if (std::fabs(px - cx) < g.TextWidth / 2.0f && std::fabs(py - cy) < g.TextHeight / 2.0f) {
            take(i, distance(cx, cy, px, py), false, 0);
            return;
        }
    }
    for (INTEGER i = 1; i <= t.Count; ++i) {
        const auto u = static_cast<std::size_t>(i);
        if (t.Owner[u] != plot) continue;
        const REAL x = t.X[u], y = t.Y[u], w = t.Width[u], h = t.Height[u];
        const REAL lx = absX(x), ly = absY(y);
        if (std::isnan(x) || std::isnan(y) || std::isnan(lx) || std::isnan(ly)) {
            // Reported once for the label; the test goes on with the next one.
            if (!t.NanReported[u]) {
                t.NanReported[u] = true;
                WINMSG(std::isnan(x) || std::isnan(y) ? "nan in testlab 1" : "nan in testlab 2");
            }
            continue;
        }
        const REAL d = distance(lx, ly, px, py);
        // Body: inside the box as it is drawn.
        const REAL x1 = absX(alongAxis(x, w, -0.5f, logX)), x2 = absX(alongAxis(x, w, 0.5f, logX));
        const REAL y1 = absY(alongAxis(y, h, -0.5f, logY)), y2 = absY(alongAxis(y, h, 0.5f, logY));
        const bool inside = px > std::min(x1, x2) && px < std::max(x1, x2) && py > std::min(y1, y2) && py < std::max(y1, y2);
        if (current == 0) {
            if (inside) take(i, std::min(d, tolerance), false, 0);
        } else if (d < tolerance) {
            take(i, d, false, 0);
        }
        // Edge middles, then corners.
        static constexpr std::array<std::array<REAL, 2>, 4> kEdges{{{-0.5f, 0.0f}, {0.5f, 0.0f}, {0.0f, -0.5f}, {0.0f, 0.5f}}};
        for (std::size_t k = 0; k < kEdges.size(); ++k) {
            const REAL ex = absX(alongAxis(x, w, kEdges[k][0], logX)), ey = absY(alongAxis(y, h, kEdges[k][1], logY));
            const REAL e = distance(ex, ey, px, py);
            if (e < tolerance) take(i, e, false, k < 2 ? 2 : -2);
        }
        static constexpr std::array<std::array<REAL, 2>, 4> kCorners{{{-0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}}};
        for (const auto& c : kCorners) {
            const REAL cx = absX(alongAxis(x, w, c[0], logX)), cy = absY(alongAxis(y, h, c[1], logY));
            const REAL e = distance(cx, cy, px, py);
            if (e < tolerance) {
                LabelGrabCode code = isTrue(LNLYEQ(c[0], c[1])) ? 1 : -1;
                if (frame.StepY < 0.0f) code = -code;
                take(i, e, false, code);
            }
        }
        if (!onAnchor(i)) {
            const REAL e = distance(absX(t.AnchorX[u]), absY(t.AnchorY[u]), px, py);
            if (e < tolerance) take(i, e, true, 0);
        }
    }
}

void labelGrabOffset(INTEGER i, INTEGER X, INTEGER Y, const GraphFrameRecord& frame, REAL& offsetX, REAL& offsetY)
{
    offsetX = offsetY = 0.0f;
    const LabelTable& t = labelTable();
    if (i < 1 || i > t.Count) return;
    const auto u = static_cast<std::size_t>(i);
    offsetX = finiteOrZero(pageX(X) - PLOFX(t.X[u], frame) - frame.OriginX);
    offsetY = finiteOrZero(pageY(Y) - PLOFY(t.Y[u], frame) - frame.OriginY);
}

void dragLabelTo(INTEGER i, INTEGER X, INTEGER Y, const GraphFrameRecord& frame, LOGICAL anchorGrabbed,
                 LabelGrabCode grab, LOGICAL onAnchorFlag, REAL offsetX, REAL offsetY)
{
    LabelTable& t = labelTable();
    if (i < 1 || i > t.Count) return;
    const auto u = static_cast<std::size_t>(i);
    const REAL xv = XOFPL(pageX(X), frame), yv = YOFPL(pageY(Y), frame);
    const bool logX = isTrue(frame.LogX), logY = isTrue(frame.LogY);
    // The box spans its size around the centre, so the edge held stays under the pointer when the
    // size is twice the pointer's distance from the centre (the square of the ratio on a
    // logarithmic axis).
    const auto size = [](REAL pointer, REAL centre, bool logarithmic) {
        const REAL ratio = pointer / centre;
        return logarithmic ? ratio * ratio : 2.0f * std::fabs(pointer - centre);
    };
    const auto width = [&] { t.Width[u] = size(xv, t.X[u], logX); };
    const auto height = [&] { t.Height[u] = size(yv, t.Y[u], logY); };
    if (isTrue(anchorGrabbed)) {
        t.AnchorX[u] = xv;
        t.AnchorY[u] = yv;
    } else if (grab == 1 || grab == -1) {
        width();
        height();
    } else if (grab == 2) {
        width();
    } else if (grab == -2) {
        height();
    } else {
        // The body keeps the place where the pointer holds it.
        const REAL bx = XOFPL(pageX(X) - offsetX, frame), by = YOFPL(pageY(Y) - offsetY, frame);
        t.X[u] = bx;
        t.Y[u] = by;
        if (isTrue(onAnchorFlag)) {
            t.AnchorX[u] = bx;
            t.AnchorY[u] = by;
        }
    }
}

void MANVLABEL(INTEGER plot, REAL value, INTEGER X, INTEGER Y, const GraphFrameRecord& frame, const std::string& unit)
{
    std::string text = fixed(value, 0) + ".";
    const std::string replacement = unit == "(ft)    " ? " ft/S" : " m/S";
    text.replace(text.find('.'), 1, replacement);
    appendHandLabel(plot, 1, X, Y, frame, text);
}

void MANDLABL(INTEGER plot, INTEGER X, INTEGER Y, REAL value, const GraphFrameRecord& frame)
{
    appendHandLabel(plot, 2, X, Y, frame, fixed(value, 1));
}

void CLEARLABELS(INTEGER plot)
{
    LabelTable& t = labelTable();
    for (INTEGER i = t.Count; i >= 1; --i)
        if (t.Owner[static_cast<std::size_t>(i)] == plot) removeEntry(i);
}

void DELETELABEL(INTEGER& i)
{
    if (i < 1 || i > labelTable().Count) return;
    removeEntry(i);
    i = 0;
}

void SCALELABELSIZE(std::array<REAL, kLabelLimit + 1>& values, REAL factor)
{
    for (INTEGER i = 1; i <= labelTable().Count; ++i) values[static_cast<std::size_t>(i)] *= factor;
}

void INCLABELSIZE(std::array<REAL, kLabelLimit + 1>& values, REAL increment)
{
    for (INTEGER i = 1; i <= labelTable().Count; ++i) values[static_cast<std::size_t>(i)] += increment;
}

std::string curveLabelText(REAL value)
{
    std::string text;
    INTEGER decimals = JSIG(value) + 1;
    MAKNUM(value, text, kLabelTextLength, decimals);
    text = blankPadded(text);
    INTEGER n = INDSTR(text, kLabelTextLength);
    if (text.find('.') < static_cast<std::size_t>(n)) NTRAIL(text, n, '0');
    NTRAIL(text, n, '.');
    return blankPadded(text);
}

std::string descriptionLabelText(const std::string& description)
{
    std::string text = description;
    const INTEGER length = static_cast<INTEGER>(text.size());
    const INTEGER p = IFNDPT(text, length, "vary is", 7);
    if (p > 0) SHFSTR(text, length, -(p + 7));
    for (;;) {
        const INTEGER used = INDSTR(text, length);
        if (IFNDPT(text, used, "  ", 2) == 0) break;
        RPL_PAT(text, used, "  ", 2, " ", 1);
    }
    return blankPadded(text.substr(0, std::min<std::size_t>(text.size(), kLabelTextLength)));
}

void placeSuiteLabels()
{
    const SuiteState& suite = suiteState();
    const SoundingRecord& s = suiteSoundingRecord().Record;
    GraphFrameRecord& F = curveGraphFrames().Frames[0];
    SuiteLabelLayout& layout = suiteLabelLayout();
    const REAL W = static_cast<REAL>(F.StepsX) * F.LengthX, H = static_cast<REAL>(F.StepsY) * F.LengthY;
    GraphFrameRecord scratch = F;
    PLOTXY(F.OriginX, F.OriginY, -kPenMove, scratch);
    FINDAS(F);

    std::array<REAL, 4> nearest{kMissing, kMissing, kMissing, kMissing};
    const std::array<std::array<REAL, 2>, 4> corners{{{0.0f, 0.0f}, {0.0f, H}, {W, H}, {W, 0.0f}}};
    const INTEGER curves = std::min(suite.CurvesComputed, systemRecord().NSuite);
    const INTEGER points = std::min({suite.SuitePointCount, suite.SuiteCurves.allocated() ? suite.SuiteCurves.extent1() : 0,
                                     s.Data.SampleTimes.allocated() ? s.Data.SampleTimes.extent1() : 0});
    for (INTEGER k = 1; k <= curves; ++k) {
        for (INTEGER i = 1; i <= points; ++i) {
            const REAL value = suite.SuiteCurves(i, (k - 1) * suite.KindCount + 1);
            // A sample the engine could not compute is no position.
            if (value >= kMissing) continue;
            const REAL x = PLOFX(s.Data.SampleTimes(i, 1), F), y = PLOFY(value, F);
            if (!std::isfinite(x) || !std::isfinite(y)) continue;
            for (std::size_t c = 0; c < 4; ++c)
                nearest[c] = std::min(nearest[c], std::hypot(x - corners[c][0], y - corners[c][1]));
        }
    }
    REAL best = 0.0f;
    for (INTEGER c = 1; c <= 4; ++c) {
        if (nearest[static_cast<std::size_t>(c - 1)] > best) {
            best = nearest[static_cast<std::size_t>(c - 1)];
            layout.Corner = c;
        }
    }
}

namespace {

// The data position of a page position (inches from the frame's origin) along one axis, and the
// size of a page span there: a difference on a linear axis, a ratio on a logarithmic one.
REAL dataX(REAL x, const GraphFrameRecord& F) { return XOFPL(x + F.OriginX, F); }
REAL dataY(REAL y, const GraphFrameRecord& F) { return YOFPL(y + F.OriginY, F); }
REAL dataSize(REAL low, REAL high, bool logarithmic)
{
    if (!logarithmic) return std::fabs(high - low);
    return std::max(std::fabs(high), std::fabs(low)) / std::min(std::fabs(high), std::fabs(low));
}

// Places the labels of the table in page terms: text as tall as the tallest axis numbers, each
// box fitted to its text, stacked from the corner's side of the frame inwards with the first
// label on top, in further columns when one column would leave the frame.
void layOutSuiteLabels(INTEGER corner, const GraphFrameRecord& frame)
{
    LabelTable& t = labelTable();
    if (t.Count < 1 || corner < 1 || corner > 4) return;
    GraphFrameRecord F = frame;
    FINDAS(F);
    const bool logX = isTrue(F.LogX), logY = isTrue(F.LogY);
    const REAL W = static_cast<REAL>(F.StepsX) * F.LengthX, H = static_cast<REAL>(F.StepsY) * F.LengthY;
    // Away from the corner into the frame, whichever way its axes run.
    const REAL cornerX = corner <= 2 ? 0.0f : W, cornerY = corner == 1 || corner == 4 ? 0.0f : H;
    const REAL inwardX = (corner <= 2) == (W >= 0.0f) ? 1.0f : -1.0f;
    const REAL inwardY = (corner == 1 || corner == 4) == (H >= 0.0f) ? 1.0f : -1.0f;

    selectPlotFont();
    const REAL textHeight = axisNumberHeight(F);
    const REAL boxHeight = textHeight / kHeightFill;
    const REAL rowStep = boxHeight + 0.15f * textHeight, columnGap = 0.5f * textHeight;
    // The ticks reach this far into the frame from its top and right sides.
    const REAL margin = frameTickLength(F) + 0.25f * textHeight;
    const REAL room = std::fabs(H) - 2.0f * margin;
    const INTEGER rows = std::isfinite(room / rowStep) ? std::max(1, static_cast<INTEGER>(room / rowStep)) : 1;

    std::vector<REAL> widths(static_cast<std::size_t>(t.Count) + 1, boxHeight);
    for (INTEGER i = 1; i <= t.Count; ++i) {
        const REAL textWidth = plotTextWidth(textHeight, textLength(printedText(i)), true);
        widths[static_cast<std::size_t>(i)] = std::max(boxHeight, textWidth / kWidthFill);
    }
    REAL columnStart = margin;
    for (INTEGER first = 1; first <= t.Count; first += rows) {
        const INTEGER last = std::min(t.Count, first + rows - 1);
        REAL columnWidth = 0.0f;
        for (INTEGER i = first; i <= last; ++i) columnWidth = std::max(columnWidth, widths[static_cast<std::size_t>(i)]);
        for (INTEGER i = first; i <= last; ++i) {
            const auto u = static_cast<std::size_t>(i);
            const INTEGER row = inwardY > 0.0f ? last - i : i - first;  // counted from the corner's side
            const REAL x = cornerX + inwardX * (columnStart + widths[u] / 2.0f);
            const REAL y = cornerY + inwardY * (margin + (static_cast<REAL>(row) + 0.5f) * rowStep);
            t.X[u] = t.AnchorX[u] = dataX(x, F);
            t.Y[u] = t.AnchorY[u] = dataY(y, F);
            t.Width[u] = dataSize(dataX(x - widths[u] / 2.0f, F), dataX(x + widths[u] / 2.0f, F), logX);
            t.Height[u] = dataSize(dataY(y - boxHeight / 2.0f, F), dataY(y + boxHeight / 2.0f, F), logY);
        }
        columnStart += columnWidth + columnGap;
    }
}

}  // namespace

void appendSuiteLabels()
{
    LabelTable& t = labelTable();
    const SuiteState& suite = suiteState();
    const SystemRecord& system = systemRecord();
    t.Count = 0;
    INTEGER colour = plotSettingsState().KCALC[0];
    bool refused = false;
    const INTEGER N = std::clamp(system.NSuite, 0, static_cast<INTEGER>(suite.VParam.size()));
    for (INTEGER j = 0; j <= N; ++j) {
        if (t.Count >= kLabelLimit) {
            // Once per calculation, not once for every label that does not fit.
            if (!refused) WINMSG(kTooManyLabels);
            refused = true;
            continue;
        }
        const INTEGER n = ++t.Count;
        const auto u = static_cast<std::size_t>(n);
        t.Owner[u] = 0;
        t.CurveNumber[u] = j;
        t.Kind[u] = 0;
        t.Colour[u] = colour;
        t.NanReported[u] = false;
        if (j == 0) {
            t.Text[u] = descriptionLabelText(std::string(suite.SuiteDescription.view()));
            t.Colour[u] = kLabelPen;
            graphOptionsState().LabelsShown = kTrue;
        } else {
            t.Text[u] = curveLabelText(suite.VParam[static_cast<std::size_t>(j - 1)]);
            nextCurveColour(colour);
        }
    }
    layOutSuiteLabels(suiteLabelLayout().Corner, curveGraphFrames().Frames[0]);
}
