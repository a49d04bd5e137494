#include "toolkit/devices/HardcopyOptions.h"

#include <algorithm>

#include "toolkit/devices/DeviceModels.h"
#include "toolkit/devices/HardcopyState.h"
#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/FillPrimitives.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/GraphicsText.h"

INTEGER* HardcopyOptionBlock::slot(INTEGER option)
{
    if (option >= 1 && option <= 32) return &Options[static_cast<std::size_t>(option)];
    if (option >= 101 && option <= 108) return &Extended[static_cast<std::size_t>(option - 101)];
    return nullptr;
}

INTEGER HardcopyOptionBlock::value(INTEGER option) const
{
    if (option >= 1 && option <= 32) return Options[static_cast<std::size_t>(option)];
    if (option >= 101 && option <= 108) return Extended[static_cast<std::size_t>(option - 101)];
    return 0;
}

HardcopyOptionBlock& hardcopyOptionBlock()
{
    static HardcopyOptionBlock block;
    return block;
}

namespace {

struct KeptOptions {
    HardcopyOptionBlock Options;
    FixedText<260> OutputFile;
};

KeptOptions& keptOptions()
{
    static KeptOptions kept;
    return kept;
}

bool straightPage() { return graphicsTransform().PageAngle % 180 == 0; }

bool inRange(INTEGER value, INTEGER low, INTEGER high) { return value >= low && value <= high; }

void rewriteOutputExtension(INTEGER driver, std::string_view extension)
{
    HardcopyJobState& job = hardcopyJobState();
    if (job.DriverDevice != driver || job.OutputFile.usedLength() == 0) return;
    YYFileExtensionRewrite(job.OutputFile, extension);
}

}  // namespace

void YYFileExtensionRewrite(FixedText<260>& name, std::string_view extension)
{
    const std::string_view text = name.view();
    const std::size_t used = name.usedLength();
    const std::size_t dot = text.substr(0, used).rfind('.');
    const std::size_t separator = text.substr(0, used).find_last_of("\\/");
    std::size_t start = used;
    if (dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator)) start = dot;
    std::string rewritten(text.substr(0, start));
    rewritten += extension;
    name.assign(rewritten);
}

std::string_view YYOptionFileExtension(INTEGER option, INTEGER value)
{
    switch (option) {
    case 22: return value == 0 ? ".ps" : ".eps";
    case 26: return value == 1 || value == 2 ? ".bmp" : value == 3 ? ".png" : ".pcx";
    case 27: return value == 2 ? ".emf" : ".wmf";
    default: return {};
    }
}

void IGrHardcopySetOption(INTEGER option, INTEGER value)
{
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    INTEGER& page1 = o.Options[1];
    INTEGER& page2 = o.Options[2];
    const INTEGER driver = hardcopyJobState().DriverDevice;
    const PrinterModelState& model = printerModelState();
    switch (option) {
    case 1: case 2:
        if (value <= 0) return;
        o.Options[static_cast<std::size_t>(option)] = value;
        YYPageAspect();
        return;
    case 3: case 4: case 7: case 15: case 17: case 18: case 19: case 20: case 25: case 27: case 28: case 29:
    case 106: case 107:
        *o.slot(option) = value;
        return;
    case 5: {
        if (!inRange(value, 0, 3)) return;
        o.Options[5] = value % 2;
        const INTEGER small = std::min(page1, page2), large = std::max(page1, page2);
        if (value == 2) {
            page1 = small;
            page2 = large;
        } else if (value == 3) {
            page1 = large;
            page2 = small;
        }
        return;
    }
    case 6:
        if (inRange(value, 0, 2)) o.Options[6] = value;
        return;
    case 8:
        o.Options[8] = std::max(value, 1);
        return;
    case 9:
        o.Options[9] = std::max(value, 1);
        YYDriverHardcopy(OpLineWidth);
        return;
    case 10: case 11:
        if (!inRange(value, 0, 2)) return;
        o.Options[static_cast<std::size_t>(option)] = value;
        YYDriverHardcopy(option == 10 ? OpLineJoin : OpLineCap);
        return;
    case 12:
        o.Options[12] = std::max(value, 100);
        return;
    case 13:
        if (!inRange(value, 1, model.PrinterResolutionCount)) return;
        o.Options[13] = value;
        hardcopyDriverState().RasterResolutionIndex = value;
        return;
    case 16:
        if (inRange(value, 10, 255)) o.Options[16] = value;
        return;
    case 21:
        if (inRange(value, 1, 127)) o.Options[21] = value;
        return;
    case 22:
        o.Options[22] = value;
        rewriteOutputExtension(2, YYOptionFileExtension(22, value));
        return;
    case 23: {
        const bool image = driver == 6 && (value == 1 || value == 4 || value == 8 || value == 24);
        const bool dxf = driver == 8 && (value == 3 || value == 4 || value == 8 || value == 24);
        if (image || dxf) o.Options[23] = value;
        return;
    }
    case 24:
        if (inRange(value, 0, model.PrinterColourLimit)) o.Options[24] = value;
        return;
    case 26:
        o.Options[26] = value;
        rewriteOutputExtension(6, YYOptionFileExtension(26, value));
        return;
    case 101: case 102: case 103: case 104: case 108:
        if (value >= 1) *o.slot(option) = value;
        return;
    case 105:
        if (inRange(value, 1, 4)) *o.slot(option) = value;
        return;
    default:
        return;  // 14, 30 to 32 and unknown numbers
    }
}

