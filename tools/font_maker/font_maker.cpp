#include "font_maker.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>

namespace KR {
namespace Tools {

namespace {

// Empty texels between cells, so filtering at other scales never bleeds.
constexpr uint32_t kPadding = 2;

std::string number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", double(value));
  return text;
}

uint32_t nextPowerOfTwo(uint32_t v) {
  uint32_t p = 1;
  while (p < v) p <<= 1;
  return p;
}

class FreeType {
 public:
  FreeType() { ok = FT_Init_FreeType(&library) == 0; }
  ~FreeType() {
    for (FT_Face face : faces) FT_Done_Face(face);
    if (ok) FT_Done_FreeType(library);
  }
  FT_Face open(const std::string& file) {
    FT_Face face = nullptr;
    if (!ok || FT_New_Face(library, file.c_str(), 0, &face) != 0) return nullptr;
    faces.push_back(face);
    return face;
  }
  bool ok = false;

 private:
  FT_Library library = nullptr;
  std::vector<FT_Face> faces;
};

bool setSize(FT_Face face, float pixels) {
  return FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(pixels * 64.0f)), 72, 72) == 0;
}

struct Source {
  uint32_t code;
  FT_Face face;
  FT_UInt index;
  float advance;  // level 0, whole pixels
};

// Row packing of cells into the narrowest power-of-two square-ish texture.
bool packCells(const std::vector<std::pair<uint32_t, uint32_t>>& cells, uint32_t* width, uint32_t* height,
               std::vector<std::pair<uint32_t, uint32_t>>* positions) {
  for (uint32_t w = 64; w <= 8192; w <<= 1) {
    std::vector<std::pair<uint32_t, uint32_t>> placed;
    uint32_t x = kPadding, y = kPadding, rowHeight = 0;
    bool fits = true;
    for (const auto& cell : cells) {
      if (cell.first + 2 * kPadding > w) {
        fits = false;
        break;
      }
      if (x + cell.first + kPadding > w) {
        x = kPadding;
        y += rowHeight + kPadding;
        rowHeight = 0;
      }
      placed.emplace_back(x, y);
      x += cell.first + kPadding;
      rowHeight = std::max(rowHeight, cell.second);
    }
    if (!fits) continue;
    const uint32_t h = nextPowerOfTwo(y + rowHeight + kPadding);
    if (h <= w) {
      *width = w;
      *height = h;
      *positions = std::move(placed);
      return true;
    }
  }
  return false;
}

std::string describeList(const std::vector<MadeGlyph>& glyphs) {
  std::string text = "{\n";
  for (const MadeGlyph& g : glyphs) {
    text += "  { " + std::to_string(g.code) + ", " + number(g.x) + ", " + number(g.y) + ", " + number(g.width) + ", " +
            number(g.height) + " },\n";
  }
  return text + "}\n";
}

}  // namespace

std::vector<uint32_t> latin1Codes() {
  std::vector<uint32_t> codes;
  for (uint32_t c = 32; c <= 126; ++c) codes.push_back(c);
  for (uint32_t c = 160; c <= 255; ++c) codes.push_back(c);
  return codes;
}

std::vector<uint32_t> cjkSampleCodes() {
  // こんにちは、世界。日本語のテキスト！中文字？한국어
  std::vector<uint32_t> codes = {0x3001, 0x3002, 0x3053, 0x3061, 0x306B, 0x306E, 0x306F, 0x3093, 0x30AD,
                                 0x30B9, 0x30C6, 0x30C8, 0x4E16, 0x4E2D, 0x5B57, 0x6587, 0x65E5, 0x672C,
                                 0x754C, 0x8A9E, 0xAD6D, 0xC5B4, 0xD55C, 0xFF01, 0xFF1F};
  std::sort(codes.begin(), codes.end());
  return codes;
}

