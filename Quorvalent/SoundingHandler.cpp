#include "Quorvalent/SoundingHandler.h"

#include <algorithm>

namespace {

int atLeastZero(INTEGER count) { return std::max<INTEGER>(count, 0); }

template <class T>
void create(AllocArray<T>& array, int extent1, int extent2 = 1)
{
    array.deallocate();
    array.allocate(extent1, extent2);
}

// Copies the elements both arrays hold, in storage order; the rest of the destination stays.
template <class T>
void copyOverlap(AllocArray<T>& to, const AllocArray<T>& from)
{
    const std::size_t n = std::min(to.size(), from.size());
    std::copy_n(from.values().begin(), n, to.values().begin());
}

template <class T>
void createCopy(AllocArray<T>& to, const AllocArray<T>& from, int extent1, int extent2 = 1)
{
    create(to, extent1, extent2);
    copyOverlap(to, from);
}

void createParameterArrays(LayerModelRecord& model)
{
    const int p = atLeastZero(model.ParameterCount);
    create(model.Parameters, p);
    create(model.ParameterReal2, p);
    create(model.ParameterReal3, p);
    create(model.ParameterFlags2, p);
    create(model.ParameterFlags1, p);
}

void releaseParameterArrays(LayerModelRecord& model)
{
    model.Parameters.deallocate();
    model.ParameterReal2.deallocate();
    model.ParameterReal3.deallocate();
    model.ParameterFlags2.deallocate();
    model.ParameterFlags1.deallocate();
}

void copyParameterArrays(LayerModelRecord& to, const LayerModelRecord& from)
{
    createParameterArrays(to);
    copyOverlap(to.Parameters, from.Parameters);
    copyOverlap(to.ParameterReal2, from.ParameterReal2);
    copyOverlap(to.ParameterReal3, from.ParameterReal3);
    copyOverlap(to.ParameterFlags2, from.ParameterFlags2);
    copyOverlap(to.ParameterFlags1, from.ParameterFlags1);
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

int packedSize(INTEGER parameterCount)
{
    const int p = atLeastZero(parameterCount);
    return p * (p + 1) / 2;
}

int pointColumns(const SoundingDataRecord& data) { return atLeastZero(data.ColumnCount) + (isTrue(data.ExtraColumns) ? 2 : 0); }

void createPointArrays(SoundingDataRecord& data, int timeColumns, int valueColumns, int otherColumns)
{
    const int points = atLeastZero(data.PointCount);
    create(data.SampleTimes, points, atLeastZero(timeColumns));
    create(data.PointValues1, points, atLeastZero(valueColumns));
    create(data.PointValues2, points, atLeastZero(otherColumns));
    create(data.PointFlags, points, atLeastZero(otherColumns));
    create(data.ColumnFlags, atLeastZero(data.ColumnCount));
}

void createLayerArrays(SoundingDataRecord& data)
{
    const int layers = atLeastZero(data.LayerCount);
    for (AllocArray<REAL>* a : {&data.LayerReal1, &data.LayerReal2, &data.LayerReal3, &data.LayerReal4, &data.LayerReal5}) create(*a, layers);
    for (AllocArray<INTEGER>* a : {&data.LayerInteger2, &data.LayerInteger3, &data.LayerInteger4, &data.LayerInteger1}) create(*a, layers);
    data.LayerInteger4.fill(1);
}

void createAuxArrays(SoundingDataRecord& data)
{
    if (data.AuxCount > data.PointCount) data.AuxCount = 0;
    data.AuxReal.deallocate();
    data.AuxInteger.deallocate();
    if (data.AuxCount > 0) {
        create(data.AuxReal, data.AuxCount);
        create(data.AuxInteger, data.AuxCount);
    }
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
    SoundingDataRecord& data = record.Data;
    const int columns = pointColumns(data);
    createPointArrays(data, data.TimeColumnCount, columns, columns);
    createLayerArrays(data);
    createAuxArrays(data);
    createParameterArrays(record.Model);
    const int points = atLeastZero(data.PointCount), responseColumns = atLeastZero(data.ColumnCount);
    create(record.ResponseValues, points, responseColumns);
    create(companion.ResponseValues, points, responseColumns);
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
    ALLOCSOUND(D, Dc);

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
    copyParameterArrays(D.Model, S.Model);

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

    if (isTrue(packed)) createCopy(D.PackedMatrix, S.PackedMatrix, packedSize(D.Model.ParameterCount));
    if (isTrue(S.ExtraModels)) {
        const int p = atLeastZero(D.Model.ParameterCount);
        createCopy(D.ExtraMatrix, S.ExtraMatrix, 2 * p, p);
        createCopy(D.ExtraVector1, S.ExtraVector1, p);
        createCopy(D.ExtraVector2, S.ExtraVector2, p);
        createCopy(D.ExtraVector3, S.ExtraVector3, atLeastZero(S.Model.NLayer));
        createCopy(D.ExtraVector4, S.ExtraVector4, p);
        createCopy(D.ExtraVector5, S.ExtraVector5, 2 * p);
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
        return;
    }
    Dc.Model.NLayer = Sc.Model.NLayer;
    Dc.Model.ValuesPerLayer = Sc.Model.ValuesPerLayer;
    Dc.Model.ParameterCount = Sc.Model.ParameterCount;
    Dc.Model.Words = Sc.Model.Words;
    Dc.Model.DepthEntry = Sc.Model.DepthEntry;
    // The companion's response has the destination's shape.
    const int points = atLeastZero(D.Data.PointCount), columns = atLeastZero(D.Data.ColumnCount);
    create(Dc.ResponseValues, points, columns);
    if (Sc.ResponseValues.allocated()) {
        for (int j = 1; j <= std::min(columns, Sc.ResponseValues.extent2()); ++j)
            for (int i = 1; i <= std::min(points, Sc.ResponseValues.extent1()); ++i) Dc.ResponseValues(i, j) = Sc.ResponseValues(i, j);
    }
    copyParameterArrays(Dc.Model, Sc.Model);
    if (isTrue(Dc.PackedPresent)) createCopy(Dc.PackedMatrix, Sc.PackedMatrix, packedSize(Dc.Model.ParameterCount));
}

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
    createPointArrays(data, timeColumns, valueColumns, data.ColumnCount);
    createLayerArrays(data);
    if (data.AuxCount > data.PointCount) data.AuxCount = 0;
    status = 0;
}

void REALLOCLENGTH(SoundingDataRecord& data, INTEGER timeColumns, INTEGER valueColumns, INTEGER& status)
{
    createPointArrays(data, timeColumns, valueColumns, data.ColumnCount);
    status = 0;
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
