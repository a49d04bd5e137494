// Drawing settings of the curve and model graphs and their title tables (platform-free): module
// data with compiled-in defaults that the settings file may replace.
#pragma once

#include <array>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/FixedText.h"

using AxisTitle = FixedText<40>;

// 37 axis titles, row 1 first; rows are 1-based through row().
struct AxisTitleTable {
    std::array<AxisTitle, 37> Rows;
    AxisTitle& row(int r) { return Rows[static_cast<std::size_t>(r - 1)]; }
    const AxisTitle& row(int r) const { return Rows[static_cast<std::size_t>(r - 1)]; }
};
AxisTitleTable& axisTitleTable();

// 15 suite titles, row 1 first.
struct SuiteTitleTable {
    std::array<AxisTitle, 15> Rows;
    const AxisTitle& row(int r) const { return Rows[static_cast<std::size_t>(r - 1)]; }
};
const SuiteTitleTable& suiteTitleTable();

struct PlotSettingsState {
    // Text heights and title offsets, inches.
    REAL HICNAME = 0.27f;
    REAL HIDATV = 0.15f, HIDATH = 0.15f;
    REAL HIMODV = 0.18f, HIMODH = 0.18f;
    REAL OFFDATV = 0.0f, OFFDATH = 0.0f, OFFMODV = 0.0f, OFFMODH = 0.0f;
    INTEGER LineWidth = 2;     // screen pixels; the printer gets five times this
    // Pens (indexes of the plot palette).
    INTEGER KGRID = 4, KBEST = 11, KEQUV = 5, KSMOO = 10;
    std::array<INTEGER, 6> KCALC = {2, 4, 6, 8, 10, 12};
    // Graphics text font of the view-properties redraw.
    INTEGER IFont = 103, IStyle = 1;
    REAL FWidth = 0.022f, FHeight = 0.04f;
    // Display switches only the settings file sets.
    LOGICAL LEQUIV = kFalse, LAYERED = kFalse, LSMOOTH = kFalse;
    LOGICAL LMODONDAT = kFalse;
    LOGICAL LREDLINE = kFalse;
    LOGICAL LSEA = kFalse;
    LOGICAL LDataDisplay = kFalse;
};

PlotSettingsState& plotSettingsState();
