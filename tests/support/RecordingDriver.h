// A driver of the graphics protocol for tests: records every op it receives with a copy of the
// parameter block and of the current attributes, for the current drawable, the hardcopy, or both.
#pragma once

#include <string>
#include <vector>

#include "toolkit/graphics/DriverProtocol.h"
#include "toolkit/graphics/GraphicsState.h"

struct RecordedOp {
    INTEGER Layer = 0;  // 1 current drawable, 2 hardcopy
    INTEGER Op = 0;
    DriverParameterBlock Block;
    INTEGER ColourIndex = 0, PreviousColourIndex = 0, LineType = 0, FillStyle = 0;
    INTEGER DrawableActive = 0;  // a real screen driver draws nothing while this is 0
    std::string Text;  // the work buffer's used part
};

// Installs itself as the screen driver and as the driver of every hardcopy device that has one
// (all but 5 and 7) while alive, so it serves whichever device is selected; as a hardcopy driver
// it answers the identification query with the selected device number. The drivers and the
// device that were installed before return at the end of the scope.
class RecordingDriver {
public:
    explicit RecordingDriver(bool screen = true, bool hardcopy = true);
    ~RecordingDriver();
    RecordingDriver(const RecordingDriver&) = delete;
    RecordingDriver& operator=(const RecordingDriver&) = delete;

    std::vector<RecordedOp>& ops();
    void clear();
    // The op codes received by one layer, in order.
    std::vector<INTEGER> codes(INTEGER layer) const;
    // What a driver answers: set into the block while handling an op (op, field setter).
    void answerInit(INTEGER layer, const char* capabilities);
    // Text answers of a layer: OpTextWidth measures pixelsPerCharacter per character (0: no
    // answer); OpText sets IntX4 to underlineAnswer (1: leaves it, as a driver that ignores it).
    void answerText(INTEGER layer, REAL pixelsPerCharacter, INTEGER underlineAnswer);
    // A layer whose font is exactly the requested size: at OpCharSize it sets the character scale
    // factors from the requested cell, as the screen driver does before it creates its font.
    void answerCharSize(INTEGER layer);
    // The hardcopy layer asks for the two-pass line half-tone while handling fill ops.
    void requestHardcopyFill(INTEGER value) { hardcopyFillRequest_ = value; }
    // The hardcopy layer fails its OpBeginOutput (as a driver whose file cannot be opened does).
    void refuseHardcopyOutput(bool refuse);

private:
    static void screen(INTEGER op);
    static void hardcopy(INTEGER op);
    static void record(INTEGER layer, INTEGER op);
    DriverHooks saved_;
    INTEGER hardcopyFillRequest_ = 0;
};

// Puts the graphics layer into the state most graphics tests start from: no drawable hooks, a
// width x height window drawable on a 256-colour palette, no hardcopy, then a graphics reset.
void resetGraphicsForTest(INTEGER width = 640, INTEGER height = 480);