void YYPageAspect()
{
    const HardcopyOptionBlock& o = hardcopyOptionBlock();
    const INTEGER w = o.Options[1], h = o.Options[2];
    if (w <= 0 || h <= 0) return;
    hardcopyTextScaling().HardcopyAspect =
        straightPage() ? static_cast<REAL>(w) / static_cast<REAL>(h) : static_cast<REAL>(h) / static_cast<REAL>(w);
}

void YYHardcopyRescale()
{
    const GraphicsState& g = graphicsState();
    GraphicsTransform& t = graphicsTransform();
    TextState& text = textState();
    HardcopyTextScaling& scaling = hardcopyTextScaling();
    const HardcopyDriverState& driver = hardcopyDriverState();
    const bool straight = straightPage();

    // A drawable without a size yet has no extents to take; the text keeps what it has.
    if (g.DrawableWidth > 0 && g.DrawableHeight > 0) {
        const REAL w = static_cast<REAL>(g.DrawableWidth) - 0.01f, h = static_cast<REAL>(g.DrawableHeight) - 0.01f;
        t.HardcopyXExtent = straight ? w : h;
        t.HardcopyYExtent = straight ? h : w;
        text.TextDrawableWidth = t.HardcopyXExtent;
        text.TextDrawableHeight = t.HardcopyYExtent;
        if (t.DeviceXExtent > 0.0f && t.DeviceYExtent > 0.0f) {
            text.TextAreaWidth = straight ? t.DeviceXExtent : t.DeviceYExtent;
            text.TextAreaHeight = straight ? t.DeviceYExtent : t.DeviceXExtent;
        }
        const REAL W = static_cast<REAL>(g.DrawableWidth), H = static_cast<REAL>(g.DrawableHeight);
        t.DrawableAspect = straight ? W / H : H / W;
    }
    if (g.DrawableActive == 0 && scaling.HardcopyAspect > 0.0f) t.DrawableAspect = scaling.HardcopyAspect;
    scaling.ScaleX = straight ? driver.XScale : driver.YScale;
    scaling.ScaleY = straight ? driver.YScale : driver.XScale;
    YYTextAngle(text.TextAngle);
    YYCharScale();
}

void YYDriverReset()
{
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    o.Options[6] = 0;
    o.Options[7] = 0;
    o.Options[8] = 1;
    o.Options[9] = 5;
    o.Options[10] = 0;
    o.Options[11] = 0;
    o.Options[17] = 0;
    o.Extended = {80, 60, 1, 999999, 1, 0, 0, 8};
}

bool YYHardcopyOptionsSave()
{
    if (hardcopyJobState().DriverDevice == 0) return false;
    KeptOptions& kept = keptOptions();
    kept.Options = hardcopyOptionBlock();
    kept.OutputFile = hardcopyJobState().OutputFile;
    return true;
}

void YYHardcopyOptionsClear()
{
    HardcopyOptionBlock& o = hardcopyOptionBlock();
    std::fill(o.Options.begin() + 1, o.Options.begin() + 30, 0);
}

void YYHardcopyOptionsRestore()
{
    const KeptOptions kept = keptOptions();
    hardcopyJobState().OutputFile = kept.OutputFile;
    for (INTEGER n = 1; n <= 29; ++n) IGrHardcopySetOption(n, kept.Options.value(n));
    for (INTEGER n = 101; n <= 108; ++n) IGrHardcopySetOption(n, kept.Options.value(n));
}

void YYHardcopyOptionHooksInstall()
{
    DrawableHooks& hooks = drawableHooks();
    hooks.hardcopyRescale = &YYHardcopyRescale;
    hooks.hardcopyLineThickness = [](INTEGER thickness) { hardcopyOptionBlock().Options[9] = std::max(thickness, 1); };
    hooks.hardcopyLineThicknessQuery = [] { return hardcopyOptionBlock().Options[9]; };
    hooks.hardcopyOptionsSave = &YYHardcopyOptionsSave;
    hooks.hardcopyOptionsClear = &YYHardcopyOptionsClear;
    hooks.hardcopyOptionsRestore = &YYHardcopyOptionsRestore;
}
