#include "Quorvalent/PointerHandling.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Quorvalent/AppState.h"
#include "Quorvalent/DrawLabel.h"
#include "Quorvalent/Quorvalent.h"
#include "Quorvalent/Refresh1d.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/plotModel.h"
#include "Quorvalent/plotRho.h"
#include "WBRVLib/Brvl95.h"
#include "WBRVLib/Gngrid.h"
#include "WBRVLib/Plotxy.h"
#include "toolkit/foundation/StatusBar.h"
#include "toolkit/foundation/WindowServices.h"

namespace {

constexpr INTEGER kBandPen = 13;
constexpr REAL kLabelTolerance = 0.05f;

// Event record words.
constexpr std::size_t kWordWindow = 0, kWordButton = 1, kWordX = 5, kWordY = 6, kWordTime = 11;

REAL pageX(INTEGER X) { return static_cast<REAL>(X) * 10.0f / 10000.0f; }
REAL pageY(INTEGER Y) { return static_cast<REAL>(10000 - Y) * 8.0f / 10000.0f; }

void refreshSuite()
{
    SoundingPair& suite = suiteSoundingRecord();
    REFRESHSUITE(suite.Record, suite.Companion);
}

INTEGER cursorForGrab(INTEGER grab)
{
    switch (grab) {
    case 1: return 9;    // north-east / south-west
    case -1: return 10;  // north-west / south-east
    case 2: return 8;    // west-east
    case -2: return 7;   // north-south
    default: return 6;   // four-way move
    }
}

}  // namespace

