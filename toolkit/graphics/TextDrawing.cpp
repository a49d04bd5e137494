#include "toolkit/graphics/TextDrawing.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/Lines.h"

namespace {

struct StrokeFontSaveTable {
    StrokeFontTable Set;
    INTEGER StrokeFontSelected = 0;
};

StrokeFontSaveTable& strokeFontSaveTable()
{
    static StrokeFontSaveTable table;
    return table;
}

struct Vec {
    REAL x = 0, y = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(REAL k, Vec a) { return {k * a.x, k * a.y}; }

// Vertical steps on the hardcopy page follow its aspect rather than the drawable's.
REAL hardcopyVerticalFactor()
{
    const REAL page = hardcopyTextScaling().HardcopyAspect;
    const REAL drawable = graphicsTransform().DrawableAspect;
    if (!(page > 0.0f) || !(drawable > 0.0f)) return 1.0f;
    return page / drawable;
}

REAL charLength(char c, INTEGER mode) { return IGrTextLength(std::string_view(&c, 1), 1, mode); }

// Sends one op to one layer only.
void sendToLayer(INTEGER layer, INTEGER op)
{
    if (layer == 0) YYDriverCurrent(op);
    else YYDriverHardcopy(op);
}

// The layer switches of one layer only, for the duration of a scope.
class LayerOnly {
public:
    LayerOnly(INTEGER drawable, INTEGER hardcopy)
        : saved_drawable_(graphicsState().DrawableActive), saved_hardcopy_(graphicsState().HardcopyActive)
    {
        graphicsState().DrawableActive = drawable;
        graphicsState().HardcopyActive = hardcopy;
    }
    ~LayerOnly()
    {
        graphicsState().DrawableActive = saved_drawable_;
        graphicsState().HardcopyActive = saved_hardcopy_;
    }
    LayerOnly(const LayerOnly&) = delete;
    LayerOnly& operator=(const LayerOnly&) = delete;

private:
    INTEGER saved_drawable_, saved_hardcopy_;
};

void loadFallbackSet(INTEGER code)
{
    switch (code) {
    case 2: YYStrokeFontSwiss(); break;
    case 3: YYStrokeFontRoman(); break;
    case 4: YYStrokeFontSymbol(); break;
    default: YYStrokeFontFixed(); break;
    }
}

}  // namespace

StrokeTextGeometry YYStrokeTextGeometry()
{
    const TextState& s = textState();
    StrokeTextGeometry g;
    g.TextDirCos = s.TextDirCos;
    g.TextDirSin = s.TextDirSin;
    g.TextUpSin = s.TextUpSin;
    g.CharAdvanceX = s.CharAdvanceX;
    g.CharAdvanceY = s.CharAdvanceY;
    g.CharLineX = s.CharLineX;
    g.CharLineY = s.CharLineY;
    g.TextSlant = s.TextSlant;
    g.CharacterSpacing = s.CharacterSpacing;
    g.TextStacked = s.TextStacked;
    g.TextStyle = s.TextStyle;
    return g;
}

void YYStrokeFontSwap(INTEGER action)
{
    StrokeFontSaveTable& saved = strokeFontSaveTable();
    StrokeFontTable& current = strokeFontTable();
    if (action % 2 != 0) {
        // The bold marker and the advance widths belong to the installed set, not to the copy.
        saved.Set = current;
        saved.StrokeFontSelected = textState().StrokeFontSelected;
    } else {
        const INTEGER boldLoaded = current.StrokeBoldLoaded;
        current = saved.Set;
        current.StrokeBoldLoaded = boldLoaded;
        textState().StrokeFontSelected = saved.StrokeFontSelected;
    }
}

bool YYUseStrokeText(INTEGER layer, REAL width, REAL height)
{
    const INTEGER k = layer == 0 ? 0 : 1;
    const TextState& s = textState();
    const DeviceCapabilityTable& caps = deviceCapabilityTable();
    const GraphicsTransform& t = graphicsTransform();
    if (caps.TextAngles[k] == 0) return true;
    if (caps.TextAngles[k] == 1 && std::fabs(s.DeviceTextAngle) > 1.0f) return true;
    if (s.CharacterSpacing != 0 && caps.CapabilityString[k][26] == '0') return true;
    const REAL threshold = caps.DeviceTextThreshold[k];
    if (s.StrokePreference[k] == 1 && (s.CharacterSpacing != 0 || threshold < 0.0f)) {
        REAL rx = 1.0f, ry = 1.0f;
        if (k == 0) {
            rx = s.CharScaleX * t.CharWidthFraction * t.AreaWidth;
            ry = s.CharScaleY * t.CharHeightFraction * t.AreaHeight;
        }
        if (rx < 0.8f || rx > 1.3f || ry < 0.8f || ry > 1.3f) return true;
    }
    if (s.CharacterSpacing == 0 && threshold >= 0.0f && s.StrokePreference[k] == 1) {
        REAL w = width, h = height;
        if (k == 1) {
            w *= hardcopyTextScaling().ScaleX;
            h *= hardcopyTextScaling().ScaleY;
        }
        if (w > threshold && h > threshold) return true;
    }
    return false;
}

void YYTextDecoration(REAL x, REAL y, std::string_view text, INTEGER count, INTEGER mode, INTEGER drawableFlag,
                      INTEGER hardcopyFlag)
{
    GraphicsState& g = graphicsState();
    const TextState& s = textState();
    const INTEGER target = drawableFlag == 0 ? 2 : (hardcopyFlag == 0 ? 1 : 0);
    const INTEGER index = g.ColourIndex[1], rgb = g.ColourRGB[1], device = g.ColourDevice[1];
    const INTEGER fill = g.FillStyle;
    YYColourTriple(g.ColourIndex[0], g.ColourRGB[0], g.ColourDevice[0], target);
    const Vec a{s.CharAdvanceX, s.CharAdvanceY}, u{-s.CharLineX, s.CharLineY}, l{s.CharLineX, -s.CharLineY};
    const Vec p{x, y};
    Vec c[4];
    if (s.TextStacked != 1) {
        const REAL lt = IGrTextLength(text, count, mode);
        c[0] = p - 0.5f * u;
        c[1] = c[0] + lt * a;
        c[2] = c[1] + u;
        c[3] = c[0] + u;
    } else {
        REAL wmax = 1.0f;
        if (s.CharacterSpacing != 0) {
            wmax = 0.0f;
            const std::size_t n = std::min(text.size(), static_cast<std::size_t>(std::max<INTEGER>(count, 0)));
            for (std::size_t i = 0; i < n; ++i)
                wmax = std::max(wmax, YYAdvanceWidth(YYStrokeCodeMap(static_cast<unsigned char>(text[i]))));
        }
        c[0] = p - (0.5f * wmax) * a;
        c[1] = c[0] + static_cast<REAL>(count) * l;
        c[2] = c[1] + wmax * a;
        c[3] = c[0] + wmax * a;
    }
    const REAL xs[5] = {c[0].x, c[1].x, c[2].x, c[3].x, c[0].x};
    const REAL ys[5] = {c[0].y, c[1].y, c[2].y, c[3].y, c[0].y};
    {
        LayerOnly layers(drawableFlag, hardcopyFlag);
        g.FillStyle = 4;
        YYPLYGON(xs, ys, 5, 1);
    }
    g.FillStyle = fill;
    YYColourTriple(index, rgb, device, target);
}

namespace {

// The geometry of one layer and pass of a text output.
struct TextLayout {
    REAL W = 0, H = 0;
    Vec D, U, A, L;
    Vec S0, Er, Ed, NewPoint;
};

TextLayout layoutFor(INTEGER layer, bool strokePath, Vec ref, REAL f, INTEGER n, std::string_view text)
{
    TextState& s = textState();
    TextLayout out;
    REAL wr = 0, hr = 0;
    YYRequestedCharSize(wr, hr);
    if (!strokePath && layer == 0) YYDeviceCharSize(out.W, out.H);
    else {
        out.W = wr;
        out.H = hr;
    }
    s.CharAdvanceX = out.W * s.TextDirCos;
    s.CharAdvanceY = out.W * s.TextDirSin;
    s.CharLineX = out.H * s.TextUpSin;
    s.CharLineY = out.H * s.TextDirCos;
    out.D = {s.TextDirCos, s.TextDirSin};
    out.U = {-s.TextUpSin, s.TextDirCos};
    out.A = {s.CharAdvanceX, s.CharAdvanceY};
    out.L = {s.CharLineX, -s.CharLineY};
    const REAL nr = static_cast<REAL>(n);
    if (s.TextStacked == 0) {
        const REAL units = s.CharacterSpacing == 0 ? nr : IGrTextLength(text, n, 0);
        const REAL lr = units * wr, ld = units * out.W;
        out.S0 = ref - (f * ld) * out.D;
        out.Er = ref + ((1.0f - f) * lr) * out.D;
        out.Ed = out.S0 + ld * out.D;
        out.NewPoint = ref + (f * wr + (1.0f - f) * lr) * out.D;
    } else {
        out.S0 = ref + (f * nr * out.H) * out.U;
        // One step down per character, as the horizontal rule steps along the text.
        const Vec down{s.TextUpSin, -s.TextDirCos};
        out.NewPoint = ref + (f * hr + (1.0f - f) * nr * hr) * down;
        out.Er = out.Ed = out.NewPoint;
    }
    return out;
}

bool edgeInside(Vec a, Vec b) { return YYInsideClip(a.x, a.y) && YYInsideClip(b.x, b.y); }

// Device text of one layer: visible run, box, driver ops, underline. False when no character
// of the text lies wholly inside the clip window.
bool deviceText(INTEGER layer, TextLayout lay, std::string_view text, INTEGER n)
{
    TextState& s = textState();
    DriverParameterBlock& b = driverParameterBlock();
    const HardcopyTextScaling& hc = hardcopyTextScaling();
    const bool stacked = s.TextStacked != 0;
    if (n <= 0) return true;
    Vec start = lay.S0;
    if (!stacked && s.CharacterSpacing != 0) {
        const REAL b1 = 0.14f * charLength(text.front(), 0);
        const REAL bn = 0.14f * charLength(text[static_cast<std::size_t>(n - 1)], 0);
        start = start + b1 * lay.A;
        lay.Er = lay.Er - bn * lay.A;
        lay.Ed = lay.Ed - bn * lay.A;
    } else if (stacked) {
        start = start - (0.5f * lay.W) * lay.D - (0.5f * lay.H) * lay.U;
    }
    // Start of every character and of the place after the last one.
    std::vector<Vec> at(static_cast<std::size_t>(n) + 1);
    std::vector<REAL> advance(static_cast<std::size_t>(n), 0.0f);
    at[0] = start;
    for (INTEGER i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (stacked) at[k + 1] = at[k] + lay.L;
        else {
            advance[k] = charLength(text[k], 0);
            at[k + 1] = at[k] + advance[k] * lay.A;
        }
    }
    const Vec halfUp = (0.5f * lay.H) * lay.U, across = lay.W * lay.D;
    const auto entryInside = [&](INTEGER i) {
        const Vec p = at[static_cast<std::size_t>(i)];
        return stacked ? edgeInside(p + halfUp, p + halfUp + across) : edgeInside(p + halfUp, p - halfUp);
    };
    const auto exitInside = [&](INTEGER i) {
        const Vec p = at[static_cast<std::size_t>(i)];
        return stacked ? edgeInside(p - halfUp, p - halfUp + across) : edgeInside(at[static_cast<std::size_t>(i) + 1] + halfUp, at[static_cast<std::size_t>(i) + 1] - halfUp);
    };
    INTEGER i1 = 0;
    while (i1 < n && !entryInside(i1)) ++i1;
    INTEGER i2 = n - 1;
    while (i2 >= 0 && !exitInside(i2)) --i2;
    if (i1 >= n || i2 < 0 || i1 > i2) return false;
    for (INTEGER i = i2 + 1; i < n && !stacked; ++i) {
        lay.Er = lay.Er - advance[static_cast<std::size_t>(i)] * lay.A;
        lay.Ed = lay.Ed - advance[static_cast<std::size_t>(i)] * lay.A;
    }
    const INTEGER count = std::min<INTEGER>(i2 - i1 + 1, 260);
    const std::string_view run = text.substr(static_cast<std::size_t>(i1), static_cast<std::size_t>(count));
    const Vec runStart = at[static_cast<std::size_t>(i1)];
    const auto fill = [&](Vec p) {
        b.X1 = p.x;
        b.Y1 = p.y;
        b.X2 = lay.W;
        b.Y2 = lay.H;
        if (!stacked) {
            b.X3 = lay.Er.x;
            b.Y3 = lay.Er.y;
            b.X4 = lay.Ed.x;
            b.Y4 = lay.Ed.y;
        }
    };
    const INTEGER drawableFlag = layer == 0 ? 1 : 0, hardcopyFlag = layer == 0 ? 0 : 1;
    if ((s.TextStyle & kTextBox) != 0) {
        if (s.TextStacked == 1)
            YYTextDecoration(runStart.x + 0.5f * (lay.W * lay.D.x + lay.H * lay.U.x),
                             runStart.y + 0.5f * (lay.W * lay.D.y + lay.H * lay.U.y), run, count, 1, drawableFlag,
                             hardcopyFlag);
        else if (s.CharacterSpacing == 1 || (layer == 1 && hc.TextBoxFlag == 0))
            YYTextDecoration(runStart.x, runStart.y, run, count, 1, drawableFlag, hardcopyFlag);
    }
    const REAL vertical = layer == 1 ? hardcopyVerticalFactor() : 1.0f;
    bool perCharacter = false;
    bool driverUnderlined = false;
    if (!stacked) {
        perCharacter = s.CharacterSpacing == 1 || (layer == 1 && s.CharacterSpacing == 2 && hc.TextSpacingFlag == 0);
        if (perCharacter) {
            Vec p = runStart;
            for (INTEGER k = 0; k < count; ++k) {
                fill(p);
                stringWorkBuffer() = run.substr(static_cast<std::size_t>(k), 1);
                b.IntX1 = 1;
                if (layer == 1) b.IntX2 = k == 0 ? 1 : (k == count - 1 ? 2 : 0);
                sendToLayer(layer, OpText);
                const REAL w = charLength(run[static_cast<std::size_t>(k)], 1);
                p = p + Vec{w * s.CharAdvanceX, w * s.CharAdvanceY * vertical};
            }
        } else {
            fill(runStart);
            stringWorkBuffer() = run;
            b.IntX1 = count;
            if (layer == 1) b.IntX2 = 3;
            b.IntX4 = 1;
            sendToLayer(layer, OpText);
            driverUnderlined = b.IntX4 != 1;
        }
    } else if (layer == 1) {
        const INTEGER justification = s.TextJustification, spacing = s.CharacterSpacing;
        const bool driverSpaces = hc.TextSpacingFlag == 1 && spacing != 0;
        if (driverSpaces) {
            s.TextJustification = 1;
            s.CharacterSpacing = 2;
        }
        for (INTEGER k = 0; k < count; ++k) {
            Vec p = runStart + static_cast<REAL>(k) * lay.L;
            if (spacing != 0) {
                const REAL shift = hc.TextSpacingFlag == 1 ? 0.5f : 0.5f * (1.0f - charLength(run[static_cast<std::size_t>(k)], 0));
                p = p + Vec{shift * lay.A.x, shift * lay.A.y * vertical};
            }
            fill(p);
            b.X3 = p.x + lay.D.x;
            b.Y3 = p.y + lay.D.y;
            stringWorkBuffer() = run.substr(static_cast<std::size_t>(k), 1);
            b.IntX1 = 1;
            b.IntX2 = k == 0 ? 1 : (k == count - 1 ? 2 : 0);
            sendToLayer(layer, OpText);
        }
        s.TextJustification = justification;
        s.CharacterSpacing = spacing;
    } else {
        fill(runStart);
        stringWorkBuffer() = run;
        b.IntX1 = count;
        b.IntX4 = 1;
        sendToLayer(layer, OpText);
    }
    if ((s.TextStyle & kTextUnderline) != 0 && !stacked && !driverUnderlined) {
        const REAL lu = lay.W * IGrTextLength(run, count, 0);
        const Vec v{lu * s.TextDirCos, lu * s.TextDirSin * vertical};
        const Vec o = 0.45f * Vec{s.CharLineX, -s.CharLineY};
        Vec from = runStart + o;
        if (s.TextJustification == 2) from = lay.Er + o - v;
        else if (s.TextJustification == 1) from = 0.5f * (runStart + lay.Er) + o - 0.5f * v;
        LayerOnly layers(drawableFlag, hardcopyFlag);
        YYLineDevice(from.x, from.y, from.x + v.x, from.y + v.y);
    }
    return true;
}

}  // namespace

void IGrTextDraw(std::optional<REAL> x, std::optional<REAL> y, std::string_view text)
{
    GraphicsState& g = graphicsState();
    GraphicsTransform& t = graphicsTransform();
    TextState& s = textState();
    if (g.DrawableActive != 0) YYTextAreaUpdate();
    Vec ref;
    YYUnitsToDevice(x.value_or(t.CurrentPointX), y.value_or(t.CurrentPointY), ref.x, ref.y);
    const REAL f = 0.5f * static_cast<REAL>(s.TextJustification);
    const INTEGER n = static_cast<INTEGER>(std::min<std::size_t>(text.size(), 1u << 30));
    const INTEGER savedLineType = g.LineType;
    bool lineTypeChanged = false;
    // With both layers off there is nothing to draw on, and the current point stays.
    if (g.DrawableActive == 0 && g.HardcopyActive == 0) return;
    INTEGER layer = g.DrawableActive != 0 ? 0 : 1;
    INTEGER pass = 0;
    bool pointMoved = false;
    const auto finish = [&] {
        if (lineTypeChanged) IGrLineStyle(savedLineType);
    };
    for (;;) {
        const bool strokePath = s.StrokeFontSelected == 1 || pass != 0;
        const TextLayout lay = layoutFor(layer, strokePath, ref, f, n, text);
        if (g.LineType != 0 && (strokePath || ((s.TextStyle & kTextUnderline) != 0 && s.TextStacked == 0))) {
            IGrLineStyle(0);
            lineTypeChanged = true;
        }
        if (!pointMoved) {
            const bool active = layer == 0 ? g.DrawableActive != 0 : g.HardcopyActive != 0;
            if (active) {
                REAL ux = 0, uy = 0;
                YYDeviceToUnitsRotated(lay.NewPoint.x, lay.NewPoint.y, ux, uy);
                IGrPenMove(ux, uy);
            }
            pointMoved = true;
        }
        bool decide = !strokePath;
        if (strokePath) {
            const REAL savedSlant = s.TextSlant;
            if (pass != 0) s.TextSlant = (s.TextStyle & kTextItalic) != 0 ? kItalicSlant : 0.0f;
            {
                LayerOnly layers(pass == 2 ? 0 : g.DrawableActive, pass == 1 ? 0 : g.HardcopyActive);
                if ((s.TextStyle & kTextBox) != 0)
                    YYTextDecoration(lay.S0.x, lay.S0.y, text, n, 1, g.DrawableActive, g.HardcopyActive);
                YYStrokeText(YYStrokeTextGeometry(), lay.S0.x, lay.S0.y, text, n, lay.W, lay.H);
            }
            if (pass != 0) {
                YYStrokeFontSwap(2);
                s.TextSlant = savedSlant;
            }
            if (pass == 1 && g.HardcopyActive != 0) {
                layer = 1;
                pass = 0;
                decide = true;
            } else {
                finish();
                return;
            }
        }
        if (decide) {
            REAL w = lay.W, h = lay.H;
            if (layer == 1) YYRequestedCharSize(w, h);
            if (deviceCapabilityTable().DeviceTextThreshold[static_cast<std::size_t>(layer)] < 1.7e38f &&
                YYUseStrokeText(layer, w, h)) {
                YYStrokeFontSwap(1);
                loadFallbackSet(s.FallbackStrokeFont);
                s.StrokeFontSelected = 1;
                pass = layer == 0 ? 1 : 2;
                continue;
            }
        }
        // After a substitute pass the layer-1 geometry is the requested one, which the stroke
        // layout already used.
        const TextLayout device = layoutFor(layer, false, ref, f, n, text);
        if (!deviceText(layer, device, text, n)) {
            finish();
            return;
        }
        if (layer == 0 && g.HardcopyActive != 0) {
            layer = 1;
            pass = 0;
            continue;
        }
        finish();
        return;
    }
}
