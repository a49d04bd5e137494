// The sounding record, its layered model and the system record (platform-free).
//
// A sounding is always handled as a pair: the record and a companion record of the same type.
// The records keep the layout of the sounding-record format the program shares with other
// programs; members this program only allocates, copies and releases are kept as plain words.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>

#include "Quorvalent/AllocArray.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

// A 4-byte word that the record format stores as an integer or a REAL bit pattern.
struct RecordWord {
    std::uint32_t bits = 0;
    REAL real() const { return std::bit_cast<REAL>(bits); }
    void setReal(REAL value) { bits = std::bit_cast<std::uint32_t>(value); }
    INTEGER integer() const { return std::bit_cast<INTEGER>(bits); }
    void setInteger(INTEGER value) { bits = std::bit_cast<std::uint32_t>(value); }
};

// The layered model: per-layer values first (the resistivity when ValuesPerLayer is 1), then
// the thickness of each layer above the basement, or the depth to its bottom when DepthEntry
// is set.
struct LayerModelRecord {
    INTEGER NLayer = 0;
    INTEGER ValuesPerLayer = 0;
    INTEGER ParameterCount = 0;
    std::array<RecordWord, 4> Words{};      // copied by COPYSOUND only
    LOGICAL DepthEntry = kFalse;
    INTEGER ModelSwitch1 = 0;
    INTEGER ModelSwitch2 = 0;
    RecordWord Unused{};
    AllocArray<REAL> Parameters;
    AllocArray<REAL> ParameterReal2;
    AllocArray<REAL> ParameterReal3;
    AllocArray<LOGICAL> ParameterFlags1;
    AllocArray<LOGICAL> ParameterFlags2;
};

// The sounding data part of a record.
struct SoundingDataRecord {
    FixedText<24> Title;
    FixedText<20> SoundingType;
    std::array<char, 20> Field20{};
    INTEGER ColumnCount = 0;
    INTEGER PointCount = 0;
    INTEGER TimeColumnCount = 0;
    INTEGER LayerCount = 0;
    // Twenty-three words: the 8th is SurfaceElevation, the 10th and 11th ScaledByOffset1 and
    // ScaledByOffset2, the 17th and 18th add into the model graph's depth range, the 20th is set
    // true by COPYSOUND. Indexes below are 0-based.
    std::array<RecordWord, 23> Words23{};
    LOGICAL ExtraColumns = kFalse;
    RecordWord Word1{};
    INTEGER AuxCount = 0;
    std::array<RecordWord, 2> Words2a{};
    std::uint16_t Short1 = 0;
    FixedText<10> DepthUnitText;
    RecordWord Word2{};
    INTEGER GraphCount = 0;
    std::array<char, 32> Field32{};
    std::array<RecordWord, 7> Words7{};
    std::uint16_t Short2 = 0;
    std::array<char, 10> Field10{};
    std::array<RecordWord, 2> Words2b{};
    FixedText<16> Waveform;
    std::array<RecordWord, 10> Words10{};
    AllocArray<REAL> SampleTimes;       // (PointCount, TimeColumnCount)
    AllocArray<REAL> PointValues1;
    AllocArray<REAL> PointValues2;
    AllocArray<REAL> LayerReal1, LayerReal2, LayerReal3, LayerReal4, LayerReal5;
    AllocArray<REAL> AuxReal;
    AllocArray<INTEGER> AuxInteger;
    AllocArray<INTEGER> LayerInteger1, LayerInteger2, LayerInteger3, LayerInteger4;
    AllocArray<LOGICAL> PointFlags;
    AllocArray<LOGICAL> ColumnFlags;
    AllocArray<RecordWord> SpareVector;

    REAL SurfaceElevation() const { return Words23[7].real(); }
    REAL ScaledByOffset1() const { return Words23[9].real(); }
    REAL ScaledByOffset2() const { return Words23[10].real(); }
};

struct SoundingRecord {
    // Header: eleven words each record of a pair keeps for itself.
    REAL HeaderReal1 = 0.0f;            // 1.0E10 ("no value") after every forward computation
    REAL HeaderReal2 = 0.0f;
    RecordWord HeaderWord3{};
    REAL DepthExtent = 0.0f;
    LOGICAL ResponseComputed = kFalse;
    LOGICAL PackedPresent = kFalse;
    LOGICAL ExtraModels = kFalse;
    LOGICAL CopyMark = kFalse;
    std::array<RecordWord, 3> HeaderWords9to11{};

    SoundingDataRecord Data;
    LayerModelRecord Model;

