// The platform-free drivers' file routines on the toolkit's own: files reopened for update
// through IFileOpen, and IGrLoadImageData by file name (their output unit is the drivers' one
// output unit in every tree).
#pragma once

// Toolkit-internal

// Installs them in outputUnitHooks() and rasterRendererHooks().
void YYFileSinksInstall();
