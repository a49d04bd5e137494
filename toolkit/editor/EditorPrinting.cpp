#include "toolkit/editor/EditorPrinting.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "toolkit/editor/EditorText.h"
#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/CommonControls.h"
#include "toolkit/foundation/CommonDialogs.h"
#include "toolkit/foundation/MessageBoxes.h"
#include "toolkit/foundation/WindowServices.h"
#include "toolkit/foundation/WindowSlots.h"

#include <winspool.h>

EditorPageSetupTable& editorPageSetupTable()
{
    static EditorPageSetupTable table;
    return table;
}

EditorPrintHooks& editorPrintHooks()
{
    static EditorPrintHooks hooks;
    return hooks;
}

namespace {

// Without a printer there is nothing to set up, and the system's page set-up would show a box of
// its own: nothing is asked at all.
bool anyPrinter()
{
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    return needed > 0;
}

DWORD localeUnitsFlag()
{
    INTEGER measure = 0;
    YYMeasureSystem(measure);
    return measure == 1 ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS;
}

constexpr DWORD kUnitFlags = PSD_INTHOUSANDTHSOFINCHES | PSD_INHUNDREDTHSOFMILLIMETERS;

// The record takes the entry's kept printer blocks; the dialog may hand back others, which the
// entry then keeps (the system freed the ones it replaced).
void adoptBlocks(EditorPageSetupEntry& e)
{
    if (e.Record.hDevMode != e.DeviceMode.get()) {
        e.DeviceMode.release();
        e.DeviceMode.reset(e.Record.hDevMode);
    }
    if (e.Record.hDevNames != e.DeviceNames.get()) {
        e.DeviceNames.release();
        e.DeviceNames.reset(e.Record.hDevNames);
    }
}

void fillRecord(EditorPageSetupEntry& e, HWND owner)
{
    e.Record.lStructSize = sizeof e.Record;
    e.Record.hwndOwner = owner;
    e.Record.hDevMode = e.DeviceMode.get();
    e.Record.hDevNames = e.DeviceNames.get();
    e.Record.hInstance = GetModuleHandleA(nullptr);
    e.Record.lpfnPageSetupHook = nullptr;
    e.Record.lpfnPagePaintHook = nullptr;
    e.Record.lpPageSetupTemplateName = nullptr;
    e.Record.hPageSetupTemplate = nullptr;
}

EditorPageSetupEntry* entryOf(INTEGER entry)
{
    if (entry < 0 || entry > 1) return nullptr;
    YYEditorPageSetupInit();
    return &editorPageSetupTable().Entries[static_cast<std::size_t>(entry)];
}

MemoryDcHandle printerContext(const EditorPageSetupEntry& e)
{
    GlobalLockGuard names(e.DeviceNames.get());
    const auto* n = static_cast<const DEVNAMES*>(names.data());
    if (!n) return {};
    const char* base = reinterpret_cast<const char*>(n);
    GlobalLockGuard mode(e.DeviceMode.get());
    return MemoryDcHandle(CreateDCA(base + n->wDriverOffset, base + n->wDeviceOffset, base + n->wOutputOffset,
                                    static_cast<const DEVMODEA*>(mode.data())));
}

void storeMinimumMargins(EditorPageSetupEntry& e, HDC dc)
{
    const INTEGER u = YYEditorPageUnits(e);
    const int dpiX = std::max(GetDeviceCaps(dc, LOGPIXELSX), 1), dpiY = std::max(GetDeviceCaps(dc, LOGPIXELSY), 1);
    const int offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    const int left = offX, top = offY;
    const int right = GetDeviceCaps(dc, PHYSICALWIDTH) - (offX + GetDeviceCaps(dc, HORZRES));
    const int bottom = GetDeviceCaps(dc, PHYSICALHEIGHT) - (offY + GetDeviceCaps(dc, VERTRES));
    e.Record.rtMinMargin = RECT{left * u / dpiX, top * u / dpiY, right * u / dpiX, bottom * u / dpiY};
}

// The printer settings' orientation: 1 landscape, 0 portrait, -1 when there are no settings.
INTEGER orientationOf(const EditorPageSetupEntry& e)
{
    GlobalLockGuard lock(e.DeviceMode.get());
    const auto* mode = static_cast<const DEVMODEA*>(lock.data());
    if (!mode) return -1;
    return mode->dmOrientation == DMORIENT_LANDSCAPE ? 1 : 0;
}

// The failure of the editor's own Print commands, told to the user; a program's print hears of it
// through its result.
void printFailed(HWND window, INTEGER entry)
{
    if (entry == 1) MessageBoxA(window, "Unable to print text", "Print Error", MB_OK | MB_ICONEXCLAMATION);
}

// A job the printer refused part of is dropped whole: half a document is no print.
template <class GiveUp>
INTEGER abandon(HWND window, INTEGER entry, HDC printer, GiveUp giveUp)
{
    AbortDoc(printer);
    printFailed(window, entry);
    return giveUp();
}

INTEGER renderWithControl(EditorWindowRecord& record, HDC printer, const RECT& twips, INTEGER first, INTEGER last)
{
    FORMATRANGE range{};
    range.hdc = printer;
    range.hdcTarget = printer;
    range.rc = twips;
    const int w = GetDeviceCaps(printer, PHYSICALWIDTH), h = GetDeviceCaps(printer, PHYSICALHEIGHT);
    range.rcPage = RECT{0, 0, MulDiv(w, 1440, std::max(GetDeviceCaps(printer, LOGPIXELSX), 1)),
                        MulDiv(h, 1440, std::max(GetDeviceCaps(printer, LOGPIXELSY), 1))};
    range.chrg.cpMin = first;
    range.chrg.cpMax = last;
    auto next = static_cast<INTEGER>(SendMessageA(record.RichEdit, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range)));
    SendMessageA(record.RichEdit, EM_FORMATRANGE, FALSE, 0);  // frees the control's cached page
    // A control that renders nothing (Wine's answers 0) leaves the page to the plain renderer.
    if (next <= first) next = YYEditorRenderPlainPage(record, printer, twips, first, last);
    return next;
}

}  // namespace

