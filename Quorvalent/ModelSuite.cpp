// The model-suite wizard: its pages, the model grid and the page sequence.
#include "Quorvalent/ModelSuite.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "Quorvalent/AppState.h"
#include "Quorvalent/CURVES.h"
#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/Dialogs.h"
#include "Quorvalent/SuiteCalculation.h"
#include "WBRVLib/Brvl95.h"
#include "WBRVLib/DoveLib.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridCells.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/graphics/ColourPalette.h"

SuiteCalculationHooks& suiteCalculationHooks()
{
    static SuiteCalculationHooks hooks{&calculateModelSuite};
    return hooks;
}

// ---- the rules of the pages ------------------------------------------------------------------

WizardPage nextWizardPage(WizardPage page, INTEGER button, INTEGER suiteType, INTEGER nSuite)
{
    if (button == kButtonCancel) return kPageCancelled;
    const bool back = button == kButtonBack;
    const bool fadeIn = suiteType == kVaryFadeIn;
    const bool values = nSuite >= 2;
    switch (page) {
    case kPageSuiteType: return back ? kPageSuiteType : kPageBaseModel;
    case kPageBaseModel:
        if (back) return kPageSuiteType;
        return fadeIn ? kPageSecondModel : (values ? kPageValues : kPageTimeWindow);
    case kPageSecondModel:
        if (back) return kPageBaseModel;
        return values ? kPageValues : kPageTimeWindow;
    case kPageValues:
        if (back) return fadeIn ? kPageSecondModel : kPageBaseModel;
        return kPageTimeWindow;
    case kPageTimeWindow:
        if (back) return values ? kPageValues : (fadeIn ? kPageSecondModel : kPageBaseModel);
        return kPageFinished;
    default: return page;
    }
}

INTEGER allowedDisplayKind(INTEGER component, INTEGER kind)
{
    if (component == kFieldEx || component == kFieldEy)
        return (kind == kDisplayEarlyRho || kind > kDisplayElectricField) ? kDisplayReceivedVoltage : kind;
    return kind == kDisplayElectricField ? kDisplayReceivedVoltage : kind;
}

namespace {

// "(I5)": right-justified in five characters.
std::string i5(INTEGER value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%5d", static_cast<int>(value));
    return text;
}

}  // namespace

std::string layerCountRefusal(INTEGER suiteType, INTEGER layer, INTEGER layerCount)
{
    const std::string tail = " is varied. Must have at least ";
    switch (suiteType) {
    case kVaryResistivity:
        if (layer > layerCount) return "Resistivity of layer " + i5(layer) + tail + i5(layer) + " layers";
        return {};
    case kVaryThickness:
        if (layer >= layerCount) return "Thickness of layer " + i5(layer) + tail + i5(layer + 1) + " layers";
        return {};
    case kVaryDepth:
        if (layer >= layerCount) return "Depth to bottom of layer " + i5(layer) + tail + i5(layer + 1) + " layers";
        return {};
    default: return {};
    }
}

std::string timeWindowRefusal(REAL start, REAL end)
{
    // The engine takes logarithms of both ends and fills at most 300 samples.
    if (!(start > 0.0f) || !(end > start)) return EngineMessages::kBadTimeWindow;
    INTEGER first = 0, last = 0;
    if (NTIMES(start, end, first, last) > kMaxCurveSamples) return EngineMessages::kTooManySamples;
    return {};
}

std::string suiteParameterRefusal(INTEGER nSuite, REAL offset)
{
    // The values grid and VParam hold 1000 curves.
    if (nSuite < 1 || nSuite > kSuiteCurveLimit) return SuiteMessages::kCurveCount;
    // The engine's fields fall off as powers of the offset: 0 or less gives no curve.
    if (!(offset > 0.0f)) return EngineMessages::kBadOffset;
    return {};
}

bool variedValueLegal(REAL value, INTEGER suiteType, INTEGER positiveCode)
{
    // Resistivities, thicknesses, depths and the offset must be above 0; an angle may be 0. A
    // fade-in runs from the base model (0 %) to the second model (100 %): beyond that the layer
    // values would be extrapolated and can turn negative.
    const bool positive = (suiteType >= kVaryResistivity && suiteType <= kVaryOffset) || suiteType == positiveCode;
    if (positive ? !(value > 0.0f) : !(value >= 0.0f)) return false;
    return suiteType != kVaryFadeIn || value <= 100.0f;
}

std::string variedValueRefusal(REAL value, INTEGER suiteType, INTEGER positiveCode, INTEGER layer, INTEGER layerCount,
                               const std::vector<REAL>& depths)
{
    if (!variedValueLegal(value, suiteType, positiveCode)) return SuiteMessages::kIllegalValue;
    if (suiteType == kVaryDepth) {
        const auto depth = [&](INTEGER j) {
            return j >= 1 && j <= static_cast<INTEGER>(depths.size()) ? depths[static_cast<std::size_t>(j - 1)] : 0.0f;
        };
        if (layer > 1 && value <= depth(layer - 1)) return SuiteMessages::kEncroachesAbove;
        if (layer < layerCount - 1 && value >= depth(layer + 1)) return SuiteMessages::kEncroachesBelow;
    }
    return {};
}

std::string suiteDescriptionText(INTEGER suiteType, INTEGER layer)
{
    std::string text = "Parameter to vary is ";
    char number[32];
    std::snprintf(number, sizeof number, "%12d", static_cast<int>(layer));
    switch (suiteType) {
    case kVaryResistivity: return text + "Resistivity of layer" + number;
    case kVaryThickness: return text + "Thickness of layer" + number;
    case kVaryDepth: return text + "Depth to bottom of layer" + number;
    case kVaryOffset: return text + "Source-Receiver Offset";
    case kVaryAngle: return text + "Tx-Rx Angle";
    case kVaryFadeIn: return text + "Fade-in of Second Model (%)";
    default: return text;
    }
}

