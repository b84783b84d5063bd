#pragma once
// PNG pictures through libpng. Every PNG becomes 4 bytes a pixel: grey,
// grey-alpha and palette pictures are expanded, 16-bit channels are stripped to
// 8 and a transparency chunk becomes alpha. An opaque RGB picture gives IF_RGBX
// (fourth byte 255), everything else IF_RGBA.
#include <cstddef>
#include <cstdint>
#include <string>

#include "image.h"

namespace KR {

class PngImage : public Image {
 public:
  PngImage() = default;
  ~PngImage() override;
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;

  // True when the first 8 bytes of the file are the PNG signature.
  static bool isPngFile(const std::string& name, const std::string& package);

  // Opens and decodes the file; a missing file or a damaged picture is fatal.
  void load(const std::string& name, const std::string& package) override;
  // Decodes a PNG held in memory; false (and no pixels) when it is damaged.
  bool loadFromMemory(const void* bytes, size_t size);
  // Decodes from the stream's current position (the signature comes first).
  // False when the data is not a usable PNG; getLastError tells why.
  bool decode(ImageSource& source);

  // Enlarges an owned IF_RGBA picture to power-of-two sides, rows kept at the
  // top left and the added area cleared. 0 when it padded, 1 when it did nothing.
  int padToPowerOfTwo();

  uint8_t* getData() override { return data; }
  uint32_t getWidth() override { return width; }
  uint32_t getHeight() override { return height; }
  uint32_t getDataSize() override { return dataSize; }
  uint32_t getPitch() override { return pitch; }
  // The size as decoded; stays when the picture is padded.
  uint32_t getDecodedWidth() const { return decodedWidth; }
  uint32_t getDecodedHeight() const { return decodedHeight; }
  const std::string& getLastError() const { return lastError; }

 private:
  void clear();

  uint8_t* data = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t dataSize = 0;
  uint32_t pitch = 0;
  uint32_t decodedWidth = 0;
  uint32_t decodedHeight = 0;
  bool ownsData = false;
  std::string lastError;
};

}  // namespace KR
