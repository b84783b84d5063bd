// The KRT loader on arbitrary bytes: payloads that do not match their header
// are refused; accepted ones decode to width x height RGBA pixels and give
// the scratch arena back.
#include <cstdint>
#include <cstdlib>

#include "engine_allocators.h"
#include "krt_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::EngineAllocators* allocators = [] {
    auto* made = new KR::EngineAllocators();
    made->init();
    return made;
  }();
  KR::KRTImage image;
  if (image.loadFromMemory(data, size) == KR::KRTImage::Result::Ok) {
    if (image.format != KR::IF_RGBA) std::abort();
    if (image.getDataSize() != image.getWidth() * image.getHeight() * 4) std::abort();
  } else if (image.getData() != nullptr) {
    std::abort();
  }
  if (allocators->getStackAllocator()->getUsed() != 0) std::abort();
  return 0;
}
