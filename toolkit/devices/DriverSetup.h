// What the hardcopy drivers do alike at OpInit and OpBeginOutput: answering the identification
// query, stating the device's capabilities and text flags, opening the output unit for a new job,
// and the extents their scales are taken from (platform-free).
#pragma once

#include <cstddef>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

// One element of the device capability table as a driver states it.
struct DeviceCapabilityEntry {
    INTEGER ShadeFillLevel = 0;
    INTEGER TrueColour = 1;
    INTEGER PlatformLevel = 2;
    INTEGER TextAngles = 360;
    INTEGER LineTypeCount = 8;
    REAL DeviceTextThreshold = 1.7e38f;
    std::string_view CapabilityString;
};

// What every hardcopy driver states about its device at a full OpInit.
struct HardcopyDeviceFacts {
    DeviceCapabilityEntry Capabilities;
    // The text output's two flags: text boxes drawn by the driver, proportional text spaced by it.
    INTEGER TextBoxFlag = 0;
    INTEGER TextSpacingFlag = 1;
    // 1 when the output file may be handed to a print command.
    INTEGER PrintByCommand = 0;
    INTEGER DriverDevice = 0;
};

// Toolkit-internal

// Answers OpInit's identification query (Count -999) with the driver's device number; true when
// it was the query, and the driver then does nothing else.
bool YYDriverIdentify(INTEGER device);
// Writes one element of the capability table (0 the drawable, 1 the hardcopy device).
void YYDeviceCapabilitiesSet(std::size_t element, const DeviceCapabilityEntry& entry);
// The hardcopy element, the text flags, the print-by-command flag and the driver device number.
void YYHardcopyDeviceFactsSet(const HardcopyDeviceFacts& facts);
// Opens the output unit for a new job. A failure (reported by the unit) ends the job and is
// false; on success the error number the caller had before stays as it was.
bool YYDriverOutputOpen(INTEGER unit);
// The colour of the colour model in use ([1] the current colour, [0] the previous one): the RGB
// value in the RGB model, else the palette index.
INTEGER YYModelColour(std::size_t which);
// The drawable's extents in device units the page is scaled from: the transform's drawable
// limits, or the drawable's size less a hundredth before any has been set. Every driver maps the
// whole drawable onto its page, never the graphics area, so that an area drawn into a part of the
// drawable lands on the same part of the page.
REAL YYDrawableXExtent();
REAL YYDrawableYExtent();
// XScale and YScale that stretch those extents over a page of the given size in output units;
// 1 along an extent that is not positive.
void YYScalesFromDrawable(REAL pageWidth, REAL pageHeight);
