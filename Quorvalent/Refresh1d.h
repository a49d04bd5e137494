// The suite display refresh (platform-free): one full redraw of the curve graph and the model
// graph with every computed suite curve in its own colour, their grid lines and the labels; the
// autoscale of both graphs, and the rescale and zoom entries no command uses.
#pragma once

#include "Quorvalent/SoundingHandler.h"
#include "WBRVLib/GraphFrame.h"
#include "toolkit/foundation/CoreTypes.h"

// The labels the redraw draws last, over the graphs: the text labels' DRAWLABELS.
struct SuiteLabelHooks {
    // Draws the label table with the plot origin at the curve graph (plot number 0 and the curve
    // graph's first frame).
    void (*drawLabels)(INTEGER plotNumber, GraphFrameRecord& curveFrame);
};
SuiteLabelHooks& suiteLabelHooks();

// Clears the window and draws the whole suite display for the suite sounding and its companion:
// on the screen, or on the hardcopy while printing. Curves 1 to the number computed are drawn in
// the colours 2, 4, ..., 14, 2, ...; the pens, the title table and the sounding's model are put
// back on every path. Before any suite (a sounding of one sample) the window stays empty.
void REFRESHSUITE(SoundingRecord& sounding, SoundingRecord& companion);

// The curves REFRESHSUITE draws: those the last calculation computed and stored, at most NSuite.
INTEGER drawableSuiteCurves();

// The autoscale of both graphs (after a calculation and on UnZoom): the model graph, then the
// curve graph.
void suiteDisplayAutoscale();

// Both graphs scaled again from the stored ranges.
void RESCALESUITE();
// Zooms the graph under a rectangle given in window units (0..9999, y down): a model panel when
// the rectangle's middle lies at or right of the model graph, else a curve frame; the zoomed
// shared axis is copied to the graph's other frame.
void ZOOMSUITE(INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2);