std::string variedQuantityUnit(INTEGER suiteType)
{
    switch (suiteType) {
    case kVaryResistivity: return "ohm-m";
    case kVaryThickness: case kVaryDepth: case kVaryOffset: return "m";
    case kVaryAngle: return "deg";
    case kVaryFadeIn: return "%";
    default: return {};
    }
}

INTEGER allowedLayer(INTEGER suiteType, INTEGER layer, INTEGER layerCount)
{
    // A thickness or a boundary belongs to a layer above the half-space.
    const bool aboveHalfSpace = suiteType == kVaryThickness || suiteType == kVaryDepth;
    const INTEGER highest = std::max<INTEGER>(aboveHalfSpace ? layerCount - 1 : layerCount, 1);
    return std::clamp<INTEGER>(layer, 1, highest);
}

REAL suiteBaseValue(INTEGER suiteType, INTEGER layer, const LayerModelRecord& model, const SystemRecord& system)
{
    const INTEGER n = model.NLayer;
    switch (suiteType) {
    case kVaryResistivity:
        if (layer >= 1 && layer <= n) return model.Parameters(layer);
        break;
    case kVaryThickness:
        if (layer >= 1 && layer < n) return model.Parameters(n + layer);
        break;
    case kVaryDepth:
        if (layer >= 1 && layer < n)
            return isTrue(model.DepthEntry) ? model.Parameters(n + layer) : SUMOF(&model.Parameters(n + 1), layer);
        break;
    case kVaryOffset: return system.Offset;
    case kVaryAngle: return system.TxRxAngle;
    case kVaryFadeIn: return 0.0f;  // 0 % of the second model is the base model
    default: break;
    }
    return kMissingReal;
}

std::string modelCellFormat(REAL value)
{
    // "(F8.3)" holds -999.999 to 9999.999; a deeper boundary would show as stars.
    if (value > -999.9995f && value < 9999.9995f) return "(F8.3)";
    return "(G15.7)";
}

// ---- grid access -----------------------------------------------------------------------------

namespace {

constexpr INTEGER kModelRows = 1000;
constexpr INTEGER kRhoColumn = 2, kThickColumn = 3, kDepthColumn = 4;

// The remembered numbers of the "Add To" and "Multiply By" prompts.
struct SuitePromptMemory {
    REAL ModelMultiplier = 1.0f;
    REAL ModelAddend = 0.0f;
    REAL ValuesMultiplier = 0.0f;
    REAL ValuesAddend = 0.0f;
};
SuitePromptMemory& suitePromptMemory()
{
    static SuitePromptMemory memory;
    return memory;
}

bool missing(REAL value) { return isMissingReal(value); }

bool cellHolds(INTEGER grid, INTEGER column, INTEGER row) { return WInfoGridCell(grid, column, row, 1) > 0; }

// Rows 1 to n of a column; an empty cell reads as the missing value.
std::vector<REAL> readColumn(INTEGER grid, INTEGER column, INTEGER n)
{
    std::vector<REAL> values(static_cast<std::size_t>(std::max<INTEGER>(n, 0)), kMissingReal);
    if (n > 0) QFGRIDGETREAL(grid, column, values.data(), n);
    return values;
}

// The last row in 1 to rows that holds a value, 0 when none.
INTEGER lastUsedRow(INTEGER grid, INTEGER column, INTEGER rows = kModelRows)
{
    return QFINFOGRIDCELLS(grid, column, rows, kTrue);
}

// The rows the editing buttons work on: up to the last value, all of them in an empty column.
INTEGER usedRows(INTEGER column)
{
    const INTEGER n = lastUsedRow(kModelGrid, column);
    return n == 0 ? kModelRows : n;
}

// Writes values into rows 1 to n (a missing value empties its cell) and empties the rows below
// that held values before.
void writeModelColumn(INTEGER column, const std::vector<REAL>& values, INTEGER n)
{
    const INTEGER before = lastUsedRow(kModelGrid, column);
    n = std::min<INTEGER>(n, static_cast<INTEGER>(values.size()));
    for (INTEGER row = 1; row <= n; ++row) {
        const REAL value = values[static_cast<std::size_t>(row - 1)];
        if (missing(value))
            WGridClearCell(kModelGrid, column, row);
        else
            WGridPutCellReal(kModelGrid, column, row, value, modelCellFormat(value));
    }
    for (INTEGER row = std::max<INTEGER>(n, 0) + 1; row <= before; ++row) WGridClearCell(kModelGrid, column, row);
}

void storeDialogPosition()
{
    MainWindowState& w = mainWindowState();
    w.DialogX = WDialogQuery(6);
    w.DialogY = WDialogQuery(7);
}

void showSemiModeless()
{
    const MainWindowState& w = mainWindowState();
    WDialogShow(w.DialogX, w.DialogY, 0, 3);
}

}  // namespace

void DEPTHADJUSTSUITE(INTEGER column)
{
    if (column != kThickColumn && column != kDepthColumn) return;
    const INTEGER n = lastUsedRow(kModelGrid, column);
    if (n == 0) return;
    const std::vector<REAL> from = readColumn(kModelGrid, column, n);
    std::vector<REAL> to(from.size(), kMissingReal);
    // An empty cell leaves the running sum (or difference) undefined from its row on.
    for (std::size_t j = 0; j < from.size(); ++j) {
        if (missing(from[j]) || (j > 0 && missing(to[j - 1]))) break;
        if (column == kThickColumn)
            to[j] = j == 0 ? from[0] : to[j - 1] + from[j];
        else
            to[j] = j == 0 ? from[0] : from[j] - from[j - 1];
    }
    if (column == kDepthColumn) {
        for (std::size_t j = 1; j < from.size(); ++j)
            if (missing(from[j - 1])) to[j] = kMissingReal;
    }
    writeModelColumn(column == kThickColumn ? kDepthColumn : kThickColumn, to, n);
}

