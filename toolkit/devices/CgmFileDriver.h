// The CGM file driver: hardcopy device 9 writes a binary Computer Graphics Metafile through the
// file element writers (CgmWriters.h) to unit 2 of the output unit, VDC = the page at 600 units
// per inch, attributes written only when they change. Each page is one picture: a page ended by
// OpEndPage closes its picture, and drawing after it opens the next one; the file's last picture
// is always closed before END METAFILE (platform-free).
#pragma once

#include "toolkit/foundation/CoreTypes.h"

struct CgmFileDriverState {
    INTEGER VdcWidth = 0, VdcHeight = 0;
    INTEGER CurrentRed = 0, CurrentGreen = 0, CurrentBlue = 0;
    INTEGER CurrentPacked = 0;
    // Values last written, -1 for none (line join and cap: 0, the readers' default).
    INTEGER LineColour = -1, TextColour = -1, FillColour = -1, EdgeColour = -1, AuxiliaryColour = -1;
    INTEGER EdgeType = -1, EdgeWidth = -1, TextAlignment = -1, FontIndex = -1, CharacterHeight = -1;
    INTEGER LineJoin = 0, LineCap = 0;
    // The metafile is open (between a successful OpBeginOutput and OpEndOutput), and so is a picture.
    LOGICAL FileOpen = kFalse;
    LOGICAL PictureOpen = kFalse;
    INTEGER PictureCount = 0;
};

CgmFileDriverState& cgmFileDriverState();

// Toolkit-internal

// The driver of device 9 (see DriverProtocol.h and HardcopyJob.h).
void XXCGM(INTEGER op);
// The text font index of a device font (1 Courier, 2 Helvetica or Arial, 3 Times, 4 Symbol) and
// style bits (1 bold, 2 italic): 1-16 in the order of the font lists, where the Symbol names run
// regular, italic, bold, bold italic.
INTEGER YYCgmFontIndex(INTEGER deviceFont, INTEGER style);
