#include "Quorvalent/ViewProperties.h"

#include <array>
#include <string>

#include "Quorvalent/AppState.h"
#include "Quorvalent/DrawGrid.h"
#include "Quorvalent/Quorvalent.h"
#include "Quorvalent/ViewAxes.h"
#include "Quorvalent/plotModel.h"
#include "WBRVLib/Plotxy.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/GraphicsText.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace {

constexpr INTEGER kMinorGridPen = 13;
constexpr INTEGER kNameHeightInch = 1114, kNameHeightCm = 1115;
constexpr INTEGER kInchesRadio = 1116, kCmRadio = 1118;
constexpr INTEGER kLineWidthField = 1256;

// One edited axis: its page, the frame it edits, its title row and its height and offset.
struct AxisBinding {
    const AxisPageFields* Fields;
    GraphFrameRecord* Frame;
    FrameAxis Axis;
    INTEGER TitleRow;
    REAL* Height;
    REAL* Offset;
    bool Linear;
};

void putTitle(INTEGER field, const AxisTitle& title) { WDialogPutString(field, title.trimmed()); }

void getTitle(INTEGER field, AxisTitle& title)
{
    std::string text(40, ' ');  // the field is read into the title's 40 characters
    WDialogGetString(field, text);
    title.assign(text);
}

void putSizes(const AxisPageFields& f, REAL height, REAL offset)
{
    WDialogPutReal(f.SizeInch, height);
    WDialogPutReal(f.SizeCm, height * kCentimetresPerInch);
    WDialogPutReal(f.OffsetInch, offset);
    WDialogPutReal(f.OffsetCm, offset * kCentimetresPerInch);
}

// A size from the field of the unit chosen, the other unit's field refreshed; kept when emptied.
void getSize(INTEGER inchField, INTEGER cmField, REAL& inches, LOGICAL inchUnit)
{
    REAL read = kUndefinedReal;
    if (isTrue(inchUnit)) {
        WDialogGetReal(inchField, read);
        keepUnlessUndefined(read, inches);
    } else {
        WDialogGetReal(cmField, read);
        if (read != kUndefinedReal) inches = read / kCentimetresPerInch;
    }
    WDialogPutReal(inchField, inches);
    WDialogPutReal(cmField, inches * kCentimetresPerInch);
}

void getSizes(const AxisPageFields& f, REAL& height, REAL& offset, LOGICAL inches)
{
    getSize(f.SizeInch, f.SizeCm, height, inches);
    getSize(f.OffsetInch, f.OffsetCm, offset, inches);
}

INTEGER& stepsOf(GraphFrameRecord& frame, FrameAxis axis) { return axis == FrameAxis::X ? frame.StepsX : frame.StepsY; }
INTEGER& minorOf(GraphFrameRecord& frame, FrameAxis axis) { return axis == FrameAxis::X ? frame.MinorX : frame.MinorY; }
REAL& firstTickOf(GraphFrameRecord& frame, FrameAxis axis) { return axis == FrameAxis::X ? frame.FirstTickX : frame.FirstTickY; }
REAL& tickStepOf(GraphFrameRecord& frame, FrameAxis axis) { return axis == FrameAxis::X ? frame.StepX : frame.StepY; }

void putLog(const AxisPageFields& f, const GraphFrameRecord& frame, FrameAxis axis, const AxisTitle& title, REAL height,
            REAL offset)
{
    WDialogSelect(f.Page);
    GraphFrameRecord& edited = const_cast<GraphFrameRecord&>(frame);
    putTitle(f.Title, title);
    putSizes(f, height, offset);
    WDialogPutInteger(f.Count, stepsOf(edited, axis));
    WDialogPutInteger(f.Second, minorOf(edited, axis));
}

