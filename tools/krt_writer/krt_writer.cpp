#include "krt_writer.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <map>

namespace KR {
namespace Tools {

namespace {

constexpr uint32_t kTileHeight = 8;
constexpr uint32_t kRgbaTileWidth = 4;
constexpr uint32_t kPalettedTileWidth = 16;
constexpr uint32_t kPaletteEntries = 256;

void putLE32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void putHeader(std::vector<uint8_t>& out, uint32_t format, uint32_t width, uint32_t height, uint32_t payload) {
  out.clear();
  out.insert(out.end(), {'K', 'R', 'T', '.'});
  putLE32(out, format);
  putLE32(out, width);
  putLE32(out, height);
  putLE32(out, payload);
}

bool checkSides(uint32_t width, uint32_t height, uint32_t tileWidth, std::string& error) {
  if (width == 0 || height == 0 || width % tileWidth != 0 || height % kTileHeight != 0) {
    char text[160];
    std::snprintf(text, sizeof(text), "size %ux%u is not a whole number of %ux%u tiles", width, height, tileWidth,
                  kTileHeight);
    error = text;
    return false;
  }
  return true;
}

}  // namespace

bool encodeKrtRgba(const RgbaPicture& picture, std::vector<uint8_t>& file, std::string& error) {
  const uint32_t width = picture.width;
  const uint32_t height = picture.height;
  if (!checkSides(width, height, kRgbaTileWidth, error)) return false;
  const size_t pixelCount = static_cast<size_t>(width) * height;
  if (picture.pixels.size() != pixelCount * 4) {
    error = "pixel buffer does not match the size";
    return false;
  }
  putHeader(file, kKrtRgbaTiles, width, height, static_cast<uint32_t>(pixelCount * 4));
  file.reserve(file.size() + pixelCount * 4);
  // Tiles in row-major tile order, each tile's pixels row by row.
  for (uint32_t top = 0; top < height; top += kTileHeight)
    for (uint32_t left = 0; left < width; left += kRgbaTileWidth)
      for (uint32_t y = top; y < top + kTileHeight; ++y)
        for (uint32_t x = left; x < left + kRgbaTileWidth; ++x) {
          const uint8_t* pixel = &picture.pixels[(static_cast<size_t>(y) * width + x) * 4];
          file.insert(file.end(), pixel, pixel + 4);
        }
  return true;
}

bool encodeKrtPaletted(uint32_t width, uint32_t height, const std::vector<uint8_t>& paletteRgba,
                       const std::vector<uint8_t>& indices, std::vector<uint8_t>& file, std::string& error) {
  if (!checkSides(width, height, kPalettedTileWidth, error)) return false;
  const size_t pixelCount = static_cast<size_t>(width) * height;
  if (indices.size() != pixelCount) {
    error = "index buffer does not match the size";
    return false;
  }
  if (paletteRgba.size() > kPaletteEntries * 4 || paletteRgba.size() % 4 != 0) {
    error = "palette must hold at most 256 RGBA entries";
    return false;
  }
  putHeader(file, kKrtPalettedTiles, width, height, static_cast<uint32_t>(kPaletteEntries * 4 + pixelCount));
  std::vector<uint8_t> palette(paletteRgba);
  palette.resize(kPaletteEntries * 4, 0);
  file.insert(file.end(), palette.begin(), palette.end());
  for (uint32_t top = 0; top < height; top += kTileHeight)
    for (uint32_t left = 0; left < width; left += kPalettedTileWidth)
      for (uint32_t y = top; y < top + kTileHeight; ++y)
        for (uint32_t x = left; x < left + kPalettedTileWidth; ++x)
          file.push_back(indices[static_cast<size_t>(y) * width + x]);
  return true;
}

bool encodeKrtPalettedFromRgba(const RgbaPicture& picture, std::vector<uint8_t>& file, std::string& error) {
  const size_t pixelCount = static_cast<size_t>(picture.width) * picture.height;
  if (picture.pixels.size() != pixelCount * 4) {
    error = "pixel buffer does not match the size";
    return false;
  }
  std::map<uint32_t, uint8_t> slots;
  std::vector<uint8_t> palette;
  std::vector<uint8_t> indices(pixelCount);
  for (size_t i = 0; i < pixelCount; ++i) {
    const uint8_t* pixel = &picture.pixels[i * 4];
    uint32_t key;
    std::memcpy(&key, pixel, 4);
    auto found = slots.find(key);
    if (found == slots.end()) {
      if (slots.size() == kPaletteEntries) {
        error = "picture has more than 256 colours";
        return false;
      }
      found = slots.emplace(key, static_cast<uint8_t>(slots.size())).first;
      palette.insert(palette.end(), pixel, pixel + 4);
    }
    indices[i] = found->second;
  }
  return encodeKrtPaletted(picture.width, picture.height, palette, indices, file, error);
}

bool readPngAsRgba(const std::string& path, RgbaPicture& picture, std::string& error) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    error = path + ": " + image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  picture.width = image.width;
  picture.height = image.height;
  picture.pixels.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
    error = path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (std::fclose(out) != 0 || !ok) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace Tools
}  // namespace KR