INTEGER YYEditorPageUnits(const EditorPageSetupEntry& entry)
{
    return (entry.Record.Flags & PSD_INHUNDREDTHSOFMILLIMETERS) ? 2540 : 1000;
}

INTEGER YYEditorConvertUnits(INTEGER value, INTEGER fromUnits, INTEGER toUnits)
{
    if (fromUnits == toUnits || fromUnits <= 0) return value;
    // Exact and rounded: a length switched there and back comes back as it was.
    return static_cast<INTEGER>(std::lround(static_cast<double>(value) * toUnits / fromUnits));
}

RECT YYEditorTextRectangle(const PAGESETUPDLGA& r, INTEGER units)
{
    const RECT& m = r.rtMargin;
    const RECT& low = r.rtMinMargin;
    const LONG left = std::max(m.left, low.left), top = std::max(m.top, low.top);
    const LONG right = std::max(m.right, low.right), bottom = std::max(m.bottom, low.bottom);
    // Device coordinates start at the unprintable left and top edges.
    auto twips = [units](LONG v) { return static_cast<LONG>(static_cast<long long>(v) * 1440 / units); };
    return RECT{twips(left - low.left), twips(top - low.top), twips(r.ptPaperSize.x - right - low.left),
                twips(r.ptPaperSize.y - bottom - low.top)};
}

