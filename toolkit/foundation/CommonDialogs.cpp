#include "toolkit/foundation/CommonDialogs.h"

#include "toolkit/foundation/CommonControls.h"

#include <commdlg.h>
#include <shlobj.h>
#include <winspool.h>

#include <cstring>

#include "toolkit/foundation/MessageBoxes.h"
#include "toolkit/foundation/WindowSlots.h"

namespace {

// The browser's state for the time of one call.
struct FolderBrowseCall {
    std::string* path = nullptr;
    INTEGER flags = 0;
    HWND edit = nullptr;
    WNDPROC original = nullptr;
};
FolderBrowseCall& folderBrowseCall()
{
    static FolderBrowseCall call;
    return call;
}

void takePrinterSettings(PageSetupState& s)
{
    GlobalLockGuard modeLock(s.deviceMode.get());
    if (const auto* mode = static_cast<const DEVMODEA*>(modeLock.data())) {
        s.paperSize = mode->dmPaperSize;
        s.paperLength = mode->dmPaperLength;
        s.paperWidth = mode->dmPaperWidth;
        s.scale = mode->dmScale;
        s.defaultSource = mode->dmDefaultSource;
        s.printQuality = mode->dmPrintQuality;
        s.colour = mode->dmColor;
        s.duplex = mode->dmDuplex;
        s.yResolution = mode->dmYResolution;
        s.trueTypeOption = mode->dmTTOption;
        s.collate = mode->dmCollate;
        s.mediaType = static_cast<std::int32_t>(mode->dmMediaType);
        s.ditherType = static_cast<std::int32_t>(mode->dmDitherType);
    }
    GlobalLockGuard namesLock(s.deviceNames.get());
    if (const auto* names = static_cast<const DEVNAMES*>(namesLock.data())) {
        const char* base = reinterpret_cast<const char*>(names);
        s.driverName = base + names->wDriverOffset;
        s.deviceName = base + names->wDeviceOffset;
        s.outputPort = base + names->wOutputOffset;
    }
}

}  // namespace

PageSetupState& pageSetupState()
{
    static PageSetupState state;
    return state;
}

ColourChooserState& colourChooserState()
{
    static ColourChooserState state;
    return state;
}

void YYMeasureSystem(INTEGER& value)
{
    char text[4] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, text, sizeof text);
    value = text[0] == '1' ? 1 : 2;
}

namespace {

// Without a printer there is no paper to ask about (and some systems answer the silent run with a
// box of their own): the dialog is not shown at all.
bool anyPrinter()
{
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    return needed > 0;
}

GlobalMemoryHandle copyBlock(HGLOBAL block)
{
    if (!block) return {};
    const SIZE_T size = GlobalSize(block);
    GlobalMemoryHandle copy(GlobalAlloc(GMEM_MOVEABLE, size));
    GlobalLockGuard from(block), to(copy.get());
    if (!from.data() || !to.data()) return {};
    std::memcpy(to.data(), from.data(), size);
    return copy;
}

}  // namespace

