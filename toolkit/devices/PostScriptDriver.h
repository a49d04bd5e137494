// The PostScript driver: hardcopy device 2 writes a PostScript program or, with option 22, an
// Encapsulated PostScript file (one page, a bounding box, no page-device operators) through the
// line writers of PostScriptWriters.h (platform-free).
#pragma once

#include <array>

#include "toolkit/foundation/CoreTypes.h"

struct PostScriptDriverState {
    // Segments added to the open path since it was last stroked or filled; 0: no open path.
    INTEGER PathPointCount = 0;
    // The colour the open path will be stroked or filled in, and the one last written with "g"
    // (all -1 at the start of a job, so the first path always writes its colour).
    std::array<REAL, 3> PendingColour{0.0f, 0.0f, 0.0f};
    std::array<REAL, 3> WrittenColour{-1.0f, -1.0f, -1.0f};
    // The colour value of the last OpColour: palette index, RGB value, or -1 for black.
    INTEGER ColourArgument = -1;
    // Set at the start of a job and by OpCharSize: the next text writes its font selection.
    LOGICAL FontInvalid = kTrue;
    INTEGER LineTypeWritten = 0;
    INTEGER LineWidthWritten = 0;
    INTEGER PageNumber = 1;
};

PostScriptDriverState& postScriptDriverState();

// Toolkit-internal

// The driver of device 2 (see DriverProtocol.h): handles OpInit, lines, points and polylines,
// colours, the odd fill operations, arcs, text, clip, line type, width, join and cap, images and
// the job's begin, page end and end. Every other op returns at once.
void XXPOST(INTEGER op);
