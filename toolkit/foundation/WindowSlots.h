// The 51 window slots (0 the main window, 1 to 50 child windows), the window engine's state,
// window units against the current drawing client and the selection of the current window.
#pragma once

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/Handles.h"
#include "toolkit/foundation/WindowUnits.h"

inline constexpr int kWindowSlots = 51;
inline constexpr int kStatusParts = 255;
inline constexpr int kStatusBarId = 999;

enum WindowStyleCode : INTEGER {
    kStyleSystemMenu = 1, kStyleMinimiseBox = 2, kStyleMaximiseBox = 4, kStyleMaximised = 8,
    kStyleInsideParent = 0x10, kStyleStatusBar = 0x20, kStyleFixedSize = 0x40, kStyleHidden = 0x80,
    kStyleOwned = 0x100, kStyleTopmost = 0x200, kStyleToolWindow = 0x10000,
};

enum WindowKindCode : INTEGER {
    kWindowPlain = 0, kWindowTextEditor = 1, kWindowOtherControl = 2, kWindowDialogLayout = 3,
    kWindowGridEditor = 4, kWindowSplit = 5,
};

// The record a frame may carry in its user-data word; word 1 is its kind. Kinds 2 and 3 are kept
// here, the others by their owners (which start their records with the same kind word).
struct WindowUserRecord {
    std::array<std::intptr_t, 8> Words{};  // Words[0] = kind; 1-based word n is Words[n - 1]
};

// The record of a split window (kind 5): attached to the split window's frame and to its
// splitter bar. 1-based word n is Words[n - 1]; the words are listed with the split routines.
struct SplitWindowRecord {
    std::array<std::intptr_t, 20> Words{};
};

// The 16 basic colours, then the system's window-text and window colours, as packed RGB values;
// one table for all windows, filled when the main window opens.
using NamedColourTable = std::array<INTEGER, 18>;

struct StatusPartTable {
    std::array<INTEGER, kStatusParts> Widths{};   // pixels, -1 = the remaining space
    std::array<INTEGER, kStatusParts> Borders{};  // drawing flags of the control
    INTEGER Count = 1;                            // parts given by the last layout
};

struct ToolbarTip {
    INTEGER Command = 0;
    std::string Text;  // at most 80 characters
};

// The help texts the program gives menu items at run time. An item's data points at its text and
// the slot owns the texts, so that they go with the slot and nobody counts them by hand.
class MenuItemHelpTexts {
public:
    const std::string* add(std::string_view text)
    {
        texts_.push_back(std::make_unique<std::string>(text));
        return texts_.back().get();
    }
    // Frees the text when it is one of these; false when it is not.
    bool remove(const std::string* text)
    {
        const auto found = std::find_if(texts_.begin(), texts_.end(), [&](const auto& held) { return held.get() == text; });
        if (found == texts_.end()) return false;
        texts_.erase(found);
        return true;
    }
    // Takes over the texts of another slot (a menu that changes hands keeps its items' texts).
    void takeAll(MenuItemHelpTexts& other)
    {
        for (auto& text : other.texts_) texts_.push_back(std::move(text));
        other.texts_.clear();
    }
    INTEGER count() const { return static_cast<INTEGER>(texts_.size()); }

private:
    std::vector<std::unique_ptr<std::string>> texts_;
};

struct WindowSlot {
    std::unique_ptr<WindowUserRecord> OwnedRecord;  // the kind-2 or kind-3 record the engine attached
    std::unique_ptr<SplitWindowRecord> SplitRecord;  // the kind-5 record while the window is split
    WindowHandle Frame;  // empty = slot free; destroying it takes client, bars and toolbars along
    HWND Client = nullptr;
    HWND StatusBar = nullptr;
    HMENU Menu = nullptr;
    MenuItemHelpTexts MenuItemHelp;
    HACCEL Accelerators = nullptr;
    std::string_view MenuHelpTexts;  // the menu's "DOVEMENUSTRING" records (resource memory)
    std::array<HWND, 4> Toolbars{};       // top, left, right, bottom
    std::array<INTEGER, 4> ToolbarWidths{};
    std::vector<ToolbarTip> ToolbarTips;
    INTEGER BackgroundColour = -1;
    GdiObjectHandle BackgroundBrush;
    HCURSOR Cursor = nullptr;
    INTEGER CursorShape = 0;
    INTEGER OpenFlags = -1;
    INTEGER ReturnWindow = -1;
    std::uintptr_t MediaDevice = 0;
    BitmapHandle Snapshot;
    std::array<INTEGER, 4> SavedRectangle{-999, 0, 0, 0};
    StatusPartTable StatusParts;
};

struct WindowSlotTable {
    std::array<WindowSlot, kWindowSlots> Slots;
};

struct WindowEngineState {
    INTEGER CurrentWindow = 0;
    std::optional<WindowDc> CurrentDc;  // the current drawing client's context while it is current
    INTEGER ClientWidth = 0;            // the basis of window units
    INTEGER ClientHeight = 0;
    HWND ActiveFrame = nullptr;
    INTEGER ScreenWidth = 0, ScreenHeight = 0, PixelsPerInch = 96;
    INTEGER DisplayColours = 0;
    INTEGER NtPlatform = 1, OsMajorVersion = 0;
    HINSTANCE Instance = nullptr;
    std::array<ATOM, 5> ClassAtoms{};
    INTEGER RichEditLevel = 0;
    UINT FindReplaceMessage = 0;
    UINT CgmClipboardFormat = 0;
    FARPROC GradientFill = nullptr;
    FARPROC MapiSendMail = nullptr;
    LibraryHandle CommonControls, RichEdit, Msimg32, Mapi32;
    INTEGER MainWindowOpen = 0;
    INTEGER MainWindowHidden = 0;
    NamedColourTable NamedColours{};
};

WindowSlotTable& windowSlotTable();
WindowEngineState& windowEngineState();

// Makes a window current (error 1003 for a free slot or a number outside 0 to 50).
void WindowSetCurrent(INTEGER window);

// Toolkit-internal

void YYWINSEL(INTEGER window, INTEGER selectionFlag);
// Switches the drawing context to slot window; window comes back -1 for a free or invalid slot.
void YYOutputWindowSelect(INTEGER& width, INTEGER& height, INTEGER& window);
void YYPixelToWindowUnits(INTEGER xPixels, INTEGER yPixels, INTEGER& xUnits, INTEGER& yUnits);
void YYWindowUnitsToPixel(INTEGER xUnits, INTEGER yUnits, INTEGER& xPixels, INTEGER& yPixels);
// The slot whose frame or client is the handle, else the slot whose kind-2 record names it; else -1.
INTEGER YYWindowSlotFromHandle(HWND window);
// Reads the screen facts once at start-up; the fifth result is always 3.
void YYDisplayFacts(INTEGER& screenWidth, INTEGER& screenHeight, INTEGER& displayColours, INTEGER& paletteSlots,
                    INTEGER& constant);
// The record in a frame's user-data word, or null.
WindowUserRecord* YYWindowRecord(HWND frame);
// The window number of the window whose drawing client contains this slot's frame, or -1.
INTEGER YYParentWindowNumber(INTEGER window);
// Current drawing client's client size in pixels.
void YYClientPixelSize(INTEGER window, INTEGER& width, INTEGER& height);
