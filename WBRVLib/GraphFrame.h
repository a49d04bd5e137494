// One graph's frame on the plotter page: where its box stands, how long an axis step or decade is,
// the tick values, the mapping constants derived from them, the clip limits and the drawing flags.
// Platform-free.
#pragma once

#include <cstddef>

#include "toolkit/foundation/CoreTypes.h"

enum class FrameAxis { X, Y };

// 37 four-byte words, x and y interleaved. Page quantities are inches relative to the frame's
// origin; data quantities are in the units of the plotted values.
struct GraphFrameRecord {
    REAL OriginX = 0, OriginY = 0;          // page position of the lower-left corner
    REAL LengthX = 0, LengthY = 0;          // inches per step or decade; negative runs left / down
    REAL FirstTickX = 0, FirstTickY = 0;    // data value of the first tick (linear axes)
    REAL StepX = 0, StepY = 0;              // data increment per step; 0.0 draws a logarithmic axis
    REAL OffsetX = 0, OffsetY = 0;          // derived by FINDASX / FINDASY
    REAL ScaleX = 0, ScaleY = 0;
    REAL MaxTick = 0;                       // tick length limit while TickCap is set
    REAL LeftmostX = 0, RightmostX = 0;     // drawn extents, widened by GNGRID
    REAL LowestY = 0;
    REAL ClipLowX = 0, ClipHighX = 0, ClipLowY = 0, ClipHighY = 0;
    INTEGER StepsX = 0, StepsY = 0;         // steps or decades; the sign is an option of GNGRID
    INTEGER MinorX = 0, MinorY = 0;         // minor ticks per step; logarithmic: first exponent
    INTEGER SymbolKind = 0;
    INTEGER SpareY1 = 0, SpareY2 = 0;       // carried along by COPYYAXIS only
    LOGICAL LogX = kFalse, LogY = kFalse;   // read by the mapping, X_AXIS and FINDAS
    LOGICAL TickCap = kFalse;
    LOGICAL AlternateSymbols = kFalse;
    LOGICAL ConnectReversals = kFalse;
    LOGICAL SingleBorder = kFalse;
    LOGICAL NumberBottom = kFalse, NumberLeft = kFalse, NumberRight = kFalse, NumberTop = kFalse;

    // The frame drawing tells a logarithmic axis by its step 0.0, the mapping by the logical field;
    // this keeps both marks in agreement. A linear axis whose step is still 0.0 gets the step 1.0,
    // so that it is not drawn as logarithmic.
    void setLogarithmic(FrameAxis axis, bool logarithmic)
    {
        REAL& step = axis == FrameAxis::X ? StepX : StepY;
        LOGICAL& flag = axis == FrameAxis::X ? LogX : LogY;
        flag = toLogical(logarithmic);
        if (logarithmic)
            step = 0.0f;
        else if (step == 0.0f)
            step = 1.0f;
    }
};

static_assert(sizeof(GraphFrameRecord) == 37 * 4, "the frame record is 37 four-byte words");
static_assert(offsetof(GraphFrameRecord, StepsX) == 20 * 4, "x steps is word 21");
static_assert(offsetof(GraphFrameRecord, LogX) == 27 * 4, "x logarithmic is word 28");
