#include "Quorvalent/DrawLabel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

struct LabelDrawState {
    REAL TextWidth = 0.0f;  // of the most recent normal draw, for the highlight's leader line
};
LabelDrawState& labelDrawState()
{
    static LabelDrawState state;
    return state;
}

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

bool onAnchor(INTEGER i)
{
    const LabelTable& t = labelTable();
    const auto u = static_cast<std::size_t>(i);
    return std::fabs(t.AnchorX[u] - t.X[u]) < 0.0001f && std::fabs(t.AnchorY[u] - t.Y[u]) < 0.0001f;
}

// Where the normal draw puts label i's text, in page inches from the frame's origin: its left end,
// width and height, and how far the frame's edges pushed it sideways from where the box alone
// would put it (the box, its edges and the highlight follow the text by that shift).
struct TextPlacement {
    REAL Left = 0.0f, Width = 0.0f, Height = 0.0f, Shift = 0.0f;
    std::string Text;
};
TextPlacement textPlacement(INTEGER i, const GraphFrameRecord& frame)
{
    const LabelTable& t = labelTable();
    const auto u = static_cast<std::size_t>(i);
    const bool logX = isTrue(frame.LogX), logY = isTrue(frame.LogY);
    const REAL height = std::fabs(t.Height[u]);
    REAL H = std::fabs(PLOFY(alongAxis(t.Y[u], height, 0.5f, logY), frame) - PLOFY(alongAxis(t.Y[u], height, -0.5f, logY), frame));
    const REAL W = std::fabs(PLOFX(alongAxis(t.X[u], t.Width[u], 0.5f, logX), frame) -
                             PLOFX(alongAxis(t.X[u], t.Width[u], -0.5f, logX), frame));
    const REAL xa = PLOFX(t.X[u], frame);
    TextPlacement placed;
    std::string text = blankPadded(t.Text[u]);
    CHR_CHK(text, kLabelTextLength);
    const INTEGER n = INDSTR(text, kLabelTextLength);
    const INTEGER first = IBGSTR(text, kLabelTextLength);
    if (n > 0 && first > 0)
        placed.Text = text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(n - first + 1));
    const REAL L = placed.Text.empty() ? 0.0f : IGrTextLength(placed.Text, static_cast<INTEGER>(placed.Text.size()), 0);
    // A blank text has no width to cap the height by.
    if (L > 0.0f) {
        const REAL cap = (t.Width[u] * frame.ScaleX) / (0.5f * L);
        if (cap < H) H = cap;
    }
    const REAL Tw = 0.43f * L * H;
    REAL xt = 0.0f;
    if (onAnchor(i))
        xt = xa - Tw / 2.0f;
    else if (t.AnchorX[u] < t.X[u])
        xt = xa - W;
    else
        xt = xa + W - Tw;
    // A label placed inside the frame keeps its whole text inside: a long text centred near an
    // edge would run out over the axis numbers.
    const REAL frameWidth = std::fabs(static_cast<REAL>(frame.StepsX) * frame.LengthX);
    const REAL free = xt;
    if (xa >= 0.0f && xa <= frameWidth) xt = std::clamp(xt, 0.0f, std::max(0.0f, frameWidth - Tw - 0.2f * H));
    placed.Left = xt;
    placed.Width = Tw;
    placed.Height = H;
    placed.Shift = std::isfinite(xt - free) ? xt - free : 0.0f;
    return placed;
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
    const bool logX = isTrue(frame.LogX), logY = isTrue(frame.LogY);
    const REAL boxHeight = std::fabs(PLOFY(alongAxis(t.Y[u], t.Height[u], 0.5f, logY), frame) -
                                     PLOFY(alongAxis(t.Y[u], t.Height[u], -0.5f, logY), frame));
    const REAL W = std::fabs(PLOFX(alongAxis(t.X[u], t.Width[u], 0.5f, logX), frame) -
                             PLOFX(alongAxis(t.X[u], t.Width[u], -0.5f, logX), frame));
    const REAL xa = PLOFX(t.X[u], frame), yc = PLOFY(t.Y[u], frame);
    const TextPlacement placed = textPlacement(i, frame);
    const bool sitsOnAnchor = onAnchor(i);
    // The label's own text width, also for the highlight's leader line: the same on and off.
    REAL& Tw = labelDrawState().TextWidth;
    Tw = placed.Width;
    REAL xt = 0.0f;
    REAL H = boxHeight;

    if ((mode & 1) != 0) {
        SET_PEN(kHighlightPen);
        XORON();
        GraphFrameRecord scratch = frame;
        PLOTXY(frame.OriginX, frame.OriginY, -kPenMove, scratch);
        // The box goes where the text went.
        BOX(xa + placed.Shift, yc, W / 2.0f, H / 2.0f, kFalse, scratch);
        xt = xa + placed.Shift - W;
    } else {
        H = placed.Height;
        xt = placed.Left;
        if (!placed.Text.empty() && boxHeight > 0.0f && W > 0.0f) {
            // The white ground lies under the text itself, so that no curve runs through it.
            INTEGER saved = 0;
            GET_PEN(saved);
            XOROFF();
            FILLBOX(xt, yc - H / 2.0f, xt + Tw + 0.2f * H, yc + H / 2.0f, Tw + 0.2f * H, kBackgroundColour);
            SET_PEN(saved);
        }
        // The text starts at xt (left-aligned), which the leader line below also assumes.
        if (!placed.Text.empty())
            SYMBOL(xt + 0.1f * H, yc, H, placed.Text, 0.0f, static_cast<INTEGER>(placed.Text.size()));
    }
    if (!sitsOnAnchor) {
        GraphFrameRecord scratch = frame;
        if (t.AnchorX[u] > t.X[u]) {
            PLOTXY(xt + Tw + H / 2.0f, yc, kPenMove, scratch);
            PLOTXY(xt + Tw + H, yc, kPenDraw, scratch);
        } else {
            PLOTXY(xt - H / 2.0f, yc, kPenMove, scratch);
            PLOTXY(xt - H, yc, kPenDraw, scratch);
        }
        PLOTXY(PLOFX(t.AnchorX[u], frame), PLOFY(t.AnchorY[u], frame), kPenDraw, scratch);
    }
    if ((mode & 1) != 0) XOROFF();
}

