// The File menu's exports and print of the suite display: the file and kind choices around the
// writers of SuiteExport, the table writer no command uses, and printing the display as one page
// on the Windows printer.
#pragma once

#include "toolkit/foundation/CoreTypes.h"

inline constexpr INTEGER kFieldOutputTypeDialog = 117;

// Export in MODALL format: the "*.PRT" save dialog, the optional comment, then the stored curves.
void MODALLEXPORT();
// Export Synthetics to ASCII File: the "*.DAT" save dialog, for display kinds 4 and 6 the kind
// choice, then the table. The kind is asked before the file is opened, so Cancel there leaves an
// existing file as it was.
void WRITEDATA();
// The kind choice of dialog 117: kind comes in as the previous choice (preselecting kind / 2 in
// 1..count) and goes out as 2, 4 or 6 after "OK"; count 2 offers early and late time, 3 also all
// time. Opens at the shared dialog position and stores its position there.
void EARLYLATEDLG(INTEGER& kind, INTEGER count, LOGICAL& cancelled);
// A table of the suite sounding's curves ("*.TXT") for the sounding types of other programs: a
// time (or frequency) column and one column per curve.
void WRITESUITE();

// Print: the printer set-up; after OK the display is redrawn into the print job, the job is
// ended, screen output restored and the window redrawn.
void PRINTSUITE();
