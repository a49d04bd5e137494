// The platform-free drivers' image reading on the toolkit's own file routines: IGrLoadImageData by
// file name (their output unit is the drivers' one output unit in every tree).
#pragma once

// Toolkit-internal

// Installs it in rasterRendererHooks().
void YYFileSinksInstall();