void putLinear(const AxisPageFields& f, const GraphFrameRecord& frame, FrameAxis axis, const AxisTitle& title,
               REAL height, REAL offset)
{
    WDialogSelect(f.Page);
    GraphFrameRecord& edited = const_cast<GraphFrameRecord&>(frame);
    WDialogPutReal(f.FirstTick, firstTickOf(edited, axis), "(F11.1)");
    WDialogPutReal(f.TickStep, tickStepOf(edited, axis), "(F11.1)");
    putTitle(f.Title, title);
    putSizes(f, height, offset);
    WDialogPutInteger(f.Count, stepsOf(edited, axis));
    WDialogPutInteger(f.Second, minorOf(edited, axis));
}

void readInteger(INTEGER field, INTEGER& stored)
{
    INTEGER read = kUndefinedInteger;
    WDialogGetInteger(field, read);
    keepUnlessUndefined(read, stored);
}

void readReal(INTEGER field, REAL& stored)
{
    REAL read = kUndefinedReal;
    WDialogGetReal(field, read);
    keepUnlessUndefined(read, stored);
}

void getLog(const AxisPageFields& f, GraphFrameRecord& frame, FrameAxis axis, AxisTitle& title, REAL& height,
            REAL& offset, LOGICAL inches)
{
    WDialogSelect(f.Page);
    getTitle(f.Title, title);
    getSizes(f, height, offset, inches);
    readInteger(f.Count, stepsOf(frame, axis));
    readInteger(f.Second, minorOf(frame, axis));
}

void getLinear(const AxisPageFields& f, GraphFrameRecord& frame, FrameAxis axis, AxisTitle& title, REAL& height,
               REAL& offset, LOGICAL inches)
{
    WDialogSelect(f.Page);
    getTitle(f.Title, title);
    getSizes(f, height, offset, inches);
    readReal(f.FirstTick, firstTickOf(frame, axis));
    readReal(f.TickStep, tickStepOf(frame, axis));
    readInteger(f.Count, stepsOf(frame, axis));
    readInteger(f.Second, minorOf(frame, axis));
}

// The four edited axes, the depth page by the model graph's depth axis.
std::array<AxisBinding, 4> bindings(GraphFramePair& curve, GraphFramePair& model)
{
    PlotSettingsState& p = plotSettingsState();
    const bool linearDepth = !isTrue(model[0].LogY);
    return {{{&kRhoAPage, &curve[0], FrameAxis::Y, 37, &p.HIDATV, &p.OFFDATV, false},
             {&kTimePage, &curve[0], FrameAxis::X, 4, &p.HIDATH, &p.OFFDATH, false},
             {linearDepth ? &kLinearDepthPage : &kLogDepthPage, &model[0], FrameAxis::Y, 31, &p.HIMODV, &p.OFFMODV,
              linearDepth},
             {&kRhoPage, &model[0], FrameAxis::X, 30, &p.HIMODH, &p.OFFMODH, false}}};
}

void unitStates(LOGICAL inches)
{
    INCHORCM(kViewPropertiesDialog, kNameHeightInch, kInchesRadio, kNameHeightCm, kCmRadio, inches);
    for (const AxisPageFields* f : {&kRhoAPage, &kTimePage, &kLogDepthPage, &kLinearDepthPage, &kRhoPage})
        INCHORCMAX(f->Page, f->SizeInch, f->OffsetInch, f->SizeCm, f->OffsetCm, inches);
    WDialogSelect(kViewPropertiesDialog);
}

// Step 7 of the dialog: everything read back into the settings and frames.
void readBack(GraphFramePair& curve, GraphFramePair& model, bool lineWidth)
{
    ViewPropertiesState& v = viewPropertiesState();
    PlotSettingsState& p = plotSettingsState();
    WDialogSelect(kViewPropertiesDialog);
    INTEGER position = 0;
    WDialogGetRadioButton(kInchesRadio, position);
    if (position == 1 || position == 2) v.Inches = toLogical(position == 1);
    getSize(kNameHeightInch, kNameHeightCm, p.HICNAME, v.Inches);
    if (lineWidth) readInteger(kLineWidthField, p.LineWidth);
    for (const AxisBinding& b : bindings(curve, model)) {
        AxisTitle& title = axisTitleTable().row(b.TitleRow);
        if (b.Linear)
            getLinear(*b.Fields, *b.Frame, b.Axis, title, *b.Height, *b.Offset, v.Inches);
        else
            getLog(*b.Fields, *b.Frame, b.Axis, title, *b.Height, *b.Offset, v.Inches);
    }
    WDialogSelect(kViewPropertiesDialog);
}

