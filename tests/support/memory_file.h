#pragma once
// Content files read from memory, for readers that take a KR::File.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "file_system.h"

namespace KR {
namespace Test {

// Reads bytes that outlive the file, without a copy.
class BytesFile : public File {
 public:
  BytesFile(const void* data, size_t size) : bytes(static_cast<const uint8_t*>(data)), length(size) {}
  BytesFile(const BytesFile&) = delete;
  BytesFile& operator=(const BytesFile&) = delete;

  int read(void* buffer, int count) override {
    if (count <= 0 || position >= length) return 0;
    size_t n = length - position;
    if (n > size_t(count)) n = size_t(count);
    std::memcpy(buffer, bytes + position, n);
    position += n;
    return int(n);
  }
  int close() override { return 0; }
  int getSize() override { return int(length); }
  int tell() override { return int(position); }
  int open(const std::string&) override { return 1; }

 private:
  const uint8_t* bytes;
  size_t length;
  size_t position = 0;
};

namespace Detail {
struct OwnedBytes {
  std::string owned;
};
}  // namespace Detail

// Reads its own copy of the bytes.
class MemoryFile : private Detail::OwnedBytes, public BytesFile {
 public:
  explicit MemoryFile(std::string bytes_)
      : Detail::OwnedBytes{std::move(bytes_)}, BytesFile(owned.data(), owned.size()) {}
};

}  // namespace Test
}  // namespace KR
