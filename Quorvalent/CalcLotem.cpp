#include "Quorvalent/CalcLotem.h"

#include <algorithm>
#include <cmath>

#include "Quorvalent/CURVES.h"
#include "Quorvalent/RTSAFE.h"
#include "Quorvalent/SuiteState.h"
#include "WBRVLib/Brvl95.h"

namespace {

// 2 pi r^4 / 3 turns a unit-moment dBz/dt into the early-time apparent resistivity (divided by
// sin phi); 6.5192075E-12 is the late-time counterpart, (mu0^5/3 / (40^2/3 pi)) (2 pi / 3)^2/3.
constexpr double kLateTimeFactor = 6.5192075e-12;
// The received voltage of the coil carries 1.65E9 rather than the nV factor 1.0E9.
constexpr double kCoilVoltageFactor = 1.65e9;
constexpr double kNano = 1.0e9;
constexpr double kDegreesPerRadian = 57.29578;

REAL finiteOrMissing(double value)
{
    const auto stored = static_cast<REAL>(value);
    return std::isfinite(stored) ? stored : kMissingValue;
}

// Columns of ResponseValues that a component and display kind write.
int columnsWritten(INTEGER component, INTEGER kind)
{
    if (component != kFieldHz) return 1;
    if (kind == kDisplayEarlyLateRho) return 2;
    if (kind == kDisplayAllTimeRho || kind == kDisplayEarlyLateAllTimeRho) return 3;
    return 1;
}

// Makes the array at least rows by columns; contents survive a column change only.
void ensureShape(AllocArray<REAL>& array, int rows, int columns)
{
    if (!array.allocated() || array.extent1() < rows) {
        array.deallocate();
        array.allocate(rows, columns);
        array.fill(kMissingValue);
    } else if (array.extent2() < columns) {
        array.resizeColumns(columns);
    }
}

// The layered model in the engine's form: resistivities and layer thicknesses. Returns the
// message that refuses the model, or nullptr.
const char* takeModel(const LayerModelRecord& model, EngineBlock& engine)
{
    const int nl = model.NLayer;
    if (nl < 1) return EngineMessages::kNoLayers;
    const int perLayer = std::max<INTEGER>(model.ValuesPerLayer, 1);
    const int needed = nl * perLayer + nl - 1;
    if (!model.Parameters.allocated() || static_cast<int>(model.Parameters.size()) < needed)
        return EngineMessages::kParametersMissing;
    const auto parameter = [&](int i) { return model.Parameters(i); };

    const bool depths = isTrue(model.DepthEntry);
    if (depths && nl >= 3) {
        for (int j = 1; j < nl - 1; ++j) {
            const REAL upper = parameter(nl * perLayer + j), lower = parameter(nl * perLayer + j + 1);
            if (!(lower > upper)) return EngineMessages::kDepthsNotIncreasing;
        }
    }

    engine.LayerCount = nl;
    engine.Resistivities.assign(static_cast<std::size_t>(nl), 0.0f);
    engine.Thicknesses.assign(static_cast<std::size_t>(nl), 0.0f);
    for (int i = 1; i <= nl; ++i) engine.Resistivities[i - 1] = parameter((i - 1) * perLayer + 1);
    // The kernels take thicknesses: a model entered as depths gives each layer the depth of its
    // bottom less the depth of its top.
    for (int j = 1; j < nl; ++j) {
        const REAL value = parameter(nl * perLayer + j);
        const REAL above = (depths && j > 1) ? parameter(nl * perLayer + j - 1) : 0.0f;
        engine.Thicknesses[j - 1] = value - above;
    }
    engine.Parameters.assign(engine.Resistivities.begin(), engine.Resistivities.end());
    engine.Parameters.insert(engine.Parameters.end(), engine.Thicknesses.begin(), engine.Thicknesses.end() - 1);

    for (int j = 0; j < nl - 1; ++j)
        if (!(engine.Thicknesses[j] >= 0.0f))
            return depths ? EngineMessages::kDepthsNotIncreasing : EngineMessages::kNegativeThickness;
    for (REAL rho : engine.Resistivities)
        if (!(rho > 0.0f) || !std::isfinite(rho)) return EngineMessages::kBadResistivity;
    return nullptr;
}

void freeModel(EngineBlock& engine)
{
    engine.Resistivities.clear();
    engine.Thicknesses.clear();
    engine.Parameters.clear();
}

// Writes column 1 (and 2 for the late-time resistivity) from the unit-moment transient.
void scaleColumns(SoundingRecord& sounding, const SystemRecord& system, const EngineBlock& engine, int n, double sinAngle)
{
    const EngineCurveBlock& curve = engineCurveBlock();
    AllocArray<REAL>& out = sounding.ResponseValues;
    const INTEGER kind = system.DisplayKind;

    if (engine.FieldComponent != kFieldHz) {
        double s = double(system.TxLength) * system.TxAmps * kNano;
        if (kind == kDisplayReceivedVoltage) s *= system.RxLength;
        for (int i = 1; i <= n; ++i) out(i, 1) = finiteOrMissing(s * curve.Values[i - 1]);
        return;
    }
    if (kind == kDisplayReceivedVoltage) {
        const double s = double(system.TxLength) * system.TxAmps * system.RxArea * kCoilVoltageFactor;
        for (int i = 1; i <= n; ++i) out(i, 1) = finiteOrMissing(s * curve.Values[i - 1]);
        return;
    }
    const bool resistivity = kind == kDisplayEarlyRho || kind == kDisplayEarlyLateRho ||
                             kind == kDisplayAllTimeRho || kind == kDisplayEarlyLateAllTimeRho;
    const bool late = kind != kDisplayEarlyRho;
    // No apparent resistivity where the early-time factor would divide by a zero sine.
    if (!resistivity || std::fabs(sinAngle) < 1.0e-6) {
        for (int i = 1; i <= n; ++i) out(i, 1) = kMissingValue;
        if (resistivity && late)
            for (int i = 1; i <= n; ++i) out(i, 2) = kMissingValue;
        return;
    }
    const double r = engine.Offset;
    const double s = double(engine.TwoPi) * r * r * r * r / (3.0 * sinAngle);
    for (int i = 1; i <= n; ++i) {
        const double early = s * curve.Values[i - 1];
        out(i, 1) = finiteOrMissing(early);
        if (!late) continue;
        const double t = curve.Times[i - 1];
        const double e = std::fabs(double(static_cast<REAL>(early)));
        out(i, 2) = e > 0.0 ? finiteOrMissing(kLateTimeFactor * std::pow(r * r * r * r * r / (std::pow(t, 2.5) * e), 2.0 / 3.0))
                            : kMissingValue;
    }
}

void writeTimes(SoundingRecord& sounding, const SystemRecord& system, const EngineBlock& engine, int n)
{
    const EngineCurveBlock& curve = engineCurveBlock();
    AllocArray<REAL>& times = sounding.Data.SampleTimes;
    const bool normalised = system.IAbscissa == kTimeAxisNormalised && engine.LayerCount >= 2;
    const double rho1 = engine.Resistivities[0];
    const double h1 = normalised ? engine.Thicknesses[0] : 1.0;
    for (int i = 1; i <= n; ++i) {
        const REAL t = curve.Times[i - 1];
        if (!normalised) times(i, 1) = t;
        else times(i, 1) = h1 > 1.0e-6 ? finiteOrMissing(500.0 * std::sqrt(rho1 * t) / h1) : kMissingValue;
    }
}

}  // namespace