void YYPageSetupDialog(INTEGER& paperWidth, INTEGER& paperHeight, INTEGER& areaWidth, INTEGER& areaHeight,
                       INTEGER& leftMargin, INTEGER& topMargin, INTEGER& orientation, INTEGER& copies, INTEGER units,
                       INTEGER& colours, INTEGER& result)
{
    PageSetupState& s = pageSetupState();
    result = 0;
    if (!anyPrinter()) return;
    const DWORD unitFlag = units < 2 ? PSD_INTHOUSANDTHSOFINCHES : PSD_INHUNDREDTHSOFMILLIMETERS;
    // The silent run gives the default printer's paper in the units asked for; without a printer it
    // fails, and then nothing is shown and nothing changes.
    GlobalMemoryHandle mode, names;
    POINT paper = s.lastPaper;
    if (!s.setUpDone || s.lastFlags != unitFlag) {
        PAGESETUPDLGA probe{};
        probe.lStructSize = sizeof probe;
        probe.Flags = unitFlag | PSD_RETURNDEFAULT;
        if (!PageSetupDlgA(&probe)) return;
        GlobalMemoryHandle probeMode(probe.hDevMode), probeNames(probe.hDevNames);
        if (!probeMode) return;
        paper = probe.ptPaperSize;
        if (!s.setUpDone) {
            mode = std::move(probeMode);
            names = std::move(probeNames);
        } else {
            // The paper was measured upright; the stored printer may be turned.
            GlobalLockGuard lock(s.deviceMode.get());
            const auto* device = static_cast<const DEVMODEA*>(lock.data());
            if (device && device->dmOrientation == 2) std::swap(paper.x, paper.y);
        }
    }
    // A working copy of the stored printer: a cancelled dialog leaves the stored one as it was.
    if (s.setUpDone) {
        mode = copyBlock(s.deviceMode.get());
        names = copyBlock(s.deviceNames.get());
    }
    if (!mode) return;
    {
        GlobalLockGuard lock(mode.get());
        auto* device = static_cast<DEVMODEA*>(lock.data());
        if (!device) return;
        if (device->dmOrientation != orientation + 1) {
            std::swap(paper.x, paper.y);
            device->dmOrientation = static_cast<short>(orientation + 1);
        }
        device->dmCopies = static_cast<short>(copies);
    }
    PAGESETUPDLGA record{};
    record.lStructSize = sizeof record;
    record.hInstance = GetModuleHandleA(nullptr);
    record.hDevMode = mode.get();
    record.hDevNames = names.get();
    record.ptPaperSize = paper;
    record.rtMargin = {leftMargin, topMargin, paper.x - areaWidth - leftMargin, paper.y - areaHeight - topMargin};
    record.Flags = unitFlag | PSD_MARGINS;
    BOOL ok = FALSE;
    YYModalSystemDialog([&](HWND owner) {
        record.hwndOwner = owner;
        ok = PageSetupDlgA(&record);
    });
    // The dialog may have replaced the blocks it was given.
    if (record.hDevMode != mode.get()) {
        mode.release();
        mode.reset(record.hDevMode);
    }
    if (record.hDevNames != names.get()) {
        names.release();
        names.reset(record.hDevNames);
    }
    if (!ok) return;
    s.lastFlags = unitFlag;
    s.deviceMode = std::move(mode);
    s.deviceNames = std::move(names);
    paperWidth = record.ptPaperSize.x;
    paperHeight = record.ptPaperSize.y;
    s.lastPaper = record.ptPaperSize;
    areaWidth = paperWidth - record.rtMargin.left - record.rtMargin.right;
    areaHeight = paperHeight - record.rtMargin.top - record.rtMargin.bottom;
    leftMargin = record.rtMargin.left;
    topMargin = record.rtMargin.top;
    {
        GlobalLockGuard lock(s.deviceMode.get());
        if (const auto* device = static_cast<const DEVMODEA*>(lock.data())) {
            orientation = device->dmOrientation - 1;
            copies = device->dmCopies;
        }
    }
    takePrinterSettings(s);
    s.setUpDone = 1;
    {
        GlobalLockGuard lock(s.deviceMode.get());
        MemoryDcHandle information(CreateICA(s.driverName.c_str(), s.deviceName.c_str(), s.outputPort.c_str(),
                                             static_cast<const DEVMODEA*>(lock.data())));
        if (information) colours = GetDeviceCaps(information.get(), NUMCOLORS);
    }
    result = 1;
}

void YYColourDialog(INTEGER& red, INTEGER& green, INTEGER& blue, INTEGER& result, INTEGER& error)
{
    ColourChooserState& c = colourChooserState();
    if (!c.filled) {
        const auto& named = windowEngineState().NamedColours;
        for (std::size_t i = 0; i < c.customColours.size(); ++i)
            c.customColours[i] = static_cast<COLORREF>(named[i]) & 0xFFFFFF;
        c.filled = 1;
    }
    CHOOSECOLORA record{};
    record.lStructSize = sizeof record;
    record.rgbResult = RGB(red & 0xFF, green & 0xFF, blue & 0xFF);
    record.lpCustColors = c.customColours.data();
    record.Flags = CC_RGBINIT | CC_FULLOPEN;
    BOOL ok = FALSE;
    YYModalSystemDialog([&](HWND owner) {
        record.hwndOwner = owner;
        ok = ChooseColorA(&record);
    });
    if (ok) {
        red = GetRValue(record.rgbResult);
        green = GetGValue(record.rgbResult);
        blue = GetBValue(record.rgbResult);
        result = 1;
        error = 0;
        return;
    }
    result = 0;
    error = static_cast<INTEGER>(CommDlgExtendedError());
}

