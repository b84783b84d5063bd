// Fuzz target of the Ogg Theora reading path: header search, the three
// headers, the checks on what the planes can hold, then every frame through
// both plane layouts. Any input must end in a refusal, an error or the end of
// the file, without reading outside the buffers. Page checksums are set right
// first, so that mutations reach the Theora packets instead of stopping at
// the Ogg layer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "file_system.h"
#include "fuzz_ogg.h"
#include "log_system.h"
#include "support/memory_file.h"
#include "video_surface_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::LogSystem* logSystem = KR::LogSystem::exists() ? nullptr : new KR::LogSystem();
  (void)logSystem;
  std::vector<unsigned char> bytes(data, data + size);
  KR::Fuzz::repairPageChecksums(bytes);
  KR::Test::BytesFile file(bytes.data(), bytes.size());
  KR::VideoStreamDecoder decoder;
  if (decoder.open(&file) != 0) return 0;
  const uint32_t width = decoder.getWidth();
  const uint32_t height = decoder.getHeight();
  std::vector<uint8_t> rgba(size_t(width) * height * 4);
  std::vector<uint8_t> luma(size_t(width) * height);
  std::vector<uint8_t> chroma(size_t(width / 2) * (height / 2) * 2);
  KR::YuvFrameView frame;
  // Each packet is at least a byte of input, so the loop ends; the bound
  // keeps a pathological stream of empty packets short.
  for (int i = 0; i < 4096; ++i) {
    if (decoder.decodeFrame(&frame) != KR::VideoStreamDecoder::kFrame) break;
    KR::convertFrameToRgba(frame, rgba.data());
    KR::copyFramePlanes(frame, luma.data(), chroma.data());
  }
  decoder.close();
  return 0;
}