// A field change: the edited size goes to its other-unit partner, a title or the line width is
// read, a unit radio switches the unit everywhere. False when the field is none of these.
bool fieldChanged(INTEGER dialog, INTEGER field, GraphFramePair& curve, GraphFramePair& model)
{
    ViewPropertiesState& v = viewPropertiesState();
    PlotSettingsState& p = plotSettingsState();
    if (dialog == kViewPropertiesDialog) {
        WDialogSelect(kViewPropertiesDialog);
        if (field == kInchesRadio || field == kCmRadio) {
            INTEGER position = 0;
            WDialogGetRadioButton(kInchesRadio, position);
            v.Inches = toLogical(position == 1);
            unitStates(v.Inches);
            return true;
        }
        if (field == kNameHeightInch || field == kNameHeightCm) {
            getSize(kNameHeightInch, kNameHeightCm, p.HICNAME, toLogical(field == kNameHeightInch));
            return true;
        }
        if (field == kLineWidthField) {
            readInteger(kLineWidthField, p.LineWidth);
            return true;
        }
        return false;
    }
    for (const AxisBinding& b : bindings(curve, model)) {
        const AxisPageFields& f = *b.Fields;
        if (f.Page != dialog) continue;
        WDialogSelect(f.Page);
        if (field == f.Title) {
            getTitle(f.Title, axisTitleTable().row(b.TitleRow));
        } else if (field == f.SizeInch || field == f.SizeCm) {
            getSize(f.SizeInch, f.SizeCm, *b.Height, toLogical(field == f.SizeInch));
        } else if (field == f.OffsetInch || field == f.OffsetCm) {
            getSize(f.OffsetInch, f.OffsetCm, *b.Offset, toLogical(field == f.OffsetInch));
        } else {
            return false;
        }
        return true;
    }
    return false;
}

}  // namespace

ViewPropertiesState& viewPropertiesState()
{
    static ViewPropertiesState state;
    return state;
}

void PUTLOGAXISX(const AxisPageFields& f, const GraphFrameRecord& frame, const AxisTitle& title, REAL height, REAL offset)
{
    putLog(f, frame, FrameAxis::X, title, height, offset);
}
void PUTLOGAXISY(const AxisPageFields& f, const GraphFrameRecord& frame, const AxisTitle& title, REAL height, REAL offset)
{
    putLog(f, frame, FrameAxis::Y, title, height, offset);
}
void PUTLINAXISX(const AxisPageFields& f, const GraphFrameRecord& frame, const AxisTitle& title, REAL height, REAL offset)
{
    putLinear(f, frame, FrameAxis::X, title, height, offset);
}
void PUTLINAXISY(const AxisPageFields& f, const GraphFrameRecord& frame, const AxisTitle& title, REAL height, REAL offset)
{
    putLinear(f, frame, FrameAxis::Y, title, height, offset);
}

