#include "toolkit/graphics/GraphicsText.h"

#include <algorithm>
#include <cmath>

#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/StrokeFonts.h"

TextState& textState()
{
    static TextState state;
    return state;
}

namespace {

constexpr REAL kDefaultCharWidth = 0.01333333f;
constexpr REAL kDefaultCharHeight = 0.04f;

bool sideways() { return graphicsTransform().PageAngle == 90 || graphicsTransform().PageAngle == 270; }

// A quotient whose divisor is not a usable size keeps the fallback, so a drawable without a size
// yet never turns the text geometry into infinities.
REAL safeRatio(REAL numerator, REAL divisor, REAL fallback)
{
    if (!(std::fabs(divisor) > 0.0f) || !std::isfinite(numerator / divisor)) return fallback;
    return numerator / divisor;
}

void reloadBoldVariant()
{
    const StrokeFontTable& f = strokeFontTable();
    const std::string name = f.StrokeFontName.trimmed();
    if (name.starts_with("fixed")) YYStrokeFontFixed();
    else if (name.starts_with("swiss")) YYStrokeFontSwiss();
    else if (name.starts_with("roman")) YYStrokeFontRoman();
}

}  // namespace

void YYTextAreaUpdate()
{
    TextState& s = textState();
    const GraphicsTransform& t = graphicsTransform();
    if (!(t.DeviceXExtent > 0.0f) || !(t.DeviceYExtent > 0.0f)) return;
    const bool swap = sideways();
    s.TextAreaWidth = swap ? t.DeviceYExtent : t.DeviceXExtent;
    s.TextAreaHeight = swap ? t.DeviceXExtent : t.DeviceYExtent;
    s.TextDrawableWidth = swap ? t.DrawableYLimit : t.DrawableXLimit;
    s.TextDrawableHeight = swap ? t.DrawableXLimit : t.DrawableYLimit;
}

REAL YYTextAspect()
{
    const TextState& s = textState();
    const GraphicsTransform& t = graphicsTransform();
    const GraphicsState& g = graphicsState();
    const REAL w = static_cast<REAL>(g.DrawableWidth), h = static_cast<REAL>(g.DrawableHeight);
    const REAL q = sideways() ? safeRatio(h, w, 1.0f) : safeRatio(w, h, 1.0f);
    const REAL r = safeRatio(t.AreaWidth, t.AreaHeight, 1.0f) * safeRatio(s.TextAreaHeight, s.TextAreaWidth, 1.0f) * q;
    return r > 0.0f && std::isfinite(r) ? r : 1.0f;
}

void YYRequestedCharSize(REAL& width, REAL& height)
{
    const TextState& s = textState();
    const GraphicsTransform& t = graphicsTransform();
    width = t.CharWidthFraction * s.TextAreaWidth;
    height = t.CharHeightFraction * s.TextAreaHeight;
}

void YYDeviceCharSize(REAL& width, REAL& height)
{
    const TextState& s = textState();
    REAL wr = 0, hr = 0;
    YYRequestedCharSize(wr, hr);
    width = safeRatio(s.TextDrawableWidth, s.CharScaleX, wr);
    height = safeRatio(s.TextDrawableHeight, s.CharScaleY, hr);
}

void YYTextStateReset()
{
    TextState& s = textState();
    const TextState fresh;
    s.TextJustification = fresh.TextJustification;
    s.TextStacked = fresh.TextStacked;
    s.TextStyle = fresh.TextStyle;
    s.StrokeFontSelected = fresh.StrokeFontSelected;
    s.CharacterSpacing = fresh.CharacterSpacing;
    s.DeviceFontVariant = fresh.DeviceFontVariant;
    s.FallbackStrokeFont = fresh.FallbackStrokeFont;
    s.TextReserved = fresh.TextReserved;
    s.DeviceFaceName = fresh.DeviceFaceName;
    s.StrokePreference = fresh.StrokePreference;
    s.TextSlant = fresh.TextSlant;
    s.TextAngle = fresh.TextAngle;
    s.DeviceTextAngle = fresh.DeviceTextAngle;
    s.TextDirCos = 1;
    s.TextDirSin = 0;
    s.TextUpSin = 0;
}

