#include "ui/ui_sprite.h"

#include <algorithm>

#include "fast_sprite.h"
#include "lua_script_2.h"
#include "sprite_manager.h"
#include "ui/ui_load_cache.h"
#include "ui/ui_table_keys.h"

namespace KR {

namespace {

float channel(uint8_t value) { return float(value) / 255.0f; }
float clamp01(float value) { return std::min(1.0f, std::max(0.0f, value)); }

FastSprite* makeSprite(const std::string& image, const std::string& table, const std::string& package) {
  if (image.empty()) return nullptr;
  if (UILoadCache* cache = UILoadCache::current()) return cache->createSprite(image, table, package);
  return SpriteManager<FastSprite>::getInstance()->createSprite(image, table, package);
}

}  // namespace

UISprite::UISprite(const std::string& name_, UIWidget* parent_, const std::string& image, const std::string& table,
                   const std::string& package)
    : UISprite(name_, parent_, makeSprite(image, table, package)) {}

UISprite::UISprite(const std::string& name_, UIWidget* parent_, FastSprite* sprite_)
    : UIWidget(name_, parent_), sprite(sprite_) {
  if (sprite) {
    size = sprite->mSize;
    spriteColor = sprite->getColor();
  }
}

UISprite::~UISprite() {
  if (sprite && ownsSprite && SpriteManager<FastSprite>::exists())
    SpriteManager<FastSprite>::getInstance()->destroySprite(sprite);
}

void UISprite::load(LuaScript& script) {
  UIWidget::load(script);
  if (!uiReadPair(script, "size", &size) && sprite) size = sprite->mSize;
  uiReadColor(script, "color", &spriteColor);
  scale = Vector2<float>(1.0f, 1.0f);
  uiReadPair(script, "scale", &scale);
}

void UISprite::draw() {
  if (!sprite) return;
  sprite->setColor(Color::fromFloats(clamp01(channel(spriteColor.red()) * channel(color.red())),
                                     clamp01(channel(spriteColor.green()) * channel(color.green())),
                                     clamp01(channel(spriteColor.blue()) * channel(color.blue())),
                                     clamp01(channel(color.alpha()) * alpha)));
  if (sprite->mClipEnabled != clientRectSet) {
    sprite->mClipEnabled = clientRectSet;
    if (!clientRectSet) sprite->updateTexCoords();
  }
  if (clientRectSet) sprite->mClipRect = clientRect;
  const Vector2<float> own = sprite->mPosition;
  sprite->mPosition = getAbsolutePosition() + own;
  sprite->mScale = scale;
  sprite->draw();
  sprite->mPosition = own;
}

}  // namespace KR
