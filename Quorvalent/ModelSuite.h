// The model-suite wizard: the pages through which the user defines a suite (suite parameters,
// base model, second model, values of the varied quantity, time window), the model-grid routines
// of the model pages, the page sequence, and MODELSUITE's entry with the suite's sounding records.
//
// The wizard commits only on "Finish": "Cancel" on any page puts back the suite's definition, its
// models and the system values as they were when the wizard opened.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Quorvalent/Quorvalent.h"
#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/SuiteState.h"
#include "Quorvalent/SuiteSoundings.h"
#include "toolkit/foundation/CoreTypes.h"

// Dialogs and fields of the pages.
inline constexpr INTEGER kSuiteTypeDialog = 104;
inline constexpr INTEGER kModelDialog = 207;
inline constexpr INTEGER kModelGrid = 1364;
inline constexpr INTEGER kValuesDialog = 102;
inline constexpr INTEGER kValuesGrid = 1006;
inline constexpr INTEGER kTimeWindowDialog = 111;
inline constexpr INTEGER kButtonNext = 1355;
inline constexpr INTEGER kButtonBack = 1357;
inline constexpr INTEGER kButtonCancel = 2;
inline constexpr INTEGER kSuiteCurveLimit = 1000;


// The pages. Each reports the button that closed it and sets cancel for "Cancel".
void MODELSUITETYPE(INTEGER& button, LOGICAL& cancel);
// pageKind 1: the base model (also stores ILayer); 2: the second model of the fade-in.
void SUITEMODELEDIT(SoundingRecord& record, LOGICAL& cancel, INTEGER& button, INTEGER pageKind);
// start, step, endValue, positiveCode, logSpacing and count are the "Generate" button's series.
void MODELSUITEVARY(REAL start, REAL step, REAL endValue, INTEGER positiveCode, LOGICAL logSpacing, INTEGER count,
                    INTEGER& button, LOGICAL& cancel);
void MODELSUITEABS(INTEGER& button, LOGICAL& cancel);

// Model grid of the current model page: recomputes depths from thicknesses (column 3) or
// thicknesses from depths (column 4).
void DEPTHADJUSTSUITE(INTEGER column);
// Validates the model grid and stores it as the record's layered model; failed false on success.
void ISUITEGETMODEL(SoundingRecord& record, LOGICAL& failed);
// Fills the model grid from the record.
void ISUITEPUTMODEL(const SoundingRecord& record);
// The reader of another dialog family's model grid; its identifiers are never set in this
// program, so it finds no grid: failed true, with "Not all cells contain valid values" unless quiet.
void IGRIDGETMODEL(SoundingRecord& record, LOGICAL& failed, LOGICAL quiet);

// Calculate/Model Suite and the start-up wizard: copies the current sounding into the suite's
// records on the first call, runs the wizard and, after "Finish", the suite calculation.
void MODELSUITE(SoundingRecord& current, SoundingRecord& currentCompanion, LOGICAL& cancel, LOGICAL& firstCall);

// What MODELSUITE does after "Finish": the suite calculation (tests may put their own here);
// cancel true when the calculation was stopped.
struct SuiteCalculationHooks {
    std::function<void(LOGICAL& cancel)> calculate = [](LOGICAL&) {};
};
SuiteCalculationHooks& suiteCalculationHooks();

// Toolkit-internal (the platform-free rules of the pages)

enum WizardPage : INTEGER {
    kPageSuiteType = 1, kPageBaseModel = 2, kPageSecondModel = 3, kPageValues = 4, kPageTimeWindow = 5,
    kPageFinished = 6, kPageCancelled = 7,
};
// The page after a page closed with a button; the second model's layer-count check is the caller's.
WizardPage nextWizardPage(WizardPage page, INTEGER button, INTEGER suiteType, INTEGER nSuite);
// The display kind a component allows: Ex and Ey take 1 or 3, Hz everything but 3.
INTEGER allowedDisplayKind(INTEGER component, INTEGER kind);
// The refusal of a layer number for the varied quantity, "" when the model has enough layers.
std::string layerCountRefusal(INTEGER suiteType, INTEGER layer, INTEGER layerCount);
// The engine's refusal of a time window, "" when it is usable.
std::string timeWindowRefusal(REAL start, REAL end);
// The refusal of the number of curves or the offset on the suite-parameters page, "" when both are usable.
std::string suiteParameterRefusal(INTEGER nSuite, REAL offset);
// Whether a curve can be computed with a value of the varied quantity: above 0 for the layer
// values, the offset and the code positiveCode, 0 or above for the angle, 0 to 100 for the fade-in.
bool variedValueLegal(REAL value, INTEGER suiteType, INTEGER positiveCode);
// The refusal of a value of the varied quantity, "" when it passes: "Illegal Cell Value" when it
// is not legal, and the boundary messages. depths are the depths to the bottom of layers 1 to
// layerCount - 1 of the base model.
std::string variedValueRefusal(REAL value, INTEGER suiteType, INTEGER positiveCode, INTEGER layer,
                               INTEGER layerCount, const std::vector<REAL>& depths);
// "Parameter to vary is " and the quantity's name (with the layer for codes 1 to 3).
std::string suiteDescriptionText(INTEGER suiteType, INTEGER layer);
// The unit of the varied quantity, as the values page shows it ("ohm-m", "m", "deg", "%").
std::string variedQuantityUnit(INTEGER suiteType);
// The layer of the varied quantity within what a model of layerCount layers allows (a thickness
// or depth needs a layer above the half-space); at least 1.
INTEGER allowedLayer(INTEGER suiteType, INTEGER layer, INTEGER layerCount);
// The varied quantity's value in the base model and the system values (the value a suite of one
// curve is computed with); the missing value when the layer is not in the model.
REAL suiteBaseValue(INTEGER suiteType, INTEGER layer, const LayerModelRecord& model, const SystemRecord& system);
// The format a thickness or depth is written into the model grid with: the column's own "(F8.3)"
// while the value fits it, else one that keeps every digit.
std::string modelCellFormat(REAL value);

namespace SuiteMessages {
inline constexpr const char* kNotAllCells = "Not all cells contain valid values";
inline constexpr const char* kInsideGridInsert = "Must be inside data grid to insert cell";
inline constexpr const char* kInsideGridMath = "Must be inside data grid to add or multiply";
inline constexpr const char* kGridRowInvalid = "Grid row invalid";
inline constexpr const char* kUndefinedCell = "Undefined cell, please re-enter";
inline constexpr const char* kIllegalValue = "Illegal Cell Value, please re-enter";
inline constexpr const char* kEncroachesAbove = "Boundary encroaches on layer above, please re-enter";
inline constexpr const char* kEncroachesBelow = "Boundary encroaches on layer below, please re-enter";
inline constexpr const char* kSameLayerCount = "First and Second models must have same number of layers";
inline constexpr const char* kCurveCount = "Number of curves must be from 1 to 1000";
}  // namespace SuiteMessages
