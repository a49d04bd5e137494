// The model suite's own record (platform-free): the codes that describe a suite and its curves.
#pragma once

#include <array>

#include "Quorvalent/AllocArray.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

enum FieldComponentCode : INTEGER { kFieldEx = 1, kFieldEy = 2, kFieldHz = 3 };

enum VariedQuantityCode : INTEGER {
    kVaryResistivity = 1, kVaryThickness = 2, kVaryDepth = 3,
    kVaryOffset = 4, kVaryAngle = 5, kVaryFadeIn = 6,
};

enum DisplayKindCode : INTEGER {
    kDisplayReceivedVoltage = 1, kDisplayEarlyRho = 2, kDisplayElectricField = 3,
    kDisplayEarlyLateRho = 4, kDisplayAllTimeRho = 5, kDisplayEarlyLateAllTimeRho = 6,
};

enum TimeAxisKindCode : INTEGER { kTimeAxisReal = 1, kTimeAxisNormalised = 2 };

struct SuiteState {
    INTEGER FieldComponent = 0;             // FieldComponentCode
    INTEGER ISuiteType = 0;                 // VariedQuantityCode
    LOGICAL LDifference = kFalse;
    LOGICAL LDataPct = kFalse;
    REAL VNoise = 0.0f;
    LOGICAL NoiseShown = kFalse;
    std::array<REAL, 1000> VParam{};
    FixedText<256> SuiteDescription;
    INTEGER KindCount = 0;
    INTEGER SuitePointCount = 0;
    AllocArray<REAL> SuiteCurves;           // (SuitePointCount, KindCount * NSuite): sample, column, curve
    AllocArray<REAL> NoiseCurve;
    // Curves of SuiteCurves that the last calculation computed (a stopped suite has fewer than
    // NSuite); the display reads no others.
    INTEGER CurvesComputed = 0;
    REAL CurveValueMin = 0.0f, CurveValueMax = 0.0f;
    std::array<REAL, 4> ModelValueMin{}, ModelValueMax{};
    REAL ModelDepthMin = 0.0f, ModelDepthMax = 0.0f;
    REAL ModelElevationMin = 0.0f, ModelElevationMax = 0.0f;
};

SuiteState& suiteState();