void YYCharScale()
{
    TextState& s = textState();
    const GraphicsState& g = graphicsState();
    const GraphicsTransform& t = graphicsTransform();
    s.FallbackStrokeFont = s.DeviceFontVariant != 0 ? s.DeviceFontVariant : (s.CharacterSpacing == 0 ? 1 : 2);
    YYDriverHardcopy(OpCharSize);
    if (g.DrawableActive == 0) {
        s.CharScaleX = safeRatio(s.TextDrawableWidth, t.CharWidthFraction * s.TextAreaWidth, s.CharScaleX);
        s.CharScaleY = safeRatio(s.TextDrawableHeight, t.CharHeightFraction * s.TextAreaHeight, s.CharScaleY);
    } else if (s.StrokeFontSelected == 0) {
        YYTextAreaUpdate();
        YYDriverCurrent(OpCharSize);
    }
}

void YYTextAngle(REAL angle)
{
    TextState& s = textState();
    REAL a = std::isfinite(angle) ? std::fmod(angle, 360.0f) : 0.0f;
    if (a < 0.0f) a += 360.0f;
    if (a >= 360.0f) a = 0.0f;
    s.TextAngle = a;
    REAL d = std::fmod(a + static_cast<REAL>(graphicsTransform().PageAngle), 360.0f);
    if (d < 0.0f) d += 360.0f;
    s.DeviceTextAngle = d;
    const DOUBLE rad = static_cast<DOUBLE>(d) * 0.017453292;
    REAL c = static_cast<REAL>(std::cos(rad)), sn = static_cast<REAL>(std::sin(rad));
    if (!std::isfinite(c) || !std::isfinite(sn)) {
        c = 1.0f;
        sn = 0.0f;
    }
    // Exact axes, so that text at right angles lies on whole device columns and rows.
    if (d == 0.0f || d == 180.0f) sn = 0.0f;
    if (d == 90.0f || d == 270.0f) c = 0.0f;
    const REAL r = YYTextAspect();
    s.TextDirCos = c;
    s.TextDirSin = r * sn;
    s.TextUpSin = sn / r;
    YYDriverCurrent(OpTextAngle);
    YYDriverHardcopy(OpTextAngle);
}

