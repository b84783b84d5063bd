#include "ui/ui_font.h"

#include <lua.hpp>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>

#include "config_manager.h"
#include "design_coords.h"
#include "fast_sprite.h"
#include "format_string.h"
#include "image.h"
#include "lua_script_2.h"
#include "render_data.h"
#include "render_system_dx8.h"
#include "report_assert.h"
#include "sprite_manager.h"
#include "vertex_format.h"

namespace KR {

namespace {

// Glyph indexes are 16-bit and 0xFFFF means "none".
constexpr uint32_t kMaxGlyphs = 0xFFFF;

class FontAdvances : public GlyphAdvances {
 public:
  FontAdvances(const UIFont& font_, float xcoeff_) : font(font_), xcoeff(xcoeff_) {}
  float advance(uint32_t code) const override { return font.advance(code, xcoeff); }

 private:
  const UIFont& font;
  float xcoeff;
};

// Reads one glyph list (the table on top of the stack) into level glyphs and
// the shared code table.
UIFontDescriptionError readGlyphList(LuaScript& script, uint32_t glyphCount, std::vector<UIFontGlyph>* glyphs,
                                     std::vector<uint16_t>* codeTable) {
  lua_State* state = script.getState();
  const int list = lua_gettop(state);
  uint32_t g = 0;
  lua_pushnil(state);
  while (lua_next(state, list) != 0) {
    // Stack: key, entry.
    if (g >= glyphCount) return UIFontDescriptionError::kTooManyGlyphs;
    if (!lua_istable(state, -1)) return UIFontDescriptionError::kBadGlyphEntry;
    const int entry = lua_gettop(state);
    uint16_t code = 0;
    float values[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int element = 0;
    lua_pushnil(state);
    while (lua_next(state, entry) != 0) {
      if (element == 0) {
        int32_t number = 0;
        script.toInt(&number);
        code = uint16_t(number);
      } else if (element <= 4) {
        script.toFloat(&values[element - 1]);
      }
      ++element;
      lua_pop(state, 1);
    }
    if (code == kNoGlyph) return UIFontDescriptionError::kReservedCode;
    (*codeTable)[code] = uint16_t(g);
    (*glyphs)[g] = UIFontGlyph{values[0], values[1], values[2], values[3]};
    ++g;
    lua_pop(state, 1);
  }
  return UIFontDescriptionError::kNone;
}

}  // namespace

const char* uiFontDescriptionErrorText(UIFontDescriptionError error) {
  return error == UIFontDescriptionError::kNoLevelList ? "Failed to open font CharList table!" : "";
}

UIFontDescriptionError readUIFontDescription(LuaScript& script, UIFontDescription* out) {
  lua_State* state = script.getState();
  LuaStackGuard guard(state);
  UIFontDescription d;
  d.codeTable.assign(kFontCodeTableSize, kNoGlyph);

  for (uint32_t slot = 0; slot < kMaxFontLevels; ++slot) {
    std::string image;
    script.getString(slot == 0 ? std::string("Image") : formatString("MIP%u", slot), &image);
    if (image.empty()) continue;
    UIFontDescription::Level& level = d.levels[d.levelCount++];
    float scale = 1.0f;
    script.pushField(formatString("MIP%uScale", slot));
    if (!script.toFloat(&scale)) scale = 1.0f;
    script.pop();
    level.scale = scale;
    level.image = image;
  }

  if (!script.openTable("CharList")) return UIFontDescriptionError::kNoCharList;
  uint32_t count = 0;
  lua_pushnil(state);
  while (lua_next(state, -2) != 0) {
    if (count < kMaxGlyphs + 1) ++count;
    lua_pop(state, 1);
  }
  script.closeTable();
  if (count > kMaxGlyphs) return UIFontDescriptionError::kTooManyGlyphs;
  d.glyphCount = count;

  for (uint32_t k = 0; k < d.levelCount; ++k) {
    d.levels[k].glyphs.assign(count, UIFontGlyph());
    if (!script.openTable(k == 0 ? std::string("CharList") : formatString("CharList%u", k)))
      return UIFontDescriptionError::kNoLevelList;
    const int depthTop = lua_gettop(state);
    const UIFontDescriptionError error = readGlyphList(script, count, &d.levels[k].glyphs, &d.codeTable);
    lua_settop(state, depthTop);
    script.closeTable();
    if (error != UIFontDescriptionError::kNone) return error;
  }
  *out = std::move(d);
  return UIFontDescriptionError::kNone;
}

int32_t chooseFontLevel(const float* scales, uint32_t count, float screenScale) {
  if (count == 0) return -1;
  int32_t chosen = 0;
  float best = FLT_MAX;
  for (uint32_t i = 0; i < count; ++i) {
    const float distance = std::fabs(screenScale - scales[i]);
    if (distance <= best) {
      best = distance;
      chosen = int32_t(i);
    }
  }
  return chosen;
}

// ---------------------------------------------------------------------------
// UIFont: loading

UIFont::UIFont() = default;

UIFont::UIFont(const std::string& name, const std::string& package) { load(name, package); }

UIFont::~UIFont() {
  releaseMipLevels();
  codeTable.clear();
  for (UIFontMipLevel& level : levels) level.glyphs.clear();
}

void UIFont::releaseMipLevels() {
  SpriteManager<FastSprite>* manager = SpriteManager<FastSprite>::getInstancePtr();
  for (UIFontMipLevel& level : levels) {
    // Without the manager its sprites are already gone with it.
    if (level.sprite && manager) manager->destroySprite(level.sprite);
    level.sprite = nullptr;
  }
  if (run) run->releaseTextures();
}

void UIFont::load(const std::string& name, const std::string& package) {
  LuaScript script;
  if (!script.getState() || !script.loadScript(name, package))
    KR_FATAL(formatString("Failed to load %s in %s package: %s", name.c_str(), package.c_str(),
                          script.getLoadError().c_str()));
  lua_settop(script.getState(), 0);
  UIFontDescription description;
  const UIFontDescriptionError error = readUIFontDescription(script, &description);
  if (error != UIFontDescriptionError::kNone) KR_FATAL(uiFontDescriptionErrorText(error));
  setDescription(std::move(description), package);
  selectMipLevel();
}

void UIFont::setDescription(UIFontDescription&& description, const std::string& package) {
  releaseMipLevels();
  levelCount = 0;
  for (uint32_t i = 0; i < kMaxFontLevels; ++i) {
    UIFontMipLevel& level = levels[i];
    level.scale = 1.0f;
    level.glyphs.clear();
    level.image.clear();
    level.package.clear();
    if (i >= description.levelCount) continue;
    level.scale = description.levels[i].scale;
    level.image = description.levels[i].image;
    level.package = package;
    level.glyphs = std::move(description.levels[i].glyphs);
    level.ink.clear();
    level.inkRead = false;
    ++levelCount;
  }
  glyphCount = description.glyphCount;
  codeTable = std::move(description.codeTable);
  if (codeTable.size() != kFontCodeTableSize) codeTable.assign(kFontCodeTableSize, kNoGlyph);
  computeMaxGlyphSize();
}

void UIFont::computeMaxGlyphSize() {
  maxGlyphWidth = 0.0f;
  maxGlyphHeight = 0.0f;
  if (levelCount == 0 || glyphCount == 0) return;
  // Lowest code of each glyph index (kNoGlyph when no code maps to it).
  std::vector<uint16_t> lowestCode(glyphCount, kNoGlyph);
  for (uint32_t code = kFontCodeTableSize - 1; code-- > 0;) {
    const uint16_t index = codeTable[code];
    if (index < glyphCount) lowestCode[index] = uint16_t(code);
  }
  const std::vector<UIFontGlyph>& glyphs = levels[0].glyphs;
  for (uint32_t i = 0; i < glyphCount && i < glyphs.size(); ++i) {
    if (glyphs[i].width > maxGlyphWidth) {
      maxGlyphWidth = glyphs[i].width;
      if (lowestCode[i] != kNoGlyph) widestCode = lowestCode[i];
    }
    if (glyphs[i].height > maxGlyphHeight) {
      maxGlyphHeight = glyphs[i].height;
      if (lowestCode[i] != kNoGlyph) tallestCode = lowestCode[i];
    }
  }
}

float UIFont::getScreenScale() {
  const ConfigManager* config = ConfigManager::getInstancePtr();
  if (!config || !config->getCurrentPlatform() || !RenderSystem::exists()) return 1.0f;
  const PlatformConfig* platform = config->getCurrentPlatform();
  if (platform->resolutionWidth <= 0 || platform->resolutionHeight <= 0) return 1.0f;
  const float scale = calcViewport().scale;
  return std::isfinite(scale) && scale > 0.0f ? scale : 1.0f;
}

UIFontMipLevel* UIFont::selectMipLevel() {
  if (levelCount == 0) return nullptr;
  float scales[kMaxFontLevels];
  for (uint32_t i = 0; i < levelCount; ++i) scales[i] = levels[i].scale;
  const int32_t chosen = chooseFontLevel(scales, levelCount, getScreenScale());
  SpriteManager<FastSprite>* manager = SpriteManager<FastSprite>::getInstance();
  for (uint32_t i = 0; i < levelCount; ++i) {
    if (int32_t(i) == chosen || !levels[i].sprite) continue;
    manager->destroySprite(levels[i].sprite);
    levels[i].sprite = nullptr;
  }
  UIFontMipLevel& level = levels[chosen];
  if (!level.sprite) level.sprite = manager->createSpriteFromImage(level.image, level.package);
  if (!level.inkRead && level.sprite) readInkBoxes(level);
  return &level;
}

void UIFont::readInkBoxes(UIFontMipLevel& level) {
  level.inkRead = true;
  level.ink.clear();
  std::unique_ptr<Image> image(loadImageFile(level.image, level.package));
  // Only pictures with an alpha channel tell ink from background.
  if (!image || image->format != IF_RGBA || !image->getData()) return;
  const uint32_t w = image->getWidth(), h = image->getHeight();
  const size_t pitch = image->getPitch() >= w * 4 ? image->getPitch() : size_t(w) * 4;
  if (size_t(image->getDataSize()) < pitch * h) return;
  const uint8_t* pixels = image->getData();
  level.ink.resize(level.glyphs.size());
  for (size_t i = 0; i < level.glyphs.size(); ++i) {
    const UIFontGlyph& cell = level.glyphs[i];
    UIFontGlyph& box = level.ink[i];
    box = UIFontGlyph{0.0f, 0.0f, cell.width, cell.height};
    // Cells off whole texels or off the picture are drawn whole.
    if (cell.x < 0.0f || cell.y < 0.0f || cell.x != std::floor(cell.x) || cell.y != std::floor(cell.y) ||
        cell.width != std::floor(cell.width) || cell.height != std::floor(cell.height) ||
        cell.x + cell.width > float(w) || cell.y + cell.height > float(h))
      continue;
    const int32_t x0 = int32_t(cell.x), y0 = int32_t(cell.y), cw = int32_t(cell.width), ch = int32_t(cell.height);
    int32_t left = cw, top = ch, right = -1, bottom = -1;
    for (int32_t y = 0; y < ch; ++y) {
      const uint8_t* row = pixels + size_t(y0 + y) * pitch + size_t(x0) * 4;
      for (int32_t x = 0; x < cw; ++x) {
        if (row[size_t(x) * 4 + 3] == 0) continue;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    if (right < 0) {
      box.width = 0.0f;
      box.height = 0.0f;
      continue;
    }
    left = std::max(left - 1, 0);
    top = std::max(top - 1, 0);
    right = std::min(right + 1, cw - 1);
    bottom = std::min(bottom + 1, ch - 1);
    box = UIFontGlyph{float(left), float(top), float(right - left + 1), float(bottom - top + 1)};
  }
}

UIFontGlyph UIFont::inkBox(const UIFontMipLevel& level, uint32_t glyph) {
  if (glyph < level.ink.size()) return level.ink[glyph];
  const UIFontGlyph& cell = level.glyphs[glyph];
  return UIFontGlyph{0.0f, 0.0f, cell.width, cell.height};
}

// ---------------------------------------------------------------------------
// UIFont: measuring and drawing

float UIFont::lineHeight(float ycoeff) const {
  const float first = levelCount > 0 && glyphCount > 0 && !levels[0].glyphs.empty() ? levels[0].glyphs[0].height : 0.0f;
  return first + lineSpacing * ycoeff;
}

template <typename Visit>
void UIFont::walkGlyphs(const TextView& text, const LineTable& lines, uint32_t halign, uint32_t valign, float boxWidth,
                        float boxHeight, float xcoeff, float ycoeff, Visit visit) const {
  const float height = lineHeight(ycoeff);
  const float y0 = alignOffset(valign, boxHeight, textBlockHeight(lines.count, height, lineSpacing * ycoeff));
  for (uint32_t i = 0; i < lines.count; ++i) {
    const TextLine& line = lines.lines[i];
    const float yLine = float(i) * height;
    const float x0 = alignOffset(halign, boxWidth, line.width);
    float pen = 0.0f;
    const size_t end = line.end < text.size() ? line.end : text.size() - 1;
    for (size_t index = line.start; index <= end; ++index) {
      const uint32_t glyph = glyphIndex(text.at(index));
      if (glyph == kNoGlyph) continue;
      if (!visit(glyph, x0 + pen, y0 + yLine)) return;
      pen += levels[0].glyphs[glyph].width + letterSpacing * xcoeff;
    }
  }
}

void UIFont::beginRun(const FastSprite& sprite, size_t glyphs) {
  runCount = 0;
  const RenderData& quad = *sprite.mQuad;
  if (!run) run = std::make_unique<RenderData>();
  const size_t wanted = glyphs * 4;
  if (runCapacity < wanted || !run->hasCurrentVertexStride()) {
    runCapacity = uint32_t(std::max<size_t>(wanted, 256));
    run->allocateVertices(runCapacity);
  }
  if (run->mTextures != quad.mTextures) {
    run->releaseTextures();
    run->appendTextures(quad);
  }
  run->mPrimitiveType = quad.mPrimitiveType;
  run->mBlendMode = quad.mBlendMode;
  run->mAddressMode = quad.mAddressMode;
}

void UIFont::addToRun(const FastSprite& sprite) {
  if (runCount + 4 > runCapacity || sprite.mQuad->getVertexCount() < 4) return;
  const size_t stride = gVertexStride;
  std::memcpy(run->getVertexBytes() + runCount * stride, sprite.mQuad->getVertexBytes(), 4 * stride);
  runCount += 4;
}

void UIFont::endRun() {
  if (runCount == 0 || !RenderSystem::exists()) return;
  // The item shows only the quads written; its storage keeps its size.
  run->mVertices->count = runCount;
  RenderSystem::getInstance()->render(run.get());
  run->mVertices->count = runCapacity;
  runCount = 0;
}

UIFontMipLevel* UIFont::beginDrawing(const TextView& text) {
  if (text.empty() || color.alpha() == 0 || levelCount == 0) return nullptr;
  UIFontMipLevel* level = selectMipLevel();
  if (!level || !level->sprite) return nullptr;
  level->sprite->setColor(color);
  return level;
}

void UIFont::drawLaidOut(const TextView& text, const Rect& clip, const Vector2<float>& position, bool wordWrap,
                         uint32_t halign, uint32_t valign, float xcoeff, float ycoeff, bool clipOn, bool pixelSnap,
                         float boxWidth, float boxHeight) {
  UIFontMipLevel* level = beginDrawing(text);
  if (!level) return;
  FastSprite* sprite = level->sprite;
  LineTable lines;
  layoutTextA(text, FontAdvances(*this, xcoeff), wordWrap, boxWidth, currentLanguageIsIdeographic(), &lines);
  const float screenScale = pixelSnap ? getScreenScale() : 1.0f;
  beginRun(*sprite, text.size());
  walkGlyphs(text, lines, halign, valign, boxWidth, boxHeight, xcoeff, ycoeff, [&](uint32_t glyph, float x, float y) {
    if (glyph >= level->glyphs.size()) return true;
    Vector2<float> at(position.x + x, position.y + y);
    if (pixelSnap) at = snapToPixelAtScale(at, screenScale);
    const UIFontGlyph& g0 = levels[0].glyphs[glyph];
    const UIFontGlyph& gs = level->glyphs[glyph];
    const UIFontGlyph ink = inkBox(*level, glyph);
    if (ink.width <= 0.0f || gs.width <= 0.0f || gs.height <= 0.0f) return true;
    // Level texels to design units.
    const float sx = g0.width / gs.width, sy = g0.height / gs.height;
    sprite->mSize = Vector2<float>(ink.width * sx, ink.height * sy);
    sprite->setFrameRect(0, Rect(gs.x + ink.x, gs.y + ink.y, gs.x + ink.x + ink.width, gs.y + ink.y + ink.height));
    sprite->mPosition = Vector2<float>(at.x + ink.x * sx, at.y + ink.y * sy);
    sprite->mClipEnabled = clipOn;
    if (clipOn) sprite->mClipRect = clip;
    if (sprite->place()) addToRun(*sprite);
    return true;
  });
  endRun();
}

void UIFont::drawWString(const Rect& clip, const Vector2<float>& position, const std::wstring& text, bool wordWrap,
                         uint32_t halign, uint32_t valign, float xcoeff, float ycoeff, bool clipOn, bool pixelSnap,
                         float boxWidth, float boxHeight) {
  drawLaidOut(TextView(text), clip, position, wordWrap, halign, valign, xcoeff, ycoeff, clipOn, pixelSnap, boxWidth,
              boxHeight);
}

void UIFont::drawString(const Rect& clip, const Vector2<float>& position, const std::string& text, bool wordWrap,
                        uint32_t halign, uint32_t valign, float xcoeff, float ycoeff, bool clipOn, float boxWidth,
                        float boxHeight) {
  drawLaidOut(TextView(text), clip, position, wordWrap, halign == 1 ? 1 : 0, valign == 1 ? 1 : 0, xcoeff, ycoeff,
              clipOn, true, boxWidth, boxHeight);
}

void UIFont::drawWStringTransformed(const Matrix3& matrix, const Vector2<float>& boxSize, const std::wstring& text,
                                    bool wordWrap, uint32_t halign, uint32_t valign, float xcoeff, float ycoeff,
                                    bool clipOn, const Rect& clip, bool pixelSnap, int32_t maxGlyphs) {
  const TextView view(text);
  UIFontMipLevel* level = beginDrawing(view);
  if (!level) return;
  FastSprite* sprite = level->sprite;
  sprite->mPosition = Vector2<float>();
  sprite->mRotationCenter = Vector2<float>();
  sprite->mAngle = 0.0f;
  LineTable lines;
  layoutTextA(view, FontAdvances(*this, xcoeff), wordWrap, boxSize.x, currentLanguageIsIdeographic(), &lines);
  const float a = matrix.m[0], b = matrix.m[1], c = matrix.m[3], d = matrix.m[4], e = matrix.m[6], f = matrix.m[7];
  const float screenScale = getScreenScale();
  // A level scale that is not positive cannot size anything: draw it 1:1.
  const float levelScale = level->scale > 0.0f ? level->scale : 1.0f;
  const bool snapSize = pixelSnap && std::fabs(levelScale - 1.0f) > FLT_MIN;
  int32_t drawn = 0;
  beginRun(*sprite, view.size());
  walkGlyphs(
      view, lines, halign, valign, boxSize.x, boxSize.y, xcoeff, ycoeff, [&](uint32_t glyph, float lx, float ly) {
        if (maxGlyphs > 0 && drawn >= maxGlyphs) return false;
        if (glyph >= level->glyphs.size()) return true;
        const Vector2<float> p(a * lx + c * ly, b * lx + d * ly);
        const UIFontGlyph& gs = level->glyphs[glyph];
        const UIFontGlyph ink = inkBox(*level, glyph);
        if (ink.width <= 0.0f) {
          ++drawn;
          return true;
        }
        // The cell's quad as it would be drawn whole, snapped as before; the
        // ink box is a part of it, so the pixels come out the same.
        Vector2<float> cell(gs.width / levelScale, gs.height / levelScale);
        if (snapSize) {
          cell.x = truncateToPixelAtScale(cell.x, screenScale);
          cell.y = truncateToPixelAtScale(cell.y, screenScale);
        }
        const float kx = gs.width > 0.0f ? cell.x / gs.width : 0.0f;
        const float ky = gs.height > 0.0f ? cell.y / gs.height : 0.0f;
        sprite->mSize = Vector2<float>(ink.width * kx, ink.height * ky);
        sprite->setFrameRect(0, Rect(gs.x + ink.x, gs.y + ink.y, gs.x + ink.x + ink.width, gs.y + ink.y + ink.height));
        sprite->mClipEnabled = clipOn;
        if (clipOn) sprite->mClipRect = clip;
        Vector2<float> t(e + p.x, f + p.y);
        if (pixelSnap) {
          t.x = truncateToPixelAtScale(t.x, screenScale);
          t.y = truncateToPixelAtScale(t.y, screenScale);
        }
        // The ink box's corner within the cell, in the node's axes.
        const float ix = ink.x * kx, iy = ink.y * ky;
        t.x += a * ix + c * iy;
        t.y += b * ix + d * iy;
        Matrix3 placed;
        placed.m[0] = a;
        placed.m[1] = b;
        placed.m[3] = c;
        placed.m[4] = d;
        placed.m[6] = t.x;
        placed.m[7] = t.y;
        if (sprite->placeTransformed(placed)) addToRun(*sprite);
        ++drawn;
        return true;
      });
  endRun();
}

Rect UIFont::measureWStringRect(const Vector2<float>& origin, const std::wstring& text, bool wordWrap, uint32_t halign,
                                uint32_t valign, float xcoeff, float ycoeff, float boxWidth, float boxHeight) {
  Rect result(origin.x, origin.y, origin.x, origin.y);
  const TextView view(text);
  if (view.empty()) return result;
  LineTable lines;
  layoutTextB(view, FontAdvances(*this, xcoeff), wordWrap, boxWidth, currentLanguageIsIdeographic(), &lines);
  const float screenScale = getScreenScale();
  auto include = [&result](float x, float y) {
    result.left = std::min(result.left, x);
    result.top = std::min(result.top, y);
    result.right = std::max(result.right, x);
    result.bottom = std::max(result.bottom, y);
  };
  walkGlyphs(view, lines, halign, valign, boxWidth, boxHeight, xcoeff, ycoeff, [&](uint32_t glyph, float x, float y) {
    const Vector2<float> at = snapToPixelAtScale(Vector2<float>(origin.x + x, origin.y + y), screenScale);
    const UIFontGlyph& g0 = levels[0].glyphs[glyph];
    include(at.x, at.y);
    include(at.x + g0.width, at.y + g0.height);
    return true;
  });
  return result;
}

float UIFont::getWStringWidth(const wchar_t* first, const wchar_t* last, float xcoeff) const {
  if (!first || last <= first) return 0.0f;
  const TextView view(first, last);
  return textRangeWidth(view, FontAdvances(*this, xcoeff), 0, view.size() - 1);
}

float UIFont::getStringWidth(const char* first, const char* last, float xcoeff) const {
  if (!first || last <= first) return 0.0f;
  const TextView view(first, last);
  return textRangeWidth(view, FontAdvances(*this, xcoeff), 0, view.size() - 1);
}

Vector2<float> UIFont::snapToPixel(const Vector2<float>& point) { return snapToPixelAtScale(point, getScreenScale()); }

float fontLineHeight(const UIFont* font) {
  if (!font || font->levelCount == 0) return 0.0f;
  const uint32_t index = font->glyphIndex(65);
  return index == kNoGlyph ? 0.0f : font->levels[0].glyphs[index].height;
}

}  // namespace KR