void ISUITEPUTMODEL(const SoundingRecord& record)
{
    const LayerModelRecord& m = record.Model;
    const INTEGER n = std::max<INTEGER>(m.NLayer, 0);
    std::vector<REAL> rho, thick, depth;
    for (INTEGER j = 1; j <= n; ++j) rho.push_back(m.Parameters(j));
    for (INTEGER j = 1; j < n; ++j) {
        thick.push_back(m.Parameters(n + j));
        depth.push_back(j == 1 ? thick.back() : depth.back() + thick.back());
    }
    // Resistivities as the utility library writes REAL cells, by magnitude.
    const INTEGER before = lastUsedRow(kModelGrid, kRhoColumn);
    if (n > 0) QFGRIDPUTREALG(kModelGrid, kRhoColumn, rho.data(), n);
    for (INTEGER row = n + 1; row <= before; ++row) WGridClearCell(kModelGrid, kRhoColumn, row);
    writeModelColumn(kThickColumn, thick, n - 1);
    writeModelColumn(kDepthColumn, depth, n - 1);
}

void ISUITEGETMODEL(SoundingRecord& record, LOGICAL& failed)
{
    failed = kTrue;
    const INTEGER n = std::max(lastUsedRow(kModelGrid, kRhoColumn), lastUsedRow(kModelGrid, kThickColumn));
    if (n == 0) {
        // An empty grid is no model: say so rather than keep the user on the page in silence.
        WINMSG(SuiteMessages::kNotAllCells);
        WGridSetCell(kModelGrid, kRhoColumn, 1);
        return;
    }
    for (INTEGER row = 1; row <= n; ++row) {
        for (INTEGER column : {kRhoColumn, kThickColumn}) {
            const bool holds = cellHolds(kModelGrid, column, row);
            if (column == kThickColumn && row == n) {
                // The half-space has no thickness: the value is pointed out and not used.
                if (holds) {
                    WINMSG(SuiteMessages::kNotAllCells);
                    WGridSetCell(kModelGrid, 1, n);
                }
                continue;
            }
            if (!holds) {
                WINMSG(SuiteMessages::kNotAllCells);
                WGridSetCell(kModelGrid, column, row);
                return;
            }
        }
    }
    const std::vector<REAL> rho = readColumn(kModelGrid, kRhoColumn, n);
    const std::vector<REAL> thick = readColumn(kModelGrid, kThickColumn, n - 1);
    // The engine takes logarithms of resistivities and needs layers of some thickness.
    for (INTEGER row = 1; row <= n; ++row) {
        const REAL r = rho[static_cast<std::size_t>(row - 1)];
        if (!(r > 0.0f)) {
            WINMSG(SuiteMessages::kIllegalValue);
            WGridSetCell(kModelGrid, kRhoColumn, row);
            return;
        }
        if (row < n && !(thick[static_cast<std::size_t>(row - 1)] > 0.0f)) {
            WINMSG(SuiteMessages::kIllegalValue);
            WGridSetCell(kModelGrid, kThickColumn, row);
            return;
        }
    }
    LayerModelRecord model;
    model.NLayer = n;
    model.ValuesPerLayer = record.Model.ValuesPerLayer;
    model.ParameterCount = 2 * n - 1;
    model.DepthEntry = kFalse;
    const INTEGER count = model.ParameterCount;
    if (!model.Parameters.allocate(count) || !model.ParameterReal2.allocate(count) ||
        !model.ParameterReal3.allocate(count) || !model.ParameterFlags1.allocate(count) ||
        !model.ParameterFlags2.allocate(count))
        return;
    for (INTEGER j = 1; j <= n; ++j) model.Parameters(j) = rho[static_cast<std::size_t>(j - 1)];
    for (INTEGER j = 1; j < n; ++j) model.Parameters(n + j) = thick[static_cast<std::size_t>(j - 1)];
    const LOGICAL computed = record.ResponseComputed, packed = record.PackedPresent, extra = record.ExtraModels,
                  mark = record.CopyMark;
    PUTMODEL1D(record, model);
    record.ResponseComputed = computed;
    record.PackedPresent = packed;
    record.ExtraModels = extra;
    record.CopyMark = mark;
    failed = kFalse;
}

void IGRIDGETMODEL(SoundingRecord& record, LOGICAL& failed, LOGICAL quiet)
{
    (void)record;
    // The grid and field identifiers of that dialog family are never set here: no cell can be
    // read, so the first cell already fails.
    failed = kTrue;
    if (!isTrue(quiet)) WINMSG(SuiteMessages::kNotAllCells);
}

// ---- the suite-parameters page -----------------------------------------------------------------