bool makeFont(const FontMakerOptions& options, MadeFont* out, std::string* error) {
  FreeType freeType;
  if (!freeType.ok) {
    *error = "FreeType did not start";
    return false;
  }
  FT_Face main = freeType.open(options.fontFile);
  if (!main) {
    *error = "cannot open font " + options.fontFile;
    return false;
  }
  FT_Face fallback = options.fallbackFile.empty() ? nullptr : freeType.open(options.fallbackFile);
  if (options.scales.empty() || options.pixelSize == 0) {
    *error = "no levels or no size";
    return false;
  }

  // Level 0 decides every cell: whole-pixel advances and one line height.
  MadeFont font;
  if (!setSize(main, float(options.pixelSize)) || (fallback && !setSize(fallback, float(options.pixelSize)))) {
    *error = "cannot size the font";
    return false;
  }
  const float ascender = float(main->size->metrics.ascender) / 64.0f;
  const float descender = float(main->size->metrics.descender) / 64.0f;
  const float lineHeight = std::ceil(ascender - descender) + float(options.leading);
  std::vector<Source> sources;
  for (uint32_t code : options.codes) {
    FT_Face face = main;
    FT_UInt index = FT_Get_Char_Index(main, code);
    if (index == 0 && fallback) {
      index = FT_Get_Char_Index(fallback, code);
      face = fallback;
    }
    if (index == 0 && code != 32) {
      font.missing.push_back(code);
      continue;
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING) != 0) {
      font.missing.push_back(code);
      continue;
    }
    const float advance = std::max(1.0f, std::round(float(face->glyph->advance.x) / 64.0f)) + float(options.spacing);
    sources.push_back(Source{code, face, index, advance});
  }

  for (float scale : options.scales) {
    MadeLevel level;
    level.scale = scale;
    const float size = float(options.pixelSize) * scale;
    if (!setSize(main, size) || (fallback && !setSize(fallback, size))) {
      *error = "cannot size the font";
      return false;
    }
    const float baseline = std::round(ascender * scale);
    std::vector<std::pair<uint32_t, uint32_t>> cells;
    for (const Source& source : sources)
      cells.emplace_back(uint32_t(std::ceil(source.advance * scale)), uint32_t(std::ceil(lineHeight * scale)));
    std::vector<std::pair<uint32_t, uint32_t>> positions;
    if (!packCells(cells, &level.width, &level.height, &positions)) {
      *error = "glyphs do not fit a texture";
      return false;
    }
    level.rgba.assign(size_t(level.width) * level.height * 4, 0);
    for (size_t i = 0; i < level.rgba.size(); i += 4) level.rgba[i] = level.rgba[i + 1] = level.rgba[i + 2] = 255;
    for (size_t i = 0; i < sources.size(); ++i) {
      const Source& source = sources[i];
      const uint32_t cellX = positions[i].first, cellY = positions[i].second;
      const uint32_t cellW = cells[i].first, cellH = cells[i].second;
      level.glyphs.push_back(
          MadeGlyph{source.code, float(cellX), float(cellY), source.advance * scale, lineHeight * scale});
      if (FT_Load_Glyph(source.face, source.index, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) continue;
      const FT_Bitmap& bitmap = source.face->glyph->bitmap;
      if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) continue;
      const int left = source.face->glyph->bitmap_left;
      const int top = int(baseline) - source.face->glyph->bitmap_top;
      for (uint32_t row = 0; row < bitmap.rows; ++row) {
        const int y = top + int(row);
        if (y < 0 || y >= int(cellH)) continue;
        for (uint32_t column = 0; column < bitmap.width; ++column) {
          const int x = left + int(column);
          if (x < 0 || x >= int(cellW)) continue;
          const uint8_t coverage = bitmap.buffer[row * uint32_t(std::abs(bitmap.pitch)) + column];
          uint8_t& alpha = level.rgba[((size_t(cellY) + y) * level.width + cellX + x) * 4 + 3];
          alpha = std::max(alpha, coverage);
        }
      }
    }
    font.levels.push_back(std::move(level));
  }
  *out = std::move(font);
  return true;
}