void GETLOGAXISX(const AxisPageFields& f, GraphFrameRecord& frame, AxisTitle& title, REAL& height, REAL& offset,
                 LOGICAL inches)
{
    getLog(f, frame, FrameAxis::X, title, height, offset, inches);
}
void GETLOGAXISY(const AxisPageFields& f, GraphFrameRecord& frame, AxisTitle& title, REAL& height, REAL& offset,
                 LOGICAL inches)
{
    getLog(f, frame, FrameAxis::Y, title, height, offset, inches);
}
void GETLINAXISX(const AxisPageFields& f, GraphFrameRecord& frame, AxisTitle& title, REAL& height, REAL& offset,
                 LOGICAL inches)
{
    getLinear(f, frame, FrameAxis::X, title, height, offset, inches);
}
void GETLINAXISY(const AxisPageFields& f, GraphFrameRecord& frame, AxisTitle& title, REAL& height, REAL& offset,
                 LOGICAL inches)
{
    getLinear(f, frame, FrameAxis::Y, title, height, offset, inches);
}

void INCHORCMAX(INTEGER page, INTEGER sizeInch, INTEGER offsetInch, INTEGER sizeCm, INTEGER offsetCm, LOGICAL inches)
{
    WDialogSelect(page);
    const INTEGER inchState = isTrue(inches) ? 1 : 0;
    WDialogFieldState(sizeInch, inchState);
    WDialogFieldState(offsetInch, inchState);
    WDialogFieldState(sizeCm, 1 - inchState);
    WDialogFieldState(offsetCm, 1 - inchState);
}

void INCHORCM(INTEGER dialog, INTEGER inchField, INTEGER inchRadio, INTEGER cmField, INTEGER cmRadio, LOGICAL inches)
{
    WDialogSelect(dialog);
    const INTEGER inchState = isTrue(inches) ? 1 : 0;
    WDialogFieldState(inchField, inchState);
    WDialogFieldState(cmField, 1 - inchState);
    WDialogPutRadioButton(isTrue(inches) ? inchRadio : cmRadio);
}

void REFRESH1D(SoundingRecord& sounding, SoundingRecord& companion, GraphFramePair& curveFrames,
               GraphFramePair& modelFrames, LOGICAL flag)
{
    const PlotSettingsState& p = plotSettingsState();
    const GraphOptionsState& g = graphOptionsState();
    WGrTextFont(p.IFont, p.IStyle, p.FWidth, p.FHeight);
    const INTEGER curveMinor = isTrue(g.CurveMinorGrid) ? kMinorGridPen : 0;
    const INTEGER modelMinor = isTrue(g.ModelMinorGrid) ? kMinorGridPen : 0;
    WindowSetCurrent(0);
    WindowClearArea();
    // Before any suite there is nothing to scale frames by: the window stays empty.
    if (sounding.Data.PointCount > 1 && sounding.ResponseValues.allocated() && sounding.Data.SampleTimes.allocated()) {
        PLOT_RHO(curveFrames, sounding, companion, 2, flag, p.LAYERED, toLogical(isTrue(p.LEQUIV) || isTrue(sounding.ExtraModels)),
                 toLogical(isTrue(p.LSMOOTH) && isTrue(companion.ResponseComputed)));
        PLOTXY(0.0f, 0.0f, 3, curveFrames[0]);
        const bool reference = (sounding.Data.SoundingType == "Controlled Source MT" ||
                                sounding.Data.SoundingType == "Magnetotelluric Data") &&
                               isTrue(p.LREDLINE);
        DRAWGRID(curveFrames, g.CurveMajorGrid, curveMinor, curveMinor, toLogical(reference), sounding.Data.GraphCount);
        const LOGICAL equivalent = toLogical(isTrue(p.LEQUIV) || isTrue(sounding.ExtraModels));
        if (isTrue(p.LMODONDAT)) {
            PLTMDL(sounding, companion, curveFrames, p.LAYERED, equivalent, p.LSMOOTH, kFalse);
        } else {
            PLTMDL(sounding, companion, modelFrames, p.LAYERED, equivalent, p.LSMOOTH, kFalse);
            DRAWGRID(modelFrames, g.ModelMajorGrid, modelMinor, modelMinor, kFalse, sounding.Model.ValuesPerLayer);
        }
    }
    WindowTitle(std::string(kMainWindowTitle) + " [" + std::string(sounding.Data.Title.view()) + "]");
}