namespace {

constexpr INTEGER kComponentButtons[3] = {1006, 1007, 1008};
constexpr INTEGER kSuiteTypeButtons[6] = {1354, 1356, 1477, 1352, 1039, 1387};
constexpr INTEGER kDisplayButtons[6] = {1381, 1066, 1067, 1068, 1069, 1070};

void applyDisplayKindRule()
{
    SuiteState& s = suiteState();
    SystemRecord& y = systemRecord();
    const bool electric = s.FieldComponent == kFieldEx || s.FieldComponent == kFieldEy;
    for (INTEGER field : {1066, 1068, 1069, 1070}) WDialogFieldState(field, electric ? 0 : 1);
    WDialogFieldState(1067, electric ? 1 : 0);
    y.DisplayKind = allowedDisplayKind(s.FieldComponent, y.DisplayKind);
}

void selectDisplayKind()
{
    SystemRecord& y = systemRecord();
    if (y.DisplayKind < 1 || y.DisplayKind > 6) y.DisplayKind = kDisplayReceivedVoltage;
    WDialogPutRadioButton(kDisplayButtons[y.DisplayKind - 1]);
}

}  // namespace

void MODELSUITETYPE(INTEGER& button, LOGICAL& cancel)
{
    SuiteState& s = suiteState();
    SystemRecord& y = systemRecord();
    WDialogLoad(kSuiteTypeDialog);
    WDialogPutReal(1382, y.TxLength);
    WDialogPutReal(1383, y.TxAmps);
    WDialogPutReal(1384, y.RxLength);
    WDialogPutReal(1071, y.RxArea);
    WDialogPutReal(1072, y.Offset);
    WDialogPutReal(1075, y.TxRxAngle);
    if (s.FieldComponent == kFieldEx || s.FieldComponent == kFieldEy) {
        WDialogPutRadioButton(kComponentButtons[s.FieldComponent - 1]);
    } else {
        WDialogPutRadioButton(1008);
        s.FieldComponent = kFieldHz;
    }
    applyDisplayKindRule();
    if (s.ISuiteType >= 1 && s.ISuiteType <= 6) WDialogPutRadioButton(kSuiteTypeButtons[s.ISuiteType - 1]);
    WDialogPutInteger(1351, y.NSuite);
    applyDisplayKindRule();
    selectDisplayKind();
    showSemiModeless();
    WEventEnable(kEventFieldChanged, 1);
    WEventEnable(kEventPushButton, 1);

    for (;;) {
        INTEGER type = 0;
        EventRecord record{};
        WEventWait(type, record);
        if (record[0] != kSuiteTypeDialog) continue;
        WDialogSelect(kSuiteTypeDialog);
        if (type == kEventFieldChanged) {
            // The radio groups say which component and display kind are chosen now.
            INTEGER position = 0;
            WDialogGetRadioButton(1006, position);
            if (position >= 1 && position <= 3) s.FieldComponent = position;
            WDialogGetRadioButton(1381, position);
            if (position >= 1 && position <= 6) y.DisplayKind = position;
            applyDisplayKindRule();
            selectDisplayKind();
            continue;
        }
        if (type != kEventPushButton) continue;
        const INTEGER pressed = record[1];
        if (pressed == kButtonCancel) {
            button = pressed;
            cancel = kTrue;
            WDialogHide();
            return;
        }
        if (pressed != kButtonNext && pressed != kButtonBack) continue;
        // Refused values keep the user on the page.
        INTEGER nSuite = 0;
        REAL offset = 0.0f, txLength = 0.0f, txAmps = 0.0f, rxLength = 0.0f, rxArea = 0.0f, angle = 0.0f;
        if (!readIntegerField(1351, "Generate", nSuite) || !readRealField(1382, "Source Moment, Length (m):", txLength) ||
            !readRealField(1383, "Current (A):", txAmps) || !readRealField(1384, "Receiver Moment, Length (m):", rxLength) ||
            !readRealField(1071, "Area (sq m):", rxArea) || !readRealField(1072, "Offset:", offset) ||
            !readRealField(1075, "Tx/Offset Angle(deg):", angle))
            continue;
        const std::string refusal = suiteParameterRefusal(nSuite, offset);
        if (!refusal.empty()) {
            WINMSG(refusal);
            WDialogSelect(kSuiteTypeDialog);
            continue;
        }
        button = pressed;
        WEventEnable(kEventFieldChanged, 0);
        y.NSuite = nSuite;
        INTEGER position = 0;
        WDialogGetRadioButton(1354, position);
        if (position >= 1 && position <= 6) s.ISuiteType = position;
        WDialogGetRadioButton(1006, position);
        if (position >= 1 && position <= 3) s.FieldComponent = position;
        WDIALOGGETCHECKBOXL(1413, s.LDifference);
        s.LDataPct = kFalse;
        suiteSoundingRecord().Record.Data.Waveform.assign("STEP OFF        ");
        secondModelSoundingRecord().Record.Data.Waveform = suiteSoundingRecord().Record.Data.Waveform;
        y.TxLength = txLength;
        y.TxAmps = txAmps;
        y.RxLength = rxLength;
        y.RxArea = rxArea;
        y.Offset = offset;
        y.TxRxAngle = angle;
        storeDialogPosition();
        WDialogHide();
        return;
    }
}

// ---- the model page ----------------------------------------------------------------------------

