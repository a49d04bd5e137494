// The main loop's pointer events: the rubber-band zoom, the label hover, drag and resize, and the
// pointer's graph coordinates in the status bar.
#pragma once

#include <string>

#include "Quorvalent/SoundingHandler.h"
#include "WBRVLib/GraphFrame.h"
#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EventRecord.h"

// A rubber band shorter than this in either direction (window units) zooms nothing.
inline constexpr INTEGER kBandMinimum = 50;
// A band starts at the first move this long after a left press (milliseconds).
inline constexpr INTEGER kBandDelay = 300;

void pointerPress(const EventRecord& record);
void pointerMove(const EventRecord& record);
void pointerRelease(const EventRecord& record);
// A close request or a dialog-field change ends the band and erases its box.
void pointerBandCancel();
// After an expose has redrawn the display: ends the band (its box is gone) and puts the hovered
// label's highlight back.
void pointerExposed();

// The read-out of the pointer at page position (x, y) inches in the status bar: time and value in
// the curve graph, resistivity and depth in the model graph; nothing outside the graphs.
void SOUNDODOM(REAL x, REAL y, const SoundingRecord& sounding, const GraphFrameRecord& curveFrame,
               const GraphFrameRecord& modelFrame);

// The read-out's texts for a page position: false outside every graph. xFirst tells which text
// the status bar receives first.
struct PointerReadout {
    std::string XText, YText;
    bool XFirst = true;
};
bool pointerReadout(REAL x, REAL y, const SoundingRecord& sounding, const GraphFrameRecord& curveFrame,
                    const GraphFrameRecord& modelFrame, PointerReadout& readout);
// A value in a fixed-point field of width w with d decimals, asterisks when it does not fit,
// left-justified.
std::string fixedReadout(REAL value, int width, int decimals);