void VIEWDLG1D(SoundingRecord& sounding, SoundingRecord& companion, GraphFramePair& curveFrames,
               GraphFramePair& modelFrames, LOGICAL& cancelled)
{
    ViewPropertiesState& v = viewPropertiesState();
    PlotSettingsState& p = plotSettingsState();
    const AxisTotalLengths lengths = axisTotalLengths(curveFrames, modelFrames);

    WDialogLoad(kViewPropertiesDialog);
    WDialogPutReal(kNameHeightInch, p.HICNAME);
    WDialogPutReal(kNameHeightCm, p.HICNAME * kCentimetresPerInch);
    WDialogPutInteger(kLineWidthField, p.LineWidth);
    const bool logDepth = isTrue(modelFrames[0].LogY);
    WDialogTabState(kViewPropertiesTab, kPageLogDepth, logDepth ? 1 : 0);
    WDialogTabState(kViewPropertiesTab, kPageLinearDepth, logDepth ? 0 : 1);
    for (const AxisBinding& b : bindings(curveFrames, modelFrames)) {
        const AxisTitle& title = axisTitleTable().row(b.TitleRow);
        if (b.Linear)
            PUTLINAXISY(*b.Fields, *b.Frame, title, *b.Height, *b.Offset);
        else if (b.Axis == FrameAxis::X)
            PUTLOGAXISX(*b.Fields, *b.Frame, title, *b.Height, *b.Offset);
        else
            PUTLOGAXISY(*b.Fields, *b.Frame, title, *b.Height, *b.Offset);
    }
    WDialogSelect(kViewPropertiesDialog);
    WDialogShow(-1, -1, 0, 3);
    WDialogSelect(kViewPropertiesDialog);
    // The last page comes back, unless it is the depth page the axis does not offer now.
    if (v.LastPage != 0 && !(v.LastPage == kPageLogDepth && !logDepth) && !(v.LastPage == kPageLinearDepth && logDepth))
        WDialogSetTab(kViewPropertiesTab, v.LastPage);
    WEventEnable(kEventFieldChanged, 1);
    WEventEnable(kEventPushButton, 1);
    WDialogFieldState(kApplyButton, 0);
    unitStates(v.Inches);

    for (;;) {
        INTEGER type = 0;
        EventRecord record{};
        WEventWait(type, record);
        if (type == kEventExpose) {
            REFRESH1D(sounding, companion, curveFrames, modelFrames, kFalse);
            WDialogSelect(kViewPropertiesDialog);
            continue;
        }
        if (type == kEventFieldChanged) {
            // The field left and the field entered: an edit is read when its field is left.
            bool changed = fieldChanged(record[0], record[1], curveFrames, modelFrames);
            changed = fieldChanged(record[0], record[2], curveFrames, modelFrames) || changed;
            WDialogSelect(kViewPropertiesDialog);
            if (changed) WDialogFieldState(kApplyButton, 1);
            continue;
        }
        if (type != kEventPushButton || record[0] != kViewPropertiesDialog) continue;
        const INTEGER pressed = record[1];
        if (pressed == kApplyButton) {
            readBack(curveFrames, modelFrames, false);
            REFRESH1D(sounding, companion, curveFrames, modelFrames, kFalse);
            WDialogSelect(kViewPropertiesDialog);
            WDialogSetField(1);
            WDialogFieldState(kApplyButton, 0);
        } else if (pressed == 1) {
            cancelled = kFalse;
            WDialogGetTab(kViewPropertiesTab, v.LastPage);
            readBack(curveFrames, modelFrames, true);
            REFRESH1D(sounding, companion, curveFrames, modelFrames, kFalse);
            restoreAxisTotalLengths(lengths, curveFrames, modelFrames);
            break;
        } else if (pressed == 2) {
            cancelled = kTrue;
            break;
        }
    }
    WDialogSelect(kViewPropertiesDialog);
    WDialogUnload();
}
