// The view properties: the semi-modeless dialog 125 with its tab field of axis pages ("Rho-A",
// "Time", "Log Depth", "Linear Depth", "Rho") in which the axis titles, label heights and offsets,
// decades or divisions, the data-set name height and the line width are edited in inches or
// centimetres; the page fillers and readers, the unit greying, and REFRESH1D, the redraw the
// dialog uses.
#pragma once

#include "Quorvalent/PlotSettings.h"
#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/plotRho.h"
#include "toolkit/foundation/CoreTypes.h"

inline constexpr INTEGER kViewPropertiesDialog = 125;
inline constexpr INTEGER kViewPropertiesTab = 1089;
inline constexpr INTEGER kPageRhoA = 121, kPageTime = 122, kPageLogDepth = 123, kPageLinearDepth = 236, kPageRho = 124;
inline constexpr INTEGER kApplyButton = 1090;

// The fields of one axis page. Count is the decades (logarithmic) or major divisions (linear);
// Second the first exponent or the minor divisions; FirstTick and TickStep only on linear pages.
struct AxisPageFields {
    INTEGER Page = 0;
    INTEGER Title = 0;
    INTEGER SizeInch = 0, SizeCm = 0;
    INTEGER OffsetInch = 0, OffsetCm = 0;
    INTEGER Count = 0, Second = 0;
    INTEGER FirstTick = 0, TickStep = 0;
};
inline constexpr AxisPageFields kRhoAPage{kPageRhoA, 1078, 1091, 1092, 1093, 1099, 1081, 1082};
inline constexpr AxisPageFields kTimePage{kPageTime, 1086, 1100, 1101, 1102, 1103, 1112, 1113};
inline constexpr AxisPageFields kLogDepthPage{kPageLogDepth, 1087, 1104, 1105, 1106, 1107, 1110, 1111};
inline constexpr AxisPageFields kLinearDepthPage{kPageLinearDepth, 1087, 1104, 1105, 1106, 1107, 1110, 1111, 1260, 1261};
inline constexpr AxisPageFields kRhoPage{kPageRho, 1088, 1083, 1084, 1079, 1080, 1108, 1109};

// The dialog's remembered state: the unit (true = inches; it starts false) and the tab page shown
// when "OK" was pressed (0 = none yet).
struct ViewPropertiesState {
    LOGICAL Inches = kFalse;
    INTEGER LastPage = 0;
};
ViewPropertiesState& viewPropertiesState();

// The dialog, with its own event loop until "OK" or "Cancel"; cancelled true after "Cancel"
// (values already applied stay). The caller redraws the suite display afterwards.
void VIEWDLG1D(SoundingRecord& sounding, SoundingRecord& companion, GraphFramePair& curveFrames,
               GraphFramePair& modelFrames, LOGICAL& cancelled);

// Page fillers: title, size and offset in inches and centimetres, and the frame's x or y fields.
void PUTLOGAXISX(const AxisPageFields& f, const GraphFrameRecord& frame, const AxisTitle& title, REAL height, REAL offset);
void PUTLOGAXISY(const AxisPageFields& f, const GraphFrameRecord& frame, const AxisTitle& title, REAL height, REAL offset);
void PUTLINAXISX(const AxisPageFields& f, const GraphFrameRecord& frame, const AxisTitle& title, REAL height, REAL offset);
void PUTLINAXISY(const AxisPageFields& f, const GraphFrameRecord& frame, const AxisTitle& title, REAL height, REAL offset);
// Page readers: the title; size and offset from the fields of the unit chosen (the other unit's
// fields refreshed); the numeric fields into the frame. An emptied numeric field keeps its value.
void GETLOGAXISX(const AxisPageFields& f, GraphFrameRecord& frame, AxisTitle& title, REAL& height, REAL& offset,
                 LOGICAL inches);
void GETLOGAXISY(const AxisPageFields& f, GraphFrameRecord& frame, AxisTitle& title, REAL& height, REAL& offset,
                 LOGICAL inches);
void GETLINAXISX(const AxisPageFields& f, GraphFrameRecord& frame, AxisTitle& title, REAL& height, REAL& offset,
                 LOGICAL inches);
void GETLINAXISY(const AxisPageFields& f, GraphFrameRecord& frame, AxisTitle& title, REAL& height, REAL& offset,
                 LOGICAL inches);

// On a page: inches enables the inch size and offset fields and disables the centimetre ones;
// otherwise the reverse.
void INCHORCMAX(INTEGER page, INTEGER sizeInch, INTEGER offsetInch, INTEGER sizeCm, INTEGER offsetCm, LOGICAL inches);
// The same for one pair of the dialog, with its radio buttons selected to match.
void INCHORCM(INTEGER dialog, INTEGER inchField, INTEGER inchRadio, INTEGER cmField, INTEGER cmRadio, LOGICAL inches);

// Clears the main window and draws the sounding's curve graph and model graph with their grids,
// and sets the title "Brevalon Research Quorvalent [" + the sounding's title + "]". Before any
// suite (one sample) no frames are drawn.
void REFRESH1D(SoundingRecord& sounding, SoundingRecord& companion, GraphFramePair& curveFrames,
               GraphFramePair& modelFrames, LOGICAL flag);