void TESTLABEL(INTEGER& current, REAL& tolerance, INTEGER X, INTEGER Y, const GraphFrameRecord& frame,
               GraphFrameRecord& foundFrame, LOGICAL& anchorGrabbed, LabelGrabCode& grab, INTEGER plot)
{
    LabelTable& t = labelTable();
    if (!isTrue(graphOptionsState().LabelsShown) || t.Count == 0) return;
    const REAL pointerX = pageX(X), py = pageY(Y);
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
        // The box and its handles sit where the text was drawn; px is the pointer in the box's
        // own place.
        const REAL shift = textPlacement(i, frame).Shift;
        const REAL px = pointerX - shift;
        const REAL d = distance(lx, ly, px, py);
        // Body: the test box is twice the drawn box.
        const REAL x1 = absX(logX ? x / w : x - w), x2 = absX(logX ? x * w : x + w);
        const REAL y1 = absY(logY ? y / h : y - h), y2 = absY(logY ? y * h : y + h);
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
            const REAL e = distance(absX(t.AnchorX[u]), absY(t.AnchorY[u]), pointerX, py);
            if (e < tolerance) take(i, e, true, 0);
        }
    }
}

void dragLabelTo(INTEGER i, INTEGER X, INTEGER Y, const GraphFrameRecord& frame, LOGICAL anchorGrabbed,
                 LabelGrabCode grab, LOGICAL onAnchorFlag)
{
    LabelTable& t = labelTable();
    if (i < 1 || i > t.Count) return;
    const auto u = static_cast<std::size_t>(i);
    const REAL xv = XOFPL(pageX(X), frame), yv = YOFPL(pageY(Y), frame);
    const bool logX = isTrue(frame.LogX), logY = isTrue(frame.LogY);
    const auto width = [&] { t.Width[u] = logX ? std::fabs(xv / t.X[u]) : std::fabs(xv - t.X[u]); };
    const auto height = [&] { t.Height[u] = logY ? std::fabs(yv / t.Y[u]) : std::fabs(yv - t.Y[u]); };
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
    } else if (isTrue(onAnchorFlag)) {
        t.X[u] = t.AnchorX[u] = xv;
        t.Y[u] = t.AnchorY[u] = yv;
    } else {
        t.X[u] = xv;
        t.Y[u] = yv;
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
    const REAL nx = static_cast<REAL>(F.StepsX), ny = static_cast<REAL>(F.StepsY);
    const REAL W = nx * F.LengthX, H = ny * F.LengthY;
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
    const INTEGER corner = layout.Corner;
    if (corner < 1 || corner > 4) return;
    const REAL N = static_cast<REAL>(systemRecord().NSuite);
    const bool logY = isTrue(F.LogY), logX = isTrue(F.LogX);
    const REAL ey = static_cast<REAL>(F.MinorY), ex = static_cast<REAL>(F.MinorX);
    if (corner == 1 || corner == 4) {
        if (logY) {
            layout.Step = 0.35f * ny;
            layout.Y = std::pow(10.0f, ey) * std::pow(layout.Step, N + 1.0f);
        } else {
            layout.Step = -0.2f * std::fabs(F.StepY);
            layout.Y = F.FirstTickY + (N + 1.0f) * 0.2f * std::fabs(F.StepY);
        }
    } else {
        if (logY) {
            layout.Step = 0.75f * ny;
            layout.Y = std::pow(10.0f, ey + ny) / layout.Step;
        } else {
            layout.Step = -0.2f * std::fabs(F.StepY);
            layout.Y = F.FirstTickY + ny * F.StepY + layout.Step;
        }
    }
    const REAL share = corner == 1 || corner == 2 ? 0.1f : 0.9f;
    layout.X = logX ? std::pow(10.0f, ex + share * nx) : F.FirstTickX + share * nx * F.StepX;
}