void YYEditorPageSetupInit()
{
    EditorPageSetupTable& table = editorPageSetupTable();
    if (table.Initialised) return;
    table.Initialised = true;
    HWND main = windowSlotTable().Slots[0].Frame.get();
    const bool printer = anyPrinter();
    for (EditorPageSetupEntry& e : table.Entries) {
        e.Record = PAGESETUPDLGA{};
        fillRecord(e, main);
        const DWORD units = localeUnitsFlag();
        // No warning: a missing printer is not the user's business here.
        e.Record.Flags = PSD_RETURNDEFAULT | PSD_NOWARNING | units;
        if (printer && PageSetupDlgA(&e.Record)) {
            e.DeviceMode.reset(e.Record.hDevMode);
            e.DeviceNames.reset(e.Record.hDevNames);
        }
        e.Record.hDevMode = e.DeviceMode.get();
        e.Record.hDevNames = e.DeviceNames.get();
        e.Record.Flags = units;
    }
}

void YYEditorPageSetupDialog(INTEGER units, INTEGER entry, INTEGER& result)
{
    result = 0;
    EditorPageSetupEntry* e = entryOf(entry);
    if (!e) return;
    const INTEGER oldUnits = YYEditorPageUnits(*e);
    const DWORD flag = units == -1 ? localeUnitsFlag() : units <= 1 ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS;
    e->Record.Flags = flag;
    const INTEGER newUnits = YYEditorPageUnits(*e);
    if (newUnits != oldUnits) {
        RECT& m = e->Record.rtMargin;
        for (LONG* v : {&m.left, &m.top, &m.right, &m.bottom, &e->Record.ptPaperSize.x, &e->Record.ptPaperSize.y})
            *v = YYEditorConvertUnits(*v, oldUnits, newUnits);
    }
    if (!anyPrinter()) return;
    BOOL ok = FALSE;
    YYModalSystemDialog([&](HWND owner) {
        fillRecord(*e, owner);
        e->Record.Flags = flag | PSD_MARGINS | PSD_NOWARNING;
        ok = PageSetupDlgA(&e->Record);
        adoptBlocks(*e);
    });
    e->Record.Flags = flag;
    if (!ok) return;
    result = 1;
    if (MemoryDcHandle dc = printerContext(*e)) storeMinimumMargins(*e, dc.get());
}

void WPageSetupGetMargins(INTEGER item, INTEGER& value, INTEGER entry)
{
    EditorPageSetupEntry* e = entryOf(entry);
    if (!e) return;
    const PAGESETUPDLGA& r = e->Record;
    const INTEGER u = YYEditorPageUnits(*e);
    long long v = 0;
    switch (item) {
    case 1: v = r.ptPaperSize.x - r.rtMargin.left - r.rtMargin.right; break;
    case 2: v = r.ptPaperSize.y - r.rtMargin.top - r.rtMargin.bottom; break;
    case 3: v = r.rtMargin.left; break;
    case 4: v = r.rtMargin.top; break;
    case 5: {
        const INTEGER o = orientationOf(*e);
        value = o >= 0 ? o : (r.ptPaperSize.x > r.ptPaperSize.y ? 1 : 0);
        return;
    }
    default: value = 0; return;
    }
    value = static_cast<INTEGER>(v * 72 / u);
}

void WPageSetupSetMargins(INTEGER item, INTEGER value, INTEGER entry)
{
    EditorPageSetupEntry* e = entryOf(entry);
    if (!e) return;
    PAGESETUPDLGA& r = e->Record;
    const INTEGER u = YYEditorPageUnits(*e);
    const auto c = static_cast<LONG>(static_cast<long long>(value) * u / 72);
    switch (item) {
    case 1: r.rtMargin.right = r.ptPaperSize.x - r.rtMargin.left - c; return;
    case 2: r.rtMargin.bottom = r.ptPaperSize.y - r.rtMargin.top - c; return;
    case 3: r.rtMargin.left = c; return;
    case 4: r.rtMargin.top = c; return;
    case 5: break;
    default: return;
    }
    if (value < 0 || value > 3) return;
    const INTEGER landscape = value % 2;
    INTEGER now = orientationOf(*e);
    if (now < 0) now = r.ptPaperSize.x > r.ptPaperSize.y ? 1 : 0;
    if (now != landscape) {
        std::swap(r.ptPaperSize.x, r.ptPaperSize.y);
        GlobalLockGuard lock(e->DeviceMode.get());
        if (auto* mode = static_cast<DEVMODEA*>(lock.data())) mode->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    }
    const LONG w = r.ptPaperSize.x - r.rtMargin.left - r.rtMargin.right;
    const LONG h = r.ptPaperSize.y - r.rtMargin.top - r.rtMargin.bottom;
    if ((value == 2 && w > h) || (value == 3 && w < h)) {
        r.rtMargin.right = r.ptPaperSize.x - r.rtMargin.left - h;
        r.rtMargin.bottom = r.ptPaperSize.y - r.rtMargin.top - w;
    }
}

