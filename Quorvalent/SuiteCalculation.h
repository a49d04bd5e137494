// The suite calculation after the wizard's "Finish": one engine run per value of the varied
// quantity under a modeless progress dialog that can stop it, the curves stored in the suite
// record, both graphs scaled, the suite's labels placed and the display drawn.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EventRecord.h"

inline constexpr INTEGER kProgressDialog = 213;
inline constexpr INTEGER kProgressCurrentField = 1331;
inline constexpr INTEGER kProgressCountField = 1332;
inline constexpr INTEGER kProgressBarField = 1371;
inline constexpr const char* kSuiteAllocationError = "Error allocating array in Model Suite";

// Preparation, curves and completion; cancel true when the user stopped the calculation.
void calculateModelSuite(LOGICAL& cancel);

// An event the calculation took from the queue while it polled for its stop and that belongs to
// the main loop (a close request, a menu command, an expose or resize); false when none is held.
bool takeHeldMainLoopEvent(INTEGER& type, EventRecord& record);
