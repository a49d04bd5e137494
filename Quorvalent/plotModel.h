// The model graph (platform-free): the layered-earth model of each suite curve as a step line,
// resistivity along a logarithmic x axis, depth growing downwards on a linear or logarithmic y axis;
// its frames, the model ranges, the axes and page layout, frames and titles, and the model lines.
#pragma once

#include <array>

#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/plotRho.h"
#include "WBRVLib/GraphFrame.h"
#include "toolkit/foundation/CoreTypes.h"

// The model graph's panels: panel 1 at 7.25 to 9.75 by 1.25 to 7.25 inches of the page; a second
// panel (values per layer beyond the resistivity) shares the page width with it.
struct ModelGraphFrames {
    GraphFramePair Frames{};
};
ModelGraphFrames& modelGraphFrames();
// How many panels are drawn (1 in this program).
INTEGER& modelPanelCount();

inline constexpr REAL kMetresPerFoot = 0.3048f;

// Widens the model ranges with the sounding's model: layer values per value set, the shallowest
// first boundary and the deepest basement top, the elevations; with extra, also the alternative
// models the sounding carries.
void SCALE_MDL_MINMAX(const SoundingRecord& sounding, LOGICAL extra, std::array<REAL, 4>& valueMin,
                      std::array<REAL, 4>& valueMax, REAL& depthMin, REAL& depthMax, REAL& elevationMin,
                      REAL& elevationMax);
// Value and depth axes of the panels from the ranges. An empty depth range becomes 125 to 500 m
// (written back). With depths in feet the depth axis is in feet.
void SCALEMODELS(GraphFramePair& frames, const SoundingRecord& sounding, std::array<REAL, 4>& valueMin,
                 std::array<REAL, 4>& valueMax, REAL& depthMin, REAL& depthMax);
// Page layout of one or two panels; the depth axis is turned to grow downwards (so a second call
// without SCALEMODELS between turns a linear axis back).
void MODINCH(GraphFramePair& frames, INTEGER panels);
// The model-graph autoscale: SCALEMODELS with the suite sounding (and the second model of a
// difference suite), then MODINCH.
void modelGraphAutoscale();
// Frames, axes and titles of the panels, then PLOTMODELSECTIONS with the same arguments.
void PLTMDL(SoundingRecord& sounding, SoundingRecord& second, GraphFramePair& frames, LOGICAL drawFirst,
            LOGICAL sectionsFirst, LOGICAL drawSecond, LOGICAL sectionsSecond);
// The sounding's model (and optionally the second sounding's) as step lines in pen KBEST (KSMOO),
// alternative sections dashed in KEQUV. The soundings' parameters are left as they were.
void PLOTMODELSECTIONS(SoundingRecord& sounding, SoundingRecord& second, GraphFramePair& frames, LOGICAL drawFirst,
                       LOGICAL sectionsFirst, LOGICAL drawSecond, LOGICAL sectionsSecond);
// Step polyline of a layered model, 2·layers points into x(1..) and y(1..): two per layer at its
// value, at its top and its bottom; depths limited to top..bottom, in feet when depths are shown
// in feet (the first point stays at the top of the axis).
void MDL2LIN(REAL top, REAL bottom, REAL* x, REAL* y, INTEGER& n, const REAL* values, const REAL* boundaries,
             INTEGER layers, LOGICAL depthEntry);
// Smooth polyline of layers + 2 points: the first layer's value at the top, each layer above the
// basement at its middle depth (the geometric middle of depth-entry boundaries), the basement value
// at its top and at the bottom of the axis; depths in feet as in MDL2LIN.
void MDL2SML(REAL top, REAL bottom, REAL* x, REAL* y, INTEGER& n, const REAL* values, const REAL* boundaries,
             INTEGER layers, LOGICAL depthEntry);
// Model ranges and axes of one sounding in one pass: reset (or widened when widen is true) from
// its model, a one-layer model giving the depth range 0.1 to 0.2, then the axes as SCALEMODELS
// sets them and the layout of MODINCH.
void SCALE_MDL(GraphFramePair& frames, const SoundingRecord& sounding, LOGICAL widen);

// What the pointer holds in the model graph.
struct ModelGrip {
    INTEGER Layer = 0;          // 0: nothing within reach
    LOGICAL Boundary = kFalse;  // the bottom boundary of Layer, else its value
};
// The layer boundary or layer value line of panel 1 nearest the pointer (window units), within 0.1
// inch, with the matching sizing cursor (north-south for a boundary, west-east for a value, the
// arrow for nothing).
ModelGrip NEARMODEL(INTEGER ix, INTEGER iy, GraphFrameRecord& frame, const SoundingRecord& sounding);
// Moves the held value or boundary to the pointer (window units) and redraws the model line in
// exclusive-or mode: the old line is drawn again to remove it, then the new one.
void RUBBERMODEL(INTEGER ix, INTEGER iy, GraphFrameRecord& frame, SoundingRecord& sounding, const ModelGrip& grip);
