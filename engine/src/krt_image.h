#pragma once
// The engine's packed picture format KRT. A 20-byte header of unsigned 32-bit
// little-endian numbers (magic "KRT.", storage format, width, height, payload
// size) and the payload:
//   format 2: width x height pixels R, G, B, A in tiles 4 wide and 8 high;
//   format 3: a palette of 256 entries R, G, B, A, then width x height 8-bit
//             indices in tiles 16 wide and 8 high.
// Tiles follow each other in row-major tile order, each stored row by row. The
// decoded image is always IF_RGBA, rows packed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "image.h"

namespace KR {

class KRTImage : public Image {
 public:
  static constexpr size_t kHeaderSize = 20;
  static constexpr uint32_t kFormatRgbaTiles = 2;
  static constexpr uint32_t kFormatPalettedTiles = 3;
  static constexpr uint32_t kPaletteBytes = 256 * 4;

  enum class Result {
    Ok,
    NotKrt,     // no "KRT." magic (or a file shorter than the header)
    Refused,    // sizes that do not fit the format, or a payload the file lacks
    BadFormat,  // a storage format other than 2 or 3
    TooLarge,   // a payload larger than the free room of the scratch arena
  };

  KRTImage() = default;
  ~KRTImage() override;
  KRTImage(const KRTImage&) = delete;
  KRTImage& operator=(const KRTImage&) = delete;

  static bool isKRTFile(const std::string& name, const std::string& package);

  // The payload is read into the engine's scratch arena (EngineAllocators must
  // exist). A missing file, a payload larger than the arena's free room and an unknown
  // storage format are fatal; a wrong magic or a damaged header logs
  // "Failed to load KRT image %s" and leaves the image without pixels.
  void load(const std::string& name, const std::string& package) override;
  Result loadFromMemory(const void* bytes, size_t size);
  Result decode(ImageSource& source);

  // Payload layouts into packed RGBA rows. The caller checked the sizes.
  static void untileRgba(const uint8_t* payload, uint32_t width, uint32_t height, uint8_t* pixels);
  static void expandPalettedTiles(const uint8_t* payload, uint32_t width, uint32_t height, uint8_t* pixels);

  uint8_t* getData() override { return data; }
  uint32_t getWidth() override { return width; }
  uint32_t getHeight() override { return height; }
  uint32_t getDataSize() override { return dataSize; }
  uint32_t getPitch() override { return width; }

 private:
  void clear();

  uint8_t* data = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t dataSize = 0;
  bool ownsData = false;
};

}  // namespace KR
