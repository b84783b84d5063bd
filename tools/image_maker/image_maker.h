#pragma once
// Makes pictures for the demo content, the tests and the fuzzers' seed
// corpora: PNG files of every colour type (libpng), DXT5 blocks and DDS files.
#include <cstdint>
#include <string>
#include <vector>

#include "krt_writer.h"

namespace KR {
namespace Tools {

// A PNG as it is to be stored: rows of packed samples (16-bit samples
// big-endian), one row after the other without gaps.
struct PngDescription {
  uint32_t width = 0;
  uint32_t height = 0;
  int colorType = 0;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<uint8_t> rows;
  std::vector<uint8_t> paletteRgb;           // palette pictures: R, G, B an entry
  std::vector<uint8_t> paletteAlpha;         // palette pictures: a tRNS chunk when not empty
  bool hasTransparentColor = false;          // grey and RGB pictures: a tRNS colour
  uint16_t transparentColor[3] = {0, 0, 0};  // grey uses [0]
};

// Bytes of one stored row of the description.
size_t pngRowBytes(const PngDescription& description);
bool encodePng(const PngDescription& description, std::vector<uint8_t>& file, std::string& error);
// An 8-bit RGBA PNG of the picture.
bool encodePngRgba(const RgbaPicture& picture, std::vector<uint8_t>& file, std::string& error);
// Writes the picture as <folder>/<name>.png.
bool writePngRgba(const RgbaPicture& picture, const std::string& folder, const std::string& name, std::string& error);

// DXT5 blocks of the picture's top level (edges repeated to whole blocks).
std::vector<uint8_t> encodeDxt5(const RgbaPicture& picture);
// RGBA pixels of DXT5 blocks of a width x height picture.
RgbaPicture decodeDxt5(const uint8_t* blocks, uint32_t width, uint32_t height);

// A DDS file: magic, 124-byte header with the FourCC (or, when paletteFlags,
// pixel-format flags 0x20 and no FourCC), then the data as given.
std::vector<uint8_t> encodeDds(uint32_t width, uint32_t height, const std::string& fourCC,
                               const std::vector<uint8_t>& data, uint32_t mipCount = 1, bool paletteFlags = false);

// A colourful test picture: gradients, a checker board and a soft disc whose
// alpha falls towards its rim. The same size and seed give the same pixels.
RgbaPicture makeDemoPicture(uint32_t width, uint32_t height, uint32_t seed);

// Writes the demo pictures (PNG of each colour type, one DDS, the KRT source
// PNG) into a folder.
bool writeDemoImages(const std::string& folder, std::string& error);
// Writes the seed corpus of one loader ("png", "dds" or "krt") into a folder.
bool writeSeedCorpus(const std::string& kind, const std::string& folder, std::string& error);

}  // namespace Tools
}  // namespace KR
