#include "toolkit/dialogs/DialogFieldTable.h"

#include "toolkit/foundation/CommonControls.h"

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/dialogs/ControlClasses.h"
#include "toolkit/dialogs/DialogLoad.h"
#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/DialogServices.h"
#include "toolkit/dialogs/DialogTreeFields.h"
#include "toolkit/dialogs/FieldTableText.h"
#include "toolkit/dialogs/GridSetUp.h"
#include "toolkit/foundation/NumberParse.h"

namespace {

using LineReader = FieldTableLines;
using Tokens = FieldTableTokens;

std::string_view trimRight(std::string_view text) { return fieldTableTrimRight(text); }

// Doubles become integers only inside the integer range.
INTEGER clampToInteger(DOUBLE value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<INTEGER>(value);
}

HWND field(HWND dialog, INTEGER id) { return YYDialogField(dialog, id); }

INTEGER captionInteger(HWND control)
{
    char text[64] = {};
    GetWindowTextA(control, text, sizeof text);
    std::string_view t(text);
    while (!t.empty() && Tokens::isBlank(t.front())) t.remove_prefix(1);
    return Tokens::integerOf(t);
}

void applyRanges(HWND dialog, Tokens& values)
{
    HWND control = field(dialog, values.nextInteger());
    if (!control) return;
    DOUBLE low = 0.0, high = 0.0;
    INTEGER parsedLow = 0, parsedHigh = 0;
    YYParseNumberChecked(low, parsedLow, values.next());
    YYParseNumberChecked(high, parsedHigh, values.next());
    if (!parsedLow || !parsedHigh) return;  // an unreadable range sets nothing
    switch (YYControlClass(control)) {
    case kClassProgress:
        SendMessageA(control, PBM_SETRANGE, 0,
                     MAKELPARAM(clampToInteger(low) & 0xFFFF, clampToInteger(high) & 0xFFFF));
        SendMessageA(control, PBM_SETPOS, static_cast<WPARAM>(captionInteger(control)), 0);
        return;
    case kClassTrackbar:
        SendMessageA(control, TBM_SETRANGEMIN, FALSE, clampToInteger(low));
        SendMessageA(control, TBM_SETRANGEMAX, TRUE, clampToInteger(high));
        SendMessageA(control, TBM_SETPOS, TRUE, captionInteger(control));
        return;
    default:
        if (FieldRecord* record = YYFieldRecordOf(control)) {
            record->minimum = low;
            record->maximum = high;
        }
        return;
    }
}

void applyMenus(HWND dialog, Tokens& values, LineReader& reader, INTEGER templateFlag)
{
    HWND control = field(dialog, values.nextInteger());
    const INTEGER count = values.nextInteger();
    const INTEGER initial = values.nextInteger();
    const bool list = YYControlClass(control) == kClassListBox;
    if (control) SendMessageA(control, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    std::string_view line;
    for (INTEGER i = 0; i < count && reader.next(line); ++i) {
        std::string item(trimRight(line).substr(0, 1024));
        if (control) SendMessageA(control, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    if (!control) return;
    const INTEGER selected = templateFlag == -1 ? 1 : initial;
    if (selected > 0) SendMessageA(control, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(selected - 1), 0);
}

void applyTabs(HWND dialog, Tokens& values, LineReader& reader)
{
    HWND tab = field(dialog, values.nextInteger());
    if (YYControlClass(tab) != kClassTabControl) tab = nullptr;
    const INTEGER count = values.nextInteger();
    const INTEGER initial = values.nextInteger();
    DialogTable& t = dialogTable();
    const INTEGER savedIndex = t.currentIndex, savedIdentifier = t.currentIdentifier;
    std::string_view line;
    for (INTEGER i = 0; i < count && reader.next(line); ++i) {
        Tokens page(line);
        const INTEGER pageId = page.nextInteger();
        std::string_view label = page.rest();
        // The label runs to the line feed less its last character, the blank before it.
        if (!label.empty()) label.remove_suffix(1);
        const std::string text(label.substr(0, 1024));
        if (!tab) continue;
        YYTabAppend(tab, text.c_str(), TabItemData{pageId, 0});
        INTEGER status = pageId;
        YYDialogCreate(status, pageId, 0, 0);
    }
    t.currentIndex = YYDialogIndex(savedIdentifier) > 0 ? YYDialogIndex(savedIdentifier) : savedIndex;
    t.currentIdentifier = savedIdentifier;
    if (!tab) return;
    RECT area{};
    GetWindowRect(tab, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    INTEGER chosen = 0;
    for (INTEGER k = 0; k < YYTabCount(tab); ++k) {
        const INTEGER pageId = YYTabData(tab, k).page;
        if (pageId == initial && chosen == 0) chosen = k;
        if (HWND page = YYDialogByIdentifier(pageId)) {
            // Sized in the owner's client coordinates; the page is moved there when the dialog is shown.
            SetWindowPos(page, nullptr, 0, 0, area.right - area.left, area.bottom - area.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    for (INTEGER k = 0; k < YYTabCount(tab); ++k)
        if (YYTabData(tab, k).page == initial) {
            chosen = k;
            break;
        }
    TabCtrl_SetCurSel(tab, chosen);
}

void applyGrids(HWND dialog, Tokens& values, LineReader& reader)
{
    DialogRecord* record = YYDialogRecordOf(dialog);
    DeferredFieldLine grid;
    grid.field = values.nextInteger();
    for (int i = 0; i < 3; ++i) grid.values.push_back(values.nextInteger());
    HWND control = field(dialog, grid.field);
    const LONG style = control ? GetWindowLongA(control, GWL_STYLE) : 0;
    if (style & 0x400) {
        std::string_view line;
        if (reader.next(line)) grid.lines.emplace_back(line);  // the label width line
        const INTEGER rows = grid.values[1];
        for (INTEGER r = 0; r < rows && !(style & 0x80) && reader.next(line); ++r) {
            std::string label(trimRight(line).substr(0, 50));
            grid.lines.push_back(label);
        }
    }
    if (!record) return;
    // A second line for a grid already set up would outgrow the storage made for the first.
    for (const DeferredFieldLine& existing : record->gridLines)
        if (existing.field == grid.field) return;
    record->gridLines.push_back(std::move(grid));
    // The grid sets itself up from the line as read: its values, then the width and label lines.
    const DeferredFieldLine& kept = record->gridLines.back();
    std::string text = std::to_string(kept.values[0]) + " " + std::to_string(kept.values[1]) + " " +
                       std::to_string(kept.values[2]) + " \n";
    for (const std::string& line : kept.lines) text += line + "\n";
    INTEGER consumed = 0;
    if (control) YYGridFromTemplate(control, text, consumed);
}

void applyColours(HWND dialog, Tokens& values)
{
    HWND control = field(dialog, values.nextInteger());
    INTEGER c[6];
    for (INTEGER& v : c) v = values.nextInteger();
    if (!control) return;
    YYFieldColourSet(control, 1, c[0], c[1], c[2]);
    YYFieldColourSet(control, 2, c[3], c[4], c[5]);
}

void applyTrackbars(HWND dialog, Tokens& values)
{
    HWND control = field(dialog, values.nextInteger());
    INTEGER v[5];
    for (INTEGER& x : v) x = values.nextInteger();
    if (YYControlClass(control) != kClassTrackbar) return;
    SendMessageA(control, TBM_SETTICFREQ, static_cast<WPARAM>(v[0]), 0);
    SendMessageA(control, TBM_SETLINESIZE, 0, v[1]);
    SendMessageA(control, TBM_SETPAGESIZE, 0, v[2]);
    if (!(GetWindowLongA(control, GWL_STYLE) & TBS_ENABLESELRANGE)) return;
    if (v[3] == v[4]) SendMessageA(control, TBM_CLEARSEL, TRUE, 0);
    else SendMessageA(control, TBM_SETSEL, TRUE, MAKELPARAM(v[3], v[4]));
}

void applyLengths(HWND dialog, Tokens& values)
{
    HWND control = field(dialog, values.nextInteger());
    const INTEGER n = values.nextInteger();
    if (!control) return;
    const ControlClassCode code = YYControlClass(control);
    if (YYIsEditLike(code)) SendMessageA(control, EM_SETLIMITTEXT, static_cast<WPARAM>(n), 0);
    else if (code == kClassComboBox) SendMessageA(control, CB_LIMITTEXT, static_cast<WPARAM>(n), 0);
    if (FieldRecord* record = YYFieldRecordOf(control)) record->maxLength = n;
}

void applyFormats(HWND dialog, Tokens& values)
{
    HWND control = field(dialog, values.nextInteger());
    const std::string_view format = trimRight(values.rest());
    FieldRecord* record = YYFieldRecordOf(control);
    if (!record || format.empty()) return;
    record->format = std::make_shared<std::string>(format);
}

void applyTreeviews(HWND dialog, Tokens& values)
{
    DialogRecord* record = YYDialogRecordOf(dialog);
    DeferredFieldLine tree;
    tree.field = values.nextInteger();
    tree.values = {values.nextInteger(), values.nextInteger()};
    if (tree.values[0] == 0) return;
    YYTreeFromMenu(field(dialog, tree.field), tree.values[0], tree.values[1]);
    if (record) record->treeLines.push_back(std::move(tree));
}

void applyFonts(HWND dialog, Tokens& values)
{
    HWND control = field(dialog, values.nextInteger());
    const INTEGER points = values.nextInteger();
    const std::string_view rest = values.rest();
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos || !control) return;  // no weight: the line is not a font
    const std::string face(rest.substr(0, std::min<std::size_t>(comma, LF_FACESIZE - 1)));
    Tokens after(rest.substr(comma + 1));
    const INTEGER weight = after.nextInteger();
    const INTEGER italic = after.nextInteger();
    const WindowDc screenDc(nullptr);
    HDC screen = screenDc.get();
    const int dotsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    const int height = -fieldTableFontHeight(points, dotsPerInch);
    HFONT font = CreateFontA(height, 0, 0, 0, weight, italic == 1, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_MODERN, face.c_str());
    if (!font) return;
    // A font set here earlier belongs to the control alone; it goes when it is replaced.
    HFONT previous = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (previous && previous != dialogFont && previous != GetStockObject(SYSTEM_FONT) &&
        previous != GetStockObject(SYSTEM_FIXED_FONT) && previous != GetStockObject(DEFAULT_GUI_FONT)) {
        GdiObjectHandle released(previous);
    }
}

void applyFlags(HWND dialog, Tokens& values)
{
    HWND control = field(dialog, values.nextInteger());
    const INTEGER value = values.nextInteger();
    if (FieldRecord* record = YYFieldRecordOf(control)) record->flags = value;
}

RECT clientRectOf(HWND dialog, HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    if (const FieldRecord* field = YYFieldRecordOf(control); field && field->spinControl) {
        RECT s{};
        GetWindowRect(field->spinControl, &s);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&s), 2);
        r.right = s.right;
    }
    return r;
}

bool contains(const RECT& outer, const RECT& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right && outer.bottom >= inner.bottom;
}

void applyDialogLine(HWND dialog, Tokens& values)
{
    DialogRecord* record = YYDialogRecordOf(dialog);
    if (!record) return;
    record->resizable = values.nextInteger() != 0 ? 1 : 0;
    const std::string_view anchorToken = values.next();
    if (anchorToken.empty()) return;
    const INTEGER anchorId = Tokens::integerOf(anchorToken);
    const INTEGER align = Tokens::integerOf(values.next());
    HWND anchor = anchorId != 0 ? field(dialog, anchorId) : nullptr;
    if (!anchor) return;
    record->anchorControl = anchor;
    RECT client{};
    GetClientRect(dialog, &client);
    const RECT a = clientRectOf(dialog, anchor);
    std::vector<HWND> fields;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const ControlClassCode code = YYControlClass(child);
        if (code == kClassUpDown || YYDialogRecordOf(child)) continue;
        if (code == kClassScrollBar && GetDlgCtrlID(child) == -1) continue;
        if (YYFieldRecordOf(child)) fields.push_back(child);
    }
    for (HWND current : fields) {
        FieldRecord* f = YYFieldRecordOf(current);
        RECT r = clientRectOf(dialog, current);
        f->rightGap = client.right - r.right;
        f->bottomGap = client.bottom - r.bottom;
        const RECT o = r;
        INTEGER bits = 0;
        for (HWND other : fields) {
            if (other == current) continue;
            const RECT e = clientRectOf(dialog, other);
            if (!contains(e, r)) continue;
            if (current == anchor) {
                if (FieldRecord* g = YYFieldRecordOf(other)) g->anchorBits |= kAnchorRight | kAnchorBottom;
            } else if (!contains(e, a)) {
                r = e;  // a field inside a group box follows the box
            }
        }
        if (current == anchor) {
            bits = kAnchorRight | kAnchorBottom;
        } else {
            if (align != 0 && r.right == a.right) {
                if (r.left != a.left || o.left == a.left) {
                    bits |= kAnchorRight;
                    if (o.left != a.left) bits |= kAnchorLeft;
                }
            } else if (r.left >= a.right) {
                bits |= kAnchorLeft | kAnchorRight;
            }
            if (align != 0 && r.bottom == a.bottom) {
                if (r.top != a.top || o.top == a.top) {
                    bits |= kAnchorBottom;
                    if (o.top != a.top) bits |= kAnchorTop;
                }
            } else if (r.top >= a.bottom) {
                bits |= kAnchorTop | kAnchorBottom;
            }
        }
        f->anchorBits |= bits;
        if (YYControlClass(current) == kClassStatic) {
            const LONG type = GetWindowLongA(current, GWL_STYLE) & SS_TYPEMASK;
            if (type == SS_ETCHEDHORZ && !(f->anchorBits & kAnchorTop)) f->anchorBits &= ~kAnchorBottom;
            if (type == SS_ETCHEDVERT && !(f->anchorBits & kAnchorLeft)) f->anchorBits &= ~kAnchorRight;
        }
    }
    YYDialogSizeGrip(dialog);
}

}  // namespace

void YYDialogApplyFieldText(HWND dialog, std::string_view text, INTEGER templateFlag)
{
    using enum FieldTableSection;
    LineReader reader(text);
    FieldTableSection section = None;
    std::string_view line;
    while (reader.next(line)) {
        while (!line.empty() && Tokens::isBlank(line.front())) line.remove_prefix(1);
        if (const FieldTableSection header = fieldTableHeader(line); header != None) {
            section = header;
            continue;
        }
        if (section == None || line.empty()) continue;
        Tokens values(line);
        switch (section) {
        case Ranges: applyRanges(dialog, values); break;
        case Menus: applyMenus(dialog, values, reader, templateFlag); break;
        case Checks: {
            HWND control = field(dialog, values.nextInteger());
            const INTEGER state = values.nextInteger();
            if (control) SendMessageA(control, BM_SETCHECK, state == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        }
        case Tabs: applyTabs(dialog, values, reader); break;
        case Grids: applyGrids(dialog, values, reader); break;
        case Colours: applyColours(dialog, values); break;
        case Trackbars: applyTrackbars(dialog, values); break;
        case Lengths: applyLengths(dialog, values); break;
        case DialogLine: applyDialogLine(dialog, values); break;
        case Formats: applyFormats(dialog, values); break;
        case Treeviews: applyTreeviews(dialog, values); break;
        case Fonts: applyFonts(dialog, values); break;
        case Flags: applyFlags(dialog, values); break;
        case None: break;
        }
    }
}

void YYDialogApplyFieldTable(HWND dialog, INTEGER resourceId, INTEGER templateFlag)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!found) return;
    HGLOBAL loaded = LoadResource(instance, found);
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) return;
    YYDialogApplyFieldText(dialog, std::string_view(bytes, SizeofResource(instance, found)), templateFlag);
}
