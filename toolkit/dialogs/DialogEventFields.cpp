#include "toolkit/dialogs/DialogEventFields.h"

DialogEventFields* YYDialogEventFields(HWND) { return nullptr; }
