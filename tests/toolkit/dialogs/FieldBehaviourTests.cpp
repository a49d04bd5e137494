// Field behaviours under Wine: the user's decimal character in numeric fields, a refused numeric
// entry holding its tab page and a push button that was pressed but not clicked, and the edit and
// picture subclasses.
#include <gtest/gtest.h>

#include "toolkit/foundation/CommonControls.h"

#include <string>
#include <vector>

#include "tests/support/GuiHarness.h"
#include "tests/toolkit/dialogs/DialogFixture.h"
#include "tests/support/ToolkitSession.h"
#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogFieldValues.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/NumericEdits.h"
#include "toolkit/foundation/ErrorReport.h"
#include "toolkit/foundation/EventStore.h"
#include "toolkit/foundation/MainWindow.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

using namespace GuiHarness;
using namespace ToolkitSession;

namespace {

class FieldBehaviourTest : public DialogWindowTest {
protected:
    void afterClosing() override
    {
        NumericEditState& s = numericEditState();
        s.pendingField = s.tabPendingField = nullptr;
        s.saveOnFocus = 1;
    }
    static HWND item(INTEGER id) { return GetDlgItem(YYCurrentDialog(), id); }
    static void typeInto(HWND control, const std::string& text)
    {
        SendMessageA(control, EM_SETSEL, 0, -1);
        for (char c : text) SendMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 0);
    }
    static bool wholeTextSelected(HWND control)
    {
        DWORD start = 0, end = 0;
        SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return start == 0 && end == static_cast<DWORD>(GetWindowTextLengthA(control));
    }
    static HWND showDialog(INTEGER resource)
    {
        WDialogLoad(resource);
        HWND dialog = YYCurrentDialog();
        WDialogShow(-1, -1, 0, 2);
        EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(dialog) != 0; }));
        return dialog;
    }
    Watchdog watchdog_{std::chrono::milliseconds(120000)};
};

// Sets the user's decimal separator for the test and puts the old one back afterwards.
class UserDecimal {
public:
    explicit UserDecimal(const std::string& separator)
    {
        char old[8] = {};
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old, sizeof old);
        old_ = old;
        SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator.c_str());
    }
    ~UserDecimal()
    {
        SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old_.c_str());
        cursorState().DecimalSwitch = 0;
        char separator = 0;
        YYLocaleInfo(separator);
    }
    UserDecimal(const UserDecimal&) = delete;
    UserDecimal& operator=(const UserDecimal&) = delete;

private:
    std::string old_;
};

LRESULT spinClick(HWND dialog, HWND field, int delta)
{
    NMUPDOWN change{};
    change.hdr.hwndFrom = YYFieldRecordOf(field)->spinControl;
    change.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(change.hdr.hwndFrom));
    change.hdr.code = UDN_DELTAPOS;
    change.iDelta = delta;
    SendMessageA(dialog, WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
    return GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
}

LONG buttonType(HWND button) { return GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK; }

}  // namespace

TEST_F(FieldBehaviourTest, RealAndDoubleFieldsUseTheUsersDecimalCharacterWhileTheSwitchIsOn)
{
    struct Case {
        const char* locale;
        bool switchOn;
        char shown;    // the decimal character the fields show and take
        char refused;  // the decimal character the key filter drops
    };
    // An apostrophe is a separator the number parser does not know: the fields translate it.
    const Case cases[] = {{",", false, '.', ','}, {",", true, ',', '.'}, {"'", true, '\'', '.'}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + (c.switchOn ? " on" : " off"));
        UserDecimal user(c.locale);
        char separator = 0;
        YYLocaleInfo(separator);
        ASSERT_EQ(separator, c.locale[0]);
        YYLocaleDecimalSwitch(c.switchOn ? "\x01" : "");

        HWND dialog = showDialog(7500);
        HWND real = item(7501), spin = item(7502), dbl = item(7503);
        const std::string d(1, c.shown);
        EXPECT_EQ(windowText(spin), "2" + d + "5");  // the template's text
        EXPECT_EQ(YYFieldRecordOf(spin)->value, 2.5);
        EXPECT_EQ(windowText(dbl), "1" + d + "25");

        SetFocus(real);
        INTEGER beeps = cursorState().Beeps;
        typeInto(real, std::string("3") + c.refused + d + "75");
        EXPECT_EQ(cursorState().Beeps, beeps + 1);
        EXPECT_EQ(windowText(real), "3" + d + "75");
        REAL typed = 0.0f;
        WDialogGetReal(7501, typed);  // read while the user is still in the field
        EXPECT_FLOAT_EQ(typed, 3.75f);
        SetFocus(item(7504));
        EXPECT_EQ(GetFocus(), item(7504));  // accepted: 3.75 is inside the range
        EXPECT_EQ(windowText(real), "3" + d + "75");
        EXPECT_EQ(YYFieldRecordOf(real)->value, 3.75);

        SetFocus(dbl);
        typeInto(dbl, "1" + d + "5d2");
        SetFocus(item(7504));
        EXPECT_EQ(YYFieldRecordOf(dbl)->value, 150.0);
        EXPECT_EQ(windowText(dbl), "150" + d + "00");

        EXPECT_EQ(spinClick(dialog, spin, 1), 1);
        EXPECT_EQ(windowText(spin), "3" + d + "5");
        WDialogUnload();
    }
}