INTEGER YYEditorRenderPlainPage(EditorWindowRecord& record, HDC printer, const RECT& twips, INTEGER first, INTEGER last)
{
    if (last <= first) return first;
    const int dpiX = std::max(GetDeviceCaps(printer, LOGPIXELSX), 1), dpiY = std::max(GetDeviceCaps(printer, LOGPIXELSY), 1);
    const RECT area{MulDiv(twips.left, dpiX, 1440), MulDiv(twips.top, dpiY, 1440), MulDiv(twips.right, dpiX, 1440),
                    MulDiv(twips.bottom, dpiY, 1440)};
    if (area.right <= area.left || area.bottom <= area.top) return first;
    std::string text(static_cast<std::size_t>(last - first) + 1, '\0');
    TEXTRANGEA ask{{first, last}, text.data()};
    const auto got = static_cast<INTEGER>(SendMessageA(record.RichEdit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&ask)));
    text.resize(static_cast<std::size_t>(std::clamp<INTEGER>(got, 0, last - first)));
    // The editor font at the printer's resolution.
    LOGFONTA face{};
    GetObjectA(record.Font ? static_cast<HGDIOBJ>(record.Font) : GetStockObject(SYSTEM_FONT), sizeof face, &face);
    {
        WindowDc screen(nullptr);
        const int screenDpi = std::max(GetDeviceCaps(screen.get(), LOGPIXELSY), 1);
        face.lfHeight = face.lfHeight ? MulDiv(face.lfHeight, dpiY, screenDpi) : -MulDiv(12, dpiY, 72);
        face.lfWidth = face.lfWidth ? MulDiv(face.lfWidth, dpiX, screenDpi) : 0;
    }
    GdiObjectHandle font(CreateFontIndirectA(&face));
    DcSelection selected(printer, font.get());
    TEXTMETRICA metrics{};
    GetTextMetricsA(printer, &metrics);
    const int lineHeight = std::max<int>(metrics.tmHeight + metrics.tmExternalLeading, 1);
    SetBkMode(printer, TRANSPARENT);
    SetTextColor(printer, RGB(0, 0, 0));
    const int width = area.right - area.left;
    std::size_t at = 0;
    int y = area.top;
    while (at < text.size() && y + lineHeight <= area.bottom) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        // The longest piece of the paragraph that fits, broken after a blank where there is one.
        std::size_t take = end - at;
        int fit = 0;
        SIZE size{};
        GetTextExtentExPointA(printer, text.data() + at, static_cast<int>(take), width, &fit, nullptr, &size);
        std::size_t next;
        if (static_cast<std::size_t>(fit) < take) {
            std::size_t cut = static_cast<std::size_t>(std::max(fit, 1));
            const std::size_t blank = text.rfind(' ', at + cut - 1);
            if (fit > 0 && blank != std::string::npos && blank > at) cut = blank - at + 1;
            take = cut;
            next = at + cut;
        } else {
            next = end;
            if (next < text.size() && text[next] == '\r') ++next;
            if (next < text.size() && text[next] == '\n') ++next;
        }
        std::size_t shown = take;
        while (shown > 0 && text[at + shown - 1] == ' ') --shown;
        if (shown > 0) TextOutA(printer, area.left, y, text.data() + at, static_cast<int>(shown));
        y += lineHeight;
        at = next;
    }
    return first + static_cast<INTEGER>(at);
}

