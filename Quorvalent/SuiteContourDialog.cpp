// The contour parameter dialog of the suite contour display.
#include "Quorvalent/AppState.h"
#include "Quorvalent/SuiteContours.h"
#include "Quorvalent/SuiteState.h"
#include "Quorvalent/SoundingHandler.h"
#include "Quorvalent/ViewAxes.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"

namespace {
constexpr INTEGER kKindButtons[] = {2801, 2802, 2803, 2804, 2805, 2806};
}  // namespace

void SUITECONTOURPARAMS()
{
    ContourSettingsState& s = contourSettingsState();
    SuiteState& suite = suiteState();
    SystemRecord& system = systemRecord();
    MainWindowState& w = mainWindowState();
    WDialogLoad(kContourDialog);
    if (s.Kind < 1 || s.Kind > 6) s.Kind = 4;
    WDialogPutRadioButton(kKindButtons[s.Kind - 1]);
    if (s.Kind == 6) {
        WDialogPutReal(2811, s.KindValue1);
        WDialogPutReal(2812, s.KindValue2);
    }
    WDialogPutCheckBox(2821, isTrue(s.Contours) ? 1 : 0);
    WDialogPutCheckBox(2822, isTrue(s.SecondSwitch) ? 1 : 0);
    if (system.ContourSetting != 1 && system.ContourSetting != 2) system.ContourSetting = 1;
    WDialogPutRadioButton(system.ContourSetting == 1 ? 2831 : 2832);
    WDialogPutReal(2841, suite.CurveValueMin);
    WDialogPutReal(2842, suite.CurveValueMax);
    if (!(s.Lower < s.Upper)) {
        s.Lower = suite.CurveValueMin;
        s.Upper = suite.CurveValueMax;
    }
    WDialogPutReal(2843, s.Lower);
    WDialogPutReal(2844, s.Upper);
    WDialogShow(w.DialogX, w.DialogY, 0, 1);
    const INTEGER button = WDialogQuery(1);
    if (button == 2) {
        WDialogUnload();
        return;
    }
    if (button == 1355) {
        INTEGER position = 0;
        WDialogGetRadioButton(2801, position);
        if (position >= 1 && position <= 6) s.Kind = position;
        WDialogGetRadioButton(2831, position);
        if (position == 1 || position == 2) system.ContourSetting = position;
        INTEGER state = 0;
        WDialogGetCheckBox(2821, state);
        s.Contours = toLogical(state != 0);
        WDialogGetCheckBox(2822, state);
        s.SecondSwitch = toLogical(state != 0);
        REAL value = 0.0f;
        WDialogGetReal(2843, value);
        keepUnlessUndefined(value, s.Lower);
        WDialogGetReal(2844, value);
        keepUnlessUndefined(value, s.Upper);
        if (s.Kind == 6) {
            WDialogGetReal(2811, value);
            keepUnlessUndefined(value, s.KindValue1);
            WDialogGetReal(2812, value);
            keepUnlessUndefined(value, s.KindValue2);
        }
    }
    WDialogHide();
    WDialogUnload();
}