void appendSuiteLabels()
{
    LabelTable& t = labelTable();
    const SuiteState& suite = suiteState();
    const SystemRecord& system = systemRecord();
    const GraphFrameRecord& F = curveGraphFrames().Frames[0];
    SuiteLabelLayout& layout = suiteLabelLayout();
    const REAL nx = static_cast<REAL>(F.StepsX), ny = static_cast<REAL>(F.StepsY);
    const bool logX = isTrue(F.LogX), logY = isTrue(F.LogY);
    t.Count = 0;
    INTEGER colour = plotSettingsState().KCALC[0];
    bool refused = false;
    REAL Y = layout.Y;
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
        t.X[u] = t.AnchorX[u] = layout.X;
        t.Y[u] = t.AnchorY[u] = Y;
        t.Colour[u] = colour;
        t.NanReported[u] = false;
        t.Height[u] = logY ? 0.08f * ny : 0.2f * std::fabs(F.StepY);
        Y = logY ? Y / layout.Step : Y + layout.Step;
        t.Width[u] = logX ? 0.1f * nx : 0.1f * std::fabs(nx * F.StepX);
        if (j == 0) {
            t.Text[u] = descriptionLabelText(std::string(suite.SuiteDescription.view()));
            t.Colour[u] = kLabelPen;
            const INTEGER used = INDSTR(t.Text[u], kLabelTextLength);
            if (used > 5) t.Width[u] *= 0.2f * static_cast<REAL>(used);
            graphOptionsState().LabelsShown = kTrue;
        } else {
            t.Text[u] = curveLabelText(suite.VParam[static_cast<std::size_t>(j - 1)]);
            nextCurveColour(colour);
        }
    }
}
