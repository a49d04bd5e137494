// The computed model suite written as text files (platform-free): the MODALL layout "*.PRT" of a
// family of modelling programs (a header, the suite's parameters, the layered model and the times,
// then one block per curve) and the flat ASCII table "*.DAT" (one row per sample, one column per
// curve). The file and kind choices are the front end's (SuiteExportCommands).
//
// Number forms of the MODALL file's free-form records: a record starts with one blank; texts are
// written as they are; a real is a blank and 1PE13.6, an integer a blank and its digits; a record
// holds at most five reals and continues on the next record, which again starts with a blank.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Quorvalent/SoundingHandler.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WorkFiles.h"

namespace ExportMessages {
inline constexpr const char* kNoSuite = "No model suite has been calculated yet: there is nothing to export";
inline constexpr const char* kCannotOpenModall = "Cannot open file :";
inline constexpr const char* kModallWriteFailed =
    "Error writing the MODALL file; the export was stopped and the file left as it was:";
inline constexpr const char* kCannotOpenData = "CANNOT OPEN FILE: ";
inline constexpr const char* kDataWriteFailed =
    "Error writing the data file; the export was stopped and the file left as it was:";
}  // namespace ExportMessages

// The curves an export writes: those the last calculation computed and stored (a stopped suite
// has fewer than NSuite); 0 before any suite (the suite sounding then has one sample).
INTEGER exportableSuiteCurves();

// One curve of the suite into the suite sounding's ResponseValues (the columns both hold).
void copySuiteCurve(SoundingRecord& suite, INTEGER k);

// MODALL export of curve k of the suite sounding (its ResponseValues hold curve k). The first call
// starts the file (a work file beside the named one) and writes the header; curve `curves` (the
// last) puts the whole file in place of the named one. error is set when the file cannot be
// opened or a record cannot be written: the named file is then left as it was and the reason
// shown with WINMSG. The system record's Offset is left as it is.
void MOD_OUT(std::string_view fileName, SoundingRecord& suite, INTEGER k, std::string_view comment, LOGICAL& error,
             INTEGER curves);
// The layered model records: the layer count and title, the resistivities and, for more than one
// layer, the thicknesses. The arguments the routine does not read keep their places.
void E_MODEL2(WorkFile& unit, INTEGER unusedA, const REAL* parameters, INTEGER unusedB, INTEGER layerCount,
              REAL unusedC, REAL unusedD);

// The whole MODALL export of the stored curves, after the file and comment choices: refused with
// kNoSuite when there is none. True when the file was written completely.
bool exportModall(std::string_view fileName, std::string_view comment);

// The column title (13 characters) and the SuiteCurves column of the flat ASCII export for a
// component and a kind; previousTitle is kept for Hz with kind 3.
struct FlatAsciiColumn {
    std::string Title;
    INTEGER Column = 1;
};
FlatAsciiColumn flatAsciiColumn(INTEGER component, INTEGER kind, const std::string& previousTitle);

// The flat ASCII export of the stored curves for a chosen kind (2, 4, 6 or the display kind):
// refused with kNoSuite when there is none; "CANNOT OPEN FILE: " and the name when the file cannot
// be created; a failed write is reported and the named file left as it was. True when written
// completely.
bool exportFlatAscii(std::string_view fileName, INTEGER kind);

// The table of a sounding's curves for the sounding types of other programs: "     TIME    " (or
// "  FREQUENCY  " for the marine frequency-domain types), then per response column j the columns
// "      IMPjj  " (its values), "   IMPjj-IMP1" (their difference to column 1) and "   DIMPjj/DT "
// (their slope between neighbouring samples), with the curve number in two digits; values 1PE13.5,
// lines of at most 2048 characters. "CANNOT OPEN FILE:" when the file cannot be created.
std::vector<std::string> suiteTableLines(const SoundingRecord& sounding);
bool writeSuiteTable(std::string_view fileName, const SoundingRecord& sounding);

// Toolkit-internal (the record forms, for the writers and their tests)

// Fortran-like fields: Iw widening to the digits when the value does not fit (never asterisks);
// 1PEw.d with a two-digit exponent.
std::string integerField(INTEGER value, int width);
std::string exponentField(REAL value, int width, int digits);
// "DD-MON-YY" and "HH:MM:SS   " of a broken-down local time.
std::string modallDate(int day, int month, int year);
std::string modallTime(int hour, int minute, int second);

// The flat ASCII export's remembered state: the kind chosen last (0 at start) and the column
// title written last.
struct FlatAsciiState {
    INTEGER Kind = 0;
    std::string Title;
};
FlatAsciiState& flatAsciiState();
