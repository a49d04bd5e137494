#include "toolkit/devices/FileSinks.h"

#include "toolkit/devices/ImageLoading.h"
#include "toolkit/devices/RasterRenderer.h"

void YYFileSinksInstall()
{
    rasterRendererHooks().loadImage = [](std::string_view filename, std::span<INTEGER> image) {
        IGrLoadImageData(filename, image);
    };
}
