#pragma once
// Makes bitmap fonts for the demo content: renders a TrueType font through
// FreeType into one texture per resolution level (PNG) and writes the font
// description (Lua) that lists every glyph's cell in each texture. Also writes
// the seed corpus of the font-description fuzz target.
#include <cstdint>
#include <string>
#include <vector>

namespace KR {
namespace Tools {

struct FontMakerOptions {
  std::string fontFile;                 // the main TrueType font
  std::string fallbackFile;             // optional: codes the main font lacks (CJK)
  uint32_t pixelSize = 20;              // level 0 size in pixels
  std::vector<float> scales{1.0f};      // one per level; level 0 first
  std::vector<std::string> imageNames;  // resource name of each level's texture
  std::vector<uint32_t> codes;          // characters wanted, ascending
  // Empty level 0 pixels right of and below every glyph, kept in its cell: a
  // font drawn with negative spacing coefficients (the message bar's) takes
  // its letter and line gaps from them.
  uint32_t spacing = 0;
  uint32_t leading = 0;
};

struct MadeGlyph {
  uint32_t code = 0;
  float x = 0, y = 0, width = 0, height = 0;
};

struct MadeLevel {
  float scale = 1.0f;
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgba;  // white, coverage in alpha
  std::vector<MadeGlyph> glyphs;
};

struct MadeFont {
  std::vector<MadeLevel> levels;
  // Codes asked for that neither font has.
  std::vector<uint32_t> missing;
};

// Latin-1 printable codes: 32..126 and 160..255.
std::vector<uint32_t> latin1Codes();
// A few ideographic, kana and hangul codes with the ideographic punctuation.
std::vector<uint32_t> cjkSampleCodes();

bool makeFont(const FontMakerOptions& options, MadeFont* out, std::string* error);
// The Lua description of a font: "Image", "MIP%i", "MIP%iScale", "CharList", "CharList%i".
std::string describeFont(const MadeFont& font, const std::vector<std::string>& imageNames);
// A simple-font description drawing from level 0 of the font, for codes first..last only.
std::string describeSimpleFont(const MadeFont& font, const std::string& imageName, uint32_t first, uint32_t last);
bool writePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba,
              std::string* error);
// Good and damaged font descriptions for the description fuzz target.
bool writeDescriptionSeeds(const std::string& folder, std::string* error);

}  // namespace Tools
}  // namespace KR
