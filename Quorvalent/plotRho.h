// The curve graph (platform-free): the suite's transient curves on a logarithmic time axis beside a
// logarithmic or linear value axis, with the sounding title and the axis titles; its two frames,
// their scaling from the data, the frames and titles, and the curves.
#pragma once

#include <array>
#include <string_view>

#include "Quorvalent/PlotSettings.h"
#include "Quorvalent/SoundingHandler.h"
#include "WBRVLib/GraphFrame.h"
#include "toolkit/foundation/CoreTypes.h"

// Two frames stored one after the other; routines that take a graph's frames take the pair and use
// as many as the sounding's GraphCount (curve graph) or the panel count (model graph) says.
using GraphFramePair = std::array<GraphFrameRecord, 2>;

// The curve graph's frames. With one graph only frame 1 is scaled and drawn: 1.25 to 6.25 by 1.25
// to 7.25 inches of the page. Frame 2 serves a second graph stacked below, sharing the time axis.
struct CurveGraphFrames {
    GraphFramePair Frames{};
};
CurveGraphFrames& curveGraphFrames();

// Time axis of the frame in whole decades of the sounding's sample times; the third argument is
// not read.
void SCALE_X(GraphFrameRecord& frame, const SoundingRecord& sounding, const SoundingRecord& unused);
// Widens minimum and maximum with the first column of the sounding's response (magnitudes on a
// logarithmic axis, signed values otherwise), whatever columns the caller names; nothing when skip
// is non-zero, the column range is empty or the response is not computed.
void SCALE_Y_MINMAX(const SoundingRecord& sounding, REAL& minimum, REAL& maximum, INTEGER firstColumn,
                    INTEGER lastColumn, INTEGER columnStep, LOGICAL logarithmic, INTEGER skip);
// Value axis and page geometry of curve frame k (1 or 2) from the suite's value extremes.
void SCALESUITEY(INTEGER k);
// The curve-graph autoscale: time axis, value axes, and for display kinds 4 and 6 the value axis
// one decade up.
void curveGraphAutoscale();
// Plot start, frames with axes and titles, then the curves in pen KBEST. The code and flags a to c
// are accepted and change nothing.
void PLOT_RHO(GraphFramePair& frames, SoundingRecord& sounding, SoundingRecord& companion, INTEGER code,
              LOGICAL skip, LOGICAL a, LOGICAL b, LOGICAL c);
// The sounding's curves in every curve frame: display kind 4 draws columns 1 and 2, kind 6 columns
// 1 to 3, the others column 1. Nothing when skip is true.
void PLOTRHOCURVES(GraphFramePair& frames, SoundingRecord& sounding, SoundingRecord& companion, LOGICAL skip,
                   LOGICAL colour);

// Widens minimum and maximum with the signed sample times (the rules of FINDNX).
void SCALE_X_MINMAX(const SoundingRecord& sounding, REAL& minimum, REAL& maximum);
// Value axis of one frame from columns firstColumn..lastColumn of the sounding's response:
// magnitudes in decades where logFlags marks the column logarithmic, a nice linear scale of signed
// values otherwise. For magnetotelluric soundings a linear column is a phase axis from 0 by 45
// degrees. Nothing when skip is non-zero. logFlags(j) is read for j = firstColumn..lastColumn.
void SCALE_Y(GraphFrameRecord& frame, const SoundingRecord& sounding, INTEGER firstColumn, INTEGER lastColumn,
             const LOGICAL* logFlags, INTEGER skip);
// Residual of the effective-depth relation for a root finder: mode "V" the voltage form,
// anything else the field form.
REAL EFFDEPTH(REAL a, REAL b, std::string_view mode);
// Copies column `column` of an n-row matrix (first index fastest) into vector(1..n) when the
// sounding's response is computed.
void PLOTPREP(REAL* vector, const REAL* matrix, INTEGER n, INTEGER column, const SoundingRecord& sounding);

// The value-axis title drawn for a display kind: AxisTitleTable row 32 for kind 1, SuiteTitleTable
// row 10 for kind 3, AxisTitleTable row 37 for the others.
const AxisTitle& valueAxisTitle(INTEGER displayKind);
