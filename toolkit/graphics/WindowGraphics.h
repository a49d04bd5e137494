// The graphics layer's part in the window engine: what windows opening, switching, resizing and
// closing, pointer events and the screen palette mean for the drawable and the screen driver.
#pragma once

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EventRecord.h"

// Toolkit-internal

// Installs the graphics layer's answers in the window engine's and start-up's hooks and its name
// source (item 9, the stroke character set).
void YYWindowGraphicsHooksInstall();
// Adds the user-unit positions to a pointer, expose, resize or viewer event, as the drawable of the
// event's own surface sees them; the drawable in force is left as it was.
void YYEventUnitsConvert(INTEGER type, EventRecord& record);
