// The platform-free drivers' output unit and image reader on the toolkit's own file routines:
// unit 2 of the hardcopy output unit (its status, its reports under "YYPROU"), files reopened
// for update through IFileOpen, and IGrLoadImageData by file name.
#pragma once

// Toolkit-internal

// Installs them in outputUnitHooks() and rasterRendererHooks().
void YYFileSinksInstall();
