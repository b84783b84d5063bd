// Ogg inputs for fuzz targets: with the page checksums set right, mutations
// reach the packets inside instead of stopping at the Ogg layer.
#pragma once

#include <ogg/ogg.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace KR {
namespace Fuzz {

// Walks the pages as laid out and gives each the checksum of its bytes.
inline void repairPageChecksums(std::vector<unsigned char>& bytes) {
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

}  // namespace Fuzz
}  // namespace KR