int CALLBACK YYFolderBrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM)
{
    FolderBrowseCall& call = folderBrowseCall();
    if (message == BFFM_INITIALIZED) {
        if (HWND titleText = GetWindow(window, GW_CHILD)) {
            char caption[261] = {};
            GetWindowTextA(titleText, caption, sizeof caption);
            SetWindowTextA(window, caption);
            RECT r{};
            GetWindowRect(titleText, &r);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
            ShowWindow(titleText, SW_HIDE);
            RECT units{0, 0, 0, 13};
            MapDialogRect(window, &units);
            call.edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", call.path->c_str(),
                                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, r.left, r.top,
                                        r.right - r.left, units.bottom, window, nullptr, GetModuleHandleA(nullptr), nullptr);
            SendMessageA(call.edit, EM_LIMITTEXT, MAX_PATH, 0);
            SendMessageA(call.edit, WM_SETFONT, SendMessageA(window, WM_GETFONT, 0, 0), FALSE);
        }
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(call.path->c_str()));
        if (call.flags & (4 | 64)) SendMessageA(window, BFFM_ENABLEOK, 0, TRUE);
        call.original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(YYFolderBrowseSubclassProc)));
    } else if (message == BFFM_SELCHANGED) {
        char chosen[MAX_PATH + 1] = {};
        const bool isPath = SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), chosen);
        if (isPath) {
            *call.path = chosen;
            if (call.edit) SetWindowTextA(call.edit, chosen);
        }
        SendMessageA(window, BFFM_ENABLEOK, 0, isPath || (call.flags & (4 | 64)));
    }
    return 0;
}

LRESULT CALLBACK YYFolderBrowseSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FolderBrowseCall& call = folderBrowseCall();
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && call.edit) {
        char typed[MAX_PATH + 1] = {};
        GetWindowTextA(call.edit, typed, sizeof typed);
        *call.path = typed;
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(typed));
        const DWORD attributes = GetFileAttributesA(typed);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (call.flags & 64) {
                if (MessageBoxA(window, "The specified directory does not exist.\nDo you wish to create it?",
                                "Create Directory?", MB_YESNO | MB_ICONQUESTION) != IDYES)
                    return 0;
                if (!CreateDirectoryA(typed, nullptr)) {
                    MessageBoxA(window, "An error occurred creating\nthe specified directory.", "Error",
                                MB_OK | MB_ICONEXCLAMATION);
                    return 0;
                }
            } else if (!(call.flags & 4)) {
                MessageBoxA(window, "The specified directory does not exist.\nSpecify a valid directory.",
                            "Invalid Directory", MB_OK | MB_ICONEXCLAMATION);
                return 0;
            }
        } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            MessageBoxA(window, "The specified path is not a valid directory name.\nSpecify a valid directory.",
                        "Invalid Directory", MB_OK | MB_ICONEXCLAMATION);
            return 0;
        }
    }
    return CallWindowProcA(call.original, window, message, wParam, lParam);
}

void YYFolderBrowse(INTEGER titleFlag, INTEGER& result, INTEGER flags, std::string& path, std::string_view title)
{
    FolderBrowseCall& call = folderBrowseCall();
    std::string chosen = path.substr(0, std::min<std::size_t>(path.size(), MAX_PATH));
    if (std::size_t nul = chosen.find('\0'); nul != std::string::npos) chosen.resize(nul);
    call = FolderBrowseCall{&chosen, flags, nullptr, nullptr};
    const std::string titleText = titleFlag == 1 ? std::string(title) : std::string("Select Directory");
    char display[MAX_PATH + 1] = {};
    BROWSEINFOA info{};
    info.pszDisplayName = display;
    info.lpszTitle = titleText.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = YYFolderBrowseCallback;
    // The shell allocates the chosen item's list; it is the caller's to free.
    UniqueHandle<LPITEMIDLIST, CoTaskMemFree> list;
    YYModalSystemDialog([&](HWND owner) {
        info.hwndOwner = owner;
        list.reset(SHBrowseForFolderA(&info));
    });
    call = FolderBrowseCall{};
    if (!list) {
        result = 2;
        return;
    }
    path = chosen;
    result = 1;
}