INTEGER YYEditorPrint(HWND window, EditorWindowRecord& record, INTEGER rangeFlag, INTEGER entry, INTEGER start,
                      INTEGER end, const std::string& title)
{
    EditorPageSetupEntry* e = entryOf(entry);
    if (!e) return 0;
    auto giveUp = [&] {
        if (entry == 1 && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
            SetFocus(window);
            YYWindowActivate(window);
        }
        return 0;
    };
    const DWORD units = e->Record.Flags & kUnitFlags;
    fillRecord(*e, window);
    e->Record.Flags = units | PSD_MARGINS | PSD_NOWARNING;
    if (entry == 1) {
        // Without a printer there is nothing to choose: Print ends as if cancelled.
        if (!anyPrinter()) {
            e->Record.Flags = units;
            return giveUp();
        }
        const BOOL ok = PageSetupDlgA(&e->Record);
        adoptBlocks(*e);
        if (!ok) {
            e->Record.Flags = units;
            return giveUp();
        }
    }
    e->Record.Flags = units;
    MemoryDcHandle dc = editorPrintHooks().createContext ? editorPrintHooks().createContext(*e) : printerContext(*e);
    if (!dc) {
        printFailed(window, entry);
        return giveUp();
    }
    const INTEGER u = YYEditorPageUnits(*e);
    storeMinimumMargins(*e, dc.get());
    const RECT twips = YYEditorTextRectangle(e->Record, u);
    INTEGER first = 0, last = 0;
    if (rangeFlag == 0) {
        last = YYEditorControlLength(record);  // characters, not display rows: the whole text
    } else if (entry == 1) {
        CHARRANGE selection{};
        SendMessageA(record.RichEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        first = selection.cpMin;
        last = selection.cpMax;
    } else {
        first = start;
        last = end;
    }
    last = std::min(last, YYEditorControlLength(record));
    // Nothing to print starts no job: some printers would put out a blank sheet.
    if (first >= last) return giveUp();
    std::string name = entry == 1 ? std::string(record.path()) : title;
    if (name.empty()) name = "Untitled Text";
    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = name.c_str();
    const EditorPrintHooks& hooks = editorPrintHooks();
    if (StartDocA(dc.get(), &document) <= 0) {
        // A cancelled print-to-file name is the user's choice, not a failure.
        if (GetLastError() != ERROR_CANCELLED) printFailed(window, entry);
        return giveUp();
    }
    auto render = hooks.renderPage ? hooks.renderPage : &renderWithControl;
    // The system's calls are stdcall on 32-bit Windows: plain functions stand in for them.
    using PrinterCall = int (*)(HDC);
    const PrinterCall startPage = hooks.startPage ? hooks.startPage : [](HDC dc) { return StartPage(dc); };
    const PrinterCall endPage = hooks.endPage ? hooks.endPage : [](HDC dc) { return EndPage(dc); };
    const PrinterCall endDoc = hooks.endDoc ? hooks.endDoc : [](HDC dc) { return EndDoc(dc); };
    while (first < last) {
        if (startPage(dc.get()) <= 0) return abandon(window, entry, dc.get(), giveUp);
        const INTEGER next = render(record, dc.get(), twips, first, last);
        if (endPage(dc.get()) <= 0) return abandon(window, entry, dc.get(), giveUp);
        if (next <= first) break;  // a page that takes nothing would be followed by endless empty ones
        first = next;
    }
    if (endDoc(dc.get()) <= 0) return abandon(window, entry, dc.get(), giveUp);
    return 1;
}
