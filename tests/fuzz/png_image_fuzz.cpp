// The PNG decoder on arbitrary bytes: refuses or decodes, never reads past the
// input and always hands back 4 bytes a pixel.
#include <cstdint>
#include <cstdlib>

#include "png_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  KR::PngImage image;
  if (image.loadFromMemory(data, size)) {
    if (image.getDataSize() != image.getWidth() * image.getHeight() * 4) std::abort();
    if (image.format != KR::IF_RGBA && image.format != KR::IF_RGBX) std::abort();
    image.padToPowerOfTwo();
  }
  return 0;
}
