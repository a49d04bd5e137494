#include "Quorvalent/DrawGrid.h"

#include <algorithm>
#include <cmath>

#include "Quorvalent/PlotSettings.h"
#include "WBRVLib/Gngrid.h"
#include "WBRVLib/Plotxy.h"

namespace {

void line(REAL x1, REAL y1, REAL x2, REAL y2, GraphFrameRecord& f)
{
    PLOTXY(x1, y1, kPenMove, f);
    PLOTXY(x2, y2, kPenDraw, f);
}

// The lines across one axis: along x (vertical lines) or along y (horizontal lines). `across` is
// the other axis's total length. Lengths may be negative (a depth axis growing downwards); the
// same positions then lie below the origin.
void axisLines(GraphFrameRecord& f, bool alongX, INTEGER minorPen, REAL across)
{
    const INTEGER steps = alongX ? f.StepsX : f.StepsY;
    const REAL length = alongX ? f.LengthX : f.LengthY;
    const bool logarithmic = isTrue(alongX ? f.LogX : f.LogY);
    const INTEGER minor = alongX ? f.MinorX : f.MinorY;
    const auto draw = [&](REAL at) {
        if (alongX)
            line(at, 0.0f, at, across, f);
        else
            line(0.0f, at, across, at, f);
    };
    for (INTEGER j = 1; j <= steps; ++j) {
        const REAL end = static_cast<REAL>(j) * length;
        const REAL start = end - length;
        if (minorPen > 0) {
            SET_PEN(minorPen);
            if (logarithmic) {
                for (INTEGER m = 2; m <= 9; ++m) draw(start + std::log10(static_cast<REAL>(m)) * length);
            } else {
                for (INTEGER i = 1; i <= minor - 1; ++i)
                    draw(start + static_cast<REAL>(i) * length / static_cast<REAL>(minor));
            }
        }
        SET_PEN(plotSettingsState().KGRID);
        // The frame's border covers the outer boundaries.
        if (j < steps) draw(end);
    }
}

}  // namespace

void DRAWGRID(GraphFramePair& frames, LOGICAL major, INTEGER minorPenX, INTEGER minorPenY, LOGICAL reference,
              INTEGER count)
{
    for (INTEGER k = 1; k <= std::min(count, 2); ++k) {
        GraphFrameRecord& f = frames[static_cast<std::size_t>(k - 1)];
        const REAL w = static_cast<REAL>(f.StepsX) * f.LengthX;
        const REAL h = static_cast<REAL>(f.StepsY) * f.LengthY;
        PLOTXY(f.OriginX, f.OriginY, -kPenMove, f);
        // Minor lines come only with the major ones.
        if (isTrue(major)) {
            axisLines(f, true, minorPenX, h);
            axisLines(f, false, minorPenY, w);
        }
        if (isTrue(reference)) {
            SET_PEN(11);
            const REAL x1 = PLOFX(1.0f, f);
            line(x1, 0.0f, x1, h, f);
            if (isTrue(f.LogY)) {
                const REAL y10 = PLOFY(10.0f, f);
                line(0.0f, y10, w, y10, f);
            }
        }
    }
}
