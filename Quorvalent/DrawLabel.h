// Text labels on the curve graph (platform-free): the label table, drawing one label or all labels
// of a plot, the highlight, the hit test under the pointer, the drag edit, the table-maintenance
// routines, and the suite's own labels (placement in the emptiest corner and the texts).
#pragma once

#include <array>
#include <string>

#include "WBRVLib/GraphFrame.h"
#include "toolkit/foundation/CoreTypes.h"

inline constexpr INTEGER kLabelLimit = 50;
inline constexpr INTEGER kLabelTextLength = 50;

// Entries 1..Count of the arrays are valid (index 0 is unused).
struct LabelTable {
    INTEGER Count = 0;
    std::array<INTEGER, kLabelLimit + 1> Colour{};
    std::array<INTEGER, kLabelLimit + 1> Kind{};         // 0 suite, 1 velocity, 2 hand label
    std::array<INTEGER, kLabelLimit + 1> CurveNumber{};  // 0 the suite's description label
    std::array<INTEGER, kLabelLimit + 1> Owner{};        // plot number
    std::array<REAL, kLabelLimit + 1> Width{}, Height{};
    std::array<REAL, kLabelLimit + 1> Y{}, X{};
    std::array<REAL, kLabelLimit + 1> AnchorY{}, AnchorX{};
    std::array<std::string, kLabelLimit + 1> Text{};     // blank-padded to 50 characters
    // A label whose position is not a number is reported once, not on every pointer move.
    std::array<bool, kLabelLimit + 1> NanReported{};
};
LabelTable& labelTable();

// Which part of a label the pointer holds: 0 body or anchor, +1 / -1 a corner, 2 a left or right
// edge (width), -2 a bottom or top edge (height).
using LabelGrabCode = INTEGER;

inline constexpr const char* kTooManyLabels = "Too many labels";

// Every label of the plot, each in its own colour, after pen 3.
void DRAWLABELS(INTEGER plot, GraphFrameRecord& frame);
// Label i: mode 0 draws it; an odd mode draws or removes its highlight (exclusive-or).
void DRAWLABEL(INTEGER i, INTEGER mode, GraphFrameRecord& frame);
// The label of the plot nearest the pointer (X, Y in window units) within tolerance (page inches):
// current, tolerance, foundFrame, anchorGrabbed and grab are written only when one is found.
void TESTLABEL(INTEGER& current, REAL& tolerance, INTEGER X, INTEGER Y, const GraphFrameRecord& frame,
               GraphFrameRecord& foundFrame, LOGICAL& anchorGrabbed, LabelGrabCode& grab, INTEGER plot);
// Where the pointer (window units) holds label i: page inches from the label's centre.
void labelGrabOffset(INTEGER i, INTEGER X, INTEGER Y, const GraphFrameRecord& frame, REAL& offsetX, REAL& offsetY);
// The drag edit: the pointer (window units) moves the anchor, resizes the box or moves the label,
// whose centre stays the grab offset away from the pointer.
void dragLabelTo(INTEGER i, INTEGER X, INTEGER Y, const GraphFrameRecord& frame, LOGICAL anchorGrabbed,
                 LabelGrabCode grab, LOGICAL onAnchor, REAL offsetX = 0.0f, REAL offsetY = 0.0f);

// Table maintenance no command of this program invokes.
void MANVLABEL(INTEGER plot, REAL value, INTEGER X, INTEGER Y, const GraphFrameRecord& frame, const std::string& unit);
void MANDLABL(INTEGER plot, INTEGER X, INTEGER Y, REAL value, const GraphFrameRecord& frame);
void CLEARLABELS(INTEGER plot);
void DELETELABEL(INTEGER& i);
void SCALELABELSIZE(std::array<REAL, kLabelLimit + 1>& values, REAL factor);
void INCLABELSIZE(std::array<REAL, kLabelLimit + 1>& values, REAL increment);

// The suite's labels: the corner the last placement chose, kept from one calculation to the next.
struct SuiteLabelLayout {
    INTEGER Corner = 0;  // 1 lower left, 2 upper left, 3 upper right, 4 lower right
};
SuiteLabelLayout& suiteLabelLayout();
// The corner of curve frame 1 farthest from every computed curve.
void placeSuiteLabels();
// Empties the table, appends the description label and one label per curve ("Too many labels" at
// most once) and lays them out in the chosen corner: text as tall as the tallest axis numbers,
// every box inside the frame.
void appendSuiteLabels();
// A curve label's text: the value with its significant decimals, trailing zeros and point removed.
std::string curveLabelText(REAL value);
// The description label's text from the suite description.
std::string descriptionLabelText(const std::string& description);
