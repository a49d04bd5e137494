#include "toolkit/editor/EditorFormatting.h"

#include <cstring>

#include "toolkit/editor/EditorCommands.h"
#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/CommonControls.h"

#include <commdlg.h>

namespace {

CHARFORMATA selectionFormat(const EditorWindowRecord& record)
{
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(record.RichEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

PARAFORMAT2 selectionParagraph(const EditorWindowRecord& record)
{
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    SendMessageA(record.RichEdit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

bool selectionEmpty(const EditorWindowRecord& record)
{
    CHARRANGE range{};
    SendMessageA(record.RichEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMin == range.cpMax;
}

// A format change is reported as a text change, which empties the position cache; formats move
// no character, so the cache is put back.
void applyCharFormat(EditorWindowRecord& record, CHARFORMATA& format)
{
    const auto cache = record.PositionCache;
    const WPARAM scope = selectionEmpty(record) ? (SCF_SELECTION | SCF_WORD) : SCF_SELECTION;
    SendMessageA(record.RichEdit, EM_SETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&format));
    record.PositionCache = cache;
}

void applyParagraph(EditorWindowRecord& record, PARAFORMAT2& format)
{
    const auto cache = record.PositionCache;
    SendMessageA(record.RichEdit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    record.PositionCache = cache;
}

}  // namespace

bool YYEditorSelectionEditable(const EditorWindowRecord& record)
{
    const CHARFORMATA format = selectionFormat(record);
    return (format.dwMask & CFM_PROTECTED) && !(format.dwEffects & CFE_PROTECTED);
}

UINT_PTR CALLBACK YYEditorFontHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* choice = reinterpret_cast<const CHOOSEFONTA*>(lParam);
        // With the extended toolbar underline can be taken away here but not given.
        if (HWND underline = GetDlgItem(dialog, 1041)) EnableWindow(underline, choice && choice->lCustData != 0);
    }
    return 0;
}

void YYEditorFontDialog(HWND window, EditorWindowRecord& record)
{
    const CHARFORMATA format = selectionFormat(record);
    const auto uniform = [&](DWORD mask) { return (format.dwMask & mask) == mask; };
    LOGFONTA font{};
    CHOOSEFONTA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = window;
    choice.lpLogFont = &font;
    choice.Flags = 0x50141;
    if (!uniform(CFM_BOLD) || !uniform(CFM_ITALIC)) choice.Flags |= CF_NOSTYLESEL;
    if (!uniform(CFM_FACE)) choice.Flags |= CF_NOFACESEL;
    if (!uniform(CFM_SIZE)) choice.Flags |= CF_NOSIZESEL;
    choice.rgbColors = (uniform(CFM_COLOR) && !(format.dwEffects & CFE_AUTOCOLOR)) ? format.crTextColor
                                                                                 : GetSysColor(COLOR_WINDOWTEXT);
    choice.nFontType = REGULAR_FONTTYPE;
    if (record.Options.ExtendedToolbar) {
        choice.Flags |= CF_ENABLEHOOK;
        choice.lpfnHook = &YYEditorFontHook;
        choice.lCustData = (uniform(CFM_UNDERLINE) && (format.dwEffects & CFE_UNDERLINE)) ? 1 : 0;
    }
    {
        WindowDc dc(record.RichEdit);
        font.lfHeight = -MulDiv(format.yHeight / 20, GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
    }
    font.lfWeight = !uniform(CFM_BOLD) ? 0 : (format.dwEffects & CFE_BOLD) ? 700 : 400;
    font.lfItalic = uniform(CFM_ITALIC) && (format.dwEffects & CFE_ITALIC);
    font.lfUnderline = uniform(CFM_UNDERLINE) && (format.dwEffects & CFE_UNDERLINE);
    font.lfStrikeOut = uniform(CFM_STRIKEOUT) && (format.dwEffects & CFE_STRIKEOUT);
    font.lfCharSet = format.bCharSet;
    font.lfPitchAndFamily = format.bPitchAndFamily;
    lstrcpynA(font.lfFaceName, format.szFaceName, LF_FACESIZE);
    if (!ChooseFontA(&choice)) return;
    CHARFORMATA chosen{};
    chosen.cbSize = sizeof chosen;
    chosen.dwMask = 0xE000000F;
    chosen.dwEffects = (font.lfWeight == 700 ? CFE_BOLD : 0) | (font.lfItalic ? CFE_ITALIC : 0) |
                       (font.lfStrikeOut ? CFE_STRIKEOUT : 0) | (font.lfUnderline ? CFE_UNDERLINE : 0);
    chosen.yHeight = choice.iPointSize * 2;
    chosen.crTextColor = choice.rgbColors;
    chosen.bCharSet = font.lfCharSet;
    chosen.bPitchAndFamily = font.lfPitchAndFamily;
    lstrcpynA(chosen.szFaceName, font.lfFaceName, LF_FACESIZE);
    applyCharFormat(record, chosen);
    YYEditorSyncFormatChecks(record);
}

void YYEditorToggleStyle(EditorWindowRecord& record, INTEGER command)
{
    const DWORD bit = command == kCmdBold ? CFE_BOLD : command == kCmdItalic ? CFE_ITALIC : CFE_UNDERLINE;
    const CHARFORMATA current = selectionFormat(record);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = bit;  // the mask and effect bits of these three coincide
    // Uniform: the opposite; mixed: on.
    format.dwEffects = (current.dwMask & bit) ? (current.dwEffects & bit) ^ bit : bit;
    applyCharFormat(record, format);
    YYEditorSyncFormatChecks(record);
}

void YYEditorToggleBullet(EditorWindowRecord& record)
{
    const PARAFORMAT2 current = selectionParagraph(record);
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_NUMBERING;
    format.wNumbering = ((current.dwMask & PFM_NUMBERING) && (current.wNumbering & 1)) ? 0 : PFN_BULLET;
    applyParagraph(record, format);
    YYEditorSyncFormatChecks(record);
}

void YYEditorAlign(EditorWindowRecord& record, INTEGER command)
{
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = command == kCmdAlignLeft ? PFA_LEFT : command == kCmdAlignCentre ? PFA_CENTER : PFA_RIGHT;
    applyParagraph(record, format);
    YYEditorSyncFormatChecks(record);
}

void YYEditorSyncFormatChecks(EditorWindowRecord& record)
{
    if (!record.Options.RichText || record.Options.ReadOnly || !record.RichEdit) return;
    const CHARFORMATA chars = selectionFormat(record);
    const PARAFORMAT2 para = selectionParagraph(record);
    const LPARAM base = YYEditorSelectionEditable(record) ? TBSTATE_ENABLED : 0;
    LPARAM bullets = base;
    if (para.wNumbering & 1) bullets |= TBSTATE_CHECKED;
    if (!(para.dwMask & PFM_NUMBERING)) bullets |= TBSTATE_INDETERMINATE;
    if (HWND bar = record.Toolbar) {
        const struct { INTEGER id; DWORD bit; } styles[] = {
            {kCmdBold, CFE_BOLD}, {kCmdItalic, CFE_ITALIC}, {kCmdUnderline, CFE_UNDERLINE}};
        for (const auto& s : styles) {
            LPARAM state = base;
            if (chars.dwEffects & s.bit) state |= TBSTATE_CHECKED;
            if (!(chars.dwMask & s.bit)) state |= TBSTATE_INDETERMINATE;
            SendMessageA(bar, TB_SETSTATE, static_cast<WPARAM>(s.id), state);
        }
        SendMessageA(bar, TB_SETSTATE, kCmdBullets, bullets);
        const bool uniformAlign = (para.dwMask & PFM_ALIGNMENT) != 0;
        for (INTEGER id : {kCmdAlignLeft, kCmdAlignCentre, kCmdAlignRight}) {
            LPARAM state = base | (uniformAlign ? 0 : TBSTATE_INDETERMINATE);
            const WORD align = id == kCmdAlignLeft ? PFA_LEFT : id == kCmdAlignCentre ? PFA_CENTER : PFA_RIGHT;
            if (uniformAlign && para.wAlignment == align) state |= TBSTATE_CHECKED;
            SendMessageA(bar, TB_SETSTATE, static_cast<WPARAM>(id), state);
        }
    }
    if (record.FormatPopup)
        CheckMenuItem(record.FormatPopup, kCmdBullets, MF_BYCOMMAND | (bullets != base ? MF_CHECKED : MF_UNCHECKED));
}

void YYEditorResetFormat(EditorWindowRecord& record)
{
    HWND control = record.RichEdit;
    if (!control) return;
    WPARAM numerator = 0;
    LPARAM denominator = 0;
    const bool zoom = YYEditorRichEditLevel() >= 3 &&
                      SendMessageA(control, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                                   reinterpret_cast<LPARAM>(&denominator));
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(record.Font), TRUE);
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = 0x3F;
    format.wAlignment = PFA_LEFT;
    SendMessageA(control, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    if (zoom) SendMessageA(control, EM_SETZOOM, numerator, denominator);
}
