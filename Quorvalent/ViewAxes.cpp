#include "Quorvalent/ViewAxes.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <vector>

#include "Quorvalent/Refresh1d.h"
#include "Quorvalent/SuiteSoundings.h"
#include "Quorvalent/plotModel.h"
#include "WBRVLib/Brvl95.h"

namespace {

REAL total(INTEGER steps, REAL length) { return static_cast<REAL>(steps) * length; }

void restore(REAL remembered, INTEGER steps, REAL& length)
{
    if (steps != 0) length = remembered / static_cast<REAL>(steps);
}

bool carriesExtraModels(const SoundingRecord& sounding)
{
    const std::string_view type = sounding.Data.SoundingType.view();
    for (std::size_t k : {0u, 1u, 2u, 4u, 5u, 6u, 7u, 8u, 9u, 11u, 12u, 13u, 14u, 15u})
        if (type == SoundingTypeTable[k]) return true;
    return false;
}

}  // namespace

AxisTotalLengths axisTotalLengths(const GraphFramePair& curve, const GraphFramePair& model)
{
    return {{total(curve[0].StepsX, curve[0].LengthX), total(curve[0].StepsY, curve[0].LengthY),
             total(curve[1].StepsY, curve[1].LengthY), total(model[0].StepsX, model[0].LengthX),
             total(model[0].StepsY, model[0].LengthY), total(model[1].StepsX, model[1].LengthX)}};
}

void restoreAxisTotalLengths(const AxisTotalLengths& lengths, GraphFramePair& curve, GraphFramePair& model)
{
    restore(lengths.Total[0], curve[0].StepsX, curve[0].LengthX);
    restore(lengths.Total[1], curve[0].StepsY, curve[0].LengthY);
    restore(lengths.Total[2], curve[1].StepsY, curve[1].LengthY);
    restore(lengths.Total[3], model[0].StepsX, model[0].LengthX);
    restore(lengths.Total[4], model[0].StepsY, model[0].LengthY);
    restore(lengths.Total[5], model[1].StepsX, model[1].LengthX);
}

void keepUnlessUndefined(INTEGER read, INTEGER& stored)
{
    if (read != kUndefinedInteger) stored = read;
}

void keepUnlessUndefined(REAL read, REAL& stored)
{
    if (read != kUndefinedReal) stored = read;
}

void SWAPLOGDATA()
{
    SystemRecord& system = systemRecord();
    system.LogData = isTrue(system.LogData) ? kFalse : kTrue;
    RESCALESUITE();
    SoundingPair& suite = suiteSoundingRecord();
    REFRESHSUITE(suite.Record, suite.Companion);
}

void DATARESCALE1D(GraphFramePair& frames, const SoundingRecord& sounding)
{
    SCALE_X(frames[0], sounding, sounding);
    const INTEGER columns = sounding.Data.ColumnCount;
    std::vector<LOGICAL> logFlags;
    try {
        logFlags.assign(static_cast<std::size_t>(std::max(columns, 1)), systemRecord().LogData);
    } catch (const std::bad_alloc&) {
        WINMSG("ALLOCATION ERROR IN SCALE_Y");
        return;
    }
    const INTEGER graphs = std::clamp(sounding.Data.GraphCount, 1, 2);
    if (graphs == 1) {
        SCALE_Y(frames[0], sounding, 1, std::max(columns, 1), logFlags.data(), 0);
        return;
    }
    logFlags.resize(static_cast<std::size_t>(std::max(columns, graphs)), systemRecord().LogData);
    for (INTEGER g = 1; g <= graphs; ++g)
        SCALE_Y(frames[static_cast<std::size_t>(g - 1)], sounding, g, g, logFlags.data() + (g - 1), 0);
}

void MODELREMAKE(GraphFramePair& frames, SoundingRecord& sounding, SoundingRecord&)
{
    const INTEGER count = std::max(sounding.Model.ParameterCount, 0);
    for (AllocArray<REAL>* a : {&sounding.ExtraVector1, &sounding.ExtraVector2, &sounding.ExtraVector3}) {
        if (a->allocated()) a->deallocate();
        if (carriesExtraModels(sounding)) a->allocate(count);
    }
    sounding.ExtraModels = kFalse;
    SCALE_MDL(frames, sounding, kFalse);
    MODINCH(frames, modelPanelCount());
}

void MODELRESCALE1D(GraphFramePair& frames, const SoundingRecord& sounding)
{
    SCALE_MDL(frames, sounding, kFalse);
    modelPanelCount() = sounding.Model.ValuesPerLayer > 1 ? 2 : 1;
    MODINCH(frames, modelPanelCount());
}
