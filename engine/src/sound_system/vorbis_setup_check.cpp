#include "sound_system/vorbis_setup_check.h"

#include <ogg/ogg.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>

namespace KR {

namespace {

// Vorbis packs fields least significant bit first.
class BitReader {
 public:
  BitReader(const unsigned char* bytes, size_t length) : data(bytes), size(length) {}

  // Up to 32 bits; sets failed (and returns 0) past the end.
  uint32_t read(int bits) {
    uint32_t value = 0;
    for (int i = 0; i < bits; ++i) {
      if (position >= size * 8) {
        failed = true;
        return 0;
      }
      uint32_t bit = (data[position / 8] >> (position % 8)) & 1u;
      value |= bit << i;
      ++position;
    }
    return value;
  }
  bool skip(uint64_t bits) {
    if (bits > size * 8 - position) {
      failed = true;
      return false;
    }
    position += bits;
    return true;
  }
  bool failed = false;

 private:
  const unsigned char* data;
  size_t size;
  uint64_t position = 0;
};

int integerLog(uint32_t value) {
  int bits = 0;
  while (value) {
    ++bits;
    value >>= 1;
  }
  return bits;
}

// The largest r with r^dimensions <= entries.
uint64_t lookup1Values(uint32_t entries, uint32_t dimensions) {
  uint64_t r = 0;
  for (;;) {
    uint64_t next = r + 1, power = 1;
    for (uint32_t d = 0; d < dimensions && power <= entries; ++d) power *= next;
    if (power > entries) return r;
    r = next;
  }
}

// libvorbis keeps the decoding form of a setup's codebooks once it has made
// them, even when making one failed half way; the next attempt (after a seek)
// then decodes with zeroed books and divides by zero. A book fails when its
// codeword lengths do not describe a complete prefix code, so such books, and
// books of no dimensions, are refused here.
bool codebookIsSafe(BitReader& bits) {
  if (bits.read(24) != 0x564342) return false;
  uint32_t dimensions = bits.read(16);
  uint32_t entries = bits.read(24);
  if (bits.failed || dimensions == 0) return false;
  // Kraft sum of the used codewords in units of 2^-32; complete means 2^32.
  uint64_t kraft = 0;
  uint64_t used = 0;
  if (bits.read(1)) {  // ordered lengths
    uint32_t length = bits.read(5) + 1;
    uint32_t entry = 0;
    while (entry < entries) {
      uint32_t number = bits.read(integerLog(entries - entry));
      if (bits.failed || length > 32) return false;
      entry += number;
      if (entry > entries) return false;
      kraft += static_cast<uint64_t>(number) << (32 - length);
      used += number;
      ++length;
    }
  } else {
    bool sparse = bits.read(1) != 0;
    for (uint32_t e = 0; e < entries && !bits.failed; ++e) {
      if (!sparse || bits.read(1)) {
        uint32_t length = bits.read(5) + 1;
        kraft += static_cast<uint64_t>(1) << (32 - length);
        ++used;
      }
    }
  }
  if (bits.failed) return false;
  if (used > 1 && kraft != (static_cast<uint64_t>(1) << 32)) return false;
  uint32_t lookup = bits.read(4);
  if (lookup == 1 || lookup == 2) {
    bits.read(32);
    bits.read(32);
    uint32_t valueBits = bits.read(4) + 1;
    bits.read(1);
    uint64_t values = lookup == 1 ? lookup1Values(entries, dimensions) : static_cast<uint64_t>(entries) * dimensions;
    bits.skip(values * valueBits);
  } else if (lookup != 0) {
    return false;
  }
  return !bits.failed;
}

bool setupPacketIsSafe(const ogg_packet& packet) {
  if (packet.bytes < 7 || packet.packet[0] != 5 || std::memcmp(packet.packet + 1, "vorbis", 6) != 0) {
    // Not a setup header: vorbisfile refuses the stream itself.
    return true;
  }
  BitReader bits(packet.packet + 7, static_cast<size_t>(packet.bytes - 7));
  uint32_t books = bits.read(8) + 1;
  for (uint32_t b = 0; b < books; ++b) {
    if (!codebookIsSafe(bits)) return false;
  }
  return true;
}

struct Link {
  ogg_stream_state stream;
  int packets = 0;
  Link(int serial) { ogg_stream_init(&stream, serial); }
  ~Link() { ogg_stream_clear(&stream); }
};

}  // namespace

bool vorbisSetupHeadersAreSafe(const unsigned char* data, size_t size) {
  // Many logical streams in one file are legal but few are real: past this
  // many the file is not worth playing.
  const size_t kMaxLinks = 256;
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  std::map<int, std::unique_ptr<Link>> links;
  bool safe = true;
  size_t fed = 0;
  while (safe) {
    ogg_page page;
    int result = ogg_sync_pageout(&sync, &page);
    if (result == 0) {
      if (fed >= size) break;
      size_t chunk = size - fed < 65536 ? size - fed : 65536;
      char* buffer = ogg_sync_buffer(&sync, static_cast<long>(chunk));
      if (!buffer) break;
      std::memcpy(buffer, data + fed, chunk);
      ogg_sync_wrote(&sync, static_cast<long>(chunk));
      fed += chunk;
      continue;
    }
    if (result < 0) continue;
    int serial = ogg_page_serialno(&page);
    if (ogg_page_bos(&page)) {
      if (links.size() >= kMaxLinks && links.find(serial) == links.end()) {
        safe = false;
        break;
      }
      links[serial].reset(new Link(serial));
    }
    auto found = links.find(serial);
    if (found == links.end() || found->second->packets >= 3) continue;
    Link& link = *found->second;
    if (ogg_stream_pagein(&link.stream, &page) != 0) continue;
    ogg_packet packet;
    int got;
    while (link.packets < 3 && (got = ogg_stream_packetout(&link.stream, &packet)) != 0) {
      if (got < 0) continue;
      if (link.packets == 2 && !setupPacketIsSafe(packet)) safe = false;
      ++link.packets;
    }
  }
  links.clear();
  ogg_sync_clear(&sync);
  return safe;
}

}  // namespace KR
