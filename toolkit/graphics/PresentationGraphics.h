// Presentation-graphics ranges: the data ranges, logarithmic axes, plot sub-area and graph
// description that a presentation graph would be drawn from (platform-free).
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

struct PresentationState {
    REAL DataX1 = 0, DataX2 = 1, DataY1 = 0, DataY2 = 1;
    REAL DataXRange = 1, DataYRange = 1;
    REAL DataXMin = 0, DataXMax = 1, DataYMin = 0, DataYMax = 1;
    REAL ZMin = 0, ZMax = 1, ZRange = 1;
    REAL PolarScale = 1;
    REAL SubAreaX1 = 0.1f, SubAreaY1 = 0.1f, SubAreaX2 = 0.9f, SubAreaY2 = 0.9f;
    LOGICAL XLogRequested = kFalse, YLogRequested = kFalse;
    LOGICAL XLogActive = kFalse, YLogActive = kFalse;
    REAL LogX1 = 0, LogX2 = 0, LogXRange = 0, LogY1 = 0, LogY2 = 0, LogYRange = 0;
    REAL LogPolar = 0, LogPolarOffset = 0;
    INTEGER GraphType = 4;
    INTEGER DataSets = 500;
    INTEGER Points = 1, SecondCount = 0, ThirdCount = 0;
    REAL PointsReal = 1, PointsLess1 = 0, SecondReal = 0, SecondLess1 = 0;
    INTEGER StyleFlags = 0;
    // Decoded style bits 0, 1, 3, 5, 6, 7, 9, 10, 11, and the three-way choice of bits 2, 8, 4.
    std::array<LOGICAL, 12> StyleBits{};
    INTEGER StyleChoice = 0;
    REAL SetOffset = 0.5f;
    REAL SizeFraction = 0.25f;
    INTEGER StepValue = 1;
    // Per data set 1..500 (index 0 is set 1).
    std::array<std::array<INTEGER, 3>, 500> SetStyle{};
    std::array<std::array<INTEGER, 2>, 500> SetColours{};
    std::array<INTEGER, 500> SetWord{};
    // Grown to DataSets when a graph type needs them, never shrunk.
    std::vector<std::array<INTEGER, 4>> SetRecords;   // graph type 3
    std::vector<INTEGER> SetWordsA, SetWordsB;        // graph types 4 and 6
};

PresentationState& presentationState();

// Data range; error 16 for an axis whose two ends are equal.
void IPgArea(REAL x1, REAL y1, REAL x2, REAL y2);
// Third-axis range; error 16 unless zmin < zmax.
void IPgUnitsZ(REAL zmin, REAL zmax);
// Polar scale; error 16 unless it is positive.
void IPgUnitsPolar(REAL scale);
// The plot's sub-area as fractions of the graphics area; invalid values are ignored.
void IPgSubArea(REAL x1, REAL y1, REAL x2, REAL y2);
// Logarithmic axes by type name ("LOG...").
void IPgLogAxes(std::string_view xType, std::string_view yType);
// Describes a new graph: type 1-11, data sets 1-500, 1 to 3 point counts, style flags, preset.
void IPgNewGraph(INTEGER type, INTEGER sets, std::initializer_list<INTEGER> points,
                 std::optional<INTEGER> flags = std::nullopt, std::optional<INTEGER> preset = std::nullopt);
// The same description through the second entry point.
void IPgNewPlot(INTEGER type, INTEGER sets, std::initializer_list<INTEGER> points,
                std::optional<INTEGER> flags = std::nullopt, std::optional<INTEGER> preset = std::nullopt);

// Toolkit-internal

// Recomputes which axes are logarithmic and their log ranges.
void YYPgApplyLog();
// log10(x), -38 for 0 (and for anything not positive, whose logarithm does not exist).
REAL YYLog10Clamped(REAL x);
// The defaults the graphics reset gives the layer.
void YYPresentationReset();
