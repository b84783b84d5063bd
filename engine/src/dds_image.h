#pragma once
// DDS pictures. Only DXT5 data is accepted: it goes to the device as stored
// (the top mipmap level). DXT1, DXT3, palette and every other kind of DDS data
// is refused with a log line and leaves the image without pixels.
#include <cstddef>
#include <cstdint>
#include <string>

#include "image.h"

namespace KR {

class DDSImage : public Image {
 public:
  // The DDS header that follows the magic "DDS ": 124 bytes, little-endian,
  // beginning with its own size field.
  static constexpr size_t kHeaderSize = 124;
  static constexpr uint32_t kPaletteFlags = 0x20;

  enum class Result { Ok, NotDds, Unsupported, Damaged };

  DDSImage() = default;
  ~DDSImage() override;
  DDSImage(const DDSImage&) = delete;
  DDSImage& operator=(const DDSImage&) = delete;

  // True when the file begins with "DDS ".
  static bool isDDSFile(const std::string& name, const std::string& package);
  // Bytes of the top level of a DXT5 picture of that size (16 per 4x4 block).
  static uint64_t dxt5LevelSize(uint32_t width, uint32_t height);

  // Reads the file; a missing file is fatal, a wrong magic leaves the image
  // empty without a word, data other than DXT5 is refused with a log line.
  void load(const std::string& name, const std::string& package) override;
  Result loadFromMemory(const void* bytes, size_t size);
  Result decode(ImageSource& source);

  uint8_t* getData() override { return data; }
  // The header's size; 0 while the image holds no pixels.
  uint32_t getWidth() override;
  uint32_t getHeight() override;
  uint32_t getDataSize() override { return dataSize; }
  uint32_t getPitch() override { return 0; }
  bool hasData() const { return dataRead == 255; }
  // The header's FourCC code as stored (for example "DXT5"), or "" before loading.
  std::string getFourCC() const;

 private:
  void clear();
  uint32_t headerField(size_t offset) const;

  uint8_t header[kHeaderSize] = {};
  uint8_t* data = nullptr;
  uint32_t dataSize = 0;
  uint8_t dataRead = 0;
  bool ownsData = false;
};

}  // namespace KR
