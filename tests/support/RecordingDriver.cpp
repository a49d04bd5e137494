#include "RecordingDriver.h"

#include <string_view>

#include "toolkit/graphics/ColourPalette.h"
#include "toolkit/graphics/GraphicsText.h"

namespace {

RecordingDriver* active = nullptr;
std::vector<RecordedOp> recorded;
std::string initAnswer[3];
INTEGER fillRequest = 0;
REAL textWidthAnswer[3] = {0, 0, 0};
INTEGER underlineAnswer[3] = {1, 1, 1};
bool refuseOutput = false;
bool charSizeAnswer[3] = {false, false, false};

}  // namespace

RecordingDriver::RecordingDriver(bool screenLayer, bool hardcopyLayer) : saved_(driverHooks())
{
    active = this;
    recorded.clear();
    initAnswer[1] = initAnswer[2] = "";
    fillRequest = 0;
    for (int i = 0; i < 3; ++i) {
        textWidthAnswer[i] = 0;
        underlineAnswer[i] = 1;
        charSizeAnswer[i] = false;
    }
    DriverHooks& hooks = driverHooks();
    hooks.ScreenDriver = screenLayer ? &RecordingDriver::screen : nullptr;
    hooks.MetafileDriver = nullptr;
    hooks.HardcopyDrivers.fill(nullptr);
    refuseOutput = false;
    if (hardcopyLayer) {
        for (std::size_t device = 1; device < hooks.HardcopyDrivers.size(); ++device)
            if (device != 5 && device != 7) hooks.HardcopyDrivers[device] = &RecordingDriver::hardcopy;
    }
}

RecordingDriver::~RecordingDriver()
{
    driverHooks() = saved_;
    active = nullptr;
}

std::vector<RecordedOp>& RecordingDriver::ops() { return recorded; }

void RecordingDriver::clear() { recorded.clear(); }

std::vector<INTEGER> RecordingDriver::codes(INTEGER layer) const
{
    std::vector<INTEGER> list;
    for (const RecordedOp& op : recorded)
        if (op.Layer == layer) list.push_back(op.Op);
    return list;
}

void RecordingDriver::answerInit(INTEGER layer, const char* capabilities) { initAnswer[layer] = capabilities; }

void RecordingDriver::answerText(INTEGER layer, REAL pixelsPerCharacter, INTEGER underline)
{
    textWidthAnswer[layer] = pixelsPerCharacter;
    underlineAnswer[layer] = underline;
}

void RecordingDriver::answerCharSize(INTEGER layer) { charSizeAnswer[layer] = true; }

void RecordingDriver::screen(INTEGER op) { record(1, op); }

void RecordingDriver::refuseHardcopyOutput(bool refuse) { refuseOutput = refuse; }

void RecordingDriver::hardcopy(INTEGER op)
{
    if (active) fillRequest = active->hardcopyFillRequest_;
    record(2, op);
    DriverParameterBlock& b = driverParameterBlock();
    if (op == OpInit && b.Count == -999) b.Count = driverHooks().HardcopyDevice;
    if (op == OpBeginOutput && b.Value > 0 && refuseOutput) graphicsState().HardcopyActive = 0;
    if (fillRequest != 0 && op >= OpEllipseFill && op <= OpPolygonSolid && driverParameterBlock().Value == 1)
        graphicsState().LayerFillRequest[1] = fillRequest;
}

void RecordingDriver::record(INTEGER layer, INTEGER op)
{
    const GraphicsState& g = graphicsState();
    RecordedOp r;
    r.Layer = layer;
    r.Op = op;
    r.Block = driverParameterBlock();
    r.ColourIndex = g.ColourIndex[1];
    r.PreviousColourIndex = g.ColourIndex[0];
    r.LineType = g.LineType;
    r.FillStyle = g.FillStyle;
    r.DrawableActive = g.DrawableActive;
    r.Text = std::string(stringWorkBuffer().trimmed());
    recorded.push_back(r);
    DriverParameterBlock& b = driverParameterBlock();
    if (op == OpTextWidth && textWidthAnswer[layer] > 0) {
        b.Count = 1;
        b.X1 = static_cast<REAL>(b.Value) * textWidthAnswer[layer];
    }
    if (op == OpText && b.IntX4 == 1) b.IntX4 = underlineAnswer[layer];
    if (op == OpCharSize && charSizeAnswer[layer]) {
        TextState& s = textState();
        REAL w = 0, h = 0;
        YYRequestedCharSize(w, h);
        if (w > 0.0f) s.CharScaleX = s.TextDrawableWidth / w;
        if (h > 0.0f) s.CharScaleY = s.TextDrawableHeight / h;
    }
    if (layer == 1 && op == OpInit && driverParameterBlock().Count == -999) driverParameterBlock().Count = 0;
    if (op == OpInit && !initAnswer[layer].empty()) {
        deviceCapabilityTable().CapabilityString[static_cast<std::size_t>(layer - 1)] = std::string_view(initAnswer[layer]);
        deviceCapabilityTable().LineTypeCount[static_cast<std::size_t>(layer - 1)] = 8;
    }
}

void resetGraphicsForTest(INTEGER width, INTEGER height)
{
    drawableHooks() = DrawableHooks{};
    GraphicsState& g = graphicsState();
    g.CurrentWindow = 0;
    g.DrawableKind = kDrawableWindow;
    g.DrawableId = 0;
    g.DrawableWidth = width;
    g.DrawableHeight = height;
    g.PaletteSlots = 256;
    g.HardcopyActive = 0;
    YYPaletteDefault();
    IGrResetGraphics(" ");
}
