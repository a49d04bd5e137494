// Minimal stand-in (see the header): mapping, and solid polylines with lifts at missing values.
#include "Quorvalent/FrameMappingStub.h"

#include <cmath>

#include "WBRVLib/Plotxy.h"

namespace {
REAL map(REAL v, bool logarithmic, REAL length, REAL scale, REAL offset)
{
    if (std::isnan(v)) return 0.0f;
    if (logarithmic) return std::log10(std::fabs(v) + 1.0e-20f) * length * (scale > 0.0f ? scale : 1.0f) + offset;
    return scale * v + offset;
}
void polyline(const REAL* x, const REAL* y, INTEGER n, GraphFrameRecord& frame)
{
    INTEGER pen = kPenMove;
    for (INTEGER i = 0; i < n; ++i) {
        if (x[i] > 1.0e10f || y[i] > 1.0e10f) {
            pen = kPenMove;
            continue;
        }
        PLOTXY(PLOFX(x[i], frame), PLOFY(y[i], frame), pen, frame);
        pen = kPenDraw;
    }
}
}  // namespace

REAL PLOFX(REAL x, const GraphFrameRecord& f) { return map(x, isTrue(f.LogX), f.LengthX, f.ScaleX, f.OffsetX); }
REAL PLOFY(REAL y, const GraphFrameRecord& f) { return map(y, isTrue(f.LogY), f.LengthY, f.ScaleY, f.OffsetY); }
REAL XOFPL(REAL px, const GraphFrameRecord& f)
{
    const REAL u = px - f.OffsetX - f.OriginX;
    return isTrue(f.LogX) ? std::pow(10.0f, u / (f.LengthX * (f.ScaleX > 0.0f ? f.ScaleX : 1.0f))) : u / f.ScaleX;
}
REAL YOFPL(REAL py, const GraphFrameRecord& f)
{
    const REAL u = py - f.OffsetY - f.OriginY;
    return isTrue(f.LogY) ? std::pow(10.0f, u / (f.LengthY * (f.ScaleY > 0.0f ? f.ScaleY : 1.0f))) : u / f.ScaleY;
}
LOGICAL PCLIP(REAL, REAL, REAL, REAL) { return kTrue; }
void GNPLOT(const REAL* x, const REAL* y, INTEGER n, LOGICAL, GraphFrameRecord& frame) { polyline(x, y, n, frame); }
void DS_PLOT(const REAL* x, const REAL* y, INTEGER n, REAL, REAL, GraphFrameRecord& frame) { polyline(x, y, n, frame); }
void ZOOMBOX(INTEGER, INTEGER, INTEGER, INTEGER, GraphFrameRecord&) {}