std::string fixedReadout(REAL value, int width, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%*.*f", width, decimals, static_cast<double>(value));
    std::string text = buffer;
    if (static_cast<int>(text.size()) > width || !std::isfinite(value)) text.assign(static_cast<std::size_t>(width), '*');
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

bool pointerReadout(REAL x, REAL y, const SoundingRecord& sounding, const GraphFrameRecord& curveFrame,
                    const GraphFrameRecord& modelFrame, PointerReadout& readout)
{
    const GraphOptionsState& options = graphOptionsState();
    const REAL cx = XOFPL(x, curveFrame), cy = YOFPL(y, curveFrame);
    const REAL mx = XOFPL(x, modelFrame), my = YOFPL(y, modelFrame);
    const std::string depthUnit = isTrue(options.DepthInFeet) ? " ft" : " m";
    if (isTrue(LINGRAPH(cx, cy, curveFrame))) {
        readout.XText = fixedReadout(cx, 10, 5) + " S";
        readout.YText = isTrue(options.VoltageReadout) ? fixedReadout(cy, 10, 1) + " nV/m2" : fixedReadout(cy, 10, 3) + " o-m";
        readout.XFirst = true;
        return true;
    }
    if (isTrue(LINGRAPH(mx, my, modelFrame))) {
        readout.YText = fixedReadout(my, 10, 1) + depthUnit;
        readout.XText = fixedReadout(mx, 10, 2) + " o-m";
        readout.XFirst = false;
        return true;
    }
    if (sounding.Model.ValuesPerLayer > 1) {
        const GraphFrameRecord& second = modelGraphFrames().Frames[1];
        const REAL px = XOFPL(x, second), py = YOFPL(y, second);
        if (isTrue(LINGRAPH(px, py, second))) {
            readout.YText = fixedReadout(py, 10, 1) + depthUnit;
            const bool switched = sounding.Model.ModelSwitch1 > 0;
            readout.XText = fixedReadout(px, 8, 2) + (switched ? " o-m" : " ip");
            readout.XFirst = false;
            return true;
        }
    }
    return false;
}

void SOUNDODOM(REAL x, REAL y, const SoundingRecord& sounding, const GraphFrameRecord& curveFrame,
               const GraphFrameRecord& modelFrame)
{
    PointerReadout readout;
    if (!pointerReadout(x, y, sounding, curveFrame, modelFrame, readout)) return;
    if (readout.XFirst) {
        WStatusBarText(kReadoutXPart, readout.XText);
        WStatusBarText(kReadoutYPart, readout.YText);
    } else {
        WStatusBarText(kReadoutYPart, readout.YText);
        WStatusBarText(kReadoutXPart, readout.XText);
    }
}

void pointerPress(const EventRecord& record)
{
    PointerState& p = pointerState();
    p.PressTime = record[kWordTime];
    p.AnchorX = record[kWordX];
    p.AnchorY = record[kWordY];
    p.Button = record[kWordButton];
    if ((p.Button == 1 || p.Button == 3) && p.CurrentLabel > 0 && p.CurrentLabel <= labelTable().Count) {
        const LabelTable& t = labelTable();
        const auto u = static_cast<std::size_t>(p.CurrentLabel);
        p.DragActive = kTrue;
        p.OnAnchor = toLogical(isTrue(LNLYEQ(t.AnchorX[u], t.X[u])) && isTrue(LNLYEQ(t.AnchorY[u], t.Y[u])));
        p.GrabOffsetX = p.GrabOffsetY = 0.0f;
        if (p.Grab == 0 && !isTrue(p.AnchorGrabbed))
            labelGrabOffset(p.CurrentLabel, p.AnchorX, p.AnchorY, p.LabelFrame, p.GrabOffsetX, p.GrabOffsetY);
    }
}

void pointerMove(const EventRecord& record)
{
    PointerState& p = pointerState();
    const INTEGER X = record[kWordX], Y = record[kWordY];
    p.LastX = X;
    p.LastY = Y;
    GraphFrameRecord& curveFrame = curveGraphFrames().Frames[0];
    SOUNDODOM(pageX(X), pageY(Y), currentSoundingRecord().Record, curveFrame, modelGraphFrames().Frames[0]);

    p.HighlightedLabel = p.CurrentLabel;
    p.SavedLabelFrame = p.LabelFrame;
    if (!isTrue(p.DragActive)) p.CurrentLabel = 0;
    if (!isTrue(p.BandActive) && !isTrue(p.DragActive)) {
        INTEGER current = 0;
        REAL tolerance = kLabelTolerance;
        TESTLABEL(current, tolerance, p.LastX, p.LastY, curveFrame, p.LabelFrame, p.AnchorGrabbed, p.Grab,
                  record[kWordWindow]);
        p.CurrentLabel = current;
    }
    if (p.Button == 1 && record[kWordTime] - p.PressTime > kBandDelay) {
        if (isTrue(p.DragActive)) {
            DRAWLABEL(p.CurrentLabel, -1, p.LabelFrame);
            dragLabelTo(p.CurrentLabel, p.LastX, p.LastY, p.LabelFrame, p.AnchorGrabbed, p.Grab, p.OnAnchor, p.GrabOffsetX,
                        p.GrabOffsetY);
            DRAWLABEL(p.CurrentLabel, -1, p.LabelFrame);
        } else if (isTrue(graphOptionsState().ZoomMode)) {
            if (isTrue(p.BandActive))
                RUBBERBOX(p.AnchorX, p.AnchorY, p.CornerX, p.CornerY);
            else
                SET_PEN(kBandPen);
            p.CornerX = X;
            p.CornerY = Y;
            p.BandActive = kTrue;
            RUBBERBOX(p.AnchorX, p.AnchorY, p.CornerX, p.CornerY);
        }
    }
    if (p.CurrentLabel > 0) {
        if (p.HighlightedLabel > 0 && p.HighlightedLabel != p.CurrentLabel) {
            DRAWLABEL(p.HighlightedLabel, -1, p.SavedLabelFrame);
            p.HighlightedLabel = 0;
        }
        WCursorShape(cursorForGrab(p.Grab));
        if (p.HighlightedLabel == 0) DRAWLABEL(p.CurrentLabel, -1, p.LabelFrame);
    } else {
        WCursorShape(0);
        if (p.HighlightedLabel > 0) DRAWLABEL(p.HighlightedLabel, -1, p.SavedLabelFrame);
    }
}

void pointerRelease(const EventRecord& record)
{
    PointerState& p = pointerState();
    p.Button = 0;
    if (isTrue(p.DragActive)) {
        DRAWLABEL(p.CurrentLabel, -1, p.LabelFrame);
        dragLabelTo(p.CurrentLabel, p.LastX, p.LastY, p.LabelFrame, p.AnchorGrabbed, p.Grab, p.OnAnchor, p.GrabOffsetX,
                    p.GrabOffsetY);
        refreshSuite();
        p.BandActive = kFalse;
        p.DragActive = kFalse;
        p.CurrentLabel = 0;
        WCursorShape(0);
        return;
    }
    if (!isTrue(p.BandActive)) return;
    RUBBERBOX(p.AnchorX, p.AnchorY, p.CornerX, p.CornerY);
    p.CornerX = record[kWordX];
    p.CornerY = record[kWordY];
    p.BandActive = kFalse;
    if (std::abs(p.AnchorX - p.CornerX) <= kBandMinimum || std::abs(p.AnchorY - p.CornerY) <= kBandMinimum) return;
    // The graph under the box's horizontal middle; a comparison with a NaN picks the curve graph.
    const REAL middle = 0.5f * static_cast<REAL>(p.AnchorX + p.CornerX) * 10.0f / 10000.0f;
    GraphFrameRecord& modelFrame = modelGraphFrames().Frames[0];
    GraphFrameRecord& frame = middle >= modelFrame.OriginX ? modelFrame : curveGraphFrames().Frames[0];
    ZOOMBOX(p.AnchorX, p.AnchorY, p.CornerX, p.CornerY, frame);
    refreshSuite();
}

void pointerBandCancel()
{
    PointerState& p = pointerState();
    if (isTrue(p.BandActive)) RUBBERBOX(p.AnchorX, p.AnchorY, p.CornerX, p.CornerY);
    p.BandActive = kFalse;
}

void pointerExposed()
{
    PointerState& p = pointerState();
    // The refresh wiped the band's box: the band is over, and the moves until the release start
    // no new one (the release then zooms nothing).
    if (isTrue(p.BandActive)) p.Button = 0;
    p.BandActive = kFalse;
    // The refresh drew the hovered or dragged label plainly: its highlight goes back on, or the
    // next exclusive-or meant to remove it would draw it instead.
    if (isTrue(graphOptionsState().LabelsShown) && p.CurrentLabel > 0 && p.CurrentLabel <= labelTable().Count)
        DRAWLABEL(p.CurrentLabel, -1, p.LabelFrame);
    else if (!isTrue(p.DragActive))
        p.CurrentLabel = 0;  // hidden or gone: nothing is highlighted that a move could take off
}
