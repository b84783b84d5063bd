#pragma once
// Writes KRT pictures: the 20-byte header (magic "KRT.", storage format,
// width, height, payload size; unsigned 32-bit little-endian) and the tiled
// payload, storage format 2 (RGBA in 4x8 tiles) or 3 (256-entry RGBA palette
// and 8-bit indices in 16x8 tiles).
#include <cstdint>
#include <string>
#include <vector>

namespace KR {
namespace Tools {

// Packed RGBA rows, top row first.
struct RgbaPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pixels;
};

constexpr uint32_t kKrtRgbaTiles = 2;
constexpr uint32_t kKrtPalettedTiles = 3;

// Format 2 from RGBA pixels. The width must be a multiple of 4 and the height
// of 8; false with a reason otherwise.
bool encodeKrtRgba(const RgbaPicture& picture, std::vector<uint8_t>& file, std::string& error);

// Format 3 from a palette (up to 256 RGBA entries; missing entries are written
// as zero) and one index a pixel, rows top first. The width must be a multiple
// of 16 and the height of 8.
bool encodeKrtPaletted(uint32_t width, uint32_t height, const std::vector<uint8_t>& paletteRgba,
                       const std::vector<uint8_t>& indices, std::vector<uint8_t>& file, std::string& error);

// Format 3 from RGBA pixels: the palette is the picture's distinct colours in
// order of first appearance; false when there are more than 256.
bool encodeKrtPalettedFromRgba(const RgbaPicture& picture, std::vector<uint8_t>& file, std::string& error);

// Reads any PNG as RGBA (libpng).
bool readPngAsRgba(const std::string& path, RgbaPicture& picture, std::string& error);

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace Tools
}  // namespace KR
