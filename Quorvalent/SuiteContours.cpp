#include "Quorvalent/SuiteContours.h"

#include <algorithm>

#include "Quorvalent/PlotSettings.h"
#include "WBRVLib/Gngrid.h"
#include "WBRVLib/Plotxy.h"

ContourSettingsState& contourSettingsState()
{
    static ContourSettingsState state;
    return state;
}

void SCALECONTOURS(GraphFrameRecord& frame, const REAL* x, INTEGER nx, const REAL* y, INTEGER ny)
{
    REAL xMin = 1.0e30f, xMax = -1.0e30f, yMin = 1.0e30f, yMax = -1.0e30f;
    if (nx > 0) GETNX(x, nx, xMin, xMax);
    if (ny > 0) GETNX(y, ny, yMin, yMax);
    xMin *= 1.01f;
    xMax *= 0.99f;
    yMin *= 1.01f;
    yMax *= 0.99f;
    INTEGER last = 0;
    LOGNX(xMin, xMax, frame.MinorX, last);
    frame.StepsX = std::max(last - frame.MinorX, 1);
    frame.StepX = 0.0f;
    frame.LogX = kTrue;
    LINNX(yMin, yMax, frame.FirstTickY, frame.StepY, frame.StepsY, frame.MinorY);
    frame.LogY = kFalse;
    frame.NumberBottom = kTrue;
    frame.NumberLeft = kTrue;
    frame.NumberRight = kFalse;
    frame.NumberTop = kFalse;
    frame.OriginX = 1.25f;
    frame.OriginY = 1.25f;
    frame.ClipLowX = -0.01f;
    frame.ClipHighX = 5.01f;
    frame.ClipLowY = -0.01f;
    frame.ClipHighY = 3.01f;
    frame.LengthX = 5.0f / static_cast<REAL>(frame.StepsX);
    frame.LengthY = 6.0f / static_cast<REAL>(std::max(frame.StepsY, 1));
}

void PLOTCONTOURS(GraphFrameRecord& frame)
{
    const ContourSettingsState& s = contourSettingsState();
    frame.TickCap = kTrue;
    frame.MaxTick = 0.12f;
    SET_PEN(plotSettingsState().KGRID);
    frame.LeftmostX = frame.RightmostX = frame.LowestY = 0.0f;
    PLOTXY(frame.OriginX, frame.OriginY, -3, frame);
    const REAL width = static_cast<REAL>(frame.StepsX) * frame.LengthX;
    const REAL height = static_cast<REAL>(frame.StepsY) * frame.LengthY;
    CLEARBOX(0.0f, 0.0f, width, height, width);
    GNGRID(frame);
    FINDAS(frame);
    const AxisTitle& spacing = axisTitleTable().row(28);
    const AxisTitle& frequency = axisTitleTable().row(34);
    const INTEGER nSpacing = static_cast<INTEGER>(spacing.usedLength());
    const INTEGER nFrequency = static_cast<INTEGER>(frequency.usedLength());
    if (isTrue(frame.NumberLeft))
        CENTSY(frame.LeftmostX - s.TitleHeightV + s.TitleOffsetV, 0.5f * height, s.TitleHeightV, spacing.view(), 90.0f, nSpacing);
    if (isTrue(frame.NumberRight))
        CENTSY(frame.RightmostX + s.TitleHeightV - s.TitleOffsetV, 0.5f * height, s.TitleHeightV, spacing.view(), 90.0f, nSpacing);
    if (isTrue(frame.NumberBottom))
        CENTSY(0.5f * width, frame.LowestY - 1.5f * s.TitleHeightH + s.TitleOffsetH, s.TitleHeightH, frequency.view(), 0.0f,
               nFrequency);
}
