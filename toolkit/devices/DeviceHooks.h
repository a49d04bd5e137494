// The output devices' part in the rest of the toolkit: start-up and shut-down of the hardcopy job and
// the picture slots, the names they keep, the bitmap store at window shut-down, the hardcopy stop
// of the graphics reset and the images of dialog picture fields.
#pragma once

// Toolkit-internal

// Installs the output devices' routines in the hooks of start-up, the window engine, the graphics
// layer and the dialog manager, and their name sources (items 1 and 2).
void YYDeviceHooksInstall();
