// The dialog manager's part in the window engine: loading, showing and unloading dialogs, closing
// and splitting windows, modal boxes, event fields and dialog fields as drawing targets.
#pragma once

// Toolkit-internal

// Installs the dialog manager's answers in the window engine's, the child-window and the drawable
// hooks.
void YYDialogWindowHooksInstall();
