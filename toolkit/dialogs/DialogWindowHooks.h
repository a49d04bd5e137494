// The dialog manager's part in closing and splitting windows.
#pragma once

// Toolkit-internal

// Installs the dialog manager's answers in the child-window and drawable hooks (at toolkit start-up).
void YYDialogWindowHooksInstall();
