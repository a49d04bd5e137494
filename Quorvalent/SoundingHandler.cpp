#include "Quorvalent/SoundingHandler.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>

#include "WBRVLib/Brvl95.h"

namespace {

int atLeastZero(INTEGER count) { return std::max<INTEGER>(count, 0); }

// Creates the array afresh; false (the array left not allocated) when the extents are beyond
// what an array may hold or the memory is not there.
template <class T>
bool create(AllocArray<T>& array, std::int64_t extent1, std::int64_t extent2 = 1)
{
    array.deallocate();
    constexpr std::int64_t kLimit = std::numeric_limits<int>::max();
    if (extent1 > kLimit || extent2 > kLimit) return false;
    return array.allocate(static_cast<int>(extent1), static_cast<int>(extent2));
}

// Copies the elements both arrays hold, in storage order; the rest of the destination stays.
template <class T>
void copyOverlap(AllocArray<T>& to, const AllocArray<T>& from)
{
    const std::size_t n = std::min(to.size(), from.size());
    std::copy_n(from.values().begin(), n, to.values().begin());
}

template <class T>
bool createCopy(AllocArray<T>& to, const AllocArray<T>& from, std::int64_t extent1, std::int64_t extent2 = 1)
{
    if (!create(to, extent1, extent2)) return false;
    copyOverlap(to, from);
    return true;
}

// The five parameter arrays of a model, in their creation order, handed to visit together with
// the same array of every further model given (for copies).
template <class Visit, class... Models>
bool forEachParameterArray(Visit visit, Models&... models)
{
    return visit(models.Parameters...) && visit(models.ParameterReal2...) && visit(models.ParameterReal3...) &&
           visit(models.ParameterFlags2...) && visit(models.ParameterFlags1...);
}

// A failed creation skips the rest of the group.
bool createParameterArrays(LayerModelRecord& model)
{
    const int p = atLeastZero(model.ParameterCount);
    return forEachParameterArray([p](auto& array) { return create(array, p); }, model);
}

void releaseParameterArrays(LayerModelRecord& model)
{
    forEachParameterArray([](auto& array) { array.deallocate(); return true; }, model);
}

bool copyParameterArrays(LayerModelRecord& to, const LayerModelRecord& from)
{
    if (!createParameterArrays(to)) return false;
    forEachParameterArray([](auto& target, const auto& source) { copyOverlap(target, source); return true; }, to, from);
    return true;
}

void releaseExtraArrays(SoundingRecord& record)
{
    record.ExtraMatrix.deallocate();
    record.ExtraVector1.deallocate();
    record.ExtraVector2.deallocate();
    record.ExtraVector3.deallocate();
    record.ExtraVector4.deallocate();
    record.ExtraVector5.deallocate();
}

// p(p+1)/2 in 64 bits: past 46,340 parameters the product no longer fits an int.
std::int64_t packedSize(INTEGER parameterCount)
{
    const std::int64_t p = atLeastZero(parameterCount);
    return p * (p + 1) / 2;
}

int pointColumns(const SoundingDataRecord& data) { return atLeastZero(data.ColumnCount) + (isTrue(data.ExtraColumns) ? 2 : 0); }

// Each creator tries every array of its group and tells whether all of them were created.
bool createPointArrays(SoundingDataRecord& data, int timeColumns, int valueColumns, int otherColumns)
{
    const int points = atLeastZero(data.PointCount);
    bool created = create(data.SampleTimes, points, atLeastZero(timeColumns));
    created &= create(data.PointValues1, points, atLeastZero(valueColumns));
    created &= create(data.PointValues2, points, atLeastZero(otherColumns));
    created &= create(data.PointFlags, points, atLeastZero(otherColumns));
    created &= create(data.ColumnFlags, atLeastZero(data.ColumnCount));
    return created;
}

bool createLayerArrays(SoundingDataRecord& data)
{
    const int layers = atLeastZero(data.LayerCount);
    bool created = true;
    for (AllocArray<REAL>* a : {&data.LayerReal1, &data.LayerReal2, &data.LayerReal3, &data.LayerReal4, &data.LayerReal5}) created &= create(*a, layers);
    for (AllocArray<INTEGER>* a : {&data.LayerInteger2, &data.LayerInteger3, &data.LayerInteger4, &data.LayerInteger1}) created &= create(*a, layers);
    data.LayerInteger4.fill(1);
    return created;
}

bool createAuxArrays(SoundingDataRecord& data)
{
    if (data.AuxCount > data.PointCount) data.AuxCount = 0;
    data.AuxReal.deallocate();
    data.AuxInteger.deallocate();
    // Without AuxReal, AuxInteger is not attempted.
    return data.AuxCount <= 0 || (create(data.AuxReal, data.AuxCount) && create(data.AuxInteger, data.AuxCount));
}

// Creates the record's arrays; false when one could not be created.
bool createSoundingArrays(SoundingRecord& record, SoundingRecord& companion)
{
    SoundingDataRecord& data = record.Data;
    const int columns = pointColumns(data);
    bool created = createPointArrays(data, data.TimeColumnCount, columns, columns);
    created &= createLayerArrays(data);
    created &= createAuxArrays(data);
    created &= createParameterArrays(record.Model);
    const int points = atLeastZero(data.PointCount), responseColumns = atLeastZero(data.ColumnCount);
    created &= create(record.ResponseValues, points, responseColumns);
    created &= create(companion.ResponseValues, points, responseColumns);
    return created;
}

bool copySounding(SoundingRecord& D, SoundingRecord& Dc, SoundingRecord& S, SoundingRecord& Sc);

// A pair whose arrays could not all be created is released whole and the user is told: half a
// sounding would be read past its ends later.
void refuseSounding(SoundingRecord& record, SoundingRecord& companion)
{
    DEALLOCSOUND(record, companion);
    WINMSG(SoundingMessages::kTooLarge);
}

// Every member of the data part that is not an array.
void copyDataScalars(SoundingDataRecord& to, const SoundingDataRecord& from)
{
    to.Title = from.Title;
    to.SoundingType = from.SoundingType;
    to.Field20 = from.Field20;
    to.ColumnCount = from.ColumnCount;
    to.PointCount = from.PointCount;
    to.TimeColumnCount = from.TimeColumnCount;
    to.LayerCount = from.LayerCount;
    to.Words23 = from.Words23;
    to.ExtraColumns = from.ExtraColumns;
    to.Word1 = from.Word1;
    to.AuxCount = from.AuxCount;
    to.Words2a = from.Words2a;
    to.Short1 = from.Short1;
    to.DepthUnitText = from.DepthUnitText;
    to.Word2 = from.Word2;
    to.GraphCount = from.GraphCount;
    to.Field32 = from.Field32;
    to.Words7 = from.Words7;
    to.Short2 = from.Short2;
    to.Field10 = from.Field10;
    to.Words2b = from.Words2b;
    to.Waveform = from.Waveform;
    // The sixth and the tenth of the ten-word run stay the destination's own.
    for (std::size_t i = 0; i < to.Words10.size(); ++i)
        if (i != 5 && i != 9) to.Words10[i] = from.Words10[i];
}

}  // namespace

