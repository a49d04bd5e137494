// The hardcopy options the user adjusts before a hardcopy: the system's page set-up for the
// Windows printer, the printer dialog (template 32098) for the printer-like file devices and the
// export dialogs (templates 32000 + a device code) for the other file devices. The templates are
// not part of the program's resources: a caller that wants these dialogs links its own.
#pragma once

#include <optional>
#include <string>

#include "toolkit/foundation/CoreTypes.h"

inline constexpr INTEGER kPrinterDialogTemplate = 32098;
inline constexpr INTEGER kExportDialogTemplateBase = 32000;

// unit: a PaperUnitCode, negative for the restricted dialog in the same unit; file receives the
// chosen output name (absent: the default output name is edited). The result is the common-dialog
// result (WDialogQuery(4)): 1 after OK, 0 after Cancel.
void WHardcopyOptions(std::optional<INTEGER> unit = std::nullopt, std::string* file = nullptr);

// Toolkit-internal

// mode 3: a dialog of its own; 1: opened from the printer dialog.
void YYHardcopyPrinterDialog(INTEGER unit, std::string& fileName, INTEGER device, INTEGER mode, INTEGER restricted);
void YYHardcopyExportDialog(INTEGER unit, std::string& fileName, INTEGER templateId, INTEGER mode, INTEGER restricted);
