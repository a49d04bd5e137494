#include "toolkit/dialogs/GridPrinting.h"

#include "toolkit/foundation/CommonControls.h"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <string>

#include "toolkit/dialogs/DialogRecords.h"
#include "toolkit/dialogs/GridCellValues.h"
#include "toolkit/dialogs/GridEditor.h"
#include "toolkit/dialogs/GridRecords.h"
#include "toolkit/dialogs/GridSelection.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WindowSlots.h"
#include "toolkit/graphics/ScreenDriver.h"

GridPrintSetupRecord& gridPrintSetup(INTEGER selector)
{
    static std::array<GridPrintSetupRecord, 2> records;
    return records[selector == 1 ? 0 : 1];
}

namespace {

bool printerKnown()
{
    const ScreenOutputHooks& hooks = screenOutputHooks();
    return hooks.printerAvailable && hooks.printerAvailable();
}

// The system's default printer without a dialog, asked only when a printer is known: without one
// the request waits on a box nobody sees.
void fetchDefaults(GridPrintSetupRecord& record)
{
    if (!printerKnown()) return;
    PAGESETUPDLGA setup{};
    setup.lStructSize = sizeof setup;
    setup.hwndOwner = windowSlotTable().Slots[0].Frame.get();
    setup.Flags = PSD_RETURNDEFAULT | PSD_NOWARNING;
    if (!PageSetupDlgA(&setup)) return;
    record.printerSettings = setup.hDevMode;
    record.printerNames = setup.hDevNames;
    record.page.units = (setup.Flags & PSD_INHUNDREDTHSOFMILLIMETERS) ? kMarginMillimetres : kMarginInches;
    record.page.left = setup.rtMargin.left;
    record.page.top = setup.rtMargin.top;
    record.page.right = setup.rtMargin.right;
    record.page.bottom = setup.rtMargin.bottom;
    record.page.paperWidth = setup.ptPaperSize.x;
    record.page.paperHeight = setup.ptPaperSize.y;
    if (GlobalLockGuard mode(record.printerSettings); mode.data())
        record.page.landscape = static_cast<const DEVMODEA*>(mode.data())->dmOrientation == DMORIENT_LANDSCAPE ? 1 : 0;
}

// A printer context from the record's names and settings; null when none can be made.
HDC printerContext(const GridPrintSetupRecord& record, bool informationOnly)
{
    if (!record.printerNames) return nullptr;
    GlobalLockGuard names(record.printerNames);
    GlobalLockGuard mode(record.printerSettings);
    const auto* n = static_cast<const DEVNAMES*>(names.data());
    if (!n) return nullptr;
    const char* base = reinterpret_cast<const char*>(n);
    const auto* settings = static_cast<const DEVMODEA*>(mode.data());
    return informationOnly ? CreateICA(base + n->wDriverOffset, base + n->wDeviceOffset, base + n->wOutputOffset, settings)
                           : CreateDCA(base + n->wDriverOffset, base + n->wDeviceOffset, base + n->wOutputOffset, settings);
}

COLORREF toColour(INTEGER packed) { return RGB(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF); }

INTEGER textWidth(HDC dc, const std::string& text)
{
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void line(HDC dc, INTEGER x1, INTEGER y1, INTEGER x2, INTEGER y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

std::string headerText(GridRecord& g, INTEGER item)
{
    std::string text;
    if (!g.columnHeader) return text;
    char buffer[256] = {};
    HDITEMA header{};
    header.mask = HDI_TEXT;
    header.pszText = buffer;
    header.cchTextMax = sizeof buffer;
    if (SendMessageA(g.columnHeader, HDM_GETITEMA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&header))) text = buffer;
    return text;
}

struct Metrics {
    INTEGER T = 0, H = 0, R = 0, average = 0;
};

}  // namespace

void YYGridPrintDefaults()
{
    GridPrintSetupRecord& first = gridPrintSetup(1);
    if (first.filled) return;
    first.filled = true;
    fetchDefaults(first);
    first.scale = 100;
    first.rowLines = first.columnLines = first.everyPage = 1;
    first.textColours = first.backColours = 0;
    if (MemoryDcHandle ic(printerContext(first, true)); ic) {
        const bool colour = GetDeviceCaps(ic.get(), NUMCOLORS) != 2;
        first.textColours = first.backColours = colour ? 1 : 0;
    }
    GridPrintSetupRecord& second = gridPrintSetup(2);
    second.filled = true;
    fetchDefaults(second);
    second.scale = 100;
    second.rowLines = second.columnLines = second.everyPage = 1;
    second.textColours = first.textColours;
    second.backColours = first.backColours;
}

void YYGridGetPrintOptions(INTEGER& rowLines, INTEGER& columnLines, INTEGER& everyPage, INTEGER& textColours,
                           INTEGER& backColours, INTEGER& scale, INTEGER selector)
{
    YYGridPrintDefaults();
    const GridPrintSetupRecord& r = gridPrintSetup(selector);
    rowLines = r.rowLines;
    columnLines = r.columnLines;
    everyPage = r.everyPage;
    textColours = r.textColours;
    backColours = r.backColours;
    scale = r.scale;
}

void YYGridSetPrintOptions(INTEGER rowLines, INTEGER columnLines, INTEGER everyPage, INTEGER textColours,
                           INTEGER backColours, INTEGER scale, INTEGER selector)
{
    GridPrintSetupRecord& r = gridPrintSetup(selector);
    r.rowLines = rowLines == 1;
    r.columnLines = columnLines == 1;
    r.everyPage = everyPage == 1;
    r.textColours = textColours == 1;
    r.backColours = backColours == 1;
    r.scale = scale;
}

void YYGridGetPage(INTEGER code, INTEGER& value, INTEGER selector)
{
    YYGridPrintDefaults();
    GridPrintSetupRecord& r = gridPrintSetup(selector);
    if (code == 5 && r.printerSettings) {
        GlobalLockGuard mode(r.printerSettings);
        if (const auto* m = static_cast<const DEVMODEA*>(mode.data())) r.page.landscape = m->dmOrientation == DMORIENT_LANDSCAPE;
    }
    value = YYGridPageGet(r.page, code);
}

void YYGridSetPage(INTEGER code, INTEGER value, INTEGER selector)
{
    YYGridPrintDefaults();
    GridPrintSetupRecord& r = gridPrintSetup(selector);
    YYGridPageSet(r.page, code, value);
    if (code == 5 && r.printerSettings) {
        GlobalLockGuard mode(r.printerSettings);
        if (auto* m = static_cast<DEVMODEA*>(mode.data()))
            m->dmOrientation = static_cast<short>(r.page.landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    }
}

void YYGridPageSetup(INTEGER units, INTEGER selector)
{
    YYGridPrintDefaults();
    GridPrintSetupRecord& r = gridPrintSetup(selector);
    INTEGER wanted = kMarginInches;
    if (units == -1) {
        DWORD system = 0;
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE | LOCALE_RETURN_NUMBER, reinterpret_cast<LPSTR>(&system),
                       sizeof system);
        wanted = system == 1 ? kMarginInches : kMarginMillimetres;
    } else {
        wanted = units < 2 ? kMarginInches : kMarginMillimetres;
    }
    YYGridMarginsToUnits(r.page, wanted);
    if (!printerKnown()) return;
    PAGESETUPDLGA setup{};
    setup.lStructSize = sizeof setup;
    setup.hwndOwner = dialogManagerState().currentModeless;
    setup.hDevMode = r.printerSettings;
    setup.hDevNames = r.printerNames;
    setup.Flags = PSD_MARGINS | PSD_NOWARNING |
                  (wanted == kMarginInches ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS);
    setup.rtMargin = RECT{r.page.left, r.page.top, r.page.right, r.page.bottom};
    if (!PageSetupDlgA(&setup)) return;
    r.printerSettings = setup.hDevMode;
    r.printerNames = setup.hDevNames;
    r.page.left = setup.rtMargin.left;
    r.page.top = setup.rtMargin.top;
    r.page.right = setup.rtMargin.right;
    r.page.bottom = setup.rtMargin.bottom;
    r.page.paperWidth = setup.ptPaperSize.x;
    r.page.paperHeight = setup.ptPaperSize.y;
}

INTEGER YYGridPrintPage(GridRecord& g, INTEGER firstRowOfRange, INTEGER firstRow, INTEGER lastRow, INTEGER x,
                        INTEGER rowHeight, INTEGER textHeight, INTEGER averageWidth, HDC target, HDC screen,
                        const GridPrintJob& job, const GridPrintSetupRecord& setup, bool headerShown)
{
    (void)firstRowOfRange;
    const INTEGER H = textHeight * 3 / 2;
    const bool labels = g.hasStyle(kGridRowLabels);
    const INTEGER oldX = x;
    INTEGER bottom = job.page.top + (headerShown ? H : 0) + (lastRow - firstRow + 1) * rowHeight +
                     (setup.rowLines ? 0 : textHeight / 2);
    const std::string corner = headerShown ? headerText(g, 0) : std::string();
    if (labels) {
        SetBkMode(target, TRANSPARENT);
        SetTextColor(target, RGB(0, 0, 0));
        SetTextAlign(target, TA_LEFT | TA_TOP);
        INTEGER y = job.page.top + textHeight / 4;
        const INTEGER screenX = std::max(1, GetDeviceCaps(screen, LOGPIXELSX));
        INTEGER width = g.labelWidth * job.pixelsX * setup.scale / (screenX * 100);
        if (!corner.empty()) width = std::max(width, textWidth(target, corner) + averageWidth);
        if (g.rowLabels)
            for (const std::string& label : *g.rowLabels)
                width = std::max(width, textWidth(target, label.substr(0, 50)) + averageWidth);
        if (headerShown) {
            TextOutA(target, x + averageWidth / 2, y, corner.c_str(), static_cast<int>(corner.size()));
            y += H;
        }
        for (INTEGER row = firstRow; row <= lastRow; ++row, y += rowHeight) {
            std::string label;
            if (g.rowLabels && row < static_cast<INTEGER>(g.rowLabels->size())) label = (*g.rowLabels)[static_cast<std::size_t>(row)];
            TextOutA(target, x + averageWidth / 2, y, label.c_str(), static_cast<int>(label.size()));
        }
        x += width;
    }
    if (labels || setup.columnLines) {
        line(target, oldX, job.page.top + (headerShown && corner.empty() ? H : 0), oldX, bottom);
        line(target, x, job.page.top, x, bottom);
    }
    return x;
}

void YYGridPrintLayout(GridRecord& g, HDC dc, HDC screen, GridPrintJob& job, const GridPrintSetupRecord& setup,
                       bool (*startPage)(HDC), void (*endPage)(HDC))
{
    DcSelection font(dc, job.font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    Metrics m;
    m.T = tm.tmHeight;
    m.H = m.T * 3 / 2;
    m.R = setup.rowLines ? m.H : m.T;
    m.average = tm.tmAveCharWidth;
    const bool header = g.hasStyle(kGridColumnHeader);
    INTEGER perPage = YYGridRowsPerPage(job.page.bottom - job.page.top, m.R, header);
    const INTEGER screenX = std::max(1, GetDeviceCaps(screen, LOGPIXELSX));
    const FieldRecord* gridField = YYFieldRecordOf(g.window);
    auto begin = [&] {
        ++job.pages;
        if (startPage) startPage(dc);
        SelectObject(dc, job.font);
        SetTextColor(dc, RGB(0, 0, 0));
        SetTextAlign(dc, TA_LEFT | TA_TOP);
    };
    auto finish = [&](INTEGER x, INTEGER rows, bool headerShown, bool labelsPrinted, INTEGER labelRight) {
        const INTEGER top = job.page.top, left = job.page.left;
        if (headerShown) {
            if (!headerText(g, 0).empty()) line(dc, left, top, labelRight, top);
            line(dc, left, top + m.H, x, top + m.H);
        }
        line(dc, labelsPrinted ? labelRight : left, top, x, top);
        const INTEGER y0 = top + (headerShown ? m.H : 0);
        if (setup.rowLines) {
            for (INTEGER k = 1; k <= rows; ++k) line(dc, left, y0 + k * m.R, x, y0 + k * m.R);
        } else {
            line(dc, left, y0 + rows * m.R + m.T / 2, x, y0 + rows * m.R + m.T / 2);
        }
        if (endPage) endPage(dc);
    };
    bool firstPage = true;
    for (INTEGER blockStart = job.firstRow; blockStart <= job.lastRow;) {
        const INTEGER blockEnd = std::min(job.lastRow, blockStart + perPage - 1);
        const INTEGER rows = blockEnd - blockStart + 1;
        const bool headerShown = header && (setup.everyPage || blockStart == job.firstRow);
        begin();
        INTEGER x = job.page.left;
        x = YYGridPrintPage(g, job.firstRow, blockStart, blockEnd, x, m.R, m.T, m.average, dc, screen, job, setup, headerShown);
        INTEGER labelRight = x;
        bool labelsPrinted = true;
        bool firstOnPage = true;
        const INTEGER blockBottom = job.page.top + (headerShown ? m.H : 0) + rows * m.R + (setup.rowLines ? 0 : m.T / 2);
        for (INTEGER c = job.firstColumn; c <= job.lastColumn; ++c) {
            GridColumnRecord* col = g.column(c);
            if (!col) break;
            INTEGER W = col->width * job.pixelsX * setup.scale / (screenX * 100);
            for (INTEGER row = job.firstRow; row <= job.lastRow; ++row) {
                std::string text;
                YYGridCellText(g, c, row, text, 2);
                W = std::max(W, textWidth(dc, text) + m.average);
            }
            if (firstOnPage && x + W > job.page.right) W = job.page.right - x;
            if (!firstOnPage && x + W > job.page.right) {
                if (!setup.columnLines) line(dc, x, job.page.top, x, blockBottom);
                finish(x, rows, headerShown, labelsPrinted && (setup.everyPage || firstPage), labelRight);
                firstPage = false;
                begin();
                x = job.page.left;
                labelsPrinted = setup.everyPage != 0;
                if (setup.everyPage) x = YYGridPrintPage(g, job.firstRow, blockStart, blockEnd, x, m.R, m.T, m.average, dc, screen, job, setup, headerShown);
                else line(dc, x, job.page.top, x, blockBottom);
                labelRight = x;
                if (x + W > job.page.right) W = job.page.right - x;
            }
            firstOnPage = false;
            INTEGER y = job.page.top + m.T / 4;
            if (headerShown) {
                const std::string title = headerText(g, c + 1);
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, RGB(0, 0, 0));
                SetTextAlign(dc, TA_CENTER | TA_TOP);
                TextOutA(dc, x + W / 2, y, title.c_str(), static_cast<int>(title.size()));
                y += m.H;
            }
            UINT align = TA_LEFT;
            INTEGER tx = x + m.average / 2;
            const LONG protoStyle = col->prototype ? GetWindowLongA(col->prototype, GWL_STYLE) : 0;
            if (col->kind == kCellCheckBox || (col->kind <= kCellDouble && (protoStyle & ES_CENTER))) {
                align = TA_CENTER;
                tx = x + W / 2;
            } else if (col->kind <= kCellDouble && (protoStyle & ES_RIGHT)) {
                align = TA_RIGHT;
                tx = x + W - m.average / 2;
            }
            SetTextAlign(dc, align | TA_TOP);
            const FieldRecord* proto = col->prototype ? YYFieldRecordOf(col->prototype) : nullptr;
            auto pick = [&](INTEGER cell, INTEGER protoColour, INTEGER gridColour, bool perCell) {
                if (perCell && cell >= 0) return cell;
                if (!perCell && protoColour >= 0) return protoColour;
                return gridColour;
            };
            const bool perCell = !col->colours.empty();
            for (INTEGER row = blockStart; row <= blockEnd; ++row, y += m.R) {
                std::string text;
                YYGridCellText(g, c, row, text, col->kind == kCellCheckBox ? 1 : 2);
                const INTEGER fore = pick(perCell ? col->textColour(row) : -1, proto ? proto->textColour : -1,
                                          gridField ? gridField->textColour : -1, perCell);
                const INTEGER back = pick(perCell ? col->backColour(row) : -1, proto ? proto->backColour : -1,
                                          gridField ? gridField->backColour : -1, perCell);
                SetTextColor(dc, setup.textColours && fore >= 0 ? toColour(fore) : RGB(0, 0, 0));
                if (setup.backColours && back >= 0) {
                    SetBkMode(dc, OPAQUE);
                    SetBkColor(dc, toColour(back));
                } else {
                    SetBkMode(dc, TRANSPARENT);
                }
                RECT clip{x + 1, y, x + W + 1, y + m.R};
                if (setup.rowLines) clip.top -= m.T / 4;
                else {
                    if (row == blockStart) clip.top -= m.T / 4;
                    if (row == blockEnd) clip.bottom += m.T / 4;
                }
                HGDIOBJ before = nullptr;
                if (col->kind == kCellCheckBox && job.symbolFont) before = SelectObject(dc, job.symbolFont);
                ExtTextOutA(dc, tx, y, ETO_CLIPPED | (setup.backColours && back >= 0 ? ETO_OPAQUE : 0), &clip, text.c_str(),
                            static_cast<UINT>(text.size()), nullptr);
                if (before) SelectObject(dc, before);
            }
            x += W;
            if (setup.columnLines || c == job.lastColumn) line(dc, x, job.page.top, x, blockBottom);
        }
        finish(x, rows, headerShown, labelsPrinted && (setup.everyPage || firstPage), labelRight);
        firstPage = false;
        if (blockStart == job.firstRow && !setup.everyPage && header) ++perPage;
        blockStart = blockEnd + 1;
    }
}

void YYGridPrint(INTEGER field, INTEGER& result, INTEGER firstRow, INTEGER lastRow, INTEGER firstColumn,
                 INTEGER lastColumn, INTEGER selector, std::string_view title)
{
    result = 0;
    GridRecord* g = YYGridFind(field);
    if (!g) return;
    YYGridPrintDefaults();
    GridPrintSetupRecord& setup = gridPrintSetup(selector);
    MemoryDcHandle printerDc(printerContext(setup, false));
    if (!printerDc) return;
    HDC printer = printerDc.get();
    WindowDc screen(g->window);
    LOGFONTA metrics{};
    TEXTMETRICA tm{};
    {
        DcSelection selected(screen.get(), g->font);
        GetTextMetricsA(screen.get(), &tm);
    }
    GetObjectA(g->font ? static_cast<HGDIOBJ>(g->font) : GetStockObject(DEFAULT_GUI_FONT), sizeof metrics, &metrics);
    GridPrintJob job;
    job.firstRow = firstRow;
    job.lastRow = lastRow;
    job.firstColumn = firstColumn;
    job.lastColumn = lastColumn;
    job.pixelsX = GetDeviceCaps(printer, LOGPIXELSX);
    job.pixelsY = GetDeviceCaps(printer, LOGPIXELSY);
    const INTEGER screenY = std::max(1, GetDeviceCaps(screen.get(), LOGPIXELSY));
    metrics.lfHeight = (tm.tmHeight - tm.tmInternalLeading) * job.pixelsY * setup.scale / (screenY * 100);
    metrics.lfWidth = metrics.lfEscapement = metrics.lfOrientation = 0;
    metrics.lfOutPrecision = OUT_TT_PRECIS;
    GdiObjectHandle font(CreateFontIndirectA(&metrics));
    LOGFONTA symbol = metrics;
    symbol.lfCharSet = SYMBOL_CHARSET;
    symbol.lfPitchAndFamily = 0;
    lstrcpynA(symbol.lfFaceName, "Wingdings", LF_FACESIZE);
    GdiObjectHandle symbolFont(CreateFontIndirectA(&symbol));
    job.font = static_cast<HFONT>(font.get());
    job.symbolFont = static_cast<HFONT>(symbolFont.get());
    const INTEGER U = YYGridUnitsPerInch(setup.page.units);
    job.page.left = setup.page.left * job.pixelsX / U;
    job.page.right = (setup.page.paperWidth - setup.page.right) * job.pixelsX / U;
    job.page.top = setup.page.top * job.pixelsY / U;
    job.page.bottom = (setup.page.paperHeight - setup.page.bottom) * job.pixelsY / U;
    std::string name;
    if (selector == 1) {
        name = std::string(title);
    } else {
        HWND frame = GetParent(g->window);
        if (const GridEditorRecord* editor = YYGridEditorRecord(frame)) name = editor->fileName.data();
    }
    if (name.empty()) name = "Untitled Grid";
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = name.c_str();
    if (StartDocA(printer, &doc) > 0) {
        YYGridPrintLayout(*g, printer, screen.get(), job, setup, [](HDC dc) { return StartPage(dc) > 0; },
                          [](HDC dc) { EndPage(dc); });
        EndDoc(printer);
    }
    result = 1;
}