SystemRecord& systemRecord()
{
    static SystemRecord record;
    return record;
}

void ALLOCSOUND(SoundingRecord& record, SoundingRecord& companion)
{
    if (!createSoundingArrays(record, companion)) refuseSounding(record, companion);
}

void DEALLOCSOUND(SoundingRecord& record, SoundingRecord& companion)
{
    SoundingDataRecord& data = record.Data;
    for (AllocArray<REAL>* a : {&data.SampleTimes, &data.PointValues1, &data.PointValues2, &data.LayerReal5, &data.LayerReal1,
                                &data.LayerReal2, &data.LayerReal3, &data.LayerReal4, &data.AuxReal})
        a->deallocate();
    for (AllocArray<INTEGER>* a : {&data.LayerInteger1, &data.LayerInteger2, &data.LayerInteger3, &data.LayerInteger4, &data.AuxInteger})
        a->deallocate();
    data.PointFlags.deallocate();
    data.ColumnFlags.deallocate();
    releaseParameterArrays(record.Model);
    record.ResponseValues.deallocate();
    companion.ResponseValues.deallocate();
    record.PackedMatrix.deallocate();
    releaseExtraArrays(record);
    releaseExtraArrays(companion);
    companion.PackedMatrix.deallocate();
    record.ResponseComputed = kFalse;
    record.PackedPresent = kFalse;
    record.ExtraModels = kFalse;
    record.CopyMark = kTrue;
}

void COPYSOUND(SoundingRecord& D, SoundingRecord& Dc, SoundingRecord& S, SoundingRecord& Sc)
{
    // The whole-array copies below allocate too: running out of memory anywhere releases the
    // destination pair and says so.
    try {
        if (!copySounding(D, Dc, S, Sc)) refuseSounding(D, Dc);
    } catch (const std::bad_alloc&) {
        refuseSounding(D, Dc);
    } catch (const std::length_error&) {
        refuseSounding(D, Dc);
    }
}

