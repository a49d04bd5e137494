// Loading, showing, hiding and unloading dialogs, the current dialog and the dialog query.
#pragma once

#include <optional>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

void WDialogLoad(INTEGER resourceId, std::optional<INTEGER> identifier = std::nullopt,
                 std::optional<INTEGER> window = std::nullopt);
void WDialogSelect(INTEGER identifier);
void WDialogShow(std::optional<INTEGER> x = std::nullopt, std::optional<INTEGER> y = std::nullopt,
                 std::optional<INTEGER> focusField = std::nullopt, std::optional<INTEGER> mode = std::nullopt);
void WDialogShowAtOwner(INTEGER focusField, INTEGER mode, INTEGER window);
void WDialogHide();
void WDialogUnload(std::optional<INTEGER> keepPages = std::nullopt);
INTEGER WDialogQuery(INTEGER code);
void WDialogTitle(std::optional<std::string_view> title = std::nullopt, std::optional<INTEGER> icon = std::nullopt);
void WDialogSetTab(INTEGER tabField, INTEGER page);
void WDialogGetTab(INTEGER tabField, INTEGER& page);
void WDialogTabState(INTEGER tabField, INTEGER page, INTEGER state);
void WDialogSetField(INTEGER field, std::optional<INTEGER> caret = std::nullopt);

// Toolkit-internal

// resourceId comes back -1 table full, -2 no template, -3 creation failed; window -1 = the owner rule.
void YYDialogCreate(INTEGER& resourceId, INTEGER identifier, INTEGER window, INTEGER combine);
void YYDialogLoadById(INTEGER& resourceId, INTEGER identifier, INTEGER window);
// Sets the current index; -1 in identifier when not loaded.
void YYDialogSelect(INTEGER& identifier);
// mode comes back 0 on success, -1 mode replaced, -2 hidden parent, -3 parent laid out by a dialog,
// -4 combined with a window. layout 0 from WDialogShow, non-zero for window layouts, 2 keeps the focus.
void YYDialogShow(INTEGER x, INTEGER y, INTEGER childX, INTEGER childY, INTEGER& mode, INTEGER focusField,
                  INTEGER layout);
// index -1 = the current dialog; the result is 0, or -1 combined with a window, -2 a tab page.
INTEGER YYDialogHide(INTEGER index);
INTEGER YYDialogUnload(INTEGER keepPages, INTEGER index);
// Unloads the dialog at a table index without asking it: hidden whatever it says (a page whose
// dialog goes), then unloaded as above with its own pages.
void YYDialogDestroy(INTEGER index);
void YYDialogsDisable(HWND window, INTEGER flag);
void YYDialogsEnable(HWND window, INTEGER flag);
INTEGER YYDialogParentWindow();
// Centres a -1 coordinate in the parent's client (child dialog) or on the screen.
void YYDialogCentre(HWND dialog, INTEGER& x, INTEGER& y);
void YYDialogPlacePages(HWND dialog);
void YYDialogSizeGrip(HWND dialog);
void YYDialogReleasePages(HWND dialog);
bool YYInModalDialog(HWND window);
bool YYDialogIsResizable(HWND dialog);
void YYDialogResizeClient(INTEGER& width, INTEGER height);
void YYFieldTabStops(INTEGER& field, const INTEGER* stops, INTEGER count);
void YYTrackbarUndefinedSet(INTEGER value);
// The loaded dialog a tab control's page is, by identifier; null when not loaded.
HWND YYDialogByIdentifier(INTEGER identifier);