TEST_F(FieldBehaviourTest, ARefusedEntryOnAPageHoldsTheTabUntilItIsMended)
{
    HWND dialog = showDialog(7510);
    HWND tab = item(7511);
    HWND first = YYDialogByIdentifier(7521), second = YYDialogByIdentifier(7522);
    ASSERT_TRUE(first && second);
    HWND field = GetDlgItem(first, 7531);
    ASSERT_TRUE(IsWindowVisible(first));
    RECT target{};
    TabCtrl_GetItemRect(tab, 1, &target);
    const LPARAM onSecond = MAKELPARAM((target.left + target.right) / 2, (target.top + target.bottom) / 2);
    const auto clickSecondTab = [&] {
        PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, onSecond);
        PostMessageA(tab, WM_LBUTTONUP, 0, onSecond);
    };

    SetFocus(field);
    typeInto(field, "12");
    ASSERT_TRUE(eventsBeforeSentinel().complete);
    const INTEGER pageBefore = YYDialogRecordOf(dialog)->currentPage;
    const INTEGER beeps = cursorState().Beeps;
    clickSecondTab();
    const DeliveredEvents refused = eventsBeforeSentinel();
    ASSERT_TRUE(refused.complete);
    EXPECT_FALSE(refused.has(11));
    EXPECT_GT(cursorState().Beeps, beeps);
    EXPECT_EQ(TabCtrl_GetCurSel(tab), 0);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_FALSE(IsWindowVisible(second));
    EXPECT_EQ(GetFocus(), field);
    EXPECT_TRUE(wholeTextSelected(field));
    EXPECT_EQ(windowText(field), "12");
    EXPECT_EQ(YYDialogRecordOf(dialog)->currentPage, pageBefore);
    EXPECT_EQ(numericEditState().tabPendingField, nullptr);

    // An entry left pending for a pressed push button holds the tab as well.
    PostMessageA(item(2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_TRUE(waitUntil([&] { return GetFocus() == item(2); }));
    ASSERT_EQ(numericEditState().pendingField, field);
    clickSecondTab();
    const DeliveredEvents held = eventsBeforeSentinel();
    ASSERT_TRUE(held.complete);
    EXPECT_FALSE(held.has(11));
    EXPECT_EQ(TabCtrl_GetCurSel(tab), 0);
    EXPECT_EQ(GetFocus(), field);
    EXPECT_EQ(numericEditState().pendingField, nullptr);
    EXPECT_EQ(windowText(field), "12");

    // Mended, the same click switches the page and reports it.
    typeInto(field, "7");
    clickSecondTab();
    const DeliveredEvents accepted = eventsBeforeSentinel();
    ASSERT_TRUE(accepted.complete);
    const std::vector<EventRecord> switches = accepted.of(11);
    ASSERT_EQ(switches.size(), 1u);
    EXPECT_EQ(switches[0][1], 7521);
    EXPECT_EQ(switches[0][2], 7522);
    EXPECT_EQ(TabCtrl_GetCurSel(tab), 1);
    EXPECT_TRUE(IsWindowVisible(second));
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_EQ(YYFieldRecordOf(field)->value, 7.0);
}

TEST_F(FieldBehaviourTest, APressedButtonThatIsNotClickedHandsTheFocusBackToTheRefusedEntry)
{
    struct Case {
        const char* name;
        POINT release;
        bool clicked;
    };
    const Case cases[] = {{"released on the button", {5, 5}, true}, {"released off the button", {-20, -20}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        showDialog(7500);
        HWND real = item(7501), cancel = item(2), ok = item(1);
        SetFocus(real);
        typeInto(real, "12");
        ASSERT_TRUE(eventsBeforeSentinel().complete);
        const INTEGER beeps = cursorState().Beeps;
        PostMessageA(cancel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(cancel, WM_LBUTTONUP, 0, MAKELPARAM(c.release.x, c.release.y));
        const DeliveredEvents delivered = eventsBeforeSentinel();
        ASSERT_TRUE(delivered.complete);
        EXPECT_EQ(delivered.has(3), c.clicked);
        EXPECT_EQ(numericEditState().pendingField, nullptr);
        if (c.clicked) {
            // Cancel abandons the entry: the field holds what it held when it took the focus.
            EXPECT_EQ(windowText(real), "5");
            EXPECT_EQ(YYFieldRecordOf(real)->value, 5.0);
            EXPECT_EQ(cursorState().Beeps, beeps);
        } else {
            EXPECT_EQ(GetFocus(), real);
            EXPECT_TRUE(wholeTextSelected(real));
            EXPECT_EQ(windowText(real), "12");
            EXPECT_EQ(cursorState().Beeps, beeps + 1);  // once, though the button lost the focus too
            EXPECT_EQ(buttonType(cancel), BS_PUSHBUTTON);
            EXPECT_EQ(buttonType(ok), BS_DEFPUSHBUTTON);
        }
        WDialogUnload();
    }

    // The pressed button losing the focus before the release does the same.
    showDialog(7500);
    HWND real = item(7501), cancel = item(2);
    SetFocus(real);
    typeInto(real, "12");
    ASSERT_TRUE(eventsBeforeSentinel().complete);
    PostMessageA(cancel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_TRUE(waitUntil([&] { return GetFocus() == cancel; }));
    EXPECT_EQ(numericEditState().pendingField, real);
    const INTEGER beeps = cursorState().Beeps;
    SetFocus(item(7504));
    EXPECT_EQ(GetFocus(), real);
    EXPECT_TRUE(wholeTextSelected(real));
    EXPECT_EQ(cursorState().Beeps, beeps + 1);
    EXPECT_EQ(numericEditState().pendingField, nullptr);
    const DeliveredEvents afterwards = eventsBeforeSentinel();
    ASSERT_TRUE(afterwards.complete);
    EXPECT_FALSE(afterwards.has(3));
    // Nothing is pending any more: the entry is refused again the ordinary way.
    SetFocus(item(7504));
    EXPECT_EQ(GetFocus(), real);
}

TEST_F(FieldBehaviourTest, EditEnterAndLineFeedAndThePictureFieldsCursor)
{
    showDialog(7500);
    HWND notes = item(7505);
    SetFocus(notes);
    typeInto(notes, "a");
    SendMessageA(notes, WM_CHAR, '\r', 0);  // the Enter key's character: already acted on
    SendMessageA(notes, WM_CHAR, '\n', 0);  // Ctrl+Enter: a line break
    SendMessageA(notes, WM_CHAR, 'b', 0);
    EXPECT_EQ(windowText(notes), "a\r\nb");
    ASSERT_TRUE(eventsBeforeSentinel().complete);
    PostMessageA(notes, WM_KEYDOWN, VK_RETURN, 0);
    const DeliveredEvents delivered = eventsBeforeSentinel();
    ASSERT_TRUE(delivered.complete);
    const std::vector<EventRecord> presses = delivered.of(3);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0][1], 1);  // Enter acts on the default button

    HWND picture = item(7506);
    FieldRecord* field = YYFieldRecordOf(picture);
    ASSERT_NE(field, nullptr);
    field->drawSurface = 1;
    WCursorShape(kCursorCross, 2);
    const HCURSOR own = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEALL));
    struct Case {
        HCURSOR fieldCursor;
        HCURSOR shown;
    };
    const Case cases[] = {{nullptr, YYGlobalCursor()}, {own, own}};
    ASSERT_NE(YYGlobalCursor(), nullptr);
    for (const Case& c : cases) {
        field->cursor = c.fieldCursor;
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
        SendMessageA(picture, WM_SETCURSOR, reinterpret_cast<WPARAM>(picture), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), c.shown);
    }
    field->cursor = nullptr;
    WCursorShape(kCursorArrow, 2);
}
