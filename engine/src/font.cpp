#include "font.h"

#include <lua.hpp>

#include <cmath>

#include "format_string.h"
#include "lua_data_file.h"
#include "lua_script_2.h"
#include "report_assert.h"
#include "sprite.h"
#include "sprite_manager.h"

namespace KR {

const char* const kSimpleFontTexture = "font2_image";

namespace {

struct GlyphRecord {
  uint32_t code;
  float x, y, width, height;
};

// The code of a record: the number truncated toward zero, kept in 32 bits
// (negative codes wrap, values no integer can hold give the highest code).
uint32_t truncateCode(float value) {
  const double t = std::trunc(double(value));
  if (!(t >= -2147483648.0 && t <= 4294967295.0)) return 0xFFFFFFFFu;
  return uint32_t(int64_t(t));
}

}  // namespace

const char* describeFontDescriptionError(FontDescriptionError error) {
  switch (error) {
    case FontDescriptionError::kNone: return "no error";
    case FontDescriptionError::kNoImage: return "\"Image\" is missing";
    case FontDescriptionError::kNoCharList: return "\"CharList\" is missing or not a table";
    case FontDescriptionError::kTooFewSlots: return "the code range is narrower than the number of characters";
    case FontDescriptionError::kReversedRange: return "the last character's code is below the first's";
    case FontDescriptionError::kRangeTooWide: return "too many codes between the first and the last character";
  }
  return "unknown error";
}

FontDescriptionError readSimpleFontDescription(lua_State* state, std::vector<FontGlyph>* glyphs, uint32_t* firstCode,
                                               uint32_t* lastCode) {
  LuaStackGuard guard(state);
  lua_getglobal(state, "Image");
  const int imageType = lua_type(state, -1);
  lua_pop(state, 1);
  if (imageType != LUA_TSTRING && imageType != LUA_TNUMBER) return FontDescriptionError::kNoImage;

  lua_getglobal(state, "CharList");
  if (!lua_istable(state, -1)) return FontDescriptionError::kNoCharList;
  const int list = lua_gettop(state);
  std::vector<GlyphRecord> records;
  lua_pushnil(state);
  while (lua_next(state, list) != 0) {
    float code, x, y, width, height;
    if (readLuaFloat5(LuaStackRef{state, -1}, &code, &x, &y, &width, &height))
      records.push_back(GlyphRecord{truncateCode(code), x, y, width, height});
    lua_pop(state, 1);
  }

  std::vector<FontGlyph> slots;
  uint32_t first = 0, last = 0;
  if (!records.empty()) {
    first = records.front().code;
    last = records.back().code;
    // A reversed list would wrap the slot count around to billions.
    if (last < first) return FontDescriptionError::kReversedRange;
    const uint64_t count = uint64_t(last) - first + 1;
    if (count > kMaxSimpleFontSlots) return FontDescriptionError::kRangeTooWide;
    if (count < records.size()) return FontDescriptionError::kTooFewSlots;
    slots.resize(size_t(count));
    // The first record of each code fills its slot; later duplicates and
    // codes outside the range are dropped.
    for (const GlyphRecord& record : records) {
      if (record.code < first || record.code > last) continue;
      const size_t i = record.code - first;
      if (slots[i].present != -1) continue;
      slots[i] = FontGlyph{record.x, record.y, record.width, record.height, int32_t(i)};
    }
  }
  glyphs->swap(slots);
  *firstCode = first;
  *lastCode = last;
  return FontDescriptionError::kNone;
}

Font::Font() = default;

Font::~Font() = default;

void Font::load(const std::string& name) {
  LuaStateHolder holder(newLuaState(), true);
  if (!holder.state || !loadLuaDataFile(holder, name)) {
    const char* why = holder.state && lua_isstring(holder.state, -1) ? lua_tostring(holder.state, -1) : nullptr;
    KR_FATAL(formatString("Font description '%s' could not be read or run%s%s", name.c_str(), why ? ": " : "",
                          why ? why : ""));
  }
  lua_settop(holder.state, 0);

  // The image key only has to be there: every simple font shares one texture.
  lua_getglobal(holder.state, "Image");
  const int imageType = lua_type(holder.state, -1);
  lua_pop(holder.state, 1);
  if (imageType != LUA_TSTRING && imageType != LUA_TNUMBER)
    KR_FATAL(formatString("Font description '%s': \"Image\" is missing", name.c_str()));

  SpriteManager<Sprite>* sprites = SpriteManager<Sprite>::getInstance();
  if (sprite) sprites->destroySprite(sprite);
  sprite = sprites->createSpriteFromTexture(kSimpleFontTexture, "default");

  std::vector<FontGlyph> table;
  uint32_t first = 0, last = 0;
  const FontDescriptionError error = readSimpleFontDescription(holder.state, &table, &first, &last);
  if (error != FontDescriptionError::kNone)
    KR_FATAL(formatString("Font description '%s': %s", name.c_str(), describeFontDescriptionError(error)));
  glyphs.swap(table);
  firstCode = first;
  lastCode = last;
  count = glyphs.empty() ? 0 : uint32_t(glyphs.size());
}

const FontGlyph* Font::glyphForByte(uint8_t byte) const {
  const uint32_t index = uint8_t(byte - uint8_t(firstCode));
  if (index >= count || index >= glyphs.size()) return nullptr;
  const FontGlyph& glyph = glyphs[index];
  return glyph.present == -1 ? nullptr : &glyph;
}

void Font::drawText(const Vector2<float>& position, const std::string& text, float factor, const Color& color) {
  if (!sprite) return;
  forEachGlyph(text, factor, [&](const FontGlyph& glyph, float pen) {
    sprite->setFrameRect(0, Rect(glyph.x, glyph.y, glyph.x + glyph.width, glyph.y + glyph.height), true);
    sprite->setPosition(position.x + pen, position.y);
    sprite->setSize(Vector2<float>(glyph.width, glyph.height));
    sprite->setMeshColor(color);
    sprite->updateVertices();
    sprite->render();
  });
}

void Font::release() {
  glyphs.clear();
  glyphs.shrink_to_fit();
  delete this;
}

}  // namespace KR