namespace {

bool copySounding(SoundingRecord& D, SoundingRecord& Dc, SoundingRecord& S, SoundingRecord& Sc)
{
    if (!S.PackedMatrix.allocated()) S.PackedPresent = kFalse;
    const LOGICAL packed = S.PackedPresent;

    copyDataScalars(D.Data, S.Data);
    D.Data.Words23[19].setInteger(kTrue);
    D.HeaderWords9to11[1] = S.HeaderWords9to11[1];
    D.HeaderWords9to11[2] = S.HeaderWords9to11[2];
    D.Model.NLayer = S.Model.NLayer;
    D.Model.ValuesPerLayer = S.Model.ValuesPerLayer;
    D.Model.ParameterCount = S.Model.ParameterCount;
    D.Model.Words = S.Model.Words;
    D.Model.DepthEntry = S.Model.DepthEntry;
    D.Model.ModelSwitch1 = S.Model.ModelSwitch1;

    DEALLOCSOUND(D, Dc);
    if (!createSoundingArrays(D, Dc)) return false;

    // Whole arrays: each keeps its source shape, also where it differs from the counts.
    SoundingDataRecord& d = D.Data;
    const SoundingDataRecord& s = S.Data;
    d.SampleTimes = s.SampleTimes;
    d.PointValues1 = s.PointValues1;
    d.PointValues2 = s.PointValues2;
    d.PointFlags = s.PointFlags;
    d.ColumnFlags = s.ColumnFlags;
    d.LayerReal1 = s.LayerReal1;
    d.LayerReal2 = s.LayerReal2;
    d.LayerReal3 = s.LayerReal3;
    d.LayerReal4 = s.LayerReal4;
    d.LayerReal5 = s.LayerReal5;
    d.LayerInteger1 = s.LayerInteger1;
    d.LayerInteger2 = s.LayerInteger2;
    d.LayerInteger3 = s.LayerInteger3;
    d.LayerInteger4 = s.LayerInteger4;
    if (d.AuxCount > 0) {
        copyOverlap(d.AuxReal, s.AuxReal);
        copyOverlap(d.AuxInteger, s.AuxInteger);
    }
    if (!copyParameterArrays(D.Model, S.Model)) return false;

    D.HeaderReal1 = S.HeaderReal1;
    D.HeaderReal2 = S.HeaderReal2;
    D.HeaderWord3 = S.HeaderWord3;
    D.DepthExtent = S.DepthExtent;
    D.ResponseComputed = S.ResponseComputed;
    D.ExtraModels = S.ExtraModels;
    D.HeaderWords9to11[0] = S.HeaderWords9to11[0];
    D.PackedPresent = packed;
    D.CopyMark = kTrue;

    Dc.Data = D.Data;
    D.ResponseValues = S.ResponseValues;

    if (isTrue(packed) && !createCopy(D.PackedMatrix, S.PackedMatrix, packedSize(D.Model.ParameterCount))) return false;
    if (isTrue(S.ExtraModels)) {
        const std::int64_t p = atLeastZero(D.Model.ParameterCount);
        const bool created = createCopy(D.ExtraMatrix, S.ExtraMatrix, 2 * p, p) && createCopy(D.ExtraVector1, S.ExtraVector1, p) &&
                             createCopy(D.ExtraVector2, S.ExtraVector2, p) &&
                             createCopy(D.ExtraVector3, S.ExtraVector3, atLeastZero(S.Model.NLayer)) &&
                             createCopy(D.ExtraVector4, S.ExtraVector4, p) && createCopy(D.ExtraVector5, S.ExtraVector5, 2 * p);
        if (!created) return false;
    }

    // The companion: its own header words, model and response.
    Dc.HeaderReal1 = Sc.HeaderReal1;
    Dc.HeaderReal2 = Sc.HeaderReal2;
    Dc.HeaderWord3 = Sc.HeaderWord3;
    Dc.DepthExtent = Sc.DepthExtent;
    Dc.ResponseComputed = Sc.ResponseComputed;
    Dc.PackedPresent = Sc.PackedPresent;
    Dc.ExtraModels = Sc.ExtraModels;
    Dc.HeaderWords9to11[0] = Sc.HeaderWords9to11[0];
    Dc.CopyMark = kTrue;
    releaseExtraArrays(Dc);
    if (!isTrue(Sc.ResponseComputed)) {
        Dc.PackedMatrix.deallocate();
        releaseParameterArrays(Dc.Model);
        Dc.Model.ParameterCount = 0;
        Dc.Model.NLayer = 0;
        Dc.ResponseComputed = kFalse;
        return true;
    }
    Dc.Model.NLayer = Sc.Model.NLayer;
    Dc.Model.ValuesPerLayer = Sc.Model.ValuesPerLayer;
    Dc.Model.ParameterCount = Sc.Model.ParameterCount;
    Dc.Model.Words = Sc.Model.Words;
    Dc.Model.DepthEntry = Sc.Model.DepthEntry;
    // The companion's response has the destination's shape.
    const int points = atLeastZero(D.Data.PointCount), columns = atLeastZero(D.Data.ColumnCount);
    if (!create(Dc.ResponseValues, points, columns)) return false;
    if (Sc.ResponseValues.allocated()) {
        for (int j = 1; j <= std::min(columns, Sc.ResponseValues.extent2()); ++j)
            for (int i = 1; i <= std::min(points, Sc.ResponseValues.extent1()); ++i) Dc.ResponseValues(i, j) = Sc.ResponseValues(i, j);
    }
    if (!copyParameterArrays(Dc.Model, Sc.Model)) return false;
    return !isTrue(Dc.PackedPresent) || createCopy(Dc.PackedMatrix, Sc.PackedMatrix, packedSize(Dc.Model.ParameterCount));
}

}  // namespace