    // Tail.
    AllocArray<REAL> ResponseValues;    // (PointCount, ColumnCount); missing samples hold 1.0E20
    AllocArray<REAL> PackedMatrix;
    AllocArray<REAL> ExtraMatrix;
    AllocArray<REAL> ExtraVector1, ExtraVector2, ExtraVector3, ExtraVector4, ExtraVector5;
};

// Source and receiver settings, time window, display kind and suite size.
struct SystemRecord {
    LOGICAL LogData = kTrue;
    LOGICAL LogAbscissa = kTrue;
    REAL TxRxAngle = 90.0f;     // degrees, between the source wire and the source-receiver line
    REAL RxArea = 1.0e5f;       // m^2, effective receiver coil area (Hz)
    REAL RxLength = 1.0f;       // m, receiver dipole length (Ex, Ey)
    REAL TxAmps = 1.0f;         // A
    REAL TxLength = 1000.0f;    // m
    REAL Offset = 1000.0f;      // m
    REAL AbEnd = 10.0f;         // s, end of the time window
    REAL AbStart = 0.001f;      // s, start of the time window
    INTEGER DisplayKind = 4;    // DisplayKindCode
    INTEGER Unused1 = 1;
    INTEGER ContourSetting = 1; // read only by the suite contour-parameter dialog
    INTEGER ILayer = 1;         // layer whose resistivity, thickness or depth is varied
    INTEGER NAbscissa = 31;
    INTEGER NSuite = 5;
    INTEGER IAbscissa = 1;      // TimeAxisKindCode
};

// The one system record of the program.
SystemRecord& systemRecord();

// Missing-value mark of a curve sample, and the "no value" mark of header words 1 and 2.
inline constexpr REAL kMissingValue = 1.0e20f;
inline constexpr REAL kUnsetHeaderValue = 1.0e10f;

// The sounding-type vocabulary, compared as whole 20-character fields against SoundingType.
inline constexpr std::array<std::string_view, 16> SoundingTypeTable = {
    "Central Loop TEM    ", "Coincident Loop TEM ", "Fixed Loop TEM      ", "Grounded Wire TEM   ",
    "Vertical Coplanar   ", "Horizontal Coplanar ", "Vertical Coaxial    ", "Marine FEM Inline E ",
    "Magnetotelluric Data", "Controlled Source MT", "EM Conductivity Data", "Circular Loop Hz    ",
    "Marine TEM B-Side E ", "Marine TEM Inline E ", "Marine TEM XLine H  ", "Marine FEM B-Side E ",
};

namespace SoundingMessages {
inline constexpr const char* kTooLarge = "Not enough memory for the sounding's arrays: the sounding was released";
}  // namespace SoundingMessages

// Creates the record's arrays from its counts (zero-filled; LayerInteger4 all 1) and the
// companion's ResponseValues shaped like the record's. An array that is allocated already is
// created afresh, so its shape always follows the counts. When one cannot be created (counts
// beyond memory), the pair is released and kTooLarge is shown.
void ALLOCSOUND(SoundingRecord& record, SoundingRecord& companion);
// Releases the record's arrays (not SpareVector) and the companion's ResponseValues, PackedMatrix
// and extra arrays; ResponseComputed, PackedPresent, ExtraModels false, CopyMark true.
void DEALLOCSOUND(SoundingRecord& record, SoundingRecord& companion);
// Deep copy of a pair into a pair; the destination shares no storage with the source. Every
// array keeps the shape it has in the source (the engine may have resized the sample times).
// Without the memory for the copy, the destination pair is released and kTooLarge is shown.
void COPYSOUND(SoundingRecord& destination, SoundingRecord& destinationCompanion, SoundingRecord& source,
               SoundingRecord& sourceCompanion);
// The record's nested model into a free-standing model and back; PUTMODEL1D marks the response
// as not computed.
void GETMODEL1D(const SoundingRecord& record, LayerModelRecord& model);
void PUTMODEL1D(SoundingRecord& record, const LayerModelRecord& model);
// Re-creates the data part's arrays with new second extents of SampleTimes and PointValues1
// (every array, or only the point-shaped ones); status 0 on success.
void REALLOCDATA(SoundingDataRecord& data, INTEGER timeColumns, INTEGER valueColumns, INTEGER& status);
void REALLOCLENGTH(SoundingDataRecord& data, INTEGER timeColumns, INTEGER valueColumns, INTEGER& status);
// Empties a pair without computing anything: every array released, counts and flags reset.
void NULLIFYSOUND(SoundingRecord& record, SoundingRecord& companion);
// Clears the flag for sounding types whose model is not drawn on the data graph.
void CHECKMODONDAT(const SoundingRecord& record, LOGICAL& modelOnData);
