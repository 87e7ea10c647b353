#include "acquire/native_image.h"

namespace quillet::acquire {

void writeNativeImage(const NativeImage& image, const std::string& path) {
    const imaging::BmpResolution res = imaging::bmpResolutionFromDpi(image.xDpi, image.yDpi);
    if (image.mode == ScanMode::LineArt) imaging::saveBmpAtResolution(image.lineArt, path, res);
    else imaging::saveByteImageBmp(image.picture, path, res);
}

}  // namespace quillet::acquire
