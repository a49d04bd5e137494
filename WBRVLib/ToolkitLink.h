// The toolkit routines the utility library and the settings file call, declared here with the
// toolkit's names and argument order (platform-free declarations).
//
// The declarations match the toolkit's own, so that this library builds without the Windows headers:
// the Windows trees link the toolkit (qv_toolkit); the native tests link the platform-free graphics
// layer (qv_graphics_core) and, for the calls that need Windows, tests/support/ToolkitLinkFake.cpp,
// which answers from a script.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/EventRecord.h"

// An event as the toolkit hands it out: twelve signed words beside the event type; Words[0] is
// word 1 (the window or dialog number), Words[1] word 2 (the first value) ...

// Never waits: the next enabled event, consumed; type -1 when nothing is pending.
void WEventPeek(INTEGER& type, EventRecord& record);

// A modal box: button set 0 OK, 1 OK/Cancel, 3 Yes/No; icon 2 question, 3 exclamation,
// 4 information; default button 1 the first (OK or Yes), else the second. The pressed button is
// kept for WDialogQuery(4): 1 OK or Yes, 0 Cancel, 2 No, -1 when the box could not be shown.
void WMessageBox(INTEGER buttonSet, INTEGER icon, INTEGER defaultButton, std::string_view message, std::string_view title);

// Code 1: the button that closed the last modal dialog; code 4: the last box's result.
INTEGER WDialogQuery(INTEGER code);

// Dialogs: load a dialog resource and make it current, set a text field, show it (x, y in window
// units, -1 centred; focus field; mode 1 modal).
void WDialogLoad(INTEGER resourceId, std::optional<INTEGER> identifier, std::optional<INTEGER> window);
void WDialogPutString(INTEGER field, std::string_view text);
void WDialogShow(std::optional<INTEGER> x, std::optional<INTEGER> y, std::optional<INTEGER> focusField,
                 std::optional<INTEGER> mode);

// Operating-system services: command-line word (0 is the program's own full path), the user's
// login name, folders.
void IOsCommandWord(INTEGER number, std::string& word);
void IOsUserName(std::string& name);
LOGICAL IOsDirIsPresent(std::string_view path);
void IOsDirMake(std::string_view path);
void IOsDirChange(std::string_view path);
void IOsDirName(std::string& name);

// Graphics text: justification 0 left, 1 centred, 2 right; text drawn at a user-unit position.
void IGrTextAlign(std::optional<INTEGER> justification = std::nullopt, std::optional<REAL> angle = std::nullopt,
                  std::optional<INTEGER> stacked = std::nullopt, std::optional<INTEGER> reserved = std::nullopt);
void IGrTextDraw(std::optional<REAL> x, std::optional<REAL> y, std::string_view text);
// Font kind, style, character width and height as fractions of the area, face, spacing mode.
void WGrTextFont(std::optional<INTEGER> kind = std::nullopt, std::optional<INTEGER> style = std::nullopt,
                 std::optional<REAL> width = std::nullopt, std::optional<REAL> height = std::nullopt,
                 std::optional<std::string_view> face = std::nullopt, std::optional<INTEGER> mode = std::nullopt);
// Length of text(1:count) in nominal character widths.
REAL IGrTextLength(std::string_view text, INTEGER count, std::optional<INTEGER> mode = std::nullopt);

// Graphics: pen, colours, plot mode, user units and pixels, filled shapes, the graphics reset.
void IGrPenMove(REAL x, REAL y);
void IGrPenDraw(REAL x, REAL y);
void IGrColourN(INTEGER n);
void IGrColour(std::string_view name);
void IGrDefineColourHLS(INTEGER n, INTEGER hue, INTEGER lightness, INTEGER saturation, INTEGER flag);
// "N" normal, "E" exclusive-or.
void IGrDrawMode(std::optional<std::string_view> letter);
void IGrUnits(REAL xmin, REAL ymin, REAL xmax, REAL ymax);
void IGrWorldToPixel(REAL x, REAL y, INTEGER& ix, INTEGER& iy);
void IGrPixelToWorld(INTEGER ix, INTEGER iy, REAL& x, REAL& y);
void IGrFillStyle(INTEGER style, std::optional<INTEGER> density = std::nullopt,
                  std::optional<INTEGER> direction = std::nullopt);
void IGrTrapezium(REAL x1, REAL y1, REAL x2, REAL y2, REAL w, INTEGER type);
void IGrTriangle(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3);
void IGrPolygonDecomposed(const REAL* x, const REAL* y, INTEGER n);
// "H" no screen output, "P" keep the hardcopy options.
void IGrResetGraphics(std::string_view options);
// Screen, hardcopy and metafile line thicknesses in pixels; each applied when present and positive.
void IGrLineThickness(std::optional<INTEGER> screen, std::optional<INTEGER> hardcopy, std::optional<INTEGER> metafile);

// Calls that need Windows: clearing the current window (colour a packed RGB value), and the
// hardcopy job (any action but "S" starts one on the selected device). Declared without the
// toolkit's default arguments (all absent), so that a program including both headers compiles;
// the library passes every argument.
void WindowClearArea(std::optional<INTEGER> x1, std::optional<INTEGER> y1, std::optional<INTEGER> x2,
                     std::optional<INTEGER> y2, std::optional<INTEGER> colour);
void IGrHardcopyBeginEnd(std::optional<std::string_view> action, std::optional<std::string_view> title);
// The pointer's shape over the current window (0 the arrow, 7 north-south, 8 west-east sizing).
void WCursorShape(INTEGER shape, std::optional<INTEGER> scope);

// Dialog fields and grid cells (1-based columns and rows) as the REAL wrappers use them. A value
// outside a field's or column's range is refused with an error and leaves it unchanged; an empty
// cell reads as the toolkit's undefined value (-999.0); WInfoGridCell code 1 is above 0 when the
// cell holds a value. Absent formats: the field's or column's own.
void WDialogPutReal(INTEGER field, REAL value, std::optional<std::string_view> format);
void WDialogPutCheckBox(INTEGER field, INTEGER state);
void WDialogGetCheckBox(INTEGER field, INTEGER& state);
void WGridPutReal(INTEGER field, INTEGER column, const std::vector<REAL>& values, INTEGER n,
                  std::optional<std::string_view> format);
void WGridPutCellReal(INTEGER field, INTEGER column, INTEGER row, REAL value, std::optional<std::string_view> format);
void WGridGetCellReal(INTEGER field, INTEGER column, INTEGER row, REAL& value);
void WGridClearCell(INTEGER field, INTEGER column, INTEGER row);
INTEGER WInfoGridCell(INTEGER field, INTEGER column, INTEGER row, INTEGER code);
