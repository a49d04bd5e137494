// Forward computation of one LOTEM transient curve into a sounding record (platform-free).
#pragma once

#include <vector>

#include "Quorvalent/SoundingHandler.h"
#include "toolkit/foundation/CoreTypes.h"

// The engine's working copy of model and geometry. The scalars keep the values of the curve
// computed last (the MODALL export reads the offset from here); the model arrays exist only
// during one CALCLOTEM call.
struct EngineBlock {
    REAL TimeStart = 0.001f, TimeEnd = 1000.0f;   // s
    INTEGER LayerCount = 4;
    REAL Angle = 1.5708f;                         // rad
    REAL Offset = 3000.0f;                        // m
    REAL TwoPi = 6.2831855f;
    REAL Pi = 3.1415927f;
    REAL ReceiverArea = 1.0f;
    REAL SourceLength = 1.0f, SourceLength2 = 1.0f, SourceCurrent = 1.0f;  // written by the MODALL export
    INTEGER FieldComponent = 1;                   // FieldComponentCode
    INTEGER HeaderCode = 0;
    INTEGER NormalisationMode = 1, TimeAxisMode = 1;
    REAL TwoPiE7 = 62831852.0f;
    REAL ScaledByOffset = 0.0f;                   // copied from the record, not used
    std::vector<REAL> Resistivities;              // NL, ohm-m
    std::vector<REAL> Thicknesses;                // NL - 1 used, m
    std::vector<REAL> Parameters;                 // 2 NL - 1 used
};

EngineBlock& engineBlock();

// Computes the curve of one sounding record in place for the field component of the suite and
// the geometry, time window and display kind of the system record. Failures are shown with
// WINMSG; the record then keeps missing values (1.0E20) and ResponseComputed stays false.
void CALCLOTEM(SoundingRecord& sounding);

// Texts CALCLOTEM shows.
namespace EngineMessages {
inline constexpr const char* kNoLayers = "Model has no layers";
inline constexpr const char* kDepthsNotIncreasing = "Model specified as depth has negative thicknesses";
inline constexpr const char* kNegativeThickness = "Model has negative thicknesses";
inline constexpr const char* kParametersMissing = "Model has fewer parameters than layers";
inline constexpr const char* kBadResistivity = "Layer resistivities must be greater than 0";
inline constexpr const char* kBadOffset = "Source-receiver offset must be greater than 0";
inline constexpr const char* kBadTimeWindow = "Time window must start after 0 s and end after its start";
inline constexpr const char* kTooManySamples = "Time window too long: a curve holds at most 300 samples";
inline constexpr const char* kPointsIncrease = "Increase in number of points in suite curve:";
inline constexpr const char* kBadAngle = "Source-receiver angle must be a number";
inline constexpr const char* kHalfSpaceAngle = "A half-space Hz curve needs a source-receiver angle other than 0";
inline constexpr const char* kCurveRefused = "The curve could not be computed for this model and time window";
}  // namespace EngineMessages