void WGrTextFont(std::optional<INTEGER> kind, std::optional<INTEGER> style, std::optional<REAL> width,
                 std::optional<REAL> height, std::optional<std::string_view> face, std::optional<INTEGER> mode)
{
    TextState& s = textState();
    GraphicsTransform& t = graphicsTransform();
    bool rescale = false;
    if (kind) {
        switch (*kind) {
        case 1:
            s.StrokeFontSelected = 1;
            s.CharacterSpacing = strokeFontTable().StrokeFontSpacing;
            break;
        case 2:
            s.StrokeFontSelected = 0;
            s.CharacterSpacing = s.DeviceFontVariant == 1 ? 0 : 2;
            break;
        case 101:
            s.DeviceFontVariant = 1;
            s.StrokeFontSelected = 0;
            s.CharacterSpacing = 0;
            rescale = true;
            break;
        case 100: case 102: case 103: case 104:
            s.DeviceFontVariant = *kind - 100;
            s.StrokeFontSelected = 0;
            s.CharacterSpacing = 2;
            rescale = true;
            break;
        default: break;
        }
    }
    if (width) {
        if (*width > 0.0f) t.CharWidthFraction = *width;
        rescale = true;
    }
    if (height) {
        if (*height > 0.0f) t.CharHeightFraction = *height;
        rescale = true;
    }
    if (style) {
        if (s.StrokeFontSelected == 0 && (*style & 7) != (s.TextStyle & 7)) rescale = true;
        s.TextStyle = *style;
    }
    if (s.StrokeFontSelected != 0 && strokeFontTable().StrokeAsLines == 0 &&
        strokeFontTable().StrokeBoldLoaded != (s.TextStyle & kTextBold))
        reloadBoldVariant();
    if ((kind || style) && s.StrokeFontSelected != 0) s.TextSlant = (s.TextStyle & kTextItalic) != 0 ? kItalicSlant : 0.0f;
    if (mode) {
        const INTEGER before = s.CharacterSpacing;
        switch (*mode) {
        case 0:
            s.CharacterSpacing = s.StrokeFontSelected != 0 ? strokeFontTable().StrokeFontSpacing
                                                           : (s.DeviceFontVariant == 1 ? 0 : 2);
            break;
        case 1:
            if (s.DeviceFontVariant == 0 || s.StrokeFontSelected != 0) s.CharacterSpacing = 0;
            break;
        case 2:
            if (s.DeviceFontVariant != 1 || s.StrokeFontSelected != 0) s.CharacterSpacing = 1;
            break;
        default: break;
        }
        if (s.StrokeFontSelected == 0 && s.CharacterSpacing != before) rescale = true;
    }
    if (face && s.DeviceFontVariant == 0) {
        s.DeviceFaceName = *face;
        rescale = true;
    }
    if (s.DeviceFontVariant == 0 && s.StrokeFontSelected == 0 && s.DeviceFaceName.usedLength() == 0) {
        YYErrorReport(1058, "WGrTextFont");
        s.FallbackStrokeFont = s.CharacterSpacing == 0 ? 1 : 2;
    }
    if (rescale) YYCharScale();
}

void IGrTextAlign(std::optional<INTEGER> justification, std::optional<REAL> angle, std::optional<INTEGER> stacked,
                  std::optional<INTEGER> reserved)
{
    TextState& s = textState();
    if (justification && *justification >= 0 && *justification <= 2) s.TextJustification = *justification;
    if (angle) YYTextAngle(*angle);
    if (stacked) s.TextStacked = *stacked;
    if (reserved && *reserved >= 0 && *reserved <= 2) s.TextReserved = *reserved;
}

void IGrTextSize(REAL width, REAL height)
{
    GraphicsTransform& t = graphicsTransform();
    t.CharWidthFraction = width > 0.0f ? width : kDefaultCharWidth;
    t.CharHeightFraction = height > 0.0f ? height : kDefaultCharHeight;
    YYCharScale();
}

REAL IGrTextLength(std::string_view text, INTEGER count, std::optional<INTEGER> mode)
{
    const TextState& s = textState();
    const INTEGER n = std::clamp<INTEGER>(count, 0, static_cast<INTEGER>(std::min<std::size_t>(text.size(), 1u << 30)));
    if (n == 0) return 0.0f;
    if (mode.value_or(0) == 0 && s.CharacterSpacing != 1 && s.StrokeFontSelected == 0) {
        DriverParameterBlock& b = driverParameterBlock();
        b.Value = std::min<INTEGER>(n, 260);
        b.Count = 0;
        stringWorkBuffer() = text.substr(0, static_cast<std::size_t>(b.Value));
        if (graphicsState().DrawableActive != 0) YYDriverCurrent(OpTextWidth);
        else YYDriverHardcopy(OpTextWidth);
        if (b.Count != 0 && s.TextDrawableWidth > 0.0f) {
            const REAL length = b.X1 * s.CharScaleX / s.TextDrawableWidth;
            if (std::isfinite(length)) return length;
        }
    }
    if (s.CharacterSpacing == 0) return static_cast<REAL>(n);
    return YYAdvanceTableLength(text, n);
}

HardcopyTextScaling& hardcopyTextScaling()
{
    static HardcopyTextScaling scaling;
    return scaling;
}
