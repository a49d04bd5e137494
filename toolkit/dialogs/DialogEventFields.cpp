#include "toolkit/dialogs/DialogEventFields.h"

#include "toolkit/dialogs/DialogRecords.h"

DialogEventFields* YYDialogEventFields(HWND window) { return YYDialogRecordOf(window); }
