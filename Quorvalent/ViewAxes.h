// The axis arithmetic of the view properties (platform-free): each axis's total page length kept
// across a change of its decades or divisions, the reading of edited values that an emptied field
// must not overwrite, the inch and centimetre conversion, and the rescale and remake routines of
// the single-sounding display that no command of this program uses.
#pragma once

#include <array>

#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/plotRho.h"
#include "toolkit/foundation/CoreTypes.h"

inline constexpr REAL kCentimetresPerInch = 2.54f;

// The total page lengths (steps or decades times the length of one) of the curve frame's x and y
// axes, the second curve panel's y axis, the model frame's x and y axes and the second model
// panel's x axis.
struct AxisTotalLengths {
    std::array<REAL, 6> Total{};
};
AxisTotalLengths axisTotalLengths(const GraphFramePair& curve, const GraphFramePair& model);
// Sets every axis's length per step so that the axis keeps its remembered total with its (possibly
// changed) number of steps; an axis without steps keeps its length.
void restoreAxisTotalLengths(const AxisTotalLengths& lengths, GraphFramePair& curve, GraphFramePair& model);

// The toolkit's value of an emptied numeric field.
inline constexpr INTEGER kUndefinedInteger = -999;
inline constexpr REAL kUndefinedReal = -999.0f;
// A value read from a field replaces the stored one unless the field was emptied.
void keepUnlessUndefined(INTEGER read, INTEGER& stored);
void keepUnlessUndefined(REAL read, REAL& stored);

// Inverts the logarithmic value axis switch, rescales both graphs and redraws the suite.
void SWAPLOGDATA();
// The curve graph of a sounding scaled again: the time axis, then the value axis of each graph.
// "ALLOCATION ERROR IN SCALE_Y" when the axis kinds cannot be had.
void DATARESCALE1D(GraphFramePair& frames, const SoundingRecord& sounding);
// Rebuilds the sounding's extra model arrays for the sounding types that carry them (marine,
// magnetotelluric, loop and coil types; released for the others), then rescales the model graph.
void MODELREMAKE(GraphFramePair& frames, SoundingRecord& sounding, SoundingRecord& companion);
// The model graph of a sounding scaled again: its ranges, the panel count from the values per
// layer, and the layout.
void MODELRESCALE1D(GraphFramePair& frames, const SoundingRecord& sounding);