namespace {

// Row operations of the editing buttons on one column: delete or insert at row r.
void deleteInColumn(INTEGER column, INTEGER r)
{
    const INTEGER n = usedRows(column);
    std::vector<REAL> values = readColumn(kModelGrid, column, n);
    if (r <= n) values.erase(values.begin() + (r - 1));
    writeModelColumn(column, values, n - 1);
}

void insertInColumn(INTEGER column, INTEGER r)
{
    const INTEGER n = usedRows(column);
    // Below the last value there is nothing to repeat: the column stays as it is.
    if (r > n) return;
    std::vector<REAL> values = readColumn(kModelGrid, column, n);
    values.insert(values.begin() + (r - 1), values[static_cast<std::size_t>(r - 1)]);
    // The grid holds 1000 rows: a value pushed beyond the last row is lost.
    const INTEGER m = std::min<INTEGER>(n + 1, kModelRows);
    values.resize(static_cast<std::size_t>(m));
    writeModelColumn(column, values, m);
}

void columnMath(INTEGER column, INTEGER r, bool multiply)
{
    SuitePromptMemory& memory = suitePromptMemory();
    REAL& remembered = multiply ? memory.ModelMultiplier : memory.ModelAddend;
    LOGICAL cancelled = kFalse;
    NUMINDLG(multiply ? "Please enter number to multiply:" : "Please enter number to add:", remembered, cancelled);
    WDialogSelect(kModelDialog);
    if (isTrue(cancelled)) return;
    const INTEGER n = usedRows(column);
    std::vector<REAL> values = readColumn(kModelGrid, column, n);
    for (INTEGER row = r; row <= n; ++row) {
        REAL& v = values[static_cast<std::size_t>(row - 1)];
        if (!missing(v)) v = multiply ? v * remembered : v + remembered;
    }
    writeModelColumn(column, values, n);
    DEPTHADJUSTSUITE(column);
}

}  // namespace

void SUITEMODELEDIT(SoundingRecord& record, LOGICAL& cancel, INTEGER& button, INTEGER pageKind)
{
    SuiteState& s = suiteState();
    SystemRecord& y = systemRecord();
    cancel = kTrue;
    WDialogLoad(kModelDialog);
    PUTDLGSTRING(1255, record.Data.DepthUnitText.view(), 10);
    WGridRows(kModelGrid, kModelRows);
    std::vector<INTEGER> numbers(kModelRows);
    for (INTEGER i = 0; i < kModelRows; ++i) numbers[static_cast<std::size_t>(i)] = i + 1;
    WGridPutInteger(kModelGrid, 1, numbers, kModelRows);
    const bool layerShown = pageKind == 1 && s.ISuiteType >= kVaryResistivity && s.ISuiteType <= kVaryDepth;
    if (layerShown) {
        WDialogFieldState(1368, 1);
        WDialogFieldState(1372, 1);
        WDialogPutInteger(1368, y.ILayer);
    } else {
        WDialogFieldState(1368, 3);
        WDialogFieldState(1372, 3);
    }
    WGridLabelColumn(kModelGrid, 2, "Rho");
    WDialogTitle(pageKind == 1 ? "Base Resistivity Model" : "Fade-in Resistivity Model");
    ISUITEPUTMODEL(record);
    showSemiModeless();
    INTEGER c = WGridQuery(kModelGrid, kGridInfoCurrentColumn), r = WGridQuery(kModelGrid, kGridInfoCurrentRow);
    if (c < 2 || c > 4) c = 2;
    WGridSetCell(kModelGrid, c, std::max<INTEGER>(r, 1));
    WEventEnable(kEventFieldChanged, 1);
    WEventEnable(kEventPushButton, 1);
    const INTEGER white = IGrPackRGB(255, 255, 255), blue = IGrPackRGB(0, 0, 255);

    bool done = false;
    while (!done) {
        WDialogSelect(kModelDialog);
        c = WGridQuery(kModelGrid, kGridInfoCurrentColumn);
        r = WGridQuery(kModelGrid, kGridInfoCurrentRow);
        const bool marked = c >= 1 && r >= 1;
        if (marked) WGridColourCell(kModelGrid, c, r, white, blue);
        INTEGER type = 0;
        EventRecord event{};
        WEventWait(type, event);
        WDialogSelect(kModelDialog);
        if (marked) WGridColourCell(kModelGrid, c, r, -1, -1);
        if (event[0] != kModelDialog) continue;  // a close request of the main window is ignored here
        if (type == kEventFieldChanged) {
            if (event[1] != kModelGrid && event[2] != kModelGrid) continue;
            INTEGER leftColumn = 0, leftRow = 0;
            WGridDecodeCell(event[5], leftColumn, leftRow);
            if (leftColumn == kThickColumn || leftColumn == kDepthColumn) DEPTHADJUSTSUITE(leftColumn);
            continue;
        }
        if (type != kEventPushButton) continue;
        const INTEGER pressed = event[1];
        c = WGridQuery(kModelGrid, kGridInfoCurrentColumn);
        r = WGridQuery(kModelGrid, kGridInfoCurrentRow);
        const bool rowInside = r >= 1 && r <= kModelRows - 1;
        switch (pressed) {
        case kButtonNext:
        case kButtonBack: {
            button = pressed;
            cancel = kFalse;
            LOGICAL failed = kTrue;
            ISUITEGETMODEL(record, failed);
            WDialogSelect(kModelDialog);
            if (isTrue(failed)) break;
            if (layerShown) {
                INTEGER layer = 0;
                if (!readIntegerField(1368, "Layer for resistivity/thickness/depth:", layer)) break;
                if (pressed == kButtonNext) {
                    const std::string refusal = layerCountRefusal(s.ISuiteType, layer, record.Model.NLayer);
                    if (!refusal.empty()) {
                        WINMSG(refusal);
                        WDialogSelect(kModelDialog);
                        break;
                    }
                }
                y.ILayer = layer;
            }
            done = true;
            break;
        }
        case kButtonCancel:
            button = pressed;
            cancel = kTrue;
            done = true;
            break;
        case 1040:  // Delete Row
            button = pressed;
            if (!rowInside) break;
            for (INTEGER column : {kRhoColumn, kThickColumn, kDepthColumn}) deleteInColumn(column, r);
            DEPTHADJUSTSUITE(kThickColumn);
            break;
        case 1039:  // Insert Row
            button = pressed;
            if (!rowInside) break;
            for (INTEGER column : {kRhoColumn, kThickColumn, kDepthColumn}) insertInColumn(column, r);
            DEPTHADJUSTSUITE(kThickColumn);
            break;
        case 1038:  // Delete Cell
        case 1037:  // Insert Cell
            button = pressed;
            if (!rowInside) break;
            if (c < 2) {
                WINMSG(SuiteMessages::kInsideGridInsert);
                WDialogSelect(kModelDialog);
                break;
            }
            if (pressed == 1038)
                deleteInColumn(c, r);
            else
                insertInColumn(c, r);
            DEPTHADJUSTSUITE(c);
            break;
        case 1020:  // Multiply By
        case 1019:  // Add To
            button = pressed;
            if (c <= 1 || r <= 0) {
                WINMSG(SuiteMessages::kInsideGridMath);
                WDialogSelect(kModelDialog);
                break;
            }
            columnMath(c, r, pressed == 1020);
            break;
        default: break;
        }
    }
    WDialogSelect(kModelDialog);
    storeDialogPosition();
    WDialogHide();
    WDialogUnload();
}

