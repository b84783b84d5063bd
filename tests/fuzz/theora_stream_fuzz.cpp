// Fuzz target of the Ogg Theora reading path: header search, the three
// headers, the checks on what the planes can hold, then every frame through
// both plane layouts. Any input must end in a refusal, an error or the end of
// the file, without reading outside the buffers. Page checksums are set right
// first, so that mutations reach the Theora packets instead of stopping at
// the Ogg layer.
#include <ogg/ogg.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "file_system.h"
#include "log_system.h"
#include "support/memory_file.h"
#include "video_surface_decoder.h"

namespace {

// Walks the pages as laid out and gives each the checksum of its bytes.
void repairPageChecksums(std::vector<unsigned char>& bytes) {
  size_t at = 0;
  while (at + 27 <= bytes.size()) {
    if (std::memcmp(bytes.data() + at, "OggS", 4) != 0) {
      ++at;
      continue;
    }
    const size_t segments = bytes[at + 26];
    const size_t headerLength = 27 + segments;
    if (at + headerLength > bytes.size()) return;
    size_t bodyLength = 0;
    for (size_t s = 0; s < segments; ++s) bodyLength += bytes[at + 27 + s];
    if (at + headerLength + bodyLength > bytes.size()) return;
    ogg_page page;
    page.header = bytes.data() + at;
    page.header_len = long(headerLength);
    page.body = bytes.data() + at + headerLength;
    page.body_len = long(bodyLength);
    ogg_page_checksum_set(&page);
    at += headerLength + bodyLength;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::LogSystem* logSystem = KR::LogSystem::exists() ? nullptr : new KR::LogSystem();
  (void)logSystem;
  std::vector<unsigned char> bytes(data, data + size);
  repairPageChecksums(bytes);
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