EngineBlock& engineBlock()
{
    static EngineBlock block;
    return block;
}

void CALCLOTEM(SoundingRecord& sounding)
{
    SoundingDataRecord& data = sounding.Data;
    const int pointCount = data.PointCount;
    if (pointCount < 1) return;

    sounding.HeaderReal1 = kUnsetHeaderValue;
    sounding.HeaderReal2 = kUnsetHeaderValue;
    if (sounding.ResponseValues.allocated() && sounding.ResponseValues.extent2() >= 1) {
        const int rows = std::min(pointCount, sounding.ResponseValues.extent1());
        for (int i = 1; i <= rows; ++i) sounding.ResponseValues(i, 1) = kMissingValue;
    }

    EngineBlock& engine = engineBlock();
    const SystemRecord& system = systemRecord();
    const auto refuse = [&](const char* message) {
        freeModel(engine);
        WINMSG(message);
    };

    if (const char* message = takeModel(sounding.Model, engine)) return refuse(message);
    engine.ScaledByOffset = data.ScaledByOffset1();

    const double angle = double(system.TxRxAngle) / kDegreesPerRadian;
    engine.Angle = static_cast<REAL>(angle);
    engine.ReceiverArea = system.RxArea;
    engine.Offset = system.Offset;
    engine.TimeStart = system.AbStart;
    engine.TimeEnd = system.AbEnd;
    engine.FieldComponent = suiteState().FieldComponent;
    const double sinAngle = std::sin(angle);

    if (!(engine.Offset > 0.0f) || !std::isfinite(engine.Offset)) return refuse(EngineMessages::kBadOffset);
    if (!(engine.TimeStart > 0.0f) || !(engine.TimeEnd >= engine.TimeStart) || !std::isfinite(engine.TimeEnd))
        return refuse(EngineMessages::kBadTimeWindow);
    const auto grid = timeGridOf(engine.TimeStart, engine.TimeEnd);
    if (!grid) return refuse(EngineMessages::kBadTimeWindow);
    const int n = grid->count;
    if (n > kMaxCurveSamples) return refuse(EngineMessages::kTooManySamples);
    if (pointCount > 1 && pointCount < n) return refuse(EngineMessages::kPointsIncrease);

    // An angle that is no number would make every sample missing without a word; the closed
    // half-space form has no field at all along the wire (an angle of 0).
    if (!std::isfinite(system.TxRxAngle)) return refuse(EngineMessages::kBadAngle);
    if (engine.FieldComponent == kFieldHz && engine.LayerCount == 1 && !(std::fabs(system.TxRxAngle) > 1.0e-5f))
        return refuse(EngineMessages::kHalfSpaceAngle);

    if (!CURVE(engine.TimeStart, engine.TimeEnd)) return refuse(EngineMessages::kCurveRefused);

    // Fit the record to the grid; the arrays hold every column this display kind writes.
    const int columns = std::max<int>({data.ColumnCount, columnsWritten(engine.FieldComponent, system.DisplayKind), 1});
    if (pointCount == 1) {
        sounding.ResponseValues.deallocate();
        data.SampleTimes.deallocate();
        sounding.ResponseValues.allocate(n, columns);
        data.SampleTimes.allocate(n, 1);
        data.PointCount = n;
    } else {
        ensureShape(sounding.ResponseValues, pointCount, columns);
        ensureShape(data.SampleTimes, pointCount, 1);
        for (int i = n + 1; i <= pointCount; ++i) {
            sounding.ResponseValues(i, 1) = kMissingValue;
            data.SampleTimes(i, 1) = kMissingValue;
        }
    }

    scaleColumns(sounding, system, engine, n, sinAngle);
    writeTimes(sounding, system, engine, n);

    if (engine.FieldComponent == kFieldHz &&
        (system.DisplayKind == kDisplayAllTimeRho || system.DisplayKind == kDisplayEarlyLateAllTimeRho)) {
        ALLTIME();
        const EngineCurveBlock& curve = engineCurveBlock();
        for (int i = 1; i <= n; ++i) sounding.ResponseValues(i, 3) = finiteOrMissing(curve.AllTimeResistivity[i - 1]);
        if (system.DisplayKind == kDisplayAllTimeRho) {
            for (int i = 1; i <= n; ++i) sounding.ResponseValues(i, 1) = sounding.ResponseValues(i, 3);
            data.ColumnCount = 1;
        }
    }

    freeModel(engine);
    sounding.ResponseComputed = kTrue;
}