// ---- the values page -----------------------------------------------------------------------------

namespace {

void putValues(INTEGER n)
{
    const SuiteState& s = suiteState();
    const std::vector<REAL> values(s.VParam.begin(), s.VParam.begin() + n);
    // Seven significant digits: a value of 10,000 and more keeps every digit it was given with.
    WGridPutReal(kValuesGrid, 2, values, n, "(G15.7)");
}

void readValues(INTEGER n)
{
    SuiteState& s = suiteState();
    const std::vector<REAL> values = readColumn(kValuesGrid, 2, n);
    std::copy(values.begin(), values.end(), s.VParam.begin());
}

// The values the user typed, kept when the page is left backwards: every cell that holds a value
// (an emptied cell keeps the value it had).
void keepTypedValues(INTEGER n)
{
    SuiteState& s = suiteState();
    const std::vector<REAL> values = readColumn(kValuesGrid, 2, n);
    for (INTEGER i = 1; i <= n; ++i)
        if (cellHolds(kValuesGrid, 2, i)) s.VParam[static_cast<std::size_t>(i - 1)] = values[static_cast<std::size_t>(i - 1)];
}

void showValuesPage()
{
    SuiteState& s = suiteState();
    WDialogPutString(1367, s.SuiteDescription.trimmed());
    showSemiModeless();
    storeDialogPosition();
    WEventEnable(kEventFieldChanged, 1);
    WEventEnable(kEventPushButton, 1);
}

}  // namespace

void MODELSUITEVARY(REAL start, REAL step, REAL endValue, INTEGER positiveCode, LOGICAL logSpacing, INTEGER count,
                    INTEGER& button, LOGICAL& cancel)
{
    SuiteState& s = suiteState();
    SystemRecord& y = systemRecord();
    const INTEGER n = std::clamp<INTEGER>(y.NSuite, 1, kSuiteCurveLimit);
    WDialogLoad(kValuesDialog);
    // A value no curve can be computed with (from the settings, or of another quantity) opens as
    // its curve number; a value the page would accept is kept, so that an angle of 0 stays.
    for (INTEGER i = 1; i <= n; ++i) {
        REAL& v = s.VParam[static_cast<std::size_t>(i - 1)];
        if (s.ISuiteType >= kVaryResistivity && s.ISuiteType <= kVaryFadeIn && !variedValueLegal(v, s.ISuiteType, 0))
            v = static_cast<REAL>(i);
    }
    WGridRows(kValuesGrid, n);
    std::vector<INTEGER> numbers(static_cast<std::size_t>(n));
    for (INTEGER i = 0; i < n; ++i) numbers[static_cast<std::size_t>(i)] = i + 1;
    WGridPutInteger(kValuesGrid, 1, numbers, n);
    putValues(n);
    WGridSetCell(kValuesGrid, 2, 1);
    s.SuiteDescription.assign(suiteDescriptionText(s.ISuiteType, y.ILayer));
    WDialogPutString(1255, variedQuantityUnit(s.ISuiteType));
    showValuesPage();

    // Depths to the bottom of the base model's layers, for the boundary checks.
    const LayerModelRecord& base = suiteSoundingRecord().Record.Model;
    std::vector<REAL> depths;
    for (INTEGER j = 1; j < base.NLayer; ++j) depths.push_back(SUMOF(&base.Parameters(base.NLayer + 1), j));

    for (;;) {
        INTEGER type = 0;
        EventRecord event{};
        WEventWait(type, event);
        if (type != kEventPushButton || event[0] != kValuesDialog) continue;
        WDialogSelect(kValuesDialog);
        const INTEGER pressed = event[1];
        button = pressed;
        const INTEGER r = WGridQuery(kValuesGrid, kGridInfoCurrentRow);
        switch (pressed) {
        case 1378: {  // Generate
            cancel = kFalse;
            if (r < 1 || r > n) {
                WINMSG(SuiteMessages::kGridRowInvalid);
                WDialogSelect(kValuesDialog);
                break;
            }
            readValues(n);
            const double ratio = (isTrue(logSpacing) && start != 0.0f && count > 1)
                                     ? std::pow(static_cast<double>(endValue) / start, 1.0 / (count - 1))
                                     : 1.0;
            double value = start;
            for (INTEGER k = 0; k < count && r + k <= n; ++k) {
                s.VParam[static_cast<std::size_t>(r + k - 1)] = static_cast<REAL>(value);
                value = isTrue(logSpacing) ? value * ratio : start + static_cast<double>(k + 1) * step;
            }
            putValues(n);
            break;
        }
        case 1020:  // Multiply By
        case 1019: {  // Add To
            cancel = kFalse;
            if (r < 1 || r > n) {
                WINMSG(SuiteMessages::kGridRowInvalid);
                WDialogSelect(kValuesDialog);
                break;
            }
            SuitePromptMemory& memory = suitePromptMemory();
            const bool multiply = pressed == 1020;
            REAL& remembered = multiply ? memory.ValuesMultiplier : memory.ValuesAddend;
            LOGICAL cancelled = kFalse;
            NUMINDLG(multiply ? "Please enter number to multiply by:" : "Please enter number to add:", remembered,
                     cancelled);
            WDialogSelect(kValuesDialog);
            if (isTrue(cancelled)) break;
            readValues(n);
            for (INTEGER i = r; i <= n; ++i) {
                REAL& v = s.VParam[static_cast<std::size_t>(i - 1)];
                if (!missing(v)) v = multiply ? v * remembered : v + remembered;
            }
            putValues(n);
            break;
        }
        case kButtonNext:
        case kButtonBack: {
            storeDialogPosition();
            INTEGER failing = 0;
            std::string refusal;
            if (pressed == kButtonBack) {
                // What was typed since the last Generate, Add To or Multiply By is kept: a value
                // no curve can be computed with is said so, as it would be replaced when the page
                // opens again. The boundaries are left to "Next >": the model may be about to change.
                const std::vector<REAL> typed = readColumn(kValuesGrid, 2, n);
                for (INTEGER i = 1; i <= n && failing == 0; ++i)
                    if (cellHolds(kValuesGrid, 2, i) &&
                        !variedValueLegal(typed[static_cast<std::size_t>(i - 1)], s.ISuiteType, positiveCode))
                        failing = i, refusal = SuiteMessages::kIllegalValue;
                if (failing == 0) {
                    cancel = kFalse;
                    keepTypedValues(n);
                    WDialogHide();
                    return;
                }
            } else {
                for (INTEGER i = 1; i <= n && failing == 0; ++i)
                    if (!cellHolds(kValuesGrid, 2, i)) failing = i, refusal = SuiteMessages::kUndefinedCell;
                if (failing == 0) {
                    cancel = kFalse;
                    readValues(n);
                    const INTEGER layers = base.NLayer;
                    for (INTEGER i = 1; i <= n && failing == 0; ++i) {
                        refusal = variedValueRefusal(s.VParam[static_cast<std::size_t>(i - 1)], s.ISuiteType,
                                                     positiveCode, y.ILayer, layers, depths);
                        if (!refusal.empty()) failing = i;
                    }
                }
                if (failing == 0) {
                    WDialogHide();
                    return;
                }
            }
            WINMSG(refusal);
            WDialogSelect(kValuesDialog);
            WGridSetCell(kValuesGrid, 2, failing);
            showValuesPage();
            break;
        }
        case kButtonCancel:
            cancel = kTrue;
            WDialogHide();
            return;
        default: break;
        }
    }
}