void GETMODEL1D(const SoundingRecord& record, LayerModelRecord& model)
{
    releaseParameterArrays(model);
    model.NLayer = record.Model.NLayer;
    model.ValuesPerLayer = record.Model.ValuesPerLayer;
    model.ParameterCount = record.Model.ParameterCount;
    model.DepthEntry = record.Model.DepthEntry;
    copyParameterArrays(model, record.Model);
}

void PUTMODEL1D(SoundingRecord& record, const LayerModelRecord& model)
{
    releaseParameterArrays(record.Model);
    record.Model.NLayer = model.NLayer;
    record.Model.ValuesPerLayer = model.ValuesPerLayer;
    record.Model.ParameterCount = model.ParameterCount;
    record.Model.DepthEntry = model.DepthEntry;
    copyParameterArrays(record.Model, model);
    record.ResponseComputed = kFalse;
    record.PackedPresent = kFalse;
    record.ExtraModels = kFalse;
    record.CopyMark = kFalse;
}

void REALLOCDATA(SoundingDataRecord& data, INTEGER timeColumns, INTEGER valueColumns, INTEGER& status)
{
    bool created = createPointArrays(data, timeColumns, valueColumns, data.ColumnCount);
    created &= createLayerArrays(data);
    if (data.AuxCount > data.PointCount) data.AuxCount = 0;
    status = created ? 0 : 1;
}

void REALLOCLENGTH(SoundingDataRecord& data, INTEGER timeColumns, INTEGER valueColumns, INTEGER& status)
{
    status = createPointArrays(data, timeColumns, valueColumns, data.ColumnCount) ? 0 : 1;
}

void NULLIFYSOUND(SoundingRecord& record, SoundingRecord& companion)
{
    // Owned arrays cannot be abandoned without a leak: they are released instead.
    DEALLOCSOUND(record, companion);
    releaseParameterArrays(companion.Model);
    record.Data.PointCount = 0;
    record.ResponseComputed = kFalse;
    record.PackedPresent = kFalse;
    record.ExtraModels = kFalse;
    record.CopyMark = kFalse;
    companion.ResponseComputed = kFalse;
    companion.PackedPresent = kFalse;
    companion.ExtraModels = kFalse;
    companion.CopyMark = kTrue;
    companion.Model.ValuesPerLayer = 1;
}

void CHECKMODONDAT(const SoundingRecord& record, LOGICAL& modelOnData)
{
    static constexpr std::string_view kTypes[] = {
        "Grounded Wire TEM   ", "Fixed Loop TEM      ", "Coincident Loop TEM ", "Central Loop TEM    ", "Controlled Source MT",
        "Magnetotelluric Data", "Vertical Coaxial    ", "Horizontal Coplanar ", "Vertical Coplanar   ",
    };
    for (std::string_view type : kTypes)
        if (record.Data.SoundingType.view() == type) modelOnData = kFalse;
}
