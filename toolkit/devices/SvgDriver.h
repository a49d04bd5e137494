// The SVG driver: hardcopy device 3 writes one Scalable Vector Graphics document per job, one
// element per line, with the attributes carried by nested groups: a stroke group for colour,
// dashes, width, join and cap, and inside it a group for each filled shape and each text
// (platform-free).
#pragma once

#include <array>
#include <string>

#include "toolkit/foundation/CoreTypes.h"

struct SvgDriverState {
    // The open stroke group: colour bytes (red -1: no group open), width, line type, join, cap.
    std::array<INTEGER, 3> StrokeColour{-1, -1, -1};
    INTEGER StrokeWidth = -1;
    INTEGER StrokeLineType = -1;
    INTEGER StrokeJoin = -1, StrokeCap = -1;
    // Hexadecimal colour of the open stroke group (also the colour of text) and of the last fill.
    std::string StrokeColourText = "000000";
    std::string FillColourText = "000000";
    // A clip rectangle applies to the fill groups that follow; clip paths are counted per document.
    LOGICAL ClipFlag = kFalse;
    INTEGER ClipCounter = 0;
    std::string ClipNameText;
    // Groups of a fill and of a text that are open inside the stroke group, so that every group
    // is closed once however the calls arrive.
    LOGICAL FillGroupOpen = kFalse;
    LOGICAL TextGroupOpen = kFalse;
};

SvgDriverState& svgDriverState();

// Toolkit-internal

// The driver of device 3 (see DriverProtocol.h): OpInit, lines, points, polylines, the five
// attribute changes, the odd fill operations, arcs, text, clip, and the job's begin and end.
// Every other op returns at once.
void XXSVG(INTEGER op);