// ---- the time-window page ----------------------------------------------------------------------

void MODELSUITEABS(INTEGER& button, LOGICAL& cancel)
{
    SystemRecord& y = systemRecord();
    const INTEGER layers = suiteSoundingRecord().Record.Model.NLayer;
    WDialogLoad(kTimeWindowDialog);
    WDialogFieldState(1073, layers > 1 ? 1 : 0);
    if (y.IAbscissa == kTimeAxisNormalised && layers > 1) {
        WDialogPutRadioButton(1073);
    } else {
        WDialogPutRadioButton(1074);
        y.IAbscissa = kTimeAxisReal;
    }
    WDialogPutReal(1360, y.AbStart);
    WDialogPutReal(1362, y.AbEnd);
    for (;;) {
        const MainWindowState& w = mainWindowState();
        WDialogShow(w.DialogX, w.DialogY, 0, 1);
        WDialogSelect(kTimeWindowDialog);
        storeDialogPosition();
        button = WDialogQuery(1);
        if (button == kButtonCancel) {
            cancel = kTrue;
            break;
        }
        if (button != kButtonNext && button != kButtonBack) break;
        REAL start = 0.0f, end = 0.0f;
        if (!readRealField(1360, "Time values, starting at:", start) ||
            !readRealField(1362, "Log spaced, ending at:", end))
            continue;
        if (button == kButtonNext) {
            // A window the engine cannot sample keeps the user on the page.
            const std::string refusal = timeWindowRefusal(start, end);
            if (!refusal.empty()) {
                WINMSG(refusal);
                WDialogSelect(kTimeWindowDialog);
                continue;
            }
            y.LogAbscissa = kTrue;
        }
        // "< Back" keeps what was typed too, unchecked: "Finish" checks it.
        cancel = kFalse;
        y.AbStart = start;
        y.AbEnd = end;
        INTEGER position = 0;
        WDialogGetRadioButton(1074, position);
        y.IAbscissa = position == 2 ? kTimeAxisNormalised : kTimeAxisReal;
        break;
    }
    WDialogHide();
}

// ---- the wizard --------------------------------------------------------------------------------