std::string describeFont(const MadeFont& font, const std::vector<std::string>& imageNames) {
  std::string text = "-- Made by font_maker.\n";
  for (size_t k = 0; k < font.levels.size() && k < imageNames.size(); ++k) {
    text += (k == 0 ? std::string("Image") : "MIP" + std::to_string(k)) + " = \"" + imageNames[k] + "\"\n";
    text += "MIP" + std::to_string(k) + "Scale = " + number(font.levels[k].scale) + "\n";
  }
  for (size_t k = 0; k < font.levels.size() && k < imageNames.size(); ++k)
    text += (k == 0 ? std::string("CharList") : "CharList" + std::to_string(k)) + " = " +
            describeList(font.levels[k].glyphs);
  return text;
}

std::string describeSimpleFont(const MadeFont& font, const std::string& imageName, uint32_t first, uint32_t last) {
  std::vector<MadeGlyph> glyphs;
  if (!font.levels.empty())
    for (const MadeGlyph& g : font.levels[0].glyphs)
      if (g.code >= first && g.code <= last) glyphs.push_back(g);
  return "-- Made by font_maker.\nImage = \"" + imageName + "\"\nCharList = " + describeList(glyphs);
}

bool writePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba,
              std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr)) {
    *error = "cannot write " + path + ": " + image.message;
    return false;
  }
  return true;
}

bool writeDescriptionSeeds(const std::string& folder, std::string* error) {
  const std::map<std::string, std::string> seeds = {
      {"two_levels.lua",
       "Image = 'a'\nMIP1 = 'b'\nMIP1Scale = 2\nCharList = { { 32, 0, 0, 4, 10 }, { 65, 4, 0, 6, 10 } }\n"
       "CharList1 = { { 32, 0, 0, 8, 20 }, { 65, 8, 0, 12, 20 } }\n"},
      {"simple.lua",
       "Image = 'font2_image'\nCharList = { { 32, 0, 0, 4, 10 }, { 33, 4, 0, 2, 10 }, "
       "{ 35, 6, 0, 7, 10 } }\n"},
      {"strings.lua", "Image = 7\nCharList = { { '65', '1', '2', '3', '4' }, { 66, 'x', 2, 3, 4 }, { 67, 1 } }\n"},
      {"reversed.lua", "Image = 'a'\nCharList = { { 90, 0, 0, 1, 1 }, { 65, 1, 0, 1, 1 } }\n"},
      {"too_few_slots.lua",
       "Image = 'a'\nCharList = { { 1, 0, 0, 1, 1 }, { 1, 0, 0, 1, 1 }, { 1, 0, 0, 1, 1 }, { 2, 0, 0, 1, 1 } }\n"},
      {"wide_range.lua", "Image = 'a'\nCharList = { { 0, 0, 0, 1, 1 }, { 4000000000, 0, 0, 1, 1 } }\n"},
      {"later_longer.lua",
       "Image = 'a'\nMIP2 = 'c'\nCharList = { { 65, 0, 0, 1, 1 } }\n"
       "CharList1 = { { 65, 0, 0, 1, 1 }, { 66, 0, 0, 1, 1 } }\n"},
      {"missing_level_list.lua", "Image = 'a'\nMIP1 = 'b'\nCharList = { { 65, 0, 0, 1, 1 } }\n"},
      {"reserved_code.lua", "Image = 'a'\nCharList = { { 65535, 0, 0, 1, 1 } }\n"},
      {"bad_entry.lua", "Image = 'a'\nCharList = { { 65, 0, 0, 1, 1 }, 'nope' }\n"},
      {"no_charlist.lua", "Image = 'a'\nCharList = 3\n"},
      {"no_image.lua", "CharList = { { 65, 0, 0, 1, 1 } }\n"},
      {"keyed.lua", "Image = 'a'\nCharList = { x = { [5] = 1, [1] = 66, [3] = 2 }, { 1e30, -1, 0/0, 1, 1 } }\n"},
      {"empty.lua", ""},
  };
  for (const auto& seed : seeds) {
    std::ofstream file(folder + "/" + seed.first, std::ios::binary);
    file << seed.second;
    if (!file) {
      *error = "cannot write " + folder + "/" + seed.first;
      return false;
    }
  }
  return true;
}

}  // namespace Tools
}  // namespace KR
