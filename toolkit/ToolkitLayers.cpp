// Wires the folder libraries together: each folder above the foundation installs its routines in
// the hooks of the folders below it. This runs before main in every program that links the whole
// toolkit, so that windows and dialogs behave alike whether or not the program starts the toolkit
// first (the toolkit's own tests open windows without it).
#include "toolkit/devices/DeviceHooks.h"
#include "toolkit/dialogs/DialogWindowHooks.h"
#include "toolkit/editor/EditorDocuments.h"
#include "toolkit/editor/EditorWindows.h"
#include "toolkit/foundation/ToolkitStartUp.h"
#include "toolkit/graphics/WindowGraphics.h"

namespace {

bool installLayers()
{
    YYWindowGraphicsHooksInstall();
    YYDialogWindowHooksInstall();
    YYDeviceHooksInstall();
    YYEditorHooksInstall();
    ToolkitStartUpHooks& startUp = toolkitStartUpHooks();
    startUp.editorsAllocate = &YYEditorDocumentsAllocate;
    startUp.editorsRelease = &YYEditorDocumentsRelease;
    return true;
}

[[maybe_unused]] const bool layersInstalled = installLayers();

}  // namespace