namespace {

// What a wizard run may change, as it was when the wizard opened.
struct SuiteDefinition {
    SystemRecord System;
    INTEGER FieldComponent = 0, ISuiteType = 0;
    LOGICAL LDifference = kFalse, LDataPct = kFalse, NoiseShown = kFalse;
    std::array<REAL, 1000> VParam{};
    FixedText<256> SuiteDescription;
    struct Model {
        LayerModelRecord Layers;
        FixedText<16> Waveform;
        LOGICAL ResponseComputed = kFalse, PackedPresent = kFalse, ExtraModels = kFalse, CopyMark = kFalse;
    } Suite, Second;
};

void take(SuiteDefinition::Model& m, const SoundingRecord& r)
{
    GETMODEL1D(r, m.Layers);
    m.Waveform = r.Data.Waveform;
    m.ResponseComputed = r.ResponseComputed;
    m.PackedPresent = r.PackedPresent;
    m.ExtraModels = r.ExtraModels;
    m.CopyMark = r.CopyMark;
}

void giveBack(const SuiteDefinition::Model& m, SoundingRecord& r)
{
    PUTMODEL1D(r, m.Layers);
    r.Data.Waveform = m.Waveform;
    r.ResponseComputed = m.ResponseComputed;
    r.PackedPresent = m.PackedPresent;
    r.ExtraModels = m.ExtraModels;
    r.CopyMark = m.CopyMark;
}

void takeDefinition(SuiteDefinition& d)
{
    const SuiteState& s = suiteState();
    d.System = systemRecord();
    d.FieldComponent = s.FieldComponent;
    d.ISuiteType = s.ISuiteType;
    d.LDifference = s.LDifference;
    d.LDataPct = s.LDataPct;
    d.NoiseShown = s.NoiseShown;
    d.VParam = s.VParam;
    d.SuiteDescription = s.SuiteDescription;
    take(d.Suite, suiteSoundingRecord().Record);
    take(d.Second, secondModelSoundingRecord().Record);
}

void giveBackDefinition(const SuiteDefinition& d)
{
    SuiteState& s = suiteState();
    systemRecord() = d.System;
    s.FieldComponent = d.FieldComponent;
    s.ISuiteType = d.ISuiteType;
    s.LDifference = d.LDifference;
    s.LDataPct = d.LDataPct;
    s.NoiseShown = d.NoiseShown;
    s.VParam = d.VParam;
    s.SuiteDescription = d.SuiteDescription;
    giveBack(d.Suite, suiteSoundingRecord().Record);
    giveBack(d.Second, secondModelSoundingRecord().Record);
}

// Runs the pages; true after "Finish".
bool runWizardPages()
{
    SuiteState& s = suiteState();
    SystemRecord& y = systemRecord();
    if (s.ISuiteType < 1 || s.ISuiteType > 6) s.ISuiteType = kVaryResistivity;
    WizardPage page = kPageSuiteType;
    for (;;) {
        INTEGER button = kButtonNext;
        LOGICAL cancel = kFalse;
        switch (page) {
        case kPageSuiteType: MODELSUITETYPE(button, cancel); break;
        case kPageBaseModel: SUITEMODELEDIT(suiteSoundingRecord().Record, cancel, button, 1); break;
        case kPageSecondModel: SUITEMODELEDIT(secondModelSoundingRecord().Record, cancel, button, 2); break;
        case kPageValues: MODELSUITEVARY(0.0f, 5.0f, 100.0f, 8, kFalse, 20, button, cancel); break;
        case kPageTimeWindow:
            s.NoiseShown = toLogical(s.VNoise > 0.0f && s.ISuiteType != kVaryOffset &&
                                     (s.FieldComponent == kFieldEx || s.FieldComponent == kFieldHz));
            MODELSUITEABS(button, cancel);
            break;
        default: return page == kPageFinished;
        }
        if (isTrue(cancel)) button = kButtonCancel;
        WizardPage next = nextWizardPage(page, button, s.ISuiteType, y.NSuite);
        if (page == kPageSecondModel && button != kButtonBack && button != kButtonCancel &&
            secondModelSoundingRecord().Record.Model.ParameterCount != suiteSoundingRecord().Record.Model.ParameterCount) {
            WINMSG(SuiteMessages::kSameLayerCount);
            next = kPageSecondModel;
        }
        page = next;
    }
}

}  // namespace

void MODELSUITE(SoundingRecord& current, SoundingRecord& currentCompanion, LOGICAL& cancel, LOGICAL& firstCall)
{
    cancel = kFalse;
    if (isTrue(firstCall)) {
        COPYSOUND(suiteSoundingRecord().Record, suiteSoundingRecord().Companion, current, currentCompanion);
        COPYSOUND(secondModelSoundingRecord().Record, secondModelSoundingRecord().Companion, current, currentCompanion);
        COPYSOUND(spareSoundingRecord().Record, spareSoundingRecord().Companion, current, currentCompanion);
    }
    LayerModelRecord& suiteModel = suiteSoundingRecord().Record.Model;
    suiteModel.ValuesPerLayer = 1;
    suiteModel.ModelSwitch1 = 0;
    suiteModel.ModelSwitch2 = 0;
    firstCall = kFalse;
    // The settings bring the varied layer back without the model it belonged to (a restart starts
    // from the one-layer model): the wizard opens with a layer that model has.
    systemRecord().ILayer = allowedLayer(suiteState().ISuiteType, systemRecord().ILayer, suiteModel.NLayer);

    SuiteDefinition committed;
    takeDefinition(committed);
    if (!runWizardPages()) {
        // Cancel anywhere: the suite, its curves and its display stay as they were.
        giveBackDefinition(committed);
        cancel = kTrue;
        return;
    }
    // A suite of one curve is the base model's own curve: its value is the base value, which the
    // labels and exports then show, not a value the calculation never applied.
    if (systemRecord().NSuite == 1) {
        const REAL base = suiteBaseValue(suiteState().ISuiteType, systemRecord().ILayer, suiteModel, systemRecord());
        if (!isMissingReal(base)) suiteState().VParam[0] = base;
    }
    suiteCalculationHooks().calculate(cancel);
}
